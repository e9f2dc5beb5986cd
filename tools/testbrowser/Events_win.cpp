#include "tools/testbrowser/Events_win.h"

#include <exdisp.h>
#include <exdispid.h>
#include <olectl.h>

namespace testbrowser {

namespace {

// A BSTR that lives as long as the event being raised.
class EventString {
public:
    explicit EventString(const std::wstring& text)
        : value_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    ~EventString() { SysFreeString(value_); }
    EventString(const EventString&) = delete;
    EventString& operator=(const EventString&) = delete;
    BSTR get() const { return value_; }

private:
    BSTR value_;
};

VARIANT Dispatch(IDispatch* value) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_DISPATCH;
    v.pdispVal = value;
    return v;
}

VARIANT String(const EventString& value) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = value.get();
    return v;
}

VARIANT Long(long value) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = value;
    return v;
}

VARIANT RefTo(VARIANT* target) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_VARIANT | VT_BYREF;
    v.pvarVal = target;
    return v;
}

VARIANT RefTo(VARIANT_BOOL* target) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BOOL | VT_BYREF;
    v.pboolVal = target;
    return v;
}

VARIANT RefTo(IDispatch** target) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_DISPATCH | VT_BYREF;
    v.ppdispVal = target;
    return v;
}

}  // namespace

STDMETHODIMP BrowserEvents::QueryInterface(REFIID riid, void** out) {
    if (out == nullptr) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IConnectionPoint) {
        *out = static_cast<IConnectionPoint*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP BrowserEvents::GetConnectionInterface(IID* iid) {
    if (iid == nullptr) return E_POINTER;
    *iid = DIID_DWebBrowserEvents2;
    return S_OK;
}

STDMETHODIMP BrowserEvents::GetConnectionPointContainer(IConnectionPointContainer** out) {
    if (out == nullptr) return E_POINTER;
    container_->AddRef();
    *out = container_;
    return S_OK;
}

STDMETHODIMP BrowserEvents::Advise(IUnknown* sink, DWORD* cookie) {
    if (cookie == nullptr) return E_POINTER;
    *cookie = 0;
    if (sink == nullptr) return E_POINTER;
    // A sink may answer the event interface or only IDispatch.
    ComPtr<IDispatch> dispatch;
    if (FAILED(sink->QueryInterface(DIID_DWebBrowserEvents2, dispatch.put_void())) &&
        FAILED(sink->QueryInterface(IID_IDispatch, dispatch.put_void()))) {
        return CONNECT_E_CANNOTCONNECT;
    }
    *cookie = nextCookie_++;
    sinks_.emplace_back(*cookie, std::move(dispatch));
    return S_OK;
}

STDMETHODIMP BrowserEvents::Unadvise(DWORD cookie) {
    for (auto it = sinks_.begin(); it != sinks_.end(); ++it) {
        if (it->first == cookie) {
            sinks_.erase(it);
            return S_OK;
        }
    }
    return CONNECT_E_NOCONNECTION;
}

STDMETHODIMP BrowserEvents::EnumConnections(IEnumConnections** out) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    return E_NOTIMPL;
}

void BrowserEvents::Fire(DISPID id, VARIANT* args, UINT count) {
    // A sink may unadvise, or release the browser, while it handles the
    // event: raise it to the sinks as they were when it began.
    ComPtr<IConnectionPointContainer> keepAlive(container_);
    const auto sinks = sinks_;
    DISPPARAMS params = {args, nullptr, count, 0};
    for (const auto& sink : sinks) {
        sink.second->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr,
                            nullptr, nullptr);
    }
}

bool BrowserEvents::BeforeNavigate2(IDispatch* browser, const std::wstring& url,
                                    const std::wstring& frame) {
    EventString urlText(url), frameText(frame), headersText(L"");
    VARIANT urlValue = String(urlText);
    VARIANT flagsValue = Long(0);
    VARIANT frameValue = String(frameText);
    VARIANT noPostData;
    VariantInit(&noPostData);
    VARIANT postDataValue = RefTo(&noPostData);  // a reference to an empty VARIANT
    VARIANT headersValue = String(headersText);
    VARIANT_BOOL cancel = VARIANT_FALSE;
    VARIANT args[7] = {RefTo(&cancel),     RefTo(&headersValue), RefTo(&postDataValue),
                       RefTo(&frameValue), RefTo(&flagsValue),   RefTo(&urlValue),
                       Dispatch(browser)};
    Fire(DISPID_BEFORENAVIGATE2, args, 7);
    return cancel != VARIANT_FALSE;
}

bool BrowserEvents::NavigateError(IDispatch* browser, const std::wstring& url,
                                  const std::wstring& frame, long status) {
    EventString urlText(url), frameText(frame);
    VARIANT urlValue = String(urlText);
    VARIANT frameValue = String(frameText);
    VARIANT statusValue = Long(status);
    VARIANT_BOOL cancel = VARIANT_FALSE;
    VARIANT args[5] = {RefTo(&cancel), RefTo(&statusValue), RefTo(&frameValue), RefTo(&urlValue),
                       Dispatch(browser)};
    Fire(DISPID_NAVIGATEERROR, args, 5);
    return cancel != VARIANT_FALSE;
}

bool BrowserEvents::NewWindow2(ComPtr<IDispatch>* window) {
    IDispatch* given = window->detach();
    VARIANT_BOOL cancel = VARIANT_FALSE;
    VARIANT args[2] = {RefTo(&cancel), RefTo(&given)};
    Fire(DISPID_NEWWINDOW2, args, 2);
    *window = ComPtr<IDispatch>::Adopt(given);
    return cancel != VARIANT_FALSE;
}

bool BrowserEvents::NewWindow3(ComPtr<IDispatch>* window, DWORD flags, const std::wstring& context,
                               const std::wstring& url) {
    EventString contextText(context), urlText(url);
    IDispatch* given = window->detach();
    VARIANT_BOOL cancel = VARIANT_FALSE;
    VARIANT flagsValue;
    VariantInit(&flagsValue);
    flagsValue.vt = VT_UI4;  // declared unsigned long
    flagsValue.ulVal = flags;
    VARIANT args[5] = {String(urlText), String(contextText), flagsValue, RefTo(&cancel),
                       RefTo(&given)};
    Fire(DISPID_NEWWINDOW3, args, 5);
    *window = ComPtr<IDispatch>::Adopt(given);
    return cancel != VARIANT_FALSE;
}

void BrowserEvents::NavigateComplete2(IDispatch* browser, const std::wstring& url) {
    EventString urlText(url);
    VARIANT urlValue = String(urlText);
    VARIANT args[2] = {RefTo(&urlValue), Dispatch(browser)};
    Fire(DISPID_NAVIGATECOMPLETE2, args, 2);
}

void BrowserEvents::DocumentComplete(IDispatch* browser, const std::wstring& url) {
    EventString urlText(url);
    VARIANT urlValue = String(urlText);
    VARIANT args[2] = {RefTo(&urlValue), Dispatch(browser)};
    Fire(DISPID_DOCUMENTCOMPLETE, args, 2);
}

void BrowserEvents::DownloadBegin() {
    Fire(DISPID_DOWNLOADBEGIN, nullptr, 0);
}

void BrowserEvents::DownloadComplete() {
    Fire(DISPID_DOWNLOADCOMPLETE, nullptr, 0);
}

void BrowserEvents::TitleChange(const std::wstring& title) {
    EventString text(title);
    VARIANT args[1] = {String(text)};
    Fire(DISPID_TITLECHANGE, args, 1);
}

void BrowserEvents::CommandStateChange(long command, bool enable) {
    VARIANT enableValue;
    VariantInit(&enableValue);
    enableValue.vt = VT_BOOL;
    enableValue.boolVal = enable ? VARIANT_TRUE : VARIANT_FALSE;
    VARIANT args[2] = {enableValue, Long(command)};
    Fire(DISPID_COMMANDSTATECHANGE, args, 2);
}

}  // namespace testbrowser
