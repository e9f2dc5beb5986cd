// The test browser in the test prefix, hosted through its COM interfaces
// the way a host hosts the system's WebBrowser control: created by the
// WebBrowser class id, sited and activated in a skinned window, its
// embedded controls made and let go with their page, and taken down again
// to reference counts of zero. Its events, document and host questions are
// checked through the launcher's own browser control and windows
// (tests/ui/controls/WebBrowser_win_test.cpp, tests/app/UIMain_win_test.cpp).
#include <exdisp.h>
#include <exdispid.h>
#include <gtest/gtest.h>
#include <ocidl.h>
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "LauncherConfig.h"
#include "common/win/ComPtr_win.h"
#include "support/PrefixState_win.h"
#include "support/SkinnedWindowTest_win.h"
#include "support/UiTestHost_win.h"
#include "support/WinTestSupport_win.h"
#include "tools/plugin/PlumeGame.h"

namespace {

using testsupport::UiTestHost;

const std::wstring kPortal = std::wstring(L"http://") + LAUNCHER_PORTAL_HOST + L"/testbrowser/";
constexpr RECT kBox = {20, 20, 620, 420};

// The client and in-place site of a host window. It lives on the test's
// stack and counts its references, so that a test can see them all returned.
class Site : public IOleClientSite, public IOleInPlaceSite {
public:
    explicit Site(HWND window) : window_(window) {}
    ULONG refs = 0;

    STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
    STDMETHODIMP_(ULONG) Release() override { return --refs; }
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
        if (riid == IID_IUnknown || riid == IID_IOleClientSite) {
            *out = static_cast<IOleClientSite*>(this);
        } else if (riid == IID_IOleWindow || riid == IID_IOleInPlaceSite) {
            *out = static_cast<IOleInPlaceSite*>(this);
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
    STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnUIActivate() override { return S_OK; }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, RECT* pos,
                                  RECT* clip, OLEINPLACEFRAMEINFO*) override {
        *frame = nullptr;
        *doc = nullptr;
        *pos = kBox;
        *clip = kBox;
        return S_OK;
    }
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
    STDMETHODIMP DiscardUndoState() override { return E_NOTIMPL; }
    STDMETHODIMP DeactivateAndUndo() override { return E_NOTIMPL; }
    STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }

private:
    HWND window_;
};

// The DWebBrowserEvents2 sink, answering only IDispatch as the launcher's
// does; it keeps every DocumentComplete with the raising browser's identity.
class EventSink : public IDispatch {
public:
    struct Completed {
        std::wstring url;
        ComPtr<IUnknown> browser;
    };
    ULONG refs = 0;
    std::vector<Completed> completed;

    STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
    STDMETHODIMP_(ULONG) Release() override { return --refs; }
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
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
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* p, VARIANT*, EXCEPINFO*,
                        UINT*) override {
        // The browser, then a reference to the address, delivered last first.
        if (id != DISPID_DOCUMENTCOMPLETE || p->cArgs != 2 || p->rgvarg[1].vt != VT_DISPATCH ||
            p->rgvarg[0].vt != (VT_VARIANT | VT_BYREF) || p->rgvarg[0].pvarVal->vt != VT_BSTR) {
            return S_OK;
        }
        Completed done;
        const BSTR url = p->rgvarg[0].pvarVal->bstrVal;
        done.url = url ? url : L"";
        p->rgvarg[1].pdispVal->QueryInterface(IID_IUnknown, done.browser.put_void());
        completed.push_back(std::move(done));
        return S_OK;
    }
};

// One browser, created by the WebBrowser class id and hosted at kBox of a
// skinned window, with its events advised; taken down in the host's order.
class HostedBrowser {
public:
    HostedBrowser()
        : host(L"<Window size=\"640,440\"><VerticalLayout bkcolor=\"#FF1B2230\"/></Window>", 30,
               30),
          site(host.hwnd()) {
        EXPECT_EQ(CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IWebBrowser2, browser.put_void()),
                  S_OK);
        if (!browser) return;
        ole = browser.As<IOleObject>();
        EXPECT_EQ(ole->SetClientSite(&site), S_OK);
        EXPECT_EQ(ole->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &site, 0, host.hwnd(), &kBox),
                  S_OK);
        auto container = browser.As<IConnectionPointContainer>();
        EXPECT_EQ(container->FindConnectionPoint(DIID_DWebBrowserEvents2, point.put()), S_OK);
        EXPECT_EQ(point->Advise(&sink, &cookie), S_OK);
        topIdentity = browser.As<IUnknown>();
    }
    ~HostedBrowser() { TakeDown(); }

    // What the browser's last Release answered.
    ULONG TakeDown() {
        if (!browser) return 0;
        point->Unadvise(cookie);
        point.reset();
        browser.As<IOleInPlaceObject>()->InPlaceDeactivate();
        ole->Close(OLECLOSE_NOSAVE);
        ole->SetClientSite(nullptr);
        ole.reset();
        topIdentity.reset();
        sink.completed.clear();  // the frames' browser objects it held
        const ULONG left = browser.detach()->Release();
        UiTestHost::Drain();
        return left;
    }

    HWND View() {
        HWND window = nullptr;
        browser.As<IOleWindow>()->GetWindow(&window);
        return window;
    }
    // Navigates and waits for the top-level DocumentComplete of |url|.
    bool Load(const std::wstring& url) {
        BSTR text = SysAllocString(url.c_str());
        const HRESULT hr = browser->Navigate(text, nullptr, nullptr, nullptr, nullptr);
        SysFreeString(text);
        return hr == S_OK && UiTestHost::DrainUntil(
                                 [&] {
                                     for (const auto& done : sink.completed) {
                                         if (done.url == url &&
                                             done.browser.get() == topIdentity.get())
                                             return true;
                                     }
                                     return false;
                                 },
                                 15000);
    }

    UiTestHost host;
    Site site;
    EventSink sink;
    ComPtr<IWebBrowser2> browser;
    ComPtr<IOleObject> ole;
    ComPtr<IConnectionPoint> point;
    ComPtr<IUnknown> topIdentity;
    DWORD cookie = 0;
};

class TestBrowser : public testsupport::SkinnedWindowTest {};

TEST_F(TestBrowser, TheClassIsOursAndATakenDownBrowserLetsItsDllGo) {
    const std::wstring dll = testsupport::FromUnixPath(LAUNCHER_TESTBROWSER_PATH);
    {
        HostedBrowser b;
        ASSERT_TRUE(b.browser);
        const HMODULE module = GetModuleHandleW(dll.c_str());
        ASSERT_NE(module, nullptr);
        HMODULE server = nullptr;
        ASSERT_TRUE(GetModuleHandleExW(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            *reinterpret_cast<LPCWSTR*>(b.browser.get()), &server));
        EXPECT_EQ(server, module) << "the WebBrowser class is served by another DLL";

        // A page with a frame, whose browser object has to go as well.
        ASSERT_TRUE(b.Load(kPortal + L"frame.html"));
        auto canUnload = reinterpret_cast<HRESULT(WINAPI*)()>(
            reinterpret_cast<void*>(GetProcAddress(module, "DllCanUnloadNow")));
        ASSERT_NE(canUnload, nullptr);
        EXPECT_EQ(canUnload(), S_FALSE);
        EXPECT_EQ(b.TakeDown(), 0u);
        EXPECT_EQ(b.site.refs, 0u);
        EXPECT_EQ(b.sink.refs, 0u);
        EXPECT_EQ(canUnload(), S_OK);
    }
    // The system lets the DLL go once it says it may.
    EXPECT_TRUE(UiTestHost::DrainUntil(
        [&] {
            CoFreeUnusedLibrariesEx(0, 0);
            return GetModuleHandleW(dll.c_str()) == nullptr;
        },
        10000));
}

TEST_F(TestBrowser, ObjectTagsHostTheirControlsAndLetThemGoWithThePage) {
    // The plug-in control alone in a folder, registered as start-up
    // registers it: without its engine it still comes up.
    testsupport::PrefixUserState state;
    ASSERT_TRUE(state.ok());
    testsupport::ScratchDir folder;
    const std::wstring control = folder.Join(L"plumegame.ocx");
    const std::wstring built = testsupport::FromUnixPath(LAUNCHER_PLUGIN_DIR "/plumegame.ocx");
    ASSERT_TRUE(CopyFileW(built.c_str(), control.c_str(), FALSE));
    const auto run =
        testsupport::RunProcess(L"regsvr32.exe /s \"" + control + L"\"", folder.path());
    ASSERT_TRUE(run.finished && run.exitCode == 0);
    const std::wstring braced = kPlumeGameClsidText;
    const std::wstring clsid = braced.substr(1, braced.size() - 2);
    {
        HostedBrowser b;
        ASSERT_TRUE(b.Load(kPortal + L"object.html?clsid=" + clsid + L"&width=200&height=90"));
        HWND view = FindWindowExW(b.View(), nullptr, kPlumeGameViewClass, nullptr);
        ASSERT_NE(view, nullptr) << "the control is not in the page's window";
        RECT r{};
        GetClientRect(view, &r);
        EXPECT_EQ(r.right, 200);
        EXPECT_EQ(r.bottom, 90);
        EXPECT_NE(GetModuleHandleW(control.c_str()), nullptr);
    }
    // Nothing holds the control once its page is gone.
    EXPECT_TRUE(UiTestHost::DrainUntil(
        [&] {
            CoFreeUnusedLibrariesEx(0, 0);
            return GetModuleHandleW(control.c_str()) == nullptr;
        },
        10000))
        << "the page kept its control";

    // A class that is not registered: the page still completes, without it.
    HostedBrowser b;
    ASSERT_TRUE(b.Load(kPortal + L"object.html?clsid=6B1D9E20-7A0C-4F51-9C2E-3D4A5B6C7DFF"));
    EXPECT_EQ(FindWindowExW(b.View(), nullptr, nullptr, nullptr), nullptr);
}

}  // namespace
