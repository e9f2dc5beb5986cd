// The test browser in the test prefix, driven through its COM interfaces
// the way a host drives the system's WebBrowser control: created by the
// WebBrowser class id, sited and activated in a skinned window, navigated
// against the dev portal, its events checked for order and VARIANT types,
// its document read, its embedded controls and frames loaded, and taken
// down again to reference counts of zero.
#include <downloadmgr.h>
#include <exdisp.h>
#include <exdispid.h>
#include <gtest/gtest.h>
#include <mshtmhst.h>
#include <mshtml.h>
#include <ocidl.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "LauncherConfig.h"
#include "common/win/ComPtr_win.h"
#include "common/win/ModulePath_win.h"
#include "support/SkinnedWindowTest_win.h"
#include "support/ScreenCapture_win.h"
#include "support/UiTestHost_win.h"
#include "support/WinTestSupport_win.h"
#include "tools/testbrowser/Browser_win.h"

namespace {

using testsupport::UiTestHost;

const std::wstring kPortal = std::wstring(L"http://") + LAUNCHER_PORTAL_HOST + L"/testbrowser/";

// The test doubles live on the test's stack and count their references,
// so that a test can see them all returned.
#define COUNTED_BY_THE_TEST                   \
    ULONG refs = 0;                           \
    STDMETHODIMP_(ULONG) AddRef() override {  \
        return ++refs;                        \
    }                                         \
    STDMETHODIMP_(ULONG) Release() override { \
        return --refs;                        \
    }

// The host's answers to the browser's document-host questions, and a log.
class HandlerBase : public IDocHostUIHandler {
public:
    std::vector<std::string> calls;
    DWORD hostFlags = 0;
    HRESULT contextMenuAnswer = S_OK;
    HRESULT acceleratorAnswer = S_FALSE;

    STDMETHODIMP ShowContextMenu(DWORD id, POINT*, IUnknown*, IDispatch* element) override {
        calls.push_back("ShowContextMenu:" + std::to_string(id) + (element ? ":element" : ""));
        return contextMenuAnswer;
    }
    STDMETHODIMP GetHostInfo(DOCHOSTUIINFO* info) override {
        calls.push_back("GetHostInfo");
        if (info == nullptr || info->cbSize != sizeof(DOCHOSTUIINFO)) return E_INVALIDARG;
        info->dwFlags |= hostFlags;
        return S_OK;
    }
    STDMETHODIMP ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                        IOleInPlaceUIWindow*) override {
        return S_FALSE;
    }
    STDMETHODIMP HideUI() override { return S_OK; }
    STDMETHODIMP UpdateUI() override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
    STDMETHODIMP OnDocWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnFrameWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG message, const GUID*, DWORD) override {
        calls.push_back("TranslateAccelerator:" + std::to_string(message->wParam));
        return acceleratorAnswer;
    }
    STDMETHODIMP GetOptionKeyPath(LPOLESTR*, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetDropTarget(IDropTarget*, IDropTarget**) override { return E_NOTIMPL; }
    STDMETHODIMP GetExternal(IDispatch**) override { return E_NOTIMPL; }
    STDMETHODIMP TranslateUrl(DWORD, LPWSTR, LPWSTR*) override { return E_NOTIMPL; }
    STDMETHODIMP FilterDataObject(IDataObject*, IDataObject**) override { return E_NOTIMPL; }
};

class CustomHandler : public HandlerBase {
public:
    COUNTED_BY_THE_TEST
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
        if (riid == IID_IUnknown || riid == IID_IDocHostUIHandler) {
            *out = static_cast<IDocHostUIHandler*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
};

class DownloadManager : public IDownloadManager {
public:
    COUNTED_BY_THE_TEST
    std::vector<std::wstring> urls;
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
        if (riid == IID_IUnknown || riid == __uuidof(IDownloadManager)) {
            *out = static_cast<IDownloadManager*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP Download(IMoniker* moniker, IBindCtx* context, DWORD, LONG, BINDINFO*, LPCOLESTR,
                          LPCOLESTR, UINT) override {
        LPOLESTR name = nullptr;
        if (moniker && SUCCEEDED(moniker->GetDisplayName(context, nullptr, &name))) {
            urls.emplace_back(name);
            CoTaskMemFree(name);
        }
        return S_OK;
    }
};

// The client site of a host window: in-place site, document host and
// service provider (the download manager when it has one).
class Site : public IOleClientSite,
             public IOleInPlaceSite,
             public HandlerBase,
             public IServiceProvider {
public:
    COUNTED_BY_THE_TEST
    Site(HWND window, RECT box) : window_(window), box_(box) {}
    IDownloadManager* downloads = nullptr;

    STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
        if (riid == IID_IUnknown || riid == IID_IOleClientSite) {
            *out = static_cast<IOleClientSite*>(this);
        } else if (riid == IID_IOleWindow || riid == IID_IOleInPlaceSite) {
            *out = static_cast<IOleInPlaceSite*>(this);
        } else if (riid == IID_IDocHostUIHandler) {
            *out = static_cast<IDocHostUIHandler*>(this);
        } else if (riid == IID_IServiceProvider) {
            *out = static_cast<IServiceProvider*>(this);
        } else {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP GetContainer(IOleContainer** out) override {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }
    STDMETHODIMP GetWindow(HWND* out) override {
        *out = window_;
        return S_OK;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnInPlaceActivate() override {
        calls.push_back("OnInPlaceActivate");
        return S_OK;
    }
    STDMETHODIMP OnUIActivate() override { return S_OK; }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, RECT* pos,
                                  RECT* clip, OLEINPLACEFRAMEINFO*) override {
        *frame = nullptr;
        *doc = nullptr;
        *pos = box_;
        *clip = box_;
        return S_OK;
    }
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnInPlaceDeactivate() override {
        calls.push_back("OnInPlaceDeactivate");
        return S_OK;
    }
    STDMETHODIMP DiscardUndoState() override { return E_NOTIMPL; }
    STDMETHODIMP DeactivateAndUndo() override { return E_NOTIMPL; }
    STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }
    STDMETHODIMP QueryService(REFGUID service, REFIID riid, void** out) override {
        *out = nullptr;
        if (downloads == nullptr || service != __uuidof(IDownloadManager)) return E_NOINTERFACE;
        return downloads->QueryInterface(riid, out);
    }

private:
    HWND window_;
    RECT box_;
};

struct Event {
    DISPID id = 0;
    std::wstring url;          // the event's address (NewWindow3: the new window's)
    ComPtr<IUnknown> browser;  // the raising browser's identity
    long status = 0;
    std::wstring frame;
};

// The DWebBrowserEvents2 sink: records each event and checks its
// arguments' count and VARIANT types against the system browser's.
class EventSink : public IDispatch {
public:
    COUNTED_BY_THE_TEST
    std::vector<Event> events;
    std::vector<std::string> typeErrors;
    std::function<void(const Event&, DISPPARAMS*)> react;

    STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
        // Only IDispatch, as the launcher's sink answers.
        if (riid == IID_IUnknown || riid == IID_IDispatch) {
            *out = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP GetTypeInfoCount(UINT* n) override {
        *n = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP Invoke(DISPID id, REFIID riid, LCID, WORD, DISPPARAMS* p, VARIANT*, EXCEPINFO*,
                        UINT*) override {
        if (riid != IID_NULL) typeErrors.push_back("riid");
        Event e;
        e.id = id;
        auto expect = [&](UINT index, VARTYPE type) {
            if (index >= p->cArgs || p->rgvarg[index].vt != type) {
                typeErrors.push_back(std::to_string(id) + ":arg" + std::to_string(index));
                return false;
            }
            return true;
        };
        auto byrefString = [&](UINT index) -> std::wstring {
            if (!expect(index, VT_VARIANT | VT_BYREF)) return {};
            const VARIANT* inner = p->rgvarg[index].pvarVal;
            if (inner->vt != VT_BSTR) {
                typeErrors.push_back(std::to_string(id) + ":inner" + std::to_string(index));
                return {};
            }
            return inner->bstrVal ? inner->bstrVal : L"";
        };
        auto dispatch = [&](UINT index) {
            if (expect(index, VT_DISPATCH))
                p->rgvarg[index].pdispVal->QueryInterface(IID_IUnknown, e.browser.put_void());
        };
        switch (id) {
            case DISPID_BEFORENAVIGATE2:
                if (p->cArgs != 7) typeErrors.push_back("250:count");
                dispatch(6);
                e.url = byrefString(5);
                if (expect(4, VT_VARIANT | VT_BYREF) && p->rgvarg[4].pvarVal->vt != VT_I4)
                    typeErrors.push_back("250:flags");
                e.frame = byrefString(3);
                if (expect(2, VT_VARIANT | VT_BYREF) &&
                    p->rgvarg[2].pvarVal->vt != (VT_VARIANT | VT_BYREF))
                    typeErrors.push_back("250:postdata");
                byrefString(1);
                expect(0, VT_BOOL | VT_BYREF);
                break;
            case DISPID_NAVIGATECOMPLETE2:
            case DISPID_DOCUMENTCOMPLETE:
                if (p->cArgs != 2) typeErrors.push_back(std::to_string(id) + ":count");
                dispatch(1);
                e.url = byrefString(0);
                break;
            case DISPID_NAVIGATEERROR:
                if (p->cArgs != 5) typeErrors.push_back("271:count");
                dispatch(4);
                e.url = byrefString(3);
                e.frame = byrefString(2);
                if (expect(1, VT_VARIANT | VT_BYREF) && p->rgvarg[1].pvarVal->vt == VT_I4)
                    e.status = p->rgvarg[1].pvarVal->lVal;
                expect(0, VT_BOOL | VT_BYREF);
                break;
            case DISPID_NEWWINDOW2:
                expect(1, VT_DISPATCH | VT_BYREF);
                expect(0, VT_BOOL | VT_BYREF);
                break;
            case DISPID_NEWWINDOW3:
                expect(4, VT_DISPATCH | VT_BYREF);
                expect(3, VT_BOOL | VT_BYREF);
                if (expect(2, VT_UI4)) e.status = static_cast<long>(p->rgvarg[2].ulVal);
                if (expect(0, VT_BSTR)) e.url = p->rgvarg[0].bstrVal;
                if (expect(1, VT_BSTR)) e.frame = p->rgvarg[1].bstrVal;  // the context address
                break;
            default:
                break;
        }
        events.push_back(e);
        if (react) react(events.back(), p);
        return S_OK;
    }

    // The navigation events only, as "BeforeNavigate2 <url>" lines.
    std::vector<std::wstring> Navigation(IUnknown* top = nullptr) const {
        std::vector<std::wstring> lines;
        for (const auto& e : events) {
            const wchar_t* name = e.id == DISPID_BEFORENAVIGATE2     ? L"Before "
                                  : e.id == DISPID_NAVIGATECOMPLETE2 ? L"Navigated "
                                  : e.id == DISPID_DOCUMENTCOMPLETE  ? L"Complete "
                                  : e.id == DISPID_NAVIGATEERROR     ? L"Error "
                                                                     : nullptr;
            if (name == nullptr) continue;
            std::wstring where =
                top == nullptr ? L"" : (e.browser.get() == top ? L"top " : L"frame ");
            lines.push_back(where + name + e.url);
        }
        return lines;
    }
    size_t Count(DISPID id) const {
        size_t n = 0;
        for (const auto& e : events) n += e.id == id;
        return n;
    }
};

void SetCancel(DISPPARAMS* p, UINT index) {
    *p->rgvarg[index].pboolVal = VARIANT_TRUE;
}

// One browser, created by the WebBrowser class id and hosted at |box| of a
// skinned window, with its events advised; taken down in the host's order.
class HostedBrowser {
public:
    explicit HostedBrowser(
        RECT box = {20, 20, 620, 420},
        const std::wstring& layout =
            L"<Window size=\"640,440\"><VerticalLayout bkcolor=\"#FF1B2230\"/></Window>")
        : host(layout, 30, 30), site(host.hwnd(), box), box_(box) {
        EXPECT_EQ(CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IWebBrowser2, browser.put_void()),
                  S_OK);
        if (!browser) return;
        ole = browser.As<IOleObject>();
        EXPECT_EQ(ole->SetClientSite(&site), S_OK);
        EXPECT_EQ(ole->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &site, 0, host.hwnd(), &box_),
                  S_OK);
        auto container = browser.As<IConnectionPointContainer>();
        EXPECT_EQ(container->FindConnectionPoint(DIID_DWebBrowserEvents2, point.put()), S_OK);
        EXPECT_EQ(point->Advise(&sink, &cookie), S_OK);
        topIdentity = browser.As<IUnknown>();
    }
    ~HostedBrowser() { TakeDown(); }

    void TakeDown() {
        if (!browser) return;
        point->Unadvise(cookie);
        point.reset();
        browser.As<IOleInPlaceObject>()->InPlaceDeactivate();
        ole->Close(OLECLOSE_NOSAVE);
        ole->SetClientSite(nullptr);
        ole.reset();
        topIdentity.reset();
        browser.reset();
        UiTestHost::Drain();
    }

    HWND View() {
        HWND window = nullptr;
        browser.As<IOleWindow>()->GetWindow(&window);
        return window;
    }
    bool Navigate(const std::wstring& url) {
        BSTR text = SysAllocString(url.c_str());
        const HRESULT hr = browser->Navigate(text, nullptr, nullptr, nullptr, nullptr);
        SysFreeString(text);
        return hr == S_OK;
    }
    bool Load(const std::wstring& url) { return Navigate(url) && WaitComplete(url); }
    // Waits for the top-level DocumentComplete of |url|.
    bool WaitComplete(const std::wstring& url, DWORD timeoutMs = 15000) {
        return UiTestHost::DrainUntil(
            [&] {
                for (const auto& e : sink.events) {
                    if (e.id == DISPID_DOCUMENTCOMPLETE && e.url == url &&
                        e.browser.get() == topIdentity.get())
                        return true;
                }
                return false;
            },
            timeoutMs);
    }
    std::wstring Location() {
        BSTR text = nullptr;
        browser->get_LocationURL(&text);
        std::wstring value = text ? text : L"";
        SysFreeString(text);
        return value;
    }
    bool Click(const std::wstring& linkText) {
        COPYDATASTRUCT data = {testbrowser::kClickLinkCopyData,
                               static_cast<DWORD>(linkText.size() * sizeof(wchar_t)),
                               const_cast<wchar_t*>(linkText.data())};
        return SendMessageW(View(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)) == TRUE;
    }

    UiTestHost host;
    Site site;
    EventSink sink;
    ComPtr<IWebBrowser2> browser;
    ComPtr<IOleObject> ole;
    ComPtr<IConnectionPoint> point;
    ComPtr<IUnknown> topIdentity;
    DWORD cookie = 0;

private:
    RECT box_;
};

class TestBrowser : public testsupport::SkinnedWindowTest {};

TEST_F(TestBrowser, TheWebBrowserClassIsOursAndFollowsTheQueryInterfaceRules) {
    ComPtr<IUnknown> object;
    ASSERT_EQ(CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                               object.put_void()),
              S_OK);
    HMODULE module = nullptr;
    ASSERT_TRUE(GetModuleHandleExW(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        *reinterpret_cast<LPCWSTR*>(object.get()), &module));
    EXPECT_EQ(_wcsicmp(ModulePath(module).c_str(), testsupport::FromUnixPath(LAUNCHER_TESTBROWSER_PATH).c_str()), 0)
        << "served by another DLL";

    // Every interface leads back to one IUnknown, and to each other.
    const IID served[] = {IID_IDispatch,
                          IID_IWebBrowser2,
                          IID_IOleObject,
                          IID_IOleInPlaceObject,
                          IID_IOleInPlaceActiveObject,
                          IID_IOleWindow,
                          IID_IViewObject,
                          IID_IConnectionPointContainer};
    for (const IID& iid : served) {
        ComPtr<IUnknown> face;
        ASSERT_EQ(object->QueryInterface(iid, face.put_void()), S_OK);
        EXPECT_EQ(face.As<IUnknown>().get(), object.get());
        for (const IID& other : served) {
            ComPtr<IUnknown> next;
            EXPECT_EQ(face->QueryInterface(other, next.put_void()), S_OK);
        }
    }
    void* none = reinterpret_cast<void*>(1);
    EXPECT_EQ(object->QueryInterface(IID_IPersistFile, &none), E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(object->QueryInterface(IID_IWebBrowser2, nullptr), E_POINTER);
    auto browser = object.As<IWebBrowser2>();
    EXPECT_EQ(browser->get_LocationURL(nullptr), E_POINTER);
    EXPECT_EQ(browser->GoBack(), E_NOTIMPL);
    ComPtr<IConnectionPoint> point;
    EXPECT_EQ(object.As<IConnectionPointContainer>()->FindConnectionPoint(IID_IPropertyNotifySink,
                                                                          point.put()),
              CONNECT_E_NOCONNECTION);
}

TEST_F(TestBrowser, PlainPageRaisesTheNavigationEventsInOrder) {
    HostedBrowser b;
    const std::wstring url = kPortal + L"plain.html";
    ASSERT_TRUE(b.Navigate(url));
    // BeforeNavigate2 comes within the call.
    ASSERT_EQ(b.sink.events.size(), 2u);
    EXPECT_EQ(b.sink.events[0].id, DISPID_BEFORENAVIGATE2);
    VARIANT_BOOL busy = VARIANT_FALSE;
    b.browser->get_Busy(&busy);
    EXPECT_EQ(busy, VARIANT_TRUE);
    ASSERT_TRUE(b.WaitComplete(url));
    EXPECT_EQ(b.sink.Navigation(b.topIdentity.get()),
              (std::vector<std::wstring>{L"top Before " + url, L"top Navigated " + url,
                                         L"top Complete " + url}));
    EXPECT_TRUE(b.sink.typeErrors.empty()) << b.sink.typeErrors.front();
    EXPECT_EQ(b.sink.Count(DISPID_DOWNLOADBEGIN), 1u);
    EXPECT_EQ(b.sink.Count(DISPID_DOWNLOADCOMPLETE), 1u);
    EXPECT_EQ(b.Location(), url);
    READYSTATE state = READYSTATE_UNINITIALIZED;
    b.browser->get_ReadyState(&state);
    EXPECT_EQ(state, READYSTATE_COMPLETE);

    ComPtr<IDispatch> document;
    ASSERT_EQ(b.browser->get_Document(document.put()), S_OK);
    auto html = document.As<IHTMLDocument2>();
    ASSERT_TRUE(html);
    BSTR title = nullptr;
    html->get_title(&title);
    EXPECT_STREQ(title, L"测试页面 Plain page");
    SysFreeString(title);
    // The window's text is the page's address, for the tests of later hosts.
    wchar_t text[256] = {};
    GetWindowTextW(b.View(), text, 256);
    EXPECT_EQ(text, url);
}

TEST_F(TestBrowser, FrameEventsCarryTheFrameAndTheTopCompletesLast) {
    HostedBrowser b;
    const std::wstring url = kPortal + L"frame.html";
    const std::wstring inner = kPortal + L"inner.html";
    ASSERT_TRUE(b.Load(url));
    EXPECT_EQ(b.sink.Navigation(b.topIdentity.get()),
              (std::vector<std::wstring>{L"top Before " + url, L"top Navigated " + url,
                                         L"frame Before " + inner, L"frame Navigated " + inner,
                                         L"frame Complete " + inner, L"top Complete " + url}));
    EXPECT_TRUE(b.sink.typeErrors.empty());
    // The frame's own browser object knows its own page and name.
    ComPtr<IWebBrowser2> frame;
    for (const auto& e : b.sink.events) {
        if (e.id == DISPID_BEFORENAVIGATE2 && e.browser.get() != b.topIdentity.get()) {
            frame = e.browser.As<IWebBrowser2>();
            EXPECT_EQ(e.frame, L"inner");
        }
    }
    ASSERT_TRUE(frame);
    BSTR location = nullptr;
    frame->get_LocationURL(&location);
    EXPECT_STREQ(location, inner.c_str());
    SysFreeString(location);
    EXPECT_FALSE(frame.As<IOleObject>()) << "a frame is only a browser";

    // A link inside the frame navigates the frame; one with target _top the page.
    b.sink.events.clear();
    ASSERT_TRUE(b.Click(L"Frame link"));
    ASSERT_TRUE(
        UiTestHost::DrainUntil([&] { return b.sink.Count(DISPID_DOCUMENTCOMPLETE) == 1; }, 15000));
    EXPECT_EQ(b.sink.Navigation(b.topIdentity.get()).back(),
              L"frame Complete " + kPortal + L"next.html");
    EXPECT_EQ(b.Location(), url);
}

TEST_F(TestBrowser, CancelledNavigationLoadsNothing) {
    HostedBrowser b;
    const std::wstring first = kPortal + L"next.html";
    ASSERT_TRUE(b.Load(first));
    b.sink.events.clear();
    b.sink.react = [](const Event& e, DISPPARAMS* p) {
        if (e.id == DISPID_BEFORENAVIGATE2) SetCancel(p, 0);
    };
    const std::wstring probe = kPortal + L"plain.html?cancelled-probe";
    ASSERT_TRUE(b.Navigate(probe));
    // A navigation after it proves that the cancelled one had its chance.
    b.sink.react = nullptr;
    const std::wstring after = kPortal + L"popup.html";
    ASSERT_TRUE(b.Load(after));
    EXPECT_EQ(b.sink.Navigation(),
              (std::vector<std::wstring>{L"Before " + probe, L"Before " + after,
                                         L"Navigated " + after, L"Complete " + after}));
    const auto log = testsupport::ReadFileBytes(
        testsupport::FromUnixPath(std::string(LAUNCHER_DEVPORTAL_DIR) + "/requests.log"));
    EXPECT_EQ(log.find("cancelled-probe"), std::string::npos) << "the cancelled page was fetched";
}

TEST_F(TestBrowser, HttpErrorRaisesNavigateErrorWithItsStatus) {
    HostedBrowser b;
    const std::wstring gone = kPortal + L"gone.html";
    ASSERT_TRUE(b.Load(gone));
    EXPECT_EQ(b.sink.Navigation(),
              (std::vector<std::wstring>{L"Before " + gone, L"Error " + gone, L"Navigated " + gone,
                                         L"Complete " + gone}));
    for (const auto& e : b.sink.events) {
        if (e.id == DISPID_NAVIGATEERROR) {
            EXPECT_EQ(e.status, 404);
        }
    }
    EXPECT_TRUE(b.sink.typeErrors.empty());

    // Cancelled in NavigateError: the page shown stays.
    b.sink.events.clear();
    b.sink.react = [](const Event& e, DISPPARAMS* p) {
        if (e.id == DISPID_NAVIGATEERROR) SetCancel(p, 0);
    };
    const std::wstring missing = kPortal + L"no-such-page.html";
    ASSERT_TRUE(b.Navigate(missing));
    ASSERT_TRUE(
        UiTestHost::DrainUntil([&] { return b.sink.Count(DISPID_DOWNLOADCOMPLETE) == 1; }, 15000));
    EXPECT_EQ(b.sink.Navigation(),
              (std::vector<std::wstring>{L"Before " + missing, L"Error " + missing}));
    EXPECT_EQ(b.Location(), gone);
}

TEST_F(TestBrowser, MetaRefreshChainMovesOnPageByPage) {
    HostedBrowser b;
    ASSERT_TRUE(b.Navigate(kPortal + L"refresh/2"));
    ASSERT_TRUE(b.WaitComplete(kPortal + L"refresh/0"));
    std::vector<std::wstring> expected;
    for (const wchar_t* step : {L"2", L"1", L"0"}) {
        for (const wchar_t* name : {L"Before ", L"Navigated ", L"Complete "})
            expected.push_back(name + kPortal + L"refresh/" + step);
    }
    EXPECT_EQ(b.sink.Navigation(), expected);
}

TEST_F(TestBrowser, BodyOuterHtmlOfAJsonPage) {
    HostedBrowser b;
    const std::wstring url = kPortal + L"json.html";
    ASSERT_TRUE(b.Load(url));
    ComPtr<IDispatch> document;
    ASSERT_EQ(b.browser->get_Document(document.put()), S_OK);
    ComPtr<IHTMLElement> body;
    ASSERT_EQ(document.As<IHTMLDocument2>()->get_body(body.put()), S_OK);
    BSTR html = nullptr;
    ASSERT_EQ(body->get_outerHTML(&html), S_OK);
    EXPECT_STREQ(
        html,
        L"<BODY>[{\"name\":\"一区 &amp; more\",\"id\":1},{\"name\":\"二区\",\"id\":2}]</BODY>");
    SysFreeString(html);
    EXPECT_EQ(body->get_outerHTML(nullptr), E_POINTER);
}

TEST_F(TestBrowser, HandlerSetOnTheDocumentAnswersInPlaceOfTheSite) {
    HostedBrowser b;
    EXPECT_EQ(b.site.calls.front(), "GetHostInfo");  // asked when sited
    CustomHandler custom;
    custom.hostFlags = DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_SCROLL_NO;
    // As the launcher's control does on every NavigateComplete2.
    b.sink.react = [&](const Event& e, DISPPARAMS*) {
        if (e.id != DISPID_NAVIGATECOMPLETE2) return;
        ComPtr<IDispatch> document;
        b.browser->get_Document(document.put());
        EXPECT_EQ(document.As<ICustomDoc>()->SetUIHandler(&custom), S_OK);
    };
    const std::wstring url = kPortal + L"plain.html";
    ASSERT_TRUE(b.Load(url));
    EXPECT_EQ(custom.calls, (std::vector<std::string>{"GetHostInfo"}));
    // Without a 3D border and a scroll bar the page fills the whole box.
    EXPECT_EQ(GetWindowLongPtrW(b.View(), GWL_STYLE) & WS_VSCROLL, 0);

    // A right click asks the document's handler; S_OK means no menu.
    b.site.calls.clear();
    POINT point = {40, 40};
    ClientToScreen(b.View(), &point);
    SendMessageW(b.View(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(b.View()),
                 MAKELPARAM(point.x, point.y));
    EXPECT_EQ(custom.calls.back(), "ShowContextMenu:0:element");
    EXPECT_TRUE(b.site.calls.empty());

    // Keys go to the handler first; what it takes the page never sees.
    MSG tab = {b.View(), WM_KEYDOWN, VK_TAB, 0, 0, {0, 0}};
    auto active = b.browser.As<IOleInPlaceActiveObject>();
    custom.acceleratorAnswer = S_OK;
    EXPECT_EQ(active->TranslateAccelerator(&tab), S_OK);
    custom.acceleratorAnswer = S_FALSE;
    EXPECT_EQ(active->TranslateAccelerator(&tab), S_OK);  // the first link takes the focus
    MSG enter = {b.View(), WM_KEYDOWN, VK_RETURN, 0, 0, {0, 0}};
    b.sink.events.clear();
    EXPECT_EQ(active->TranslateAccelerator(&enter), S_OK);
    ASSERT_FALSE(b.sink.events.empty());
    EXPECT_EQ(b.sink.events.front().url, kPortal + L"next.html");
    MSG mouse = {b.View(), WM_LBUTTONDOWN, 0, 0, 0, {0, 0}};
    EXPECT_EQ(active->TranslateAccelerator(&mouse), S_FALSE);
    EXPECT_EQ(custom.calls,
              (std::vector<std::string>{"GetHostInfo", "ShowContextMenu:0:element",
                                        "TranslateAccelerator:9", "TranslateAccelerator:9",
                                        "TranslateAccelerator:13"}));
    b.TakeDown();
    EXPECT_EQ(custom.refs, 0u) << "the document kept the handler after Close";
}

TEST_F(TestBrowser, NewWindowLinksAskTheHostAndCancelHolds) {
    HostedBrowser b;
    const std::wstring url = kPortal + L"plain.html";
    ASSERT_TRUE(b.Load(url));
    b.sink.events.clear();
    ASSERT_TRUE(b.Click(L"New window"));
    ASSERT_EQ(b.sink.events.size(), 2u);
    EXPECT_EQ(b.sink.events[0].id, DISPID_NEWWINDOW2);
    EXPECT_EQ(b.sink.events[1].id, DISPID_NEWWINDOW3);
    EXPECT_EQ(b.sink.events[1].url, kPortal + L"popup.html");
    EXPECT_EQ(b.sink.events[1].frame, url);   // the context
    EXPECT_EQ(b.sink.events[1].status, 0x6);  // user initiated, first
    EXPECT_TRUE(b.sink.typeErrors.empty());

    b.sink.events.clear();
    b.sink.react = [](const Event& e, DISPPARAMS* p) {
        if (e.id == DISPID_NEWWINDOW2) SetCancel(p, 0);
    };
    ASSERT_TRUE(b.Click(L"New window"));
    EXPECT_EQ(b.sink.events.size(), 1u);
    EXPECT_FALSE(b.Click(L"No such link"));
}

TEST_F(TestBrowser, InPlaceActivationPlacesAndResizesTheWindow) {
    HostedBrowser b({30, 40, 330, 240});
    HWND view = b.View();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(GetParent(view), b.host.hwnd());
    EXPECT_TRUE(IsWindowVisible(view));
    RECT r;
    GetWindowRect(view, &r);
    MapWindowPoints(nullptr, b.host.hwnd(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 30);
    EXPECT_EQ(r.bottom, 240);
    const RECT moved = {10, 12, 410, 312};
    EXPECT_EQ(b.browser.As<IOleInPlaceObject>()->SetObjectRects(&moved, &moved), S_OK);
    GetWindowRect(view, &r);
    EXPECT_EQ(r.right - r.left, 400);
    EXPECT_EQ(r.bottom - r.top, 300);
    EXPECT_EQ(b.browser.As<IOleInPlaceObject>()->InPlaceDeactivate(), S_OK);
    EXPECT_FALSE(IsWindowVisible(view));
    EXPECT_NE(GetParent(view), b.host.hwnd());
    EXPECT_EQ(b.site.calls, (std::vector<std::string>{"GetHostInfo", "OnInPlaceActivate",
                                                      "OnInPlaceDeactivate"}));
}

TEST_F(TestBrowser, DownloadsGoToTheHostsDownloadManager) {
    HostedBrowser b;
    DownloadManager manager;
    b.site.downloads = &manager;
    const std::wstring url = kPortal + L"download.bin";
    ASSERT_TRUE(b.Navigate(url));
    ASSERT_TRUE(UiTestHost::DrainUntil([&] { return !manager.urls.empty(); }, 15000));
    EXPECT_EQ(manager.urls.front(), url);
    EXPECT_EQ(b.sink.Navigation(), (std::vector<std::wstring>{L"Before " + url}));
    b.TakeDown();
    EXPECT_EQ(manager.refs, 0u);
}

// An embedded control of the tests' own, in three builds: a full control,
// one with IOleObject only, and a bare IUnknown.
enum class ControlKind { Full, OleOnly, Bare };

struct ControlLog {
    std::vector<std::string> calls;
    HWND parent = nullptr;
    RECT box = {};
    std::wstring greeting;
    long live = 0;
};
ControlLog g_control;

class TestControl : public IOleObject, public IOleInPlaceObject, public IPersistPropertyBag {
public:
    explicit TestControl(ControlKind kind) : kind_(kind) { ++g_control.live; }
    virtual ~TestControl() {
        if (window_) DestroyWindow(window_);
        --g_control.live;
    }
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
        *out = nullptr;
        if (riid == IID_IUnknown) {
            *out = static_cast<IOleObject*>(this);
        } else if (kind_ != ControlKind::Bare && riid == IID_IOleObject) {
            *out = static_cast<IOleObject*>(this);
        } else if (kind_ == ControlKind::Full &&
                   (riid == IID_IOleInPlaceObject || riid == IID_IOleWindow)) {
            *out = static_cast<IOleInPlaceObject*>(this);
        } else if (kind_ == ControlKind::Full &&
                   (riid == IID_IPersistPropertyBag || riid == IID_IPersist)) {
            *out = static_cast<IPersistPropertyBag*>(this);
        } else {
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
    STDMETHODIMP_(ULONG) Release() override {
        const ULONG n = --refs_;
        if (n == 0) delete this;
        return n;
    }
    // IOleObject
    STDMETHODIMP SetClientSite(IOleClientSite* site) override {
        g_control.calls.push_back(site ? "SetClientSite" : "SetClientSite:null");
        site_ = ComPtr<IOleClientSite>(site);
        return S_OK;
    }
    STDMETHODIMP GetClientSite(IOleClientSite** out) override {
        *out = site_.CopyOut();
        return S_OK;
    }
    STDMETHODIMP SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
    STDMETHODIMP Close(DWORD) override {
        g_control.calls.push_back("Close");
        return S_OK;
    }
    STDMETHODIMP SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
    STDMETHODIMP DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent,
                        LPCRECT box) override {
        g_control.calls.push_back("DoVerb:" + std::to_string(verb));
        if (verb != OLEIVERB_INPLACEACTIVATE || !site || !box) return E_INVALIDARG;
        auto inPlace = ComPtr<IOleClientSite>(site).As<IOleInPlaceSite>();
        HWND siteWindow = nullptr;
        if (!inPlace || inPlace->CanInPlaceActivate() != S_OK ||
            FAILED(inPlace->GetWindow(&siteWindow)))
            return E_FAIL;
        ComPtr<IOleInPlaceFrame> frame;
        ComPtr<IOleInPlaceUIWindow> doc;
        RECT pos, clip;
        OLEINPLACEFRAMEINFO info = {sizeof info};
        inPlace->OnInPlaceActivate();
        inPlace->GetWindowContext(frame.put(), doc.put(), &pos, &clip, &info);
        g_control.parent = parent;
        g_control.box = *box;
        if (kind_ == ControlKind::Full) {
            window_ = CreateWindowExW(0, L"STATIC", L"control", WS_CHILD | WS_VISIBLE, box->left,
                                      box->top, box->right - box->left, box->bottom - box->top,
                                      siteWindow, nullptr, nullptr, nullptr);
        }
        inPlaceSite_ = inPlace;
        return S_OK;
    }
    STDMETHODIMP EnumVerbs(IEnumOLEVERB**) override { return E_NOTIMPL; }
    STDMETHODIMP Update() override { return S_OK; }
    STDMETHODIMP IsUpToDate() override { return S_OK; }
    STDMETHODIMP GetUserClassID(CLSID*) override { return E_NOTIMPL; }
    STDMETHODIMP GetUserType(DWORD, LPOLESTR*) override { return E_NOTIMPL; }
    STDMETHODIMP SetExtent(DWORD, SIZEL*) override { return S_OK; }
    STDMETHODIMP GetExtent(DWORD, SIZEL*) override { return E_NOTIMPL; }
    STDMETHODIMP Advise(IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP Unadvise(DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP EnumAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
    STDMETHODIMP GetMiscStatus(DWORD, DWORD* status) override {
        *status = OLEMISC_SETCLIENTSITEFIRST;
        return S_OK;
    }
    STDMETHODIMP SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }
    // IOleInPlaceObject
    STDMETHODIMP GetWindow(HWND* out) override {
        *out = window_;
        return window_ ? S_OK : E_FAIL;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP InPlaceDeactivate() override {
        g_control.calls.push_back("InPlaceDeactivate");
        if (inPlaceSite_) inPlaceSite_->OnInPlaceDeactivate();
        inPlaceSite_.reset();
        return S_OK;
    }
    STDMETHODIMP UIDeactivate() override { return S_OK; }
    STDMETHODIMP SetObjectRects(LPCRECT box, LPCRECT) override {
        g_control.calls.push_back("SetObjectRects");
        g_control.box = *box;
        if (window_)
            MoveWindow(window_, box->left, box->top, box->right - box->left, box->bottom - box->top,
                       TRUE);
        return S_OK;
    }
    STDMETHODIMP ReactivateAndUndo() override { return E_NOTIMPL; }
    // IPersistPropertyBag
    STDMETHODIMP GetClassID(CLSID*) override { return E_NOTIMPL; }
    STDMETHODIMP InitNew() override { return S_OK; }
    STDMETHODIMP Load(IPropertyBag* bag, IErrorLog*) override {
        VARIANT value;
        VariantInit(&value);
        if (SUCCEEDED(bag->Read(L"Greeting", &value, nullptr)) && value.vt == VT_BSTR)
            g_control.greeting = value.bstrVal;
        VariantClear(&value);
        VariantInit(&value);
        if (bag->Read(L"absent", &value, nullptr) != E_INVALIDARG)
            g_control.calls.push_back("absent param read");
        return S_OK;
    }
    STDMETHODIMP Save(IPropertyBag*, BOOL, BOOL) override { return E_NOTIMPL; }

private:
    ControlKind kind_;
    ULONG refs_ = 0;
    HWND window_ = nullptr;
    ComPtr<IOleClientSite> site_;
    ComPtr<IOleInPlaceSite> inPlaceSite_;
};

class ControlFactory : public IClassFactory {
public:
    explicit ControlFactory(ControlKind kind) : kind_(kind) {}
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
        if (riid == IID_IUnknown || riid == IID_IClassFactory) {
            *out = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP CreateInstance(IUnknown*, REFIID riid, void** out) override {
        ComPtr<IUnknown> control(static_cast<IOleObject*>(new TestControl(kind_)));
        return control->QueryInterface(riid, out);
    }
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }

private:
    ControlKind kind_;
};

TEST_F(TestBrowser, ObjectTagsCreateAndSiteTheirControls) {
    struct Case {
        ControlKind kind;
        const wchar_t* clsid;
        std::vector<std::string> calls;  // up to the page's completion
    };
    const Case cases[] = {
        {ControlKind::Full,
         L"6B1D9E20-7A0C-4F51-9C2E-3D4A5B6C7D01",
         {"SetClientSite", "DoVerb:-5", "SetObjectRects"}},
        {ControlKind::OleOnly,
         L"6B1D9E20-7A0C-4F51-9C2E-3D4A5B6C7D02",
         {"SetClientSite", "DoVerb:-5"}},
        {ControlKind::Bare, L"6B1D9E20-7A0C-4F51-9C2E-3D4A5B6C7D03", {}},
        {ControlKind::Bare, L"6B1D9E20-7A0C-4F51-9C2E-3D4A5B6C7DFF", {}},  // not registered
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.clsid, c.clsid + wcslen(c.clsid)));
        g_control = ControlLog{};
        CLSID clsid;
        ASSERT_EQ(CLSIDFromString((L"{" + std::wstring(c.clsid) + L"}").c_str(), &clsid), S_OK);
        ControlFactory factory(c.kind);
        DWORD registration = 0;
        const bool registered = c.clsid[35] != L'F';
        if (registered) {
            ASSERT_EQ(CoRegisterClassObject(clsid, &factory, CLSCTX_INPROC_SERVER,
                                            REGCLS_MULTIPLEUSE, &registration),
                      S_OK);
        }
        {
            HostedBrowser b;
            const std::wstring url =
                kPortal + L"object.html?clsid=" + c.clsid + L"&width=200&height=90";
            ASSERT_TRUE(b.Load(url));
            EXPECT_EQ(g_control.calls, c.calls);
            if (c.kind == ControlKind::Full) {
                EXPECT_EQ(g_control.parent, b.View());
                EXPECT_EQ(g_control.box.right - g_control.box.left, 200);
                EXPECT_EQ(g_control.box.bottom - g_control.box.top, 90);
                EXPECT_EQ(g_control.greeting, L"hello");
                // The page moves its control when the browser is resized.
                const RECT wider = {0, 0, 500, 300};
                const size_t before = g_control.calls.size();
                b.browser.As<IOleInPlaceObject>()->SetObjectRects(&wider, &wider);
                EXPECT_GT(g_control.calls.size(), before);
                EXPECT_EQ(g_control.calls.back(), "SetObjectRects");
            }
            if (registered) {
                EXPECT_EQ(g_control.live, 1);
            }
        }
        EXPECT_EQ(g_control.live, 0) << "the page kept its control";
        if (c.kind != ControlKind::Bare) {
            EXPECT_EQ(g_control.calls.back(), "SetClientSite:null");
        }
        if (registered) CoRevokeClassObject(registration);
    }
}

TEST_F(TestBrowser, ReleasedBrowserReturnsEveryReferenceAndTheDllUnloads) {
    HMODULE module = nullptr;
    {
        HostedBrowser b;
        const std::wstring url = kPortal + L"frame.html";
        ASSERT_TRUE(b.Load(url));
        module = GetModuleHandleW(testsupport::FromUnixPath(LAUNCHER_TESTBROWSER_PATH).c_str());
        ASSERT_NE(module, nullptr);
        auto canUnload = reinterpret_cast<HRESULT(WINAPI*)()>(
            reinterpret_cast<void*>(GetProcAddress(module, "DllCanUnloadNow")));
        ASSERT_NE(canUnload, nullptr);
        EXPECT_EQ(canUnload(), S_FALSE);
        ULONG left = 99;
        b.point->Unadvise(b.cookie);
        b.point.reset();
        b.browser.As<IOleInPlaceObject>()->InPlaceDeactivate();
        b.ole->Close(OLECLOSE_NOSAVE);
        b.ole->SetClientSite(nullptr);
        b.ole.reset();
        b.topIdentity.reset();
        b.sink.events.clear();  // the frames' browser objects it held
        left = b.browser.detach()->Release();
        EXPECT_EQ(left, 0u);
        EXPECT_EQ(b.site.refs, 0u);
        EXPECT_EQ(b.sink.refs, 0u);
        EXPECT_EQ(canUnload(), S_OK);
    }
    // The system lets the DLL go once it says it may.
    EXPECT_TRUE(UiTestHost::DrainUntil(
        [&] {
            CoFreeUnusedLibrariesEx(0, 0);
            return GetModuleHandleW(testsupport::FromUnixPath(LAUNCHER_TESTBROWSER_PATH).c_str()) ==
                   nullptr;
        },
        10000));
}

TEST_F(TestBrowser, PortalPageDrawnInTheMainWindowsSkin) {
    // Where the main window puts its browser ("ie" in main.xml).
    const RECT box = {84, 168, 812, 642};
    HostedBrowser b(box, L"main.xml");
    const std::wstring url = kPortal + L"plain.html";
    ASSERT_TRUE(b.Load(url));
    testsupport::ScreenCapture shot(b.host.hwnd(), "testbrowser_main");
    const SkinUI::TRect page{box.left + 4, box.top + 4, box.right - 4, box.bottom - 4};
    // The page's white fills the whole box, its text shows on it (title and
    // Chinese in the CJK font), and the skin is around it.
    EXPECT_GT(shot.CountBright(page, 240), page.Width() * page.Height() * 8 / 10);
    EXPECT_GT(shot.CountDark(SkinUI::TRect{box.left, box.top, box.left + 300, box.top + 40}, 80),
              60);
    EXPECT_LT(shot.CountBright(
                  SkinUI::TRect{box.left - 30, box.top + 100, box.left - 10, box.top + 200}, 240),
              200);

    // A real click on the leftmost blue pixel, the first link's, follows it.
    POINT link = {-1, -1};
    for (int x = box.left; x < box.right && link.x < 0; ++x) {
        for (int y = box.top; y < box.bottom; ++y) {
            const uint32_t p = shot.surface.Pixel(x, y);
            if ((p & 0xFF) > 0xB0 && ((p >> 8) & 0xFF) < 0x50 && ((p >> 16) & 0xFF) < 0x50) {
                link = {x - box.left, y - box.top};
                break;
            }
        }
    }
    ASSERT_GE(link.x, 0) << "no link drawn in blue";
    b.sink.events.clear();
    PostMessageW(b.View(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(link.x, link.y + 2));
    PostMessageW(b.View(), WM_LBUTTONUP, 0, MAKELPARAM(link.x, link.y + 2));
    ASSERT_TRUE(b.WaitComplete(kPortal + L"next.html"));
}

}  // namespace
