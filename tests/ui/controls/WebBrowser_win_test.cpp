// The web browser control under Wine, hosting the WebBrowser class of the
// test prefix (the test browser) in a skinned window: its place and
// visibility, its COM answers, the event dispatch driven through
// IDispatch::Invoke with DISPPARAMS built here and through real pages of
// the dev portal, the document-host defaults, script errors, downloads,
// keys, and its release with the window.
#include "ui/controls/WebBrowser_win.h"

#include <downloadmgr.h>
#include <exdispid.h>
#include <gtest/gtest.h>
#include <mshtml.h>
#include <windows.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "LauncherConfig.h"
#include "support/HtmlFakes_win.h"
#include "support/UiTestHost_win.h"
#include "support/WinTestSupport_win.h"
#include "tools/testbrowser/Browser_win.h"
#include "tools/testbrowser/Document_win.h"
#include "tools/testbrowser/NotImplemented_win.h"
#include "ui/skin/ModuleInstance_win.h"

namespace {

using SkinUI::CWebBrowserUI;
using testsupport::UiTestHost;

const std::wstring kPages = std::wstring(L"http://") + LAUNCHER_PORTAL_HOST + L"/testbrowser/";
constexpr DWORD kPageMs = 20000;

std::wstring Layout(const std::wstring& browserAttributes) {
    return L"<Window size=\"640,440\"><VerticalLayout bkcolor=\"#FF1B2230\"><WebBrowser "
           L"name=\"web\" "
           L"float=\"true\" pos=\"20,30,620,420\" delaycreate=\"false\" " +
           browserAttributes + L"/></VerticalLayout></Window>";
}

std::string Narrow(const wchar_t* text) {
    std::string out;
    for (; text != nullptr && *text != 0; ++text) out += static_cast<char>(*text);
    return out;
}

std::string AddressOf(const VARIANT* url) {
    return url != nullptr && url->vt == VT_BSTR ? Narrow(url->bstrVal) : "?";
}

// Keeps every call as a line; may cancel navigations and answers host
// questions as the base does unless told otherwise.
class RecordingHandler : public SkinUI::CWebBrowserEventHandler {
public:
    std::vector<std::string> calls;
    std::function<bool(const std::string& url)> cancel;  // BeforeNavigate2

    void BeforeNavigate2(IDispatch* browser, VARIANT*& url, VARIANT*& flags, VARIANT*& frame,
                         VARIANT*& postData, VARIANT*& headers, VARIANT_BOOL*& cancelOut) override {
        calls.push_back("Before " + AddressOf(url) + " " + Of(browser) + " flags " +
                        std::to_string(flags->lVal) + " frame " + AddressOf(frame) +
                        (postData != nullptr && headers != nullptr ? "" : " missing"));
        lastBrowser = browser;
        if (cancel && cancel(AddressOf(url))) *cancelOut = VARIANT_TRUE;
    }
    void NavigateError(IDispatch* browser, VARIANT*& url, VARIANT*& frame, VARIANT*& status,
                       VARIANT_BOOL*& cancelOut) override {
        calls.push_back("Error " + AddressOf(url) + " " + Of(browser) + " frame " +
                        AddressOf(frame) + " status " + std::to_string(status->lVal));
        *cancelOut = VARIANT_TRUE;
    }
    void NavigateComplete2(IDispatch* browser, VARIANT*& url) override {
        calls.push_back("Navigated " + AddressOf(url) + " " + Of(browser));
    }
    void DocumentComplete(IDispatch* browser, VARIANT*& url) override {
        calls.push_back("Complete " + AddressOf(url) + " " + Of(browser));
    }
    void NewWindow3(IDispatch** window, VARIANT_BOOL*& cancelOut, DWORD flags, BSTR context,
                    BSTR url) override {
        calls.push_back("NewWindow " + Narrow(url) + " from " + Narrow(context) + " flags " +
                        std::to_string(flags) + (window != nullptr ? "" : " missing"));
        *cancelOut = VARIANT_TRUE;
    }
    void CommandStateChange(long command, VARIANT_BOOL enable) override {
        calls.push_back("Command " + std::to_string(command) + (enable ? " on" : " off"));
    }
    HRESULT TranslateAccelerator(LPMSG message, const GUID*, DWORD) override {
        calls.push_back("Key " + std::to_string(message->wParam));
        return S_FALSE;
    }
    HRESULT Download(IMoniker* moniker, IBindCtx* context, DWORD, LONG, BINDINFO*, LPCOLESTR,
                     LPCOLESTR, UINT) override {
        LPOLESTR name = nullptr;
        if (moniker != nullptr && SUCCEEDED(moniker->GetDisplayName(context, nullptr, &name))) {
            calls.push_back("Download " + Narrow(name));
            CoTaskMemFree(name);
        }
        return S_OK;
    }

    IDispatch* top = nullptr;  // the control's own browser, named "top" in the lines
    IDispatch* lastBrowser = nullptr;

private:
    std::string Of(IDispatch* browser) const { return browser == top ? "top" : "frame"; }
};

// The base answers of every host question, for a handler that overrides none.
class PlainHandler : public SkinUI::CWebBrowserEventHandler {};

class WebBrowser : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        SkinUI::SetModuleInstance(GetModuleHandleW(nullptr));
    }
    static void TearDownTestSuite() { OleUninitialize(); }

    void Host(const std::wstring& attributes = L"") {
        host = std::make_unique<UiTestHost>(Layout(attributes), 30, 30);
        web = host->Find<CWebBrowserUI>(L"web");
        ASSERT_NE(web, nullptr);
        ASSERT_NE(web->GetWebBrowser2(), nullptr);
        web->GetWebBrowser2()->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&top));
        handler.top = top;
        web->SetWebBrowserEventHandler(&handler);
    }
    void TearDown() override {
        if (top != nullptr) top->Release();
        host.reset();
    }
    bool Load(const std::wstring& url) {
        web->Navigate2(url.c_str());
        return Completed(url);
    }
    // Waits for the top-level DocumentComplete of |url|.
    bool Completed(const std::wstring& url) {
        const std::string done = "Complete " + Narrow(url.c_str()) + " top";
        return UiTestHost::DrainUntil(
            [&] {
                return std::find(handler.calls.begin(), handler.calls.end(), done) !=
                       handler.calls.end();
            },
            kPageMs);
    }
    HWND View() const {
        HWND view = nullptr;
        ComPtr<IOleWindow> window;
        if (SUCCEEDED(web->GetWebBrowser2()->QueryInterface(IID_IOleWindow, window.put_void()))) {
            window->GetWindow(&view);
        }
        return view;
    }
    // Follows the page's link of that text, as a click would.
    bool Click(const std::wstring& link) {
        COPYDATASTRUCT data = {testbrowser::kClickLinkCopyData,
                               static_cast<DWORD>(link.size() * sizeof(wchar_t)),
                               const_cast<wchar_t*>(link.data())};
        return SendMessageW(View(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)) == TRUE;
    }
    // The site's reference count, which the control shares.
    ULONG Count() {
        web->AddRef();
        return web->Release();
    }

    std::unique_ptr<UiTestHost> host;
    CWebBrowserUI* web = nullptr;
    IDispatch* top = nullptr;
    RecordingHandler handler;
};

// DISPPARAMS as a browser builds them: the arguments last first.
class Arguments {
public:
    Arguments& Dispatch(IDispatch* value) {
        return Add(VT_DISPATCH, [&](VARIANT& v) { v.pdispVal = value; });
    }
    Arguments& Ref(VARIANT* value) {
        return Add(VT_VARIANT | VT_BYREF, [&](VARIANT& v) { v.pvarVal = value; });
    }
    Arguments& Ref(VARIANT_BOOL* value) {
        return Add(VT_BOOL | VT_BYREF, [&](VARIANT& v) { v.pboolVal = value; });
    }
    Arguments& Ref(IDispatch** value) {
        return Add(VT_DISPATCH | VT_BYREF, [&](VARIANT& v) { v.ppdispVal = value; });
    }
    Arguments& Long(LONG value, VARTYPE type = VT_I4) {
        return Add(type, [&](VARIANT& v) { v.lVal = value; });
    }
    Arguments& Bool(bool value) {
        return Add(VT_BOOL, [&](VARIANT& v) { v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE; });
    }
    Arguments& String(BSTR value) {
        return Add(VT_BSTR, [&](VARIANT& v) { v.bstrVal = value; });
    }

    HRESULT Invoke(IDispatch& sink, DISPID id, REFIID riid = IID_NULL) {
        // Declared first, delivered last.
        std::vector<VARIANT> delivered(args_.rbegin(), args_.rend());
        DISPPARAMS params{delivered.empty() ? nullptr : delivered.data(), nullptr,
                          static_cast<UINT>(delivered.size()), 0};
        return sink.Invoke(id, riid, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr,
                           nullptr, nullptr);
    }

private:
    Arguments& Add(VARTYPE type, const std::function<void(VARIANT&)>& set) {
        VARIANT v;
        VariantInit(&v);
        v.vt = type;
        set(v);
        args_.push_back(v);
        return *this;
    }
    std::vector<VARIANT> args_;
};

VARIANT Text(const wchar_t* text) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocString(text);
    return v;
}

VARIANT Number(LONG value) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = value;
    return v;
}

TEST_F(WebBrowser, SitsInItsPlaceShowsWithItsControlAndAnswersForItsSite) {
    Host();
    HWND view = View();
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(IsChild(host->hwnd(), view));
    RECT r{};
    GetWindowRect(view, &r);
    MapWindowPoints(nullptr, host->hwnd(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ((SkinUI::TRect{r.left, r.top, r.right, r.bottom}), web->GetPos());
    EXPECT_TRUE(IsWindowVisible(view));
    web->SetVisible(false);
    EXPECT_FALSE(IsWindowVisible(view));
    web->SetVisible(true);
    EXPECT_TRUE(IsWindowVisible(view));
    host->manager().GetRoot()->SetVisible(false);
    EXPECT_FALSE(IsWindowVisible(view)) << "hidden with its container";
    host->manager().GetRoot()->SetVisible(true);

    // What the browser asks of the site, the site asks of the control.
    for (const IID& iid : {IID_IDocHostUIHandler, IID_IDispatch, IID_IServiceProvider,
                           IID_IOleCommandTarget}) {
        ComPtr<IUnknown> face;
        EXPECT_EQ(web->QueryInterface(iid, face.put_void()), S_OK);
        EXPECT_NE(face.get(), nullptr);
    }
}

TEST_F(WebBrowser, TheDispatchTableHandsEveryEventOverInItsDeclaredOrder) {
    Host();
    handler.calls.clear();
    VARIANT url = Text(L"http://a.example/x"), flags = Number(7), frame = Text(L"inner"), post,
            headers = Text(L"H: 1"), status = Number(404);
    VariantInit(&post);
    VARIANT_BOOL cancel = VARIANT_FALSE;
    const auto before = [&] {
        return Arguments()
            .Dispatch(top)
            .Ref(&url)
            .Ref(&flags)
            .Ref(&frame)
            .Ref(&post)
            .Ref(&headers)
            .Ref(&cancel)
            .Invoke(*web, DISPID_BEFORENAVIGATE2);
    };
    EXPECT_EQ(before(), S_OK);
    EXPECT_EQ(cancel, VARIANT_FALSE);
    handler.cancel = [](const std::string&) { return true; };
    before();
    EXPECT_EQ(cancel, VARIANT_TRUE) << "the handler's cancel reaches the browser";

    cancel = VARIANT_FALSE;
    EXPECT_EQ(Arguments().Dispatch(top).Ref(&url).Ref(&frame).Ref(&status).Ref(&cancel).Invoke(
                  *web, DISPID_NAVIGATEERROR),
              S_OK);
    EXPECT_EQ(cancel, VARIANT_TRUE);
    // Reports of any browser object; completion only of the control's own.
    ComPtr<IDispatch> other;
    ASSERT_EQ(CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                               other.put_void()),
              S_OK);
    Arguments().Dispatch(other.get()).Ref(&url).Invoke(*web, DISPID_NAVIGATECOMPLETE2);
    Arguments().Dispatch(other.get()).Ref(&url).Invoke(*web, DISPID_DOCUMENTCOMPLETE);
    Arguments().Dispatch(top).Ref(&url).Invoke(*web, DISPID_DOCUMENTCOMPLETE);
    IDispatch* newWindow = nullptr;
    BSTR context = SysAllocString(L"http://a.example/page");
    BSTR target = SysAllocString(L"http://a.example/popup");
    cancel = VARIANT_FALSE;
    EXPECT_EQ(Arguments()
                  .Ref(&newWindow)
                  .Ref(&cancel)
                  .Long(6, VT_UI4)
                  .String(context)
                  .String(target)
                  .Invoke(*web, DISPID_NEWWINDOW3),
              S_OK);
    EXPECT_EQ(cancel, VARIANT_TRUE);
    Arguments().Long(2).Bool(true).Invoke(*web, DISPID_COMMANDSTATECHANGE);
    EXPECT_EQ(handler.calls,
              (std::vector<std::string>{
                  "Before http://a.example/x top flags 7 frame inner",
                  "Before http://a.example/x top flags 7 frame inner",
                  "Error http://a.example/x top frame inner status 404",
                  "Navigated http://a.example/x frame",
                  "Complete http://a.example/x top",
                  "NewWindow http://a.example/popup from http://a.example/page flags 6",
                  "Command 2 on",
              }));

    // What is not the control's to take, and deliveries that are not what
    // the event declares, reach nobody.
    handler.calls.clear();
    BSTR status_text = SysAllocString(L"Done");
    EXPECT_EQ(Arguments().String(status_text).Invoke(*web, DISPID_STATUSTEXTCHANGE), S_OK);
    EXPECT_EQ(
        Arguments().Dispatch(top).Ref(&url).Invoke(*web, DISPID_NAVIGATECOMPLETE2, IID_IDispatch),
        E_INVALIDARG);
    EXPECT_EQ(Arguments().String(status_text).Invoke(*web, DISPID_TITLECHANGE),
              DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(Arguments().Dispatch(top).Invoke(*web, DISPID_NAVIGATECOMPLETE2),
              DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(Arguments().Ref(&url).Dispatch(top).Invoke(*web, DISPID_DOCUMENTCOMPLETE),
              DISP_E_TYPEMISMATCH);
    EXPECT_EQ(web->Invoke(DISPID_BEFORENAVIGATE2, IID_NULL, 0, DISPATCH_METHOD, nullptr, nullptr,
                          nullptr, nullptr),
              DISP_E_BADPARAMCOUNT);
    EXPECT_TRUE(handler.calls.empty());
    SysFreeString(status_text);
    SysFreeString(context);
    SysFreeString(target);
    VariantClear(&url);
    VariantClear(&frame);
    VariantClear(&headers);
}

TEST_F(WebBrowser, AHandlerOfNoneKeepsTheOneThereIsAndEventsWithoutOneGoNowhere) {
    Host();
    web->SetWebBrowserEventHandler(nullptr);
    EXPECT_EQ(web->GetWebBrowserEventHandler(), &handler);
    RecordingHandler other;
    web->SetWebBrowserEventHandler(&other);
    EXPECT_EQ(web->GetWebBrowserEventHandler(), &other);

    CWebBrowserUI lone;  // never created, never given a handler
    VARIANT url = Text(L"http://a.example/");
    VARIANT_BOOL cancel = VARIANT_FALSE;
    IDispatch* none = nullptr;
    BSTR text = SysAllocString(L"x");
    EXPECT_EQ(Arguments().Ref(&none).Ref(&cancel).Long(0, VT_UI4).String(text).String(text).Invoke(
                  lone, DISPID_NEWWINDOW3),
              S_OK);
    EXPECT_EQ(Arguments().Dispatch(top).Ref(&url).Invoke(lone, DISPID_DOCUMENTCOMPLETE), S_OK);
    EXPECT_EQ(cancel, VARIANT_FALSE);
    EXPECT_EQ(lone.GetWebBrowser2(), nullptr);
    lone.Navigate2(L"http://a.example/");  // nothing to navigate
    SysFreeString(text);
    VariantClear(&url);
}

TEST_F(WebBrowser, RealPagesReportThroughTheHandlerAndOnlyTheTopPageCompletes) {
    Host();
    ASSERT_TRUE(Load(kPages + L"frame.html"));
    const std::string page = Narrow((kPages + L"frame.html").c_str());
    const std::string inner = Narrow((kPages + L"inner.html").c_str());
    std::vector<std::string> navigation;
    for (const auto& call : handler.calls) {
        if (call.rfind("Command", 0) != 0)
            navigation.push_back(call.substr(0, call.find(" flags")));
    }
    EXPECT_EQ(navigation, (std::vector<std::string>{
                              "Before " + page + " top", "Navigated " + page + " top",
                              "Before " + inner + " frame", "Navigated " + inner + " frame",
                              "Complete " + page + " top"}));
    // A cancelled navigation leaves the page where it is.
    // The portal's request log is shared by every test of the run, and other
    // tests load next.html; a query only this case uses tells its request apart.
    handler.cancel = [](const std::string& url) {
        return url.find("next.html") != std::string::npos;
    };
    web->Navigate2((kPages + L"next.html?cancelled-by-handler").c_str());
    ASSERT_TRUE(Load(kPages + L"plain.html"));
    EXPECT_TRUE(testsupport::LoggedRequests("next.html?cancelled-by-handler").empty());
    // A link to a new window asks the handler, with the page as its context.
    handler.calls.clear();
    ASSERT_TRUE(Click(L"New window"));
    EXPECT_EQ(handler.calls, (std::vector<std::string>{
                                 "NewWindow " + Narrow((kPages + L"popup.html").c_str()) +
                                 " from " + Narrow((kPages + L"plain.html").c_str()) +
                                 " flags 6"}));
    // Errors come with the server's status; the handler's cancel stops the load.
    handler.calls.clear();
    web->Navigate2((kPages + L"gone.html").c_str());
    EXPECT_TRUE(UiTestHost::DrainUntil(
        [&] { return !handler.calls.empty() && handler.calls.back().rfind("Error", 0) == 0; },
        kPageMs));
    EXPECT_NE(handler.calls.back().find("status 404"), std::string::npos);
}

TEST_F(WebBrowser, EachNewDocumentAsksTheControlAsItsHost) {
    Host();
    ASSERT_TRUE(Load(kPages + L"plain.html"));
    ComPtr<IDispatch> document;
    ASSERT_EQ(web->GetWebBrowser2()->get_Document(document.put()), S_OK);
    auto custom = document.As<ICustomDoc>();
    ASSERT_TRUE(custom);
    // The document held the control; let go, then NavigateComplete2 puts it back.
    const ULONG held = Count();
    custom->SetUIHandler(nullptr);
    EXPECT_EQ(Count(), held - 1);
    VARIANT url = Text((kPages + L"plain.html").c_str());
    Arguments().Dispatch(top).Ref(&url).Invoke(*web, DISPID_NAVIGATECOMPLETE2);
    EXPECT_EQ(Count(), held);
    VariantClear(&url);
}

TEST_F(WebBrowser, HostQuestionsGetTheBrowsersDefaultsWithoutAHandlerAndTheBasesWithOne) {
    CWebBrowserUI lone;
    const auto ask = [](CWebBrowserUI& control) {
        DOCHOSTUIINFO info{sizeof(info)};
        MSG msg{};
        RECT border{};
        LPOLESTR key = reinterpret_cast<LPOLESTR>(1);
        IDropTarget* drop = reinterpret_cast<IDropTarget*>(1);
        IDispatch* external = reinterpret_cast<IDispatch*>(1);
        LPWSTR out = reinterpret_cast<LPWSTR>(1);
        IDataObject* data = reinterpret_cast<IDataObject*>(1);
        wchar_t in[] = L"http://a.example/";
        std::vector<HRESULT> answers = {control.ShowContextMenu(0, nullptr, nullptr, nullptr),
                                        control.GetHostInfo(&info),
                                        control.ShowUI(0, nullptr, nullptr, nullptr, nullptr),
                                        control.HideUI(),
                                        control.UpdateUI(),
                                        control.EnableModeless(TRUE),
                                        control.OnDocWindowActivate(TRUE),
                                        control.OnFrameWindowActivate(TRUE),
                                        control.ResizeBorder(&border, nullptr, TRUE),
                                        control.TranslateAccelerator(&msg, nullptr, 0),
                                        control.GetOptionKeyPath(&key, 0),
                                        control.GetDropTarget(nullptr, &drop),
                                        control.GetExternal(&external),
                                        control.TranslateUrl(0, in, &out),
                                        control.FilterDataObject(nullptr, &data)};
        // Out pointers are none whatever the answer.
        EXPECT_EQ(key, nullptr);
        EXPECT_EQ(drop, nullptr);
        EXPECT_EQ(external, nullptr);
        EXPECT_EQ(out, nullptr);
        EXPECT_EQ(data, nullptr);
        return answers;
    };
    EXPECT_EQ(ask(lone), (std::vector<HRESULT>{S_FALSE, E_NOTIMPL, S_OK, S_OK, S_OK, E_NOTIMPL,
                                               E_NOTIMPL, E_NOTIMPL, E_NOTIMPL, S_FALSE, E_NOTIMPL,
                                               S_FALSE, S_FALSE, E_NOTIMPL, E_NOTIMPL}));
    PlainHandler base;
    lone.SetWebBrowserEventHandler(&base);
    EXPECT_EQ(ask(lone),
              (std::vector<HRESULT>{S_OK, S_OK, S_FALSE, S_OK, S_OK, S_OK, S_OK, S_OK, S_OK,
                                    S_FALSE, S_OK, E_NOTIMPL, E_NOTIMPL, S_OK, S_OK}));
}

// A page's document, its window and the window's event object as a script
// error hands them over; the event answers the five error properties.
class FakeEvent : public testsupport::HtmlEventObjNotImpl {
public:
    std::vector<std::string> asked;
    HRESULT urlAnswer = S_OK;
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IHTMLEventObj) {
            *out = this;
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT, LCID locale, DISPID* id) override {
        const std::string name = Narrow(names[0]);
        asked.push_back(name + "@" + std::to_string(locale));
        const char* known[] = {"errorLine", "errorCharacter", "errorCode", "errorMessage",
                               "errorUrl"};
        for (DISPID i = 0; i < 5; ++i) {
            if (name == known[i]) {
                *id = 100 + i;
                return S_OK;
            }
        }
        return DISP_E_UNKNOWNNAME;
    }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID locale, WORD flags, DISPPARAMS*, VARIANT* result,
                        EXCEPINFO*, UINT*) override {
        asked.push_back("get " + std::to_string(id) + "@" + std::to_string(locale) +
                        (flags == DISPATCH_PROPERTYGET ? "" : " not a get"));
        if (id == 104) {
            if (FAILED(urlAnswer)) return urlAnswer;
            *result = Text(L"http://a.example/script.js");
        } else {
            *result = id == 103 ? Text(L"'x' is undefined") : Number(12 + id);
        }
        return S_OK;
    }
};

class FakeWindow : public testsupport::HtmlWindow2NotImpl {
public:
    explicit FakeWindow(FakeEvent& event) : event_(event) {}
    STDMETHODIMP QueryInterface(REFIID, void** out) override {
        *out = this;
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    TESTBROWSER_NO_AUTOMATION
    STDMETHODIMP get_event(IHTMLEventObj** out) override {
        *out = &event_;
        return S_OK;
    }

private:
    FakeEvent& event_;
};

class FakeDocument : public testbrowser::HtmlDocument2NotImpl {
public:
    explicit FakeDocument(FakeWindow& window) : window_(window) {}
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IHTMLDocument2) {
            *out = static_cast<IHTMLDocument2*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    TESTBROWSER_NO_AUTOMATION
    STDMETHODIMP get_parentWindow(IHTMLWindow2** out) override {
        *out = &window_;
        return S_OK;
    }

private:
    FakeWindow& window_;
};

TEST_F(WebBrowser, ScriptErrorsAreReadAndSilenced) {
    CWebBrowserUI control;
    const GUID docHost = {
        0xF38BC242, 0xB950, 0x11D1, {0x89, 0x18, 0x00, 0xC0, 0x4F, 0xC2, 0xC8, 0x36}};
    VARIANT out;
    VariantInit(&out);
    EXPECT_EQ(control.Exec(nullptr, OLECMDID_SHOWSCRIPTERROR, 0, nullptr, &out),
              OLECMDERR_E_UNKNOWNGROUP);
    EXPECT_EQ(control.Exec(&IID_IUnknown, OLECMDID_SHOWSCRIPTERROR, 0, nullptr, &out),
              OLECMDERR_E_UNKNOWNGROUP);
    EXPECT_EQ(control.Exec(&docHost, OLECMDID_PRINT, 0, nullptr, &out), OLECMDERR_E_NOTSUPPORTED);
    EXPECT_EQ(out.vt, VT_EMPTY);
    OLECMD command{OLECMDID_SHOWSCRIPTERROR, 0};
    EXPECT_EQ(control.QueryStatus(&docHost, 1, &command, nullptr), OLECMDERR_E_NOTSUPPORTED);

    FakeEvent event;
    FakeWindow window(event);
    FakeDocument document(window);
    VARIANT in;
    VariantInit(&in);
    in.vt = VT_UNKNOWN;
    in.punkVal = static_cast<IHTMLDocument2*>(&document);
    EXPECT_EQ(control.Exec(&docHost, OLECMDID_SHOWSCRIPTERROR, 0, &in, &out), S_OK);
    EXPECT_EQ(out.vt, VT_BOOL);
    EXPECT_EQ(out.boolVal, VARIANT_TRUE) << "scripts go on, no dialog";
    EXPECT_EQ(event.asked,
              (std::vector<std::string>{"errorLine@2048", "get 100@2048", "errorCharacter@2048",
                                        "get 101@2048", "errorCode@2048", "get 102@2048",
                                        "errorMessage@2048", "get 103@2048", "errorUrl@2048",
                                        "get 104@2048"}));
    // The answer is the last property's.
    event.urlAnswer = DISP_E_EXCEPTION;
    VariantInit(&out);
    EXPECT_EQ(control.Exec(&docHost, OLECMDID_SHOWSCRIPTERROR, 0, &in, &out), DISP_E_EXCEPTION);
    EXPECT_EQ(out.boolVal, VARIANT_TRUE);
    VariantInit(&out);
    EXPECT_EQ(control.Exec(&docHost, OLECMDID_SHOWSCRIPTERROR, 0, nullptr, &out), E_INVALIDARG);
    EXPECT_EQ(out.boolVal, VARIANT_TRUE);
}

TEST_F(WebBrowser, TheControlIsTheDownloadManagerAndHandsDownloadsToTheHandler) {
    Host();
    ComPtr<IDownloadManager> manager;
    EXPECT_EQ(web->QueryService(__uuidof(IDownloadManager), __uuidof(IDownloadManager),
                                manager.put_void()),
              S_OK);
    ASSERT_TRUE(manager);
    void* none = reinterpret_cast<void*>(1);
    EXPECT_EQ(web->QueryService(IID_IWebBrowser2, IID_IWebBrowser2, &none), E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(web->QueryService(__uuidof(IDownloadManager), IID_IUnknown, &none), E_NOINTERFACE);
    manager.reset();

    ASSERT_TRUE(Load(kPages + L"plain.html"));
    web->Navigate2((kPages + L"download.bin").c_str());
    const std::string wanted = "Download " + Narrow((kPages + L"download.bin").c_str());
    EXPECT_TRUE(UiTestHost::DrainUntil(
        [&] { return !handler.calls.empty() && handler.calls.back() == wanted; }, kPageMs));
}

TEST_F(WebBrowser, KeysGoToTheBrowserOnlyWhileItHasTheFocus) {
    Host();
    ASSERT_TRUE(Load(kPages + L"plain.html"));
    MSG tab{View(), WM_KEYDOWN, VK_TAB, 1};
    MSG move{View(), WM_MOUSEMOVE, 0, 0};
    SetFocus(host->hwnd());
    EXPECT_FALSE(web->TranslateAccelerator(&tab)) << "the focus is elsewhere";
    SetFocus(View());
    handler.calls.clear();
    EXPECT_FALSE(web->TranslateAccelerator(&move));
    EXPECT_TRUE(web->TranslateAccelerator(&tab)) << "Tab moves to the page's first link";
    EXPECT_EQ(handler.calls, (std::vector<std::string>{"Key 9"})) << "the host is asked first";

    // Through the message loop: Enter follows the focused link.
    PostMessageW(View(), WM_KEYDOWN, VK_RETURN, 1);
    EXPECT_TRUE(Completed(kPages + L"next.html"));
}

TEST_F(WebBrowser, ItsWindowTakesTheBrowserWithItAndAModuleCanServeTheClass) {
    Host(L"modulename=\"" + testsupport::FromUnixPath(LAUNCHER_TESTBROWSER_PATH) + L"\"");
    ASSERT_TRUE(Load(kPages + L"plain.html"));
    const ULONG alone = Count();
    ASSERT_GT(alone, 1u) << "the browser holds the site";
    DestroyWindow(host->hwnd());
    UiTestHost::Drain();
    EXPECT_EQ(web->GetWebBrowser2(), nullptr);
    EXPECT_FALSE(web->IsCreated());
    EXPECT_EQ(Count(), 1u) << "only the host holds its site";
    MSG key{nullptr, WM_KEYDOWN, VK_TAB, 1};
    EXPECT_FALSE(web->TranslateAccelerator(&key));
}

}  // namespace
