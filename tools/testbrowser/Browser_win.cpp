// The browser's COM side and its navigation. The window, painting and input
// are in BrowserView_win.cpp.
#include "tools/testbrowser/Browser_win.h"

#include <downloadmgr.h>
#include <exdisp.h>
#include <olectl.h>
#include <urlmon.h>

#include "tools/testbrowser/PageUrl.h"

namespace testbrowser {

namespace {

// Frames inside frames inside frames, and no deeper: a page that frames
// itself must end.
constexpr int kMaxFrameDepth = 4;

// The URL of Navigate2: a string, or a reference to one.
bool UrlOf(const VARIANT* url, std::wstring* text) {
    if (url == nullptr) return false;
    if (url->vt == (VT_VARIANT | VT_BYREF)) return UrlOf(url->pvarVal, text);
    BSTR value = nullptr;
    if (url->vt == VT_BSTR) {
        value = url->bstrVal;
    } else if (url->vt == (VT_BSTR | VT_BYREF) && url->pbstrVal != nullptr) {
        value = *url->pbstrVal;
    } else {
        return false;
    }
    text->assign(value ? value : L"", value ? SysStringLen(value) : 0);
    return true;
}

bool StartsWithNoCase(const std::string& text, const char* prefix) {
    return _strnicmp(text.c_str(), prefix, strlen(prefix)) == 0;
}

// What the system browser hands to its download manager instead of
// showing: attachments and anything that is not text.
bool IsDownload(const FetchResult& result) {
    if (StartsWithNoCase(result.disposition, "attachment")) return true;
    return !result.contentType.empty() && !StartsWithNoCase(result.contentType, "text/") &&
           !StartsWithNoCase(result.contentType, "application/xhtml");
}

std::shared_ptr<const HtmlPage> ErrorPage(const std::wstring& url, long status) {
    char code[32];
    if (status < 0) {
        snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(status));
    } else {
        snprintf(code, sizeof code, "HTTP %ld", status);
    }
    std::string html = "<title>无法显示此网页</title><p>" + std::string(code) + "</p><p>";
    html += Utf8FromWide(url);
    html += "</p>";
    auto page = std::make_shared<HtmlPage>(ParseHtml(html));
    return page;
}

}  // namespace

ComPtr<Browser> Browser::CreateTopLevel() {
    auto browser = ComPtr<Browser>::Adopt(new Browser(nullptr, nullptr, nullptr, L"", 0));
    if (browser->window_ == nullptr) return nullptr;
    return browser;
}

Browser::Browser(Browser* top, Browser* parent, HWND parentWindow, std::wstring frameName,
                 int depth)
    : top_(top ? top : this), parent_(parent), frameName_(std::move(frameName)), depth_(depth) {
    if (IsTopLevel()) events_ = std::make_unique<BrowserEvents>(this);
    CreateView(parentWindow);
}

Browser::~Browser() {
    StopLoading();
    TearDownContent();
    if (window_ != nullptr) {
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
}

STDMETHODIMP Browser::QueryInterface(REFIID riid, void** out) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IWebBrowser ||
        riid == IID_IWebBrowserApp || riid == IID_IWebBrowser2) {
        *out = static_cast<IWebBrowser2*>(this);
    } else if (!IsTopLevel()) {
        return E_NOINTERFACE;  // a frame is only a browser
    } else if (riid == IID_IConnectionPointContainer) {
        *out = static_cast<IConnectionPointContainer*>(this);
    } else if (riid == IID_IOleObject) {
        *out = static_cast<IOleObject*>(this);
    } else if (riid == IID_IOleWindow || riid == IID_IOleInPlaceObject) {
        *out = static_cast<IOleInPlaceObject*>(this);
    } else if (riid == IID_IOleInPlaceActiveObject) {
        *out = static_cast<IOleInPlaceActiveObject*>(this);
    } else if (riid == IID_IViewObject) {
        *out = static_cast<IViewObject*>(this);
    } else {
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) Browser::Release() {
    const ULONG n = --refs_;
    if (n == 0) delete this;
    return n;
}

BrowserEvents* Browser::Events() {
    return top_ ? top_->events_.get() : nullptr;
}

ComPtr<IDocHostUIHandler> Browser::UiHandler() {
    if (top_ == nullptr) return nullptr;
    if (top_->document_ && top_->document_->UiHandler()) return top_->document_->UiHandler();
    return top_->site_.As<IDocHostUIHandler>();
}

// ------------------------------------------------------------ IWebBrowser2

STDMETHODIMP Browser::Navigate(BSTR url, VARIANT*, VARIANT*, VARIANT*, VARIANT*) {
    if (url == nullptr) return E_INVALIDARG;
    return NavigateTo(std::wstring(url, SysStringLen(url)));
}

STDMETHODIMP Browser::Navigate2(VARIANT* url, VARIANT*, VARIANT*, VARIANT*, VARIANT*) {
    std::wstring text;
    if (!UrlOf(url, &text)) return E_INVALIDARG;
    return NavigateTo(text);
}

HRESULT Browser::NavigateTo(const std::wstring& requested) {
    const std::wstring url = WideFromUtf8(CompleteUrl(Utf8FromWide(requested)));
    if (url.empty()) return E_INVALIDARG;
    BrowserEvents* events = Events();
    if (events == nullptr || window_ == nullptr) return E_FAIL;
    ComPtr<Browser> hold(this);
    // Raised within the call, as the system browser does; a cancel leaves
    // the page and any load in progress as they were.
    if (events->BeforeNavigate2(AsDispatch(), url, frameName_)) return S_OK;
    if (window_ == nullptr) return S_OK;
    BeginLoad(url, false);
    return S_OK;
}

void Browser::BeginLoad(const std::wstring& url, bool quiet) {
    StopLoading();
    const WPARAM serial = nextSerial_++;
    loading_ = serial;
    loadingUrl_ = url;
    quiet_ = quiet;
    readyState_ = READYSTATE_LOADING;
    if (IsTopLevel()) {
        events_->DownloadBegin();
        if (!Current(serial)) return;
    }
    if (IsAboutBlank(Utf8FromWide(url))) {
        PostMessageW(window_, WM_APP + 1, serial, 0);  // completes without a fetch
        return;
    }
    fetch_ = PageFetch::Start(url, window_, WM_APP + 2, serial);
    if (!fetch_) {
        loading_ = 0;
        readyState_ = document_ ? READYSTATE_COMPLETE : READYSTATE_UNINITIALIZED;
    }
}

void Browser::OnFetchDone(WPARAM serial) {
    if (!Current(serial) || !fetch_) return;
    const std::shared_ptr<PageFetch> fetch = std::move(fetch_);
    const FetchResult& result = fetch->Result();
    ComPtr<Browser> hold(this);
    const bool failed = result.error != 0 || result.status >= 400;
    const long status = result.error != 0 ? NavigateErrorStatus(result) : result.status;
    if (failed) {
        Trace(L"Browser: %ls failed with %ld", loadingUrl_.c_str(), status);
        if (!quiet_ && Events()->NavigateError(AsDispatch(), loadingUrl_, frameName_, status)) {
            if (!Current(serial)) return;
            // Cancelled: nothing is loaded and the page shown stays.
            loading_ = 0;
            readyState_ = document_ ? READYSTATE_COMPLETE : READYSTATE_UNINITIALIZED;
            if (IsTopLevel()) events_->DownloadComplete();
            return;
        }
        if (!Current(serial)) return;
    }
    if (!failed && IsDownload(result)) {
        OfferDownload(result.finalUrl);
        if (!Current(serial)) return;
        loading_ = 0;
        readyState_ = document_ ? READYSTATE_COMPLETE : READYSTATE_UNINITIALIZED;
        if (IsTopLevel()) events_->DownloadComplete();
        return;
    }
    // An error answer shows its own body when it has one.
    std::shared_ptr<const HtmlPage> page = (result.error != 0 || (failed && result.body.empty()))
                                               ? ErrorPage(loadingUrl_, status)
                                               : std::make_shared<HtmlPage>(ParseHtml(result.body));
    Install(serial, failed ? loadingUrl_ : result.finalUrl, std::move(page));
}

void Browser::Install(WPARAM serial, const std::wstring& url,
                      std::shared_ptr<const HtmlPage> page) {
    ComPtr<Browser> hold(this);
    TearDownContent();
    page_ = std::move(page);
    location_ = url;
    document_ = ComPtr<Document>(new Document(url, page_));
    focusedLink_ = -1;
    pressedLink_ = -1;
    SetWindowTextW(window_, url.c_str());
    readyState_ = READYSTATE_INTERACTIVE;
    if (!quiet_) {
        Events()->NavigateComplete2(AsDispatch(), url);
        if (!Current(serial)) return;
    }
    if (IsTopLevel()) {
        if (!quiet_) {
            events_->CommandStateChange(CSC_NAVIGATEFORWARD, false);
            events_->CommandStateChange(CSC_NAVIGATEBACK, false);
            events_->TitleChange(page_->title.empty() ? url : WideFromUtf8(page_->title));
            if (!Current(serial)) return;
        }
        // Asked after NavigateComplete2, so that a handler that the host set
        // on the new document answers.
        ApplyHostInfo();
        if (!Current(serial)) return;
    }
    LayOut();
    // Controls first, then frames, as the page lists them.
    embedOf_.assign(layout_.embeds.size(), 0);
    for (size_t i = 0; i < layout_.embeds.size(); ++i) {
        const PlacedEmbed& embed = layout_.embeds[i];
        const PageBlock& block = page_->blocks[embed.block];
        if (block.kind != PageBlock::Kind::Object) continue;
        const RECT box = {embed.box.left, embed.box.top, embed.box.right, embed.box.bottom};
        embedOf_[i] = objects_.size();
        objects_.push_back(ObjectSite::Create(window_, block, box));
        if (!Current(serial)) return;
    }
    InvalidateRect(window_, nullptr, TRUE);
    StartFrames(serial);
    if (Current(serial) && framesLoading_ == 0) Complete(serial);
}

void Browser::StartFrames(WPARAM serial) {
    framesLoading_ = 0;
    for (size_t i = 0; i < layout_.embeds.size(); ++i) {
        const PlacedEmbed& embed = layout_.embeds[i];
        const PageBlock& block = page_->blocks[embed.block];
        if (block.kind != PageBlock::Kind::Frame) continue;
        embedOf_[i] = frames_.size();
        auto frame = ComPtr<Browser>::Adopt(
            new Browser(top_, this, window_, WideFromUtf8(block.name), depth_ + 1));
        frames_.push_back(frame);
        if (frame->window_ == nullptr) continue;
        SetWindowPos(frame->window_, nullptr, embed.box.left, embed.box.top,
                     embed.box.right - embed.box.left, embed.box.bottom - embed.box.top,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        if (depth_ + 1 >= kMaxFrameDepth) continue;
        const std::string src = block.source.empty() ? "about:blank" : block.source;
        const std::wstring url = WideFromUtf8(ResolveUrl(Utf8FromWide(location_), src));
        if (quiet_) {
            frame->BeginLoad(url, true);
        } else {
            frame->NavigateTo(url);
        }
        if (!Current(serial)) return;
        if (frame->loading_ != 0) ++framesLoading_;
    }
}

void Browser::OnFrameComplete(Browser* frame) {
    (void)frame;
    if (loading_ == 0 || framesLoading_ == 0) return;  // a frame's own later navigation
    if (--framesLoading_ == 0) Complete(loading_);
}

void Browser::Complete(WPARAM serial) {
    ComPtr<Browser> hold(this);
    loading_ = 0;
    readyState_ = READYSTATE_COMPLETE;
    const bool quiet = quiet_;
    if (IsTopLevel()) {
        events_->DownloadComplete();
        if (loading_ != 0 || window_ == nullptr) return;
    }
    // The top-level browser's comes after every frame's.
    if (!quiet) {
        Events()->DocumentComplete(AsDispatch(), location_);
        if (loading_ != 0 || window_ == nullptr) return;
    }
    if (page_->refresh) {
        SetTimer(window_, 1, static_cast<UINT>(page_->refresh->seconds) * 1000u, nullptr);
    }
    (void)serial;
    if (parent_ != nullptr) parent_->OnFrameComplete(this);
}

void Browser::StopLoading() {
    if (fetch_) fetch_->Cancel();
    fetch_.reset();
    loading_ = 0;
    framesLoading_ = 0;
    if (window_ != nullptr) KillTimer(window_, 1);
    for (auto& frame : frames_) frame->StopLoading();
    if (readyState_ != READYSTATE_COMPLETE) {
        readyState_ = document_ ? READYSTATE_COMPLETE : READYSTATE_UNINITIALIZED;
    }
}

void Browser::OfferDownload(const std::wstring& url) {
    // Where the system browser asks its host for a download manager.
    ComPtr<IServiceProvider> services = top_ ? top_->site_.As<IServiceProvider>() : nullptr;
    ComPtr<IDownloadManager> manager;
    if (!services ||
        FAILED(services->QueryService(__uuidof(IDownloadManager), __uuidof(IDownloadManager),
                                      manager.put_void())) ||
        !manager) {
        Trace(L"Browser: no download manager for %ls; nothing is downloaded", url.c_str());
        return;
    }
    ComPtr<IMoniker> moniker;
    ComPtr<IBindCtx> context;
    if (FAILED(CreateURLMonikerEx(nullptr, url.c_str(), moniker.put(), URL_MK_UNIFORM)) ||
        FAILED(CreateBindCtx(0, context.put()))) {
        Trace(L"Browser: no moniker for %ls", url.c_str());
        return;
    }
    const HRESULT hr = manager->Download(moniker.get(), context.get(), BINDVERB_GET, 0, nullptr,
                                         nullptr, nullptr, CP_ACP);
    Trace(L"Browser: download of %ls handed to the host: 0x%08lx", url.c_str(),
          static_cast<unsigned long>(hr));
}

void Browser::TearDownContent() {
    for (auto& object : objects_) object->Close();
    objects_.clear();
    for (auto& frame : frames_) frame->Detach();
    frames_.clear();
    embedOf_.clear();
    framesLoading_ = 0;
}

void Browser::Detach() {
    StopLoading();
    TearDownContent();
    top_ = nullptr;
    parent_ = nullptr;
    if (window_ != nullptr) {
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
        window_ = nullptr;
    }
    document_.reset();
}

STDMETHODIMP Browser::Stop() {
    const bool wasLoading = loading_ != 0;
    StopLoading();
    if (IsTopLevel() && wasLoading) events_->DownloadComplete();
    return S_OK;
}

STDMETHODIMP Browser::Refresh() {
    // The system browser reloads without navigation events; a load under
    // way is left to finish.
    if (loading_ != 0 || location_.empty() || window_ == nullptr) return S_OK;
    BeginLoad(location_, true);
    return S_OK;
}

STDMETHODIMP Browser::get_Document(IDispatch** out) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (!document_) return S_OK;
    return document_->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(out));
}

STDMETHODIMP Browser::get_LocationURL(BSTR* out) {
    return OutString(location_, out);
}

STDMETHODIMP Browser::get_Busy(VARIANT_BOOL* out) {
    if (out == nullptr) return E_POINTER;
    *out = loading_ != 0 ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

STDMETHODIMP Browser::get_ReadyState(READYSTATE* out) {
    if (out == nullptr) return E_POINTER;
    *out = readyState_;
    return S_OK;
}

STDMETHODIMP Browser::put_Silent(VARIANT_BOOL silent) {
    silent_ = silent != VARIANT_FALSE;  // there are no dialogs to keep quiet
    return S_OK;
}

STDMETHODIMP Browser::get_Silent(VARIANT_BOOL* out) {
    if (out == nullptr) return E_POINTER;
    *out = silent_ ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

// ----------------------------------------------- IConnectionPointContainer

STDMETHODIMP Browser::EnumConnectionPoints(IEnumConnectionPoints** out) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP Browser::FindConnectionPoint(REFIID riid, IConnectionPoint** out) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (riid != DIID_DWebBrowserEvents2) return CONNECT_E_NOCONNECTION;
    *out = events_.get();
    (*out)->AddRef();
    return S_OK;
}

// --------------------------------------------------------------- IOleObject

STDMETHODIMP Browser::SetClientSite(IOleClientSite* site) {
    site_ = ComPtr<IOleClientSite>(site);
    if (!site_) {
        if (document_) document_->DropUiHandler();
        return S_OK;
    }
    ApplyHostInfo();
    return S_OK;
}

STDMETHODIMP Browser::GetClientSite(IOleClientSite** out) {
    if (out == nullptr) return E_POINTER;
    *out = site_.CopyOut();
    return S_OK;
}

STDMETHODIMP Browser::Close(DWORD) {
    StopLoading();
    InPlaceDeactivate();
    TearDownContent();
    if (document_) document_->DropUiHandler();
    return S_OK;
}

STDMETHODIMP Browser::GetMoniker(DWORD, DWORD, IMoniker** out) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP Browser::GetClipboardData(DWORD, IDataObject** out) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP Browser::DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND, LPCRECT position) {
    switch (verb) {
        case OLEIVERB_PRIMARY:
        case OLEIVERB_SHOW:
        case OLEIVERB_INPLACEACTIVATE:
            return InPlaceActivate(site, position, false) ? S_OK : E_FAIL;
        case OLEIVERB_UIACTIVATE:
            return InPlaceActivate(site, position, true) ? S_OK : E_FAIL;
        case OLEIVERB_HIDE:
            if (window_ != nullptr) ShowWindow(window_, SW_HIDE);
            return S_OK;
        default:
            return OLEOBJ_S_INVALIDVERB;
    }
}

bool Browser::InPlaceActivate(IOleClientSite* activeSite, LPCRECT position, bool uiActivate) {
    if (!inPlaceActive_) {
        IOleClientSite* site = activeSite ? activeSite : site_.get();
        if (site == nullptr) return false;
        ComPtr<IOleInPlaceSite> inPlaceSite = ComPtr<IOleClientSite>(site).As<IOleInPlaceSite>();
        if (!inPlaceSite || inPlaceSite->CanInPlaceActivate() != S_OK) return false;
        if (FAILED(inPlaceSite->OnInPlaceActivate())) return false;
        HWND parent = nullptr;
        if (FAILED(inPlaceSite->GetWindow(&parent)) || parent == nullptr) {
            inPlaceSite->OnInPlaceDeactivate();
            return false;
        }
        RECT box = {0, 0, 0, 0};
        RECT clip = {0, 0, 0, 0};
        OLEINPLACEFRAMEINFO info = {};
        info.cb = sizeof info;
        frame_.reset();
        uiWindow_.reset();
        inPlaceSite->GetWindowContext(frame_.put(), uiWindow_.put(), &box, &clip, &info);
        if (position != nullptr) box = *position;
        inPlaceSite_ = inPlaceSite;
        inPlaceActive_ = true;
        // The window was a message-only window until now.
        SetParent(window_, parent);
        SetWindowPos(window_, HWND_TOP, box.left, box.top, box.right - box.left,
                     box.bottom - box.top, SWP_SHOWWINDOW | SWP_FRAMECHANGED);
    } else {
        if (position != nullptr) SetObjectRects(position, position);
        ShowWindow(window_, SW_SHOW);
    }
    if (uiActivate && !uiActive_) {
        uiActive_ = true;
        inPlaceSite_->OnUIActivate();
        if (frame_) frame_->SetActiveObject(static_cast<IOleInPlaceActiveObject*>(this), L"");
        if (uiWindow_) uiWindow_->SetActiveObject(static_cast<IOleInPlaceActiveObject*>(this), L"");
        SetFocus(window_);
    }
    return true;
}

STDMETHODIMP Browser::EnumVerbs(IEnumOLEVERB** out) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    return OLE_S_USEREG;
}

STDMETHODIMP Browser::GetUserClassID(CLSID* out) {
    if (out == nullptr) return E_POINTER;
    *out = CLSID_WebBrowser;
    return S_OK;
}

STDMETHODIMP Browser::GetUserType(DWORD, LPOLESTR* out) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    return OLE_S_USEREG;
}

STDMETHODIMP Browser::SetExtent(DWORD aspect, SIZEL* size) {
    if (size == nullptr) return E_POINTER;
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    extent_ = *size;
    return S_OK;
}

STDMETHODIMP Browser::GetExtent(DWORD aspect, SIZEL* size) {
    if (size == nullptr) return E_POINTER;
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    *size = extent_;
    return S_OK;
}

STDMETHODIMP Browser::Advise(IAdviseSink*, DWORD* cookie) {
    if (cookie == nullptr) return E_POINTER;
    *cookie = 0;
    return OLE_E_ADVISENOTSUPPORTED;
}

STDMETHODIMP Browser::EnumAdvise(IEnumSTATDATA** out) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    return OLE_E_ADVISENOTSUPPORTED;
}

STDMETHODIMP Browser::GetMiscStatus(DWORD, DWORD* status) {
    if (status == nullptr) return E_POINTER;
    *status = OLEMISC_SETCLIENTSITEFIRST | OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_INSIDEOUT |
              OLEMISC_CANTLINKINSIDE | OLEMISC_RECOMPOSEONRESIZE;
    return S_OK;
}

// ---------------------------------------------------------- in-place object

STDMETHODIMP Browser::GetWindow(HWND* out) {
    if (out == nullptr) return E_POINTER;
    *out = inPlaceActive_ ? window_ : nullptr;
    return *out ? S_OK : E_FAIL;
}

STDMETHODIMP Browser::InPlaceDeactivate() {
    if (!inPlaceActive_) return S_OK;
    UIDeactivate();
    inPlaceActive_ = false;
    if (window_ != nullptr) {
        ShowWindow(window_, SW_HIDE);
        SetParent(window_, HWND_MESSAGE);
    }
    frame_.reset();
    uiWindow_.reset();
    ComPtr<IOleInPlaceSite> site = std::move(inPlaceSite_);
    site->OnInPlaceDeactivate();
    return S_OK;
}

STDMETHODIMP Browser::UIDeactivate() {
    if (!uiActive_) return S_OK;
    uiActive_ = false;
    if (frame_) frame_->SetActiveObject(nullptr, nullptr);
    if (uiWindow_) uiWindow_->SetActiveObject(nullptr, nullptr);
    if (inPlaceSite_) inPlaceSite_->OnUIDeactivate(FALSE);
    return S_OK;
}

STDMETHODIMP Browser::SetObjectRects(LPCRECT position, LPCRECT) {
    if (position == nullptr) return E_POINTER;
    if (window_ == nullptr) return E_UNEXPECTED;
    SetWindowPos(window_, nullptr, position->left, position->top, position->right - position->left,
                 position->bottom - position->top, SWP_NOZORDER | SWP_NOACTIVATE);
    return S_OK;
}

// ---------------------------------------------------------------- IViewObject

STDMETHODIMP Browser::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc, LPCRECTL bounds,
                           LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (dc == nullptr || bounds == nullptr) return E_INVALIDARG;
    const RECT box = {bounds->left, bounds->top, bounds->right, bounds->bottom};
    const int inset = Inset();
    PaintPage(dc, box,
              LayOutFor(box.right - box.left - 2 * inset, box.bottom - box.top - 2 * inset), false);
    return S_OK;
}

STDMETHODIMP Browser::GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE** out) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    return S_FALSE;
}

STDMETHODIMP Browser::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) {
    viewSink_ = ComPtr<IAdviseSink>(sink);
    viewSinkAspects_ = aspects;
    viewSinkFlags_ = flags;
    return S_OK;
}

STDMETHODIMP Browser::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) {
    if (aspects != nullptr) *aspects = viewSinkAspects_;
    if (flags != nullptr) *flags = viewSinkFlags_;
    if (sink != nullptr) *sink = viewSink_.CopyOut();
    return S_OK;
}

}  // namespace testbrowser
