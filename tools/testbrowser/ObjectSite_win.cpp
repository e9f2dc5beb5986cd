#include "tools/testbrowser/ObjectSite_win.h"

#include <ole2.h>

#include "tools/testbrowser/Document_win.h"

namespace testbrowser {

namespace {

// The <param name value> children as the control reads them.
class ParamBag final : public IPropertyBag {
public:
    explicit ParamBag(const std::vector<ObjectParam>& params) {
        for (const auto& p : params)
            params_.emplace_back(WideFromUtf8(p.name), WideFromUtf8(p.value));
    }
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
        if (out == nullptr) return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IPropertyBag) {
            *out = static_cast<IPropertyBag*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
    STDMETHODIMP_(ULONG) Release() override {
        const ULONG n = --refs_;
        if (n == 0) delete this;
        return n;
    }
    STDMETHODIMP Read(LPCOLESTR name, VARIANT* value, IErrorLog*) override {
        if (name == nullptr || value == nullptr) return E_POINTER;
        for (const auto& [key, text] : params_) {
            if (_wcsicmp(key.c_str(), name) != 0) continue;
            const VARTYPE wanted = value->vt;
            VARIANT found;
            VariantInit(&found);
            found.vt = VT_BSTR;
            found.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
            VariantClear(value);
            if (wanted == VT_EMPTY || wanted == VT_BSTR) {
                *value = found;
                return S_OK;
            }
            const HRESULT hr = VariantChangeType(value, &found, 0, wanted);
            VariantClear(&found);
            return hr;
        }
        return E_INVALIDARG;
    }
    STDMETHODIMP Write(LPCOLESTR, VARIANT*) override { return E_NOTIMPL; }

private:
    ULONG refs_ = 0;
    std::vector<std::pair<std::wstring, std::wstring>> params_;
    ModuleReference module_;
};

// HIMETRIC units of a pixel length at the screen's 96 dots per inch.
LONG HiMetric(LONG pixels) {
    return MulDiv(pixels, 2540, 96);
}

}  // namespace

ComPtr<ObjectSite> ObjectSite::Create(HWND window, const PageBlock& block, const RECT& box) {
    ComPtr<ObjectSite> site(new ObjectSite(window, block, box));
    site->CreateControl(block);
    return site;
}

ObjectSite::ObjectSite(HWND window, const PageBlock& block, const RECT& box)
    : window_(window), box_(box), classId_(WideFromUtf8(block.source)) {}

STDMETHODIMP_(ULONG) ObjectSite::Release() {
    const ULONG n = --refs_;
    if (n == 0) delete this;
    return n;
}

void ObjectSite::CreateControl(const PageBlock& block) {
    CLSID clsid;
    std::wstring braced = L"{" + classId_ + L"}";
    if (classId_.empty() || FAILED(CLSIDFromString(braced.c_str(), &clsid))) {
        Trace(L"ObjectSite: no class id in the <object> tag");
        return;
    }
    HRESULT hr =
        CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, control_.put_void());
    if (FAILED(hr)) {
        Trace(L"ObjectSite: CoCreateInstance %ls failed:0x%08lx", braced.c_str(),
              static_cast<unsigned long>(hr));
        return;
    }
    oleObject_ = control_.As<IOleObject>();
    DWORD misc = 0;
    if (oleObject_) oleObject_->GetMiscStatus(DVASPECT_CONTENT, &misc);
    // Sited first either way: controls that ask for it and those that do
    // not both read their ambient world from the site during loading.
    if (oleObject_) oleObject_->SetClientSite(this);
    if (auto bag = control_.As<IPersistPropertyBag>()) {
        bag->InitNew();
        ComPtr<IPropertyBag> params(new ParamBag(block.params));
        hr = bag->Load(params.get(), nullptr);
        if (FAILED(hr))
            Trace(L"ObjectSite: IPersistPropertyBag::Load failed:0x%08lx",
                  static_cast<unsigned long>(hr));
    } else if (auto stream = control_.As<IPersistStreamInit>()) {
        stream->InitNew();
    }
    if (!oleObject_) {
        Trace(L"ObjectSite: %ls has no IOleObject; it is created but not shown", braced.c_str());
        return;
    }
    SIZEL extent = {HiMetric(box_.right - box_.left), HiMetric(box_.bottom - box_.top)};
    oleObject_->SetExtent(DVASPECT_CONTENT, &extent);
    inPlace_ = control_.As<IOleInPlaceObject>();
    hr = oleObject_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, this, 0, window_, &box_);
    if (FAILED(hr))
        Trace(L"ObjectSite: DoVerb %ls failed:0x%08lx", braced.c_str(),
              static_cast<unsigned long>(hr));
    if (inPlace_) inPlace_->SetObjectRects(&box_, &box_);
}

void ObjectSite::Move(const RECT& box) {
    box_ = box;
    if (inPlace_) inPlace_->SetObjectRects(&box_, &box_);
}

void ObjectSite::Paint(HDC dc, HFONT font) {
    if (control_) {
        HWND own = nullptr;
        if (inPlace_ && SUCCEEDED(inPlace_->GetWindow(&own)) && own != nullptr) return;
        if (auto view = control_.As<IViewObject>()) {
            RECTL bounds = {box_.left, box_.top, box_.right, box_.bottom};
            view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &bounds, nullptr,
                       nullptr, 0);
            return;
        }
    }
    // What the page shows where a control could not come up.
    HGDIOBJ pen = SelectObject(dc, GetStockObject(DC_PEN));
    SetDCPenColor(dc, RGB(0xB0, 0xB0, 0xB0));
    HGDIOBJ brush = SelectObject(dc, GetStockObject(HOLLOW_BRUSH));
    Rectangle(dc, box_.left, box_.top, box_.right, box_.bottom);
    SelectObject(dc, brush);
    SelectObject(dc, pen);
    HGDIOBJ oldFont = SelectObject(dc, font);
    SetTextColor(dc, RGB(0x80, 0x80, 0x80));
    SetBkMode(dc, TRANSPARENT);
    RECT text = {box_.left + 4, box_.top + 4, box_.right - 4, box_.bottom - 4};
    const std::wstring label =
        control_ ? L"[" + classId_ + L"]" : L"[object not available: " + classId_ + L"]";
    DrawTextW(dc, label.c_str(), -1, &text, DT_LEFT | DT_TOP | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, oldFont);
}

void ObjectSite::Close() {
    ComPtr<ObjectSite> hold(this);
    if (inPlace_ && inPlaceActive_) inPlace_->InPlaceDeactivate();
    if (oleObject_) {
        oleObject_->Close(OLECLOSE_NOSAVE);
        oleObject_->SetClientSite(nullptr);
    }
    active_.reset();
    inPlace_.reset();
    oleObject_.reset();
    control_.reset();
    window_ = nullptr;
}

STDMETHODIMP ObjectSite::QueryInterface(REFIID riid, void** out) {
    if (out == nullptr) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IOleClientSite) {
        *out = static_cast<IOleClientSite*>(this);
    } else if (riid == IID_IOleWindow || riid == IID_IOleInPlaceSite) {
        *out = static_cast<IOleInPlaceSite*>(this);
    } else if (riid == IID_IOleInPlaceUIWindow || riid == IID_IOleInPlaceFrame) {
        *out = static_cast<IOleInPlaceFrame*>(this);
    } else {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP ObjectSite::GetMoniker(DWORD, DWORD, IMoniker** out) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP ObjectSite::GetContainer(IOleContainer** out) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP ObjectSite::GetWindow(HWND* out) {
    if (out == nullptr) return E_POINTER;
    *out = window_;
    return window_ ? S_OK : E_FAIL;
}

STDMETHODIMP ObjectSite::OnInPlaceActivate() {
    inPlaceActive_ = true;
    return S_OK;
}

STDMETHODIMP ObjectSite::OnInPlaceDeactivate() {
    inPlaceActive_ = false;
    return S_OK;
}

STDMETHODIMP ObjectSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                          RECT* position, RECT* clip, OLEINPLACEFRAMEINFO* info) {
    if (frame == nullptr || document == nullptr || position == nullptr || clip == nullptr ||
        info == nullptr) {
        return E_POINTER;
    }
    *frame = static_cast<IOleInPlaceFrame*>(this);
    AddRef();
    *document = nullptr;
    *position = box_;
    *clip = box_;
    info->fMDIApp = FALSE;
    info->hwndFrame = window_ ? GetAncestor(window_, GA_ROOT) : nullptr;
    info->haccel = nullptr;
    info->cAccelEntries = 0;
    return S_OK;
}

STDMETHODIMP ObjectSite::OnPosRectChange(const RECT* box) {
    if (box == nullptr) return E_POINTER;
    // A control that asks again while it is being moved gets its box once.
    if (!EqualRect(box, &box_)) Move(*box);
    return S_OK;
}

STDMETHODIMP ObjectSite::SetBorderSpace(LPCBORDERWIDTHS widths) {
    return widths == nullptr ? S_OK : INPLACE_E_NOTOOLSPACE;
}

STDMETHODIMP ObjectSite::SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) {
    active_ = ComPtr<IOleInPlaceActiveObject>(object);
    return S_OK;
}

}  // namespace testbrowser
