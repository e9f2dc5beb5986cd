#include "ui/controls/WebBrowser_win.h"

#include <exdispid.h>
#include <mshtml.h>

#include <array>

#include "common/qlogger/QLogger.h"
#include "ui/controls/ActiveXHost_win.h"
#include "ui/window/WindowHost_win.h"
#include "ui/window/WindowManager.h"

namespace SkinUI {

namespace {

constexpr bool SameType(VariantType ours, VARENUM theirs) {
    return static_cast<int>(ours) == static_cast<int>(theirs);
}
static_assert(SameType(kVtI4, VT_I4) && SameType(kVtBstr, VT_BSTR) &&
              SameType(kVtDispatch, VT_DISPATCH) && SameType(kVtBool, VT_BOOL) &&
              SameType(kVtVariant, VT_VARIANT) && SameType(kVtUi4, VT_UI4) &&
              SameType(kVtByRef, VT_BYREF));

// Spelled out here: not every SDK's import libraries define them.
constexpr GUID kDocHostCommandHandler = {
    0xF38BC242, 0xB950, 0x11D1, {0x89, 0x18, 0x00, 0xC0, 0x4F, 0xC2, 0xC8, 0x36}};
// The download manager's service and interface have the same id.
constexpr GUID kDownloadManager = {
    0x988934A4, 0x064B, 0x11D3, {0xBB, 0x80, 0x00, 0x10, 0x4B, 0x35, 0xE7, 0xF9}};

// WM_KEYDOWN to WM_UNICHAR's predecessor: the keyboard messages a page takes.
constexpr UINT kFirstKeyMessage = 0x100;
constexpr UINT kLastKeyMessage = 0x108;

constexpr LCID kScriptErrorLocale = 2048;  // LOCALE_SYSTEM_DEFAULT
constexpr const wchar_t* kScriptErrorProperties[] = {L"errorLine", L"errorCharacter", L"errorCode",
                                                     L"errorMessage", L"errorUrl"};

const TAttribute<CWebBrowserUI> kWebBrowserAttributes[] = {
    {L"homepage", [](CWebBrowserUI& c, const wchar_t* v) { c.SetHomePage(v); }},
    {L"autonavi", [](CWebBrowserUI& c, const wchar_t* v) { c.SetAutoNavigation(ParseBool(v)); }},
};

// A property value as text, for the log.
std::wstring TextOf(const VARIANT& value) {
    VARIANT text;
    VariantInit(&text);
    std::wstring out;
    if (SUCCEEDED(VariantChangeType(&text, const_cast<VARIANT*>(&value), 0, VT_BSTR)) &&
        text.bstrVal != nullptr) {
        out.assign(text.bstrVal, SysStringLen(text.bstrVal));
    }
    VariantClear(&text);
    return out;
}

// One property of an automation object, read by name as scripts read it.
HRESULT ReadProperty(IDispatch& object, const wchar_t* name, VARIANT* value) {
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    HRESULT hr = object.GetIDsOfNames(IID_NULL, names, 1, kScriptErrorLocale, &id);
    if (FAILED(hr)) return hr;
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    return object.Invoke(id, IID_NULL, kScriptErrorLocale, DISPATCH_PROPERTYGET, &none, value,
                         nullptr, nullptr);
}

// The document in a script error's input, and its window's event object.
HRESULT ScriptErrorEvent(const VARIANT* in, ComPtr<IHTMLEventObj>* event) {
    if (in == nullptr || (in->vt != VT_UNKNOWN && in->vt != VT_DISPATCH) ||
        in->punkVal == nullptr) {
        return E_INVALIDARG;
    }
    ComPtr<IHTMLDocument2> document;
    HRESULT hr = in->punkVal->QueryInterface(IID_IHTMLDocument2, document.put_void());
    if (FAILED(hr) || !document) return FAILED(hr) ? hr : E_NOINTERFACE;
    ComPtr<IHTMLWindow2> window;
    hr = document->get_parentWindow(window.put());
    if (FAILED(hr) || !window) return FAILED(hr) ? hr : E_FAIL;
    hr = window->get_event(event->put());
    if (FAILED(hr) || !*event) return FAILED(hr) ? hr : E_FAIL;
    return S_OK;
}

}  // namespace

std::unique_ptr<CControlUI> CreateWebBrowserControl() {
    return std::make_unique<CWebBrowserUI>();
}

CWebBrowserUI::CWebBrowserUI() {
    clsid_ = kWebBrowserClsid;
}

CWebBrowserUI::~CWebBrowserUI() {
    // Here, while the browser part still exists to be taken apart.
    ReleaseControl();
}

void CWebBrowserUI::SetAttribute(std::wstring_view name, const wchar_t* value) {
    if (value == nullptr) return;
    if (!ApplyAttribute(kWebBrowserAttributes, *this, name, value)) {
        CActiveXUI::SetAttribute(name, value);
    }
}

CActiveXHost* CWebBrowserUI::WebHost() const {
    // MakeHost below is the only maker of this control's hosts.
    return static_cast<CActiveXHost*>(Host());
}

std::unique_ptr<IActiveXHostUI> CWebBrowserUI::MakeHost() {
    // The site passes what the browser asks of its host on to this control.
    return std::make_unique<CActiveXHost>(*this, static_cast<IDocHostUIHandler*>(this));
}

void CWebBrowserUI::OnControlCreated() {
    if (CWindowHostWin* window = manager_ ? CWindowHostWin::Of(*manager_) : nullptr) {
        window->AddTranslateAccelerator(this);
    }
    CActiveXHost* host = WebHost();
    IUnknown* object = host != nullptr ? host->GetObject() : nullptr;
    if (object == nullptr ||
        FAILED(object->QueryInterface(IID_IWebBrowser2, browser_.put_void())) || !browser_) {
        browser_.reset();
        QLogger::LogW(QLOG_ERROR, L"%ls: %ls is no web browser", L"CWebBrowserUI::OnControlCreated",
                      clsid_.c_str());
        return;
    }
    if (autoNavigate_ && !homePage_.empty()) Navigate2(homePage_.c_str());

    auto container = browser_.As<IConnectionPointContainer>();
    HRESULT hr = E_NOINTERFACE;
    if (container) hr = container->FindConnectionPoint(DIID_DWebBrowserEvents2, eventPoint_.put());
    if (SUCCEEDED(hr) && eventPoint_) {
        hr = eventPoint_->Advise(static_cast<IDispatch*>(this), &eventCookie_);
    }
    if (FAILED(hr) || !eventPoint_) {
        eventPoint_.reset();
        eventCookie_ = 0;
        QLogger::Log(QLOG_ERROR, "%s: no browser events:0x%08lx", "CWebBrowserUI::OnControlCreated",
                     static_cast<unsigned long>(hr));
    }
}

void CWebBrowserUI::OnControlReleasing() {
    if (CWindowHostWin* window = manager_ ? CWindowHostWin::Of(*manager_) : nullptr) {
        window->RemoveTranslateAccelerator(this);
    }
    if (eventPoint_) eventPoint_->Unadvise(eventCookie_);
    eventPoint_.reset();
    eventCookie_ = 0;
    browser_.reset();
}

void CWebBrowserUI::SetWebBrowserEventHandler(CWebBrowserEventHandler* handler) {
    if (handler != nullptr && handler != handler_) handler_ = handler;
}

void CWebBrowserUI::Navigate2(const wchar_t* url) {
    if (url == nullptr || !browser_) return;
    VARIANT target;
    VariantInit(&target);
    target.vt = VT_BSTR;
    target.bstrVal = SysAllocString(url);
    VARIANT none;
    VariantInit(&none);
    const HRESULT hr = browser_->Navigate2(&target, &none, &none, &none, &none);
    VariantClear(&target);
    if (FAILED(hr)) {
        QLogger::LogW(QLOG_ERROR, L"%ls: %ls failed:0x%08lx", L"CWebBrowserUI::Navigate2", url,
                      static_cast<unsigned long>(hr));
    }
}

// ---- IUnknown ----------------------------------------------------------------------

STDMETHODIMP CWebBrowserUI::QueryInterface(REFIID riid, void** out) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (riid == IID_IUnknown || riid == IID_IDocHostUIHandler) {
        *out = static_cast<IDocHostUIHandler*>(this);
    } else if (riid == IID_IDispatch) {
        *out = static_cast<IDispatch*>(this);
    } else if (riid == IID_IServiceProvider) {
        *out = static_cast<IServiceProvider*>(this);
    } else if (riid == IID_IOleCommandTarget) {
        *out = static_cast<IOleCommandTarget*>(this);
    } else {
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) CWebBrowserUI::AddRef() {
    CActiveXHost* host = WebHost();
    return host != nullptr ? host->AddRef() : 1;
}

STDMETHODIMP_(ULONG) CWebBrowserUI::Release() {
    CActiveXHost* host = WebHost();
    return host != nullptr ? host->Release() : 1;
}

// ---- IDocHostUIHandler -------------------------------------------------------------------

STDMETHODIMP CWebBrowserUI::ShowContextMenu(DWORD id, POINT* point, IUnknown* commandTarget,
                                            IDispatch* object) {
    return handler_ ? handler_->ShowContextMenu(id, point, commandTarget, object) : S_FALSE;
}

STDMETHODIMP CWebBrowserUI::GetHostInfo(DOCHOSTUIINFO* info) {
    return handler_ ? handler_->GetHostInfo(info) : E_NOTIMPL;
}

STDMETHODIMP CWebBrowserUI::ShowUI(DWORD id, IOleInPlaceActiveObject* activeObject,
                                   IOleCommandTarget* commandTarget, IOleInPlaceFrame* frame,
                                   IOleInPlaceUIWindow* document) {
    return handler_ ? handler_->ShowUI(id, activeObject, commandTarget, frame, document) : S_OK;
}

STDMETHODIMP CWebBrowserUI::HideUI() {
    return handler_ ? handler_->HideUI() : S_OK;
}

STDMETHODIMP CWebBrowserUI::UpdateUI() {
    return handler_ ? handler_->UpdateUI() : S_OK;
}

STDMETHODIMP CWebBrowserUI::EnableModeless(BOOL enable) {
    return handler_ ? handler_->EnableModeless(enable) : E_NOTIMPL;
}

STDMETHODIMP CWebBrowserUI::OnDocWindowActivate(BOOL activate) {
    return handler_ ? handler_->OnDocWindowActivate(activate) : E_NOTIMPL;
}

STDMETHODIMP CWebBrowserUI::OnFrameWindowActivate(BOOL activate) {
    return handler_ ? handler_->OnFrameWindowActivate(activate) : E_NOTIMPL;
}

STDMETHODIMP CWebBrowserUI::ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window,
                                         BOOL frameWindow) {
    return handler_ ? handler_->ResizeBorder(border, window, frameWindow) : E_NOTIMPL;
}

STDMETHODIMP CWebBrowserUI::TranslateAccelerator(LPMSG message, const GUID* commandGroup,
                                                 DWORD commandId) {
    return handler_ ? handler_->TranslateAccelerator(message, commandGroup, commandId) : S_FALSE;
}

// The out parameters start as none, so that a handler that answers without
// setting them hands the browser nothing rather than garbage.
STDMETHODIMP CWebBrowserUI::GetOptionKeyPath(LPOLESTR* key, DWORD reserved) {
    if (key != nullptr) *key = nullptr;
    return handler_ ? handler_->GetOptionKeyPath(key, reserved) : E_NOTIMPL;
}

STDMETHODIMP CWebBrowserUI::GetDropTarget(IDropTarget* dropTarget, IDropTarget** result) {
    if (result != nullptr) *result = nullptr;
    return handler_ ? handler_->GetDropTarget(dropTarget, result) : S_FALSE;
}

STDMETHODIMP CWebBrowserUI::GetExternal(IDispatch** result) {
    if (result != nullptr) *result = nullptr;
    return handler_ ? handler_->GetExternal(result) : S_FALSE;
}

STDMETHODIMP CWebBrowserUI::TranslateUrl(DWORD flags, LPWSTR urlIn, LPWSTR* urlOut) {
    if (urlOut != nullptr) *urlOut = nullptr;
    return handler_ ? handler_->TranslateUrl(flags, urlIn, urlOut) : E_NOTIMPL;
}

STDMETHODIMP CWebBrowserUI::FilterDataObject(IDataObject* object, IDataObject** result) {
    if (result != nullptr) *result = nullptr;
    return handler_ ? handler_->FilterDataObject(object, result) : E_NOTIMPL;
}

// ---- IServiceProvider and IDownloadManager ---------------------------------------------------

STDMETHODIMP CWebBrowserUI::QueryService(REFGUID service, REFIID riid, void** out) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (!IsEqualGUID(service, kDownloadManager) || !IsEqualIID(riid, kDownloadManager)) {
        return E_NOINTERFACE;
    }
    *out = static_cast<IDownloadManager*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP CWebBrowserUI::Download(IMoniker* moniker, IBindCtx* context, DWORD bindVerb,
                                     LONG bindFlags, BINDINFO* bindInfo, LPCOLESTR headers,
                                     LPCOLESTR redirect, UINT codePage) {
    // Without a handler the browser does what it does without a manager.
    return handler_ ? handler_->Download(moniker, context, bindVerb, bindFlags, bindInfo, headers,
                                         redirect, codePage)
                    : E_NOTIMPL;
}

// ---- IOleCommandTarget -------------------------------------------------------------------

STDMETHODIMP CWebBrowserUI::QueryStatus(const GUID*, ULONG, OLECMD*, OLECMDTEXT*) {
    return OLECMDERR_E_NOTSUPPORTED;
}

STDMETHODIMP CWebBrowserUI::Exec(const GUID* group, DWORD commandId, DWORD, VARIANT* in,
                                 VARIANT* out) {
    if (group == nullptr || !IsEqualGUID(*group, kDocHostCommandHandler)) {
        return OLECMDERR_E_UNKNOWNGROUP;
    }
    if (commandId != OLECMDID_SHOWSCRIPTERROR) return OLECMDERR_E_NOTSUPPORTED;

    std::array<VARIANT, std::size(kScriptErrorProperties)> values;
    for (VARIANT& value : values) VariantInit(&value);
    ComPtr<IHTMLEventObj> event;
    HRESULT hr = ScriptErrorEvent(in, &event);
    if (SUCCEEDED(hr)) {
        for (size_t i = 0; i < values.size(); ++i) {
            hr = ReadProperty(*event.get(), kScriptErrorProperties[i], &values[i]);
        }
        QLogger::LogW(
            QLOG_WARNING, L"%ls: script error at line %ls, character %ls, code %ls: %ls (%ls)",
            L"CWebBrowserUI::Exec", TextOf(values[0]).c_str(), TextOf(values[1]).c_str(),
            TextOf(values[2]).c_str(), TextOf(values[3]).c_str(), TextOf(values[4]).c_str());
    } else {
        QLogger::Log(QLOG_WARNING, "%s: a script error without its event:0x%08lx",
                     "CWebBrowserUI::Exec", static_cast<unsigned long>(hr));
    }
    for (VARIANT& value : values) VariantClear(&value);
    // Scripts keep running and no script-error dialog is shown.
    if (out != nullptr) {
        VariantInit(out);
        out->vt = VT_BOOL;
        out->boolVal = VARIANT_TRUE;
    }
    return hr;
}

// ---- IDispatch: the event sink -----------------------------------------------------------

STDMETHODIMP CWebBrowserUI::GetTypeInfoCount(UINT* count) {
    if (count == nullptr) return E_POINTER;
    *count = 0;
    return S_OK;
}

STDMETHODIMP CWebBrowserUI::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info != nullptr) *info = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CWebBrowserUI::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
    return E_NOTIMPL;
}

STDMETHODIMP CWebBrowserUI::Invoke(DISPID id, REFIID riid, LCID, WORD, DISPPARAMS* params, VARIANT*,
                                   EXCEPINFO*, UINT*) {
    if (!IsEqualIID(riid, IID_NULL)) return E_INVALIDARG;
    const TBrowserEventShape* shape = FindBrowserEvent(id);
    if (shape == nullptr) return DISP_E_MEMBERNOTFOUND;
    if (shape->event == BrowserEvent::kStatusTextChange) return S_OK;

    // Nothing is read before the arguments are known to be what the event
    // declares: a handler takes references into them.
    const size_t count = shape->arguments.size();
    if (params == nullptr || params->cArgs != count || (count > 0 && params->rgvarg == nullptr)) {
        QLogger::Log(QLOG_WARNING, "%s: event %ld with %u arguments", "CWebBrowserUI::Invoke",
                     static_cast<long>(id), params != nullptr ? params->cArgs : 0u);
        return DISP_E_BADPARAMCOUNT;
    }
    std::array<uint16_t, 8> types{};
    for (size_t i = 0; i < count; ++i) types[i] = params->rgvarg[i].vt;
    if (CheckEventArguments(*shape, std::span<const uint16_t>(types.data(), count)) !=
        ArgumentCheck::kOk) {
        QLogger::Log(QLOG_WARNING, "%s: event %ld with arguments of other types",
                     "CWebBrowserUI::Invoke", static_cast<long>(id));
        return DISP_E_TYPEMISMATCH;
    }
    // A handler may hide the window or drop its last hold on the browser.
    AddRef();
    const HRESULT hr = InvokeEvent(*shape, *params);
    Release();
    return hr;
}

HRESULT CWebBrowserUI::InvokeEvent(const TBrowserEventShape& shape, DISPPARAMS& params) {
    const unsigned count = params.cArgs;
    const auto arg = [&params, count](unsigned position) -> VARIANT& {
        return params.rgvarg[ArgumentSlot(count, position)];
    };
    switch (shape.event) {
        case BrowserEvent::kStatusTextChange:
            break;
        case BrowserEvent::kCommandStateChange:
            if (handler_) handler_->CommandStateChange(arg(0).lVal, arg(1).boolVal);
            break;
        case BrowserEvent::kBeforeNavigate2:
            if (handler_) {
                handler_->BeforeNavigate2(arg(0).pdispVal, arg(1).pvarVal, arg(2).pvarVal,
                                          arg(3).pvarVal, arg(4).pvarVal, arg(5).pvarVal,
                                          arg(6).pboolVal);
            }
            break;
        case BrowserEvent::kNavigateComplete2:
            // The new document asks this control, not the site, from now on.
            InstallUiHandler();
            if (handler_) handler_->NavigateComplete2(arg(0).pdispVal, arg(1).pvarVal);
            break;
        case BrowserEvent::kDocumentComplete:
            if (handler_ && IsTopLevel(arg(0).pdispVal)) {
                handler_->DocumentComplete(arg(0).pdispVal, arg(1).pvarVal);
            }
            break;
        case BrowserEvent::kNavigateError:
            if (handler_) {
                handler_->NavigateError(arg(0).pdispVal, arg(1).pvarVal, arg(2).pvarVal,
                                        arg(3).pvarVal, arg(4).pboolVal);
            }
            break;
        case BrowserEvent::kNewWindow3:
            if (handler_) {
                handler_->NewWindow3(arg(0).ppdispVal, arg(1).pboolVal, arg(2).ulVal,
                                     arg(3).bstrVal, arg(4).bstrVal);
            }
            break;
    }
    return S_OK;
}

const wchar_t* EventUrl(const VARIANT* url) {
    if (url == nullptr || url->vt != VT_BSTR || url->bstrVal == nullptr) return L"";
    return url->bstrVal;
}

bool CWebBrowserUI::IsTopLevel(IDispatch* browser) const {
    if (browser == nullptr || !browser_) return false;
    // Compared as COM identities: the same object may hand out several
    // IDispatch pointers.
    ComPtr<IUnknown> raised;
    ComPtr<IUnknown> own;
    browser->QueryInterface(IID_IUnknown, raised.put_void());
    browser_->QueryInterface(IID_IUnknown, own.put_void());
    return raised && raised.get() == own.get();
}

void CWebBrowserUI::InstallUiHandler() {
    if (!browser_) return;
    ComPtr<IDispatch> document;
    if (FAILED(browser_->get_Document(document.put())) || !document) return;
    if (auto custom = document.As<ICustomDoc>()) {
        custom->SetUIHandler(static_cast<IDocHostUIHandler*>(this));
    }
}

// ---- Keys ----------------------------------------------------------------------------------

bool CWebBrowserUI::TranslateAccelerator(const MSG* message) {
    if (message == nullptr || message->message < kFirstKeyMessage ||
        message->message > kLastKeyMessage || !browser_) {
        return false;
    }
    CActiveXHost* host = WebHost();
    HWND window = host != nullptr ? host->GetHostWindow() : nullptr;
    HWND focus = ::GetFocus();
    if (window == nullptr || focus == nullptr || (focus != window && !IsChild(window, focus))) {
        return false;
    }
    auto active = browser_.As<IOleInPlaceActiveObject>();
    return active && active->TranslateAccelerator(const_cast<MSG*>(message)) == S_OK;
}

}  // namespace SkinUI
