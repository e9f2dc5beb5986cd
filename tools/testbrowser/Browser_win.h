// The test world's WebBrowser control: one COM object per browser, the
// top-level one that hosts create by the WebBrowser class id and one per
// frame of a page. It navigates (pages fetched on a worker thread, events
// raised on the UI thread in the system browser's order with working
// cancel), builds the page's document, shows the page in its own window
// (a child of the host's window once activated in place), loads frames and
// <object> controls, follows meta refresh, and asks the host's
// IDocHostUIHandler and IServiceProvider where the system browser does.
// See tools/testbrowser/README.md for what it leaves out. A browser lives
// on the thread that made it (single-threaded apartment).
#pragma once

#include <docobj.h>
#include <mshtmhst.h>
#include <ocidl.h>
#include <oleidl.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/win/ComPtr_win.h"
#include "tools/testbrowser/Document_win.h"
#include "tools/testbrowser/Events_win.h"
#include "tools/testbrowser/Module_win.h"
#include "tools/testbrowser/NotImplemented_win.h"
#include "tools/testbrowser/ObjectSite_win.h"
#include "tools/testbrowser/PageFetch_win.h"
#include "tools/testbrowser/PageLayout.h"

namespace testbrowser {

// The test hook for clicking a link: WM_COPYDATA to a browser's window
// with this dwData and the link's text (UTF-16, without terminator) as
// data. The browser follows the first link of its page, or of a frame's
// page, whose text is exactly that, as a click would; the message returns
// TRUE when there was such a link.
constexpr ULONG_PTR kClickLinkCopyData = 0x54424C4B;  // "TBLK"

// The window class of a browser's window; its text is the page's address.
constexpr wchar_t kViewClass[] = L"TestBrowserView";

class Browser final : public WebBrowser2NotImpl,
                      public IConnectionPointContainer,
                      public IOleObject,
                      public IOleInPlaceObject,
                      public IOleInPlaceActiveObject,
                      public IViewObject {
public:
    static ComPtr<Browser> CreateTopLevel();
    static void UnregisterWindowClass();
    ~Browser();

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
    STDMETHODIMP_(ULONG) Release() override;
    TESTBROWSER_NO_AUTOMATION

    // IWebBrowser2, what hosts use
    STDMETHODIMP Navigate(BSTR url, VARIANT* flags, VARIANT* frame, VARIANT* postData,
                          VARIANT* headers) override;
    STDMETHODIMP Navigate2(VARIANT* url, VARIANT* flags, VARIANT* frame, VARIANT* postData,
                           VARIANT* headers) override;
    STDMETHODIMP Stop() override;
    STDMETHODIMP Refresh() override;
    STDMETHODIMP get_Document(IDispatch** out) override;
    STDMETHODIMP get_LocationURL(BSTR* out) override;
    STDMETHODIMP get_Busy(VARIANT_BOOL* out) override;
    STDMETHODIMP get_ReadyState(READYSTATE* out) override;
    STDMETHODIMP put_Silent(VARIANT_BOOL silent) override;
    STDMETHODIMP get_Silent(VARIANT_BOOL* out) override;

    // IConnectionPointContainer
    STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** out) override;
    STDMETHODIMP FindConnectionPoint(REFIID riid, IConnectionPoint** out) override;

    // IOleObject
    STDMETHODIMP SetClientSite(IOleClientSite* site) override;
    STDMETHODIMP GetClientSite(IOleClientSite** out) override;
    STDMETHODIMP SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
    STDMETHODIMP Close(DWORD saveOption) override;
    STDMETHODIMP SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** out) override;
    STDMETHODIMP InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetClipboardData(DWORD, IDataObject** out) override;
    STDMETHODIMP DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent,
                        LPCRECT position) override;
    STDMETHODIMP EnumVerbs(IEnumOLEVERB** out) override;
    STDMETHODIMP Update() override { return S_OK; }
    STDMETHODIMP IsUpToDate() override { return S_OK; }
    STDMETHODIMP GetUserClassID(CLSID* out) override;
    STDMETHODIMP GetUserType(DWORD, LPOLESTR* out) override;
    STDMETHODIMP SetExtent(DWORD aspect, SIZEL* size) override;
    STDMETHODIMP GetExtent(DWORD aspect, SIZEL* size) override;
    STDMETHODIMP Advise(IAdviseSink*, DWORD* cookie) override;
    STDMETHODIMP Unadvise(DWORD) override { return OLE_E_NOCONNECTION; }
    STDMETHODIMP EnumAdvise(IEnumSTATDATA** out) override;
    STDMETHODIMP GetMiscStatus(DWORD aspect, DWORD* status) override;
    STDMETHODIMP SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

    // IOleWindow (of IOleInPlaceObject and IOleInPlaceActiveObject)
    STDMETHODIMP GetWindow(HWND* out) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    // IOleInPlaceObject
    STDMETHODIMP InPlaceDeactivate() override;
    STDMETHODIMP UIDeactivate() override;
    STDMETHODIMP SetObjectRects(LPCRECT position, LPCRECT clip) override;
    STDMETHODIMP ReactivateAndUndo() override { return E_NOTIMPL; }
    // IOleInPlaceActiveObject
    STDMETHODIMP TranslateAccelerator(LPMSG message) override;
    STDMETHODIMP OnFrameWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnDocWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }

    // IViewObject
    STDMETHODIMP Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc, LPCRECTL bounds,
                      LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) override;
    STDMETHODIMP GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE** out) override;
    STDMETHODIMP Freeze(DWORD, LONG, void*, DWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP Unfreeze(DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) override;
    STDMETHODIMP GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override;

private:
    Browser(Browser* top, Browser* parent, HWND parentWindow, std::wstring frameName, int depth);

    bool IsTopLevel() const { return parent_ == nullptr; }
    IDispatch* AsDispatch() { return static_cast<IWebBrowser2*>(this); }
    // The top-level browser's events, none once a frame is cut off.
    BrowserEvents* Events();
    // The host's handler: the one set on the current top-level document,
    // else the site's.
    ComPtr<IDocHostUIHandler> UiHandler();

    // Navigation: BeforeNavigate2, then a load that ends in Install or in
    // NavigateError; each step checks that the load is still the current
    // one, since every event may start, stop or release anything.
    HRESULT NavigateTo(const std::wstring& url);
    void BeginLoad(const std::wstring& url, bool quiet);
    bool Current(WPARAM serial) const { return loading_ == serial && window_ != nullptr; }
    void OnFetchDone(WPARAM serial);
    void Install(WPARAM serial, const std::wstring& url, std::shared_ptr<const HtmlPage> page);
    void StartFrames(WPARAM serial);
    void OnFrameComplete(Browser* frame);
    void Complete(WPARAM serial);
    void StopLoading();
    void OfferDownload(const std::wstring& url);
    void TearDownContent();
    void Detach();  // a frame whose page went away

    // The page's window (BrowserView_win.cpp).
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool CreateView(HWND parentWindow);
    void LayOut();
    PageLayout LayOutFor(int width, int height) const;
    void PaintPage(HDC dc, const RECT& bounds, const PageLayout& layout, bool window);
    int Inset() const;
    void FollowLink(int link);
    bool ClickLinkByText(const std::wstring& text);
    void OpenNewWindow(const std::wstring& url);
    Browser* FindFrame(const std::wstring& name);
    void ShowContextMenu(POINT screen);
    void ApplyHostInfo();
    bool InPlaceActivate(IOleClientSite* site, LPCRECT position, bool uiActivate);

    ULONG refs_ = 1;   // the creator's: its window calls in while it is made
    Browser* top_;     // this for the top-level browser; none once cut off
    Browser* parent_;  // none for the top-level browser
    std::wstring frameName_;
    int depth_;
    std::unique_ptr<BrowserEvents> events_;  // the top-level browser's

    HWND window_ = nullptr;
    ComPtr<IOleClientSite> site_;
    ComPtr<IOleInPlaceSite> inPlaceSite_;
    ComPtr<IOleInPlaceFrame> frame_;
    ComPtr<IOleInPlaceUIWindow> uiWindow_;
    ComPtr<IAdviseSink> viewSink_;
    DWORD viewSinkAspects_ = 0;
    DWORD viewSinkFlags_ = 0;
    bool inPlaceActive_ = false;
    bool uiActive_ = false;
    SIZEL extent_ = {0, 0};
    DWORD hostFlags_ = 0;
    bool silent_ = false;

    // The load in progress: its serial, fetch and whether it raises the
    // navigation events (a refresh does not).
    WPARAM loading_ = 0;
    WPARAM nextSerial_ = 1;
    std::wstring loadingUrl_;
    bool quiet_ = false;
    std::shared_ptr<PageFetch> fetch_;
    size_t framesLoading_ = 0;
    READYSTATE readyState_ = READYSTATE_UNINITIALIZED;

    // The page shown.
    std::wstring location_;
    std::shared_ptr<const HtmlPage> page_;
    ComPtr<Document> document_;
    PageLayout layout_;
    std::vector<ComPtr<Browser>> frames_;  // by embed order
    std::vector<ComPtr<ObjectSite>> objects_;
    std::vector<size_t> embedOf_;  // frames_/objects_ index of each layout embed
    int focusedLink_ = -1;
    int pressedLink_ = -1;

    ModuleReference module_;
};

}  // namespace testbrowser
