#include "ui/controls/ActiveXHost_win.h"

#include <ocidl.h>

#include "common/qlogger/QLogger.h"
#include "ui/window/WindowHost_win.h"
#include "ui/window/WindowManager.h"

namespace SkinUI {

namespace {

constexpr wchar_t kHostClass[] = L"SkinUIActiveXHost";

using DllGetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
using DllCanUnloadNowFn = HRESULT(STDAPICALLTYPE*)();

}  // namespace

// The frame that in-place objects see: the skinned window. It has no tool
// space or menus to share; an object that becomes UI-active announces
// itself here. Counted with its site.
class CActiveXFrame final : public IOleInPlaceFrame {
public:
    explicit CActiveXFrame(CActiveXSite& site) : site_(site) {}

    STDMETHODIMP QueryInterface(REFIID riid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    // IOleWindow
    STDMETHODIMP GetWindow(HWND* out) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    // IOleInPlaceUIWindow
    STDMETHODIMP GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS widths) override {
        // None asked for is the one answer that fits a frame without tools.
        return widths == nullptr ? S_OK : INPLACE_E_NOTOOLSPACE;
    }
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) override {
        active_ = ComPtr<IOleInPlaceActiveObject>(object);
        return S_OK;
    }
    // IOleInPlaceFrame
    STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS widths) override {
        if (widths != nullptr) {
            for (LONG& width : widths->width) width = 0;
        }
        return S_OK;
    }
    STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    STDMETHODIMP RemoveMenus(HMENU) override { return S_OK; }
    STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

    void Reset() { active_.reset(); }

private:
    CActiveXSite& site_;
    ComPtr<IOleInPlaceActiveObject> active_;
};

class CActiveXSite final : public IOleClientSite, public IOleInPlaceSite {
public:
    CActiveXSite(CActiveXHost& host, IUnknown* delegate)
        : host_(&host), delegate_(delegate), frame_(*this) {}

    // The host is going; calls from an object that still holds the site
    // find nothing to act on.
    void Detach() {
        host_ = nullptr;
        delegate_ = nullptr;
        frame_.Reset();
    }
    void ForgetActiveObject() { frame_.Reset(); }
    CActiveXHost* Host() const { return host_; }

    STDMETHODIMP QueryInterface(REFIID riid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
    STDMETHODIMP_(ULONG) Release() override {
        const ULONG n = --refs_;
        if (n == 0) delete this;
        return n;
    }

    // IOleClientSite
    STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** out) override {
        if (out != nullptr) *out = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetContainer(IOleContainer** out) override {
        if (out != nullptr) *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow
    STDMETHODIMP GetWindow(HWND* out) override {
        if (out == nullptr) return E_POINTER;
        *out = host_ != nullptr ? host_->GetHostWindow() : nullptr;
        return *out != nullptr ? S_OK : E_FAIL;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    STDMETHODIMP CanInPlaceActivate() override {
        return host_ != nullptr && host_->GetHostWindow() != nullptr ? S_OK : S_FALSE;
    }
    STDMETHODIMP OnInPlaceActivate() override { return host_ != nullptr ? S_OK : E_UNEXPECTED; }
    STDMETHODIMP OnUIActivate() override { return S_OK; }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                  LPRECT position, LPRECT clip,
                                  LPOLEINPLACEFRAMEINFO info) override;
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnInPlaceDeactivate() override {
        frame_.Reset();
        return S_OK;
    }
    STDMETHODIMP DiscardUndoState() override { return E_NOTIMPL; }
    STDMETHODIMP DeactivateAndUndo() override { return E_NOTIMPL; }
    STDMETHODIMP OnPosRectChange(LPCRECT) override;

private:
    ~CActiveXSite() = default;

    ULONG refs_ = 1;  // the host's
    CActiveXHost* host_;
    IUnknown* delegate_;
    CActiveXFrame frame_;
};

// ---- The frame ---------------------------------------------------------------------

STDMETHODIMP CActiveXFrame::QueryInterface(REFIID riid, void** out) {
    if (out == nullptr) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IOleWindow || riid == IID_IOleInPlaceUIWindow ||
        riid == IID_IOleInPlaceFrame) {
        *out = static_cast<IOleInPlaceFrame*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CActiveXFrame::AddRef() {
    return site_.AddRef();
}

STDMETHODIMP_(ULONG) CActiveXFrame::Release() {
    return site_.Release();
}

STDMETHODIMP CActiveXFrame::GetWindow(HWND* out) {
    if (out == nullptr) return E_POINTER;
    *out = site_.Host() != nullptr ? site_.Host()->SkinnedWindow() : nullptr;
    return *out != nullptr ? S_OK : E_FAIL;
}

// ---- The site ----------------------------------------------------------------------

STDMETHODIMP CActiveXSite::QueryInterface(REFIID riid, void** out) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (riid == IID_IUnknown || riid == IID_IOleClientSite) {
        *out = static_cast<IOleClientSite*>(this);
    } else if (riid == IID_IOleWindow || riid == IID_IOleInPlaceSite) {
        *out = static_cast<IOleInPlaceSite*>(this);
    } else if (delegate_ != nullptr) {
        // The document host, command target and service provider of a
        // browser: what the control that owns this site answers.
        return delegate_->QueryInterface(riid, out);
    } else {
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP CActiveXSite::GetWindowContext(IOleInPlaceFrame** frame,
                                            IOleInPlaceUIWindow** document, LPRECT position,
                                            LPRECT clip, LPOLEINPLACEFRAMEINFO info) {
    if (frame == nullptr || document == nullptr || position == nullptr || clip == nullptr) {
        return E_POINTER;
    }
    *document = nullptr;
    *frame = nullptr;
    if (host_ == nullptr) return E_UNEXPECTED;
    *frame = &frame_;
    frame_.AddRef();
    *position = host_->ObjectRect();
    *clip = *position;
    if (info != nullptr) {
        info->fMDIApp = FALSE;
        info->hwndFrame = host_->SkinnedWindow();
        info->haccel = nullptr;
        info->cAccelEntries = 0;
    }
    return S_OK;
}

STDMETHODIMP CActiveXSite::OnPosRectChange(LPCRECT) {
    // The control's rectangle decides where the object sits, not the object.
    if (host_ == nullptr || !host_->inPlaceObject_) return E_UNEXPECTED;
    const RECT r = host_->ObjectRect();
    return host_->inPlaceObject_->SetObjectRects(&r, &r);
}

// ---- The host ------------------------------------------------------------------------

std::unique_ptr<IActiveXHostUI> CActiveXUI::MakeHost() {
    return std::make_unique<CActiveXHost>(*this, nullptr);
}

CActiveXHost::CActiveXHost(CActiveXUI& control, IUnknown* delegate)
    : control_(control), site_(new CActiveXSite(*this, delegate)) {}

CActiveXHost::~CActiveXHost() {
    Close();
    if (window_) SetWindowLongPtrW(window_.get(), GWLP_USERDATA, 0);
    window_.reset();
    site_->Detach();
    site_->Release();
}

ULONG CActiveXHost::AddRef() {
    return site_->AddRef();
}

ULONG CActiveXHost::Release() {
    return site_->Release();
}

HWND CActiveXHost::SkinnedWindow() const {
    CWindowManagerUI* manager = control_.GetManager();
    CWindowHostWin* host = manager != nullptr ? CWindowHostWin::Of(*manager) : nullptr;
    return host != nullptr ? host->GetPaintWindow() : nullptr;
}

RECT CActiveXHost::ObjectRect() const {
    RECT r{0, 0, 0, 0};
    if (window_) GetClientRect(window_.get(), &r);
    return r;
}

bool CActiveXHost::CreateHostWindow(HWND parent) {
    static const bool registered = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &CActiveXHost::WindowProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = kHostClass;
        return RegisterClassW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    if (!registered) {
        QLogger::Log(QLOG_ERROR, "%s: RegisterClass failed:%lu", "CActiveXHost::Create",
                     GetLastError());
        return false;
    }
    // Hidden and empty until the control is laid out.
    HWND window = CreateWindowExW(0, kHostClass, L"", WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                                  0, 0, 0, 0, parent, nullptr, GetModuleHandleW(nullptr), this);
    if (window == nullptr) {
        QLogger::Log(QLOG_ERROR, "%s: CreateWindowEx failed:%lu", "CActiveXHost::Create",
                     GetLastError());
        return false;
    }
    window_.reset(window);
    return true;
}

bool CActiveXHost::CreateObject(const CLSID& clsid, const std::wstring& clsidText,
                                const std::wstring& moduleName) {
    if (moduleName.empty()) {
        const HRESULT hr =
            CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                             IID_IUnknown, object_.put_void());
        if (FAILED(hr)) {
            QLogger::LogW(QLOG_ERROR, L"%ls: CoCreateInstance %ls failed:0x%08lx",
                          L"CActiveXHost::Create", clsidText.c_str(),
                          static_cast<unsigned long>(hr));
            return false;
        }
        return true;
    }
    module_.reset(LoadLibraryW(moduleName.c_str()));
    if (!module_) {
        QLogger::LogW(QLOG_ERROR, L"%ls: LoadLibrary %ls failed:%lu", L"CActiveXHost::Create",
                      moduleName.c_str(), GetLastError());
        return false;
    }
    const auto getClassObject = reinterpret_cast<DllGetClassObjectFn>(
        reinterpret_cast<void*>(GetProcAddress(module_.get(), "DllGetClassObject")));
    ComPtr<IClassFactory> factory;
    HRESULT hr = E_NOINTERFACE;
    if (getClassObject != nullptr) {
        hr = getClassObject(clsid, IID_IClassFactory, factory.put_void());
        if (SUCCEEDED(hr) && factory) {
            hr = factory->CreateInstance(nullptr, IID_IUnknown, object_.put_void());
        }
    }
    if (FAILED(hr) || !object_) {
        QLogger::LogW(QLOG_ERROR, L"%ls: %ls has no class %ls:0x%08lx", L"CActiveXHost::Create",
                      moduleName.c_str(), clsidText.c_str(), static_cast<unsigned long>(hr));
        factory.reset();
        object_.reset();
        module_.reset();
        return false;
    }
    return true;
}

bool CActiveXHost::Create(const std::wstring& clsidText, const std::wstring& moduleName) {
    Close();
    HWND parent = SkinnedWindow();
    if (parent == nullptr) {
        QLogger::LogW(QLOG_ERROR, L"%ls: %ls has no window to live in", L"CActiveXHost::Create",
                      clsidText.c_str());
        return false;
    }
    CLSID clsid{};
    if (FAILED(CLSIDFromString(clsidText.c_str(), &clsid))) {
        QLogger::LogW(QLOG_ERROR, L"%ls: %ls is no class id", L"CActiveXHost::Create",
                      clsidText.c_str());
        return false;
    }
    if (!window_ && !CreateHostWindow(parent)) return false;
    if (!CreateObject(clsid, clsidText, moduleName)) return false;

    oleObject_ = object_.As<IOleObject>();
    if (!oleObject_) {
        QLogger::LogW(QLOG_ERROR, L"%ls: %ls is no OLE object", L"CActiveXHost::Create",
                      clsidText.c_str());
        Close();
        return false;
    }
    IOleClientSite* site = static_cast<IOleClientSite*>(site_);
    DWORD misc = 0;
    oleObject_->GetMiscStatus(DVASPECT_CONTENT, &misc);
    const bool siteFirst = (misc & OLEMISC_SETCLIENTSITEFIRST) != 0;
    if (siteFirst) oleObject_->SetClientSite(site);
    if (auto init = object_.As<IPersistStreamInit>()) init->InitNew();
    if (!siteFirst) oleObject_->SetClientSite(site);

    RECT rect = ObjectRect();
    const HRESULT hr =
        oleObject_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site, 0, window_.get(), &rect);
    if (FAILED(hr)) {
        QLogger::LogW(QLOG_ERROR, L"%ls: %ls would not activate:0x%08lx", L"CActiveXHost::Create",
                      clsidText.c_str(), static_cast<unsigned long>(hr));
        Close();
        return false;
    }
    inPlaceObject_ = object_.As<IOleInPlaceObject>();
    return true;
}

void CActiveXHost::Place(const TRect& rect, bool shown) {
    if (!window_) return;
    const bool show = shown && !rect.IsEmpty();
    SetWindowPos(window_.get(), nullptr, rect.left, rect.top, rect.Width(), rect.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE | (show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void CActiveXHost::Close() {
    if (!object_) return;
    // The order the object's documentation asks for: out of its place,
    // closed, unsited, then let go.
    ComPtr<IUnknown> object = std::move(object_);
    if (inPlaceObject_) inPlaceObject_->InPlaceDeactivate();
    inPlaceObject_.reset();
    if (oleObject_) {
        oleObject_->Close(OLECLOSE_NOSAVE);
        oleObject_->SetClientSite(nullptr);
    }
    oleObject_.reset();
    site_->ForgetActiveObject();
    object.reset();
    if (window_) ShowWindow(window_.get(), SW_HIDE);
    if (module_) {
        // A server that still has objects out keeps its code loaded.
        const auto canUnload = reinterpret_cast<DllCanUnloadNowFn>(
            reinterpret_cast<void*>(GetProcAddress(module_.get(), "DllCanUnloadNow")));
        if (canUnload != nullptr && canUnload() != S_OK) module_.release();
        module_.reset();
    }
}

LRESULT CALLBACK CActiveXHost::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* host = reinterpret_cast<CActiveXHost*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (host == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        host->window_.release();  // Windows has destroyed it
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    return host->HandleMessage(hwnd, message, wParam, lParam);
}

LRESULT CActiveXHost::HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            if (inPlaceObject_) {
                const RECT r = ObjectRect();
                inPlaceObject_->SetObjectRects(&r, &r);
            }
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            if (dc != nullptr) {
                // Only what no window of the object covers: all of it for
                // an object that draws without a window.
                FillRect(dc, &ps.rcPaint, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
                if (auto view = object_.As<IViewObject>()) {
                    const RECT r = ObjectRect();
                    const RECTL bounds{r.left, r.top, r.right, r.bottom};
                    if (GetWindow(hwnd, GW_CHILD) == nullptr) {
                        view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &bounds,
                                   nullptr, nullptr, 0);
                    }
                }
            }
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_SETFOCUS:
            // The object's own window takes the keys.
            if (HWND child = GetWindow(hwnd, GW_CHILD)) ::SetFocus(child);
            return 0;
        case WM_DESTROY:
            // The skinned window is going and takes this one with it: the
            // object is let go while its window still exists.
            control_.ReleaseControl();
            return 0;
        default:
            return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

}  // namespace SkinUI
