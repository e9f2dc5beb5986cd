// The main page window under Wine, as the application controller creates
// and shows it, with the test browser in the prefix and the dev portal
// behind the prefix's proxy. A recorder window stands in for the game
// session's hidden window (g_hGameWnd) and keeps what the main page posts
// it; the window's log lines are kept too. Links are clicked by their text
// through the test browser's hook, keys and the close button through real
// input.
#include "app/UIMain_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <cwctype>
#include <memory>
#include <string>
#include <vector>

#include "LauncherConfig.h"
#include "app/CommandLine.h"
#include "app/Globals_win.h"
#include "support/ScreenCapture_win.h"
#include "support/SkinnedWindowTest_win.h"
#include "support/UiTestHost_win.h"
#include "support/WinTestSupport_win.h"
#include "tools/testbrowser/Browser_win.h"
#include "ui/window/WindowHost_win.h"
#include "update/HttpClient.h"

namespace {

using SkinUI::CWebBrowserUI;
using SkinUI::TRect;
using testsupport::UiTestHost;

const std::wstring kPortal = std::wstring(L"http://") + LAUNCHER_PORTAL_HOST;
const std::wstring kStartPage = kPortal + L"/wd_qamb.html";
constexpr DWORD kPageMs = 20000;
// Where main.xml puts the portal browser and the close button.
constexpr TRect kBrowserBox{84, 168, 812, 642};
constexpr POINT kCloseButton{797, 150};

std::string Utf8(const std::wstring& text) {
    std::string out(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr,
                                                            0, nullptr, nullptr)),
                    '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), static_cast<int>(out.size()),
                        nullptr, nullptr);
    out.pop_back();
    return out;
}

// The game session's hidden window, as far as the main page talks to it.
struct GameWindowRecorder {
    std::vector<std::wstring> addresses;
    std::vector<std::string> serverLists;
    testsupport::MessageWindow window{[this](UINT message, WPARAM, LPARAM lParam) {
        if (message == kGameAddressMessage) {
            addresses.push_back(*TakePostedWideString(lParam));
            return true;
        }
        if (message == kServerListMessage) {
            serverLists.push_back(*TakePostedString(lParam));
            return true;
        }
        return false;
    }};
    const HWND hwnd = window.hwnd();
};

// What the select-server page holds for requests that do not say.
bool SelectServerVariant(const char* variant) {
    HttpClient client;
    client.SetUrl(kPortal + L"/_devportal/select_server?variant=" +
                  std::wstring(variant, variant + strlen(variant)));
    return client.Start() && client.WaitIdle(10000) &&
           client.GetContent().find(variant) != std::string::npos;
}

// The application's message loop until the window ends it, for at most
// |timeoutMs|; false when the bound had to end it.
bool RunLoopUntilQuit(DWORD timeoutMs) {
    static bool timedOut;
    timedOut = false;
    const UINT_PTR timer = SetTimer(nullptr, 0, timeoutMs, [](HWND, UINT, UINT_PTR, DWORD) {
        timedOut = true;
        PostQuitMessage(0);
    });
    SkinUI::CWindowHostWin::MessageLoop();
    KillTimer(nullptr, timer);
    return !timedOut;
}

class MainPageWindow : public testsupport::SkinnedWindowTest {
protected:
    void SetUp() override {
        RecordLog();
        ASSERT_NE(recorder.hwnd, nullptr);
        g_hGameWnd = recorder.hwnd;
        // As the application controller makes it: created, centred, hidden.
        window = std::make_unique<UIMain>(nullptr);
        ASSERT_NE(window->Create(nullptr, L"QuambarLauncher", 0x96C80000, 0x100), nullptr);
        window->CenterWindow();
        window->ShowWindow(false, true);
        browser =
            dynamic_cast<CWebBrowserUI*>(window->GetManager().FindControl(std::wstring(L"ie")));
        serverBrowser =
            dynamic_cast<CWebBrowserUI*>(window->GetManager().FindControl(std::wstring(L"sie")));
        ASSERT_NE(browser, nullptr);
        ASSERT_NE(serverBrowser, nullptr);
        ASSERT_NE(browser->GetWebBrowser2(), nullptr) << "no browser: " << LogText();
    }
    void TearDown() override {
        window.reset();
        UiTestHost::Drain();
        g_hGameWnd = nullptr;
        CommandLineOptions.erase(L"-logout");
        QLogger::Shutdown();
    }

    // The player has to log in: the controller shows the window.
    void ShowAndWaitForThePage(const std::wstring& page = kStartPage) {
        window->ShowWindow(true, true);
        SetWindowPos(*window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        ASSERT_TRUE(UiTestHost::DrainUntil(
            [&] { return Logged("DocumentComplete, " + Utf8(page)); }, kPageMs))
            << "the portal page did not arrive";
        ASSERT_TRUE(UiTestHost::DrainUntil([&] { return PortalVisible(); }));
    }
    // The page as the player sees it: the control shown and its window up.
    bool PortalVisible() const { return browser->IsVisible() && IsWindowVisible(View(browser)); }
    static HWND View(CWebBrowserUI* control) {
        HWND view = nullptr;
        ComPtr<IOleWindow> window;
        if (control->GetWebBrowser2() != nullptr &&
            SUCCEEDED(
                control->GetWebBrowser2()->QueryInterface(IID_IOleWindow, window.put_void()))) {
            window->GetWindow(&view);
        }
        return view;
    }
    bool Click(const std::wstring& link) {
        COPYDATASTRUCT data = {testbrowser::kClickLinkCopyData,
                               static_cast<DWORD>(link.size() * sizeof(wchar_t)),
                               const_cast<wchar_t*>(link.data())};
        return SendMessageW(View(browser), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)) == TRUE;
    }
    std::wstring Location() const {
        BSTR text = nullptr;
        browser->GetWebBrowser2()->get_LocationURL(&text);
        std::wstring value = text ? text : L"";
        SysFreeString(text);
        return value;
    }

    GameWindowRecorder recorder;
    std::unique_ptr<UIMain> window;
    CWebBrowserUI* browser = nullptr;
    CWebBrowserUI* serverBrowser = nullptr;
};

TEST_F(MainPageWindow, TheStartPageShowsInsideTheFrameOnceItHasArrived) {
    // Both browsers start on about:blank while the window is hidden.
    EXPECT_TRUE(Logged("UIMain::BeforeNavigate2, about:blank"));
    window->ShowWindow(true, true);
    EXPECT_TRUE(browser->IsVisible()) << "shown with the window";
    // The first paint lays the window out, which hides the browser again
    // until the page is there, and asks for the page.
    UpdateWindow(*window);
    EXPECT_FALSE(browser->IsVisible());
    EXPECT_TRUE(Logged("UIMain::BeforeNavigate2, " + Utf8(kStartPage)));
    ShowAndWaitForThePage();
    EXPECT_FALSE(serverBrowser->IsVisible());
    EXPECT_FALSE(IsWindowVisible(View(serverBrowser)));
    EXPECT_EQ(Location(), kStartPage);

    // The page fills the frame's browser box, on white with dark text,
    // with no sunken border (the host flags), inside the dark frame.
    RECT view{};
    GetWindowRect(View(browser), &view);
    POINT origin{0, 0};
    ClientToScreen(*window, &origin);
    EXPECT_EQ((TRect{view.left - origin.x, view.top - origin.y, view.right - origin.x,
                     view.bottom - origin.y}),
              kBrowserBox);
    testsupport::ScreenCapture shot(*window, "main_portal_page");
    EXPECT_GT(testsupport::Luma(shot.surface.Pixel(kBrowserBox.left, kBrowserBox.top)), 240);
    EXPECT_GT(testsupport::Luma(shot.surface.Pixel(kBrowserBox.right - 1, kBrowserBox.bottom - 1)),
              240);
    EXPECT_GT(shot.CountDark(TRect{kBrowserBox.left, kBrowserBox.top, kBrowserBox.right,
                                   kBrowserBox.top + 120},
                             100),
              400)
        << "the page's title and text are not drawn";
    EXPECT_LT(testsupport::Luma(shot.surface.Pixel(40, 400)), 90) << "the frame is gone";
}

TEST_F(MainPageWindow, GameStartAddressesAreCaughtAndHandedOnAsWritten) {
    ShowAndWaitForThePage();
    ASSERT_TRUE(Click(L"进入 12区 雾港（推荐）"));
    ASSERT_TRUE(UiTestHost::DrainUntil([&] { return !recorder.addresses.empty(); }));
    std::wstring expected =
        L"http://" + std::wstring(LAUNCHER_PORTAL_HOST) + L"/PlayGame?server=12";
    std::transform(expected.begin() + 7, expected.begin() + 7 + wcslen(LAUNCHER_PORTAL_HOST),
                   expected.begin() + 7,
                   [](wchar_t c) { return static_cast<wchar_t>(towupper(c)); });
    EXPECT_EQ(recorder.addresses[0], expected);
    // The navigation was cancelled and the window hid; the portal was
    // never asked for the game.
    EXPECT_FALSE(IsWindowVisible(*window));
    EXPECT_FALSE(browser->IsVisible());
    EXPECT_EQ(Location(), kStartPage);
    EXPECT_TRUE(testsupport::LoggedRequests("PlayGame").empty());

    // Inside another page's query, and the quick start on the game host;
    // the hidden page still works.
    ASSERT_TRUE(Click(L"活动入口 · 13区 北岭"));
    ASSERT_TRUE(Click(L"快速开始 · 11区 青石渡"));
    ASSERT_TRUE(UiTestHost::DrainUntil([&] { return recorder.addresses.size() == 3; }));
    EXPECT_EQ(recorder.addresses[1],
              kPortal + L"/wd_qamb/jump.html?to=" + kPortal + L"/playgame?server=13");
    EXPECT_EQ(recorder.addresses[2],
              L"http://" LAUNCHER_PORTAL_GAME_HOST L"/redirect/quick.html?server=11");
    EXPECT_TRUE(testsupport::LoggedRequests("jump.html").empty());
}

TEST_F(MainPageWindow, AGameStartInsideAFrameIsNotCaught) {
    ShowAndWaitForThePage();
    ASSERT_TRUE(Click(L"框架中的游戏页"));
    const std::string framed = Utf8(kPortal + L"/playgame?server=14");
    ASSERT_TRUE(UiTestHost::DrainUntil(
        [&] { return Logged("DocumentComplete, " + Utf8(kPortal + L"/wd_qamb/frame.html")); },
        kPageMs));
    EXPECT_TRUE(Logged("UIMain::BeforeNavigate2, " + framed));
    EXPECT_TRUE(Logged("UIMain::NavigateComplete2, " + framed));
    // Only the top-level page completes for the window.
    EXPECT_FALSE(Logged("UIMain::DocumentComplete, " + framed));
    EXPECT_TRUE(recorder.addresses.empty());
    EXPECT_TRUE(PortalVisible());
    EXPECT_FALSE(testsupport::LoggedRequests("server=14").empty()) << "the frame loaded the page";
}

TEST_F(MainPageWindow, OnlyARealPageMakesThePortalVisibleAndOnlyWhileTheWindowIs) {
    ShowAndWaitForThePage();
    ASSERT_TRUE(Click(L"空白页"));
    ASSERT_TRUE(
        UiTestHost::DrainUntil([&] { return Logged("DocumentComplete, about:blank"); }, kPageMs));
    EXPECT_TRUE(PortalVisible()) << "a blank page changes nothing";

    // The events as the browser raises them, straight to the window.
    IDispatch* top = nullptr;
    ASSERT_EQ(
        browser->GetWebBrowser2()->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&top)),
        S_OK);
    const auto complete = [&](const wchar_t* address) {
        VARIANT url;
        VariantInit(&url);
        url.vt = VT_BSTR;
        url.bstrVal = SysAllocString(address);
        VARIANT* pointer = &url;
        window->NavigateComplete2(top, pointer);
        VariantClear(&url);
    };
    browser->SetVisible(false);
    complete(L"about:blank");
    EXPECT_FALSE(browser->IsVisible());
    complete(kStartPage.c_str());
    EXPECT_TRUE(browser->IsVisible());
    window->ShowWindow(false, true);
    complete(kStartPage.c_str());
    EXPECT_FALSE(browser->IsVisible()) << "a hidden window keeps its page hidden";
    top->Release();
}

TEST_F(MainPageWindow, LoggingOutOpensTheLogoutPageFirst) {
    CommandLineOptions[L"-logout"] = CommandLineOption{};
    const std::wstring logout = kPortal + L"/wd_qamb/logout.html";
    ShowAndWaitForThePage(logout);
    EXPECT_EQ(Location(), logout);
    EXPECT_FALSE(Logged("UIMain::BeforeNavigate2, " + Utf8(kStartPage)));
    // From there the player logs in again.
    ASSERT_TRUE(Click(L"重新登录"));
    EXPECT_TRUE(UiTestHost::DrainUntil(
        [&] { return Logged("DocumentComplete, " + Utf8(kStartPage)); }, kPageMs));
}

TEST_F(MainPageWindow, TheServerListIsHandedOnUnlessTheBodyIsEmpty) {
    // Hidden, as when the player logged in by a login address. Each request
    // waits for the page to complete in the hidden browser.
    const std::string page = Utf8(kPortal + L"/wd_qamb/select_server.html?v=");
    const auto completed = [&] {
        return std::count_if(log.begin(), log.end(), [&](const std::string& line) {
            return line.find("UIMain::NavigateComplete2, " + page) != std::string::npos;
        });
    };
    const auto request = [&](const char* variant) {
        EXPECT_TRUE(SelectServerVariant(variant)) << variant;
        const auto before = completed();
        const auto tick = static_cast<int32_t>(GetTickCount());
        window->RequestServerList();
        // The number that makes the address new is the tick count.
        const std::string asked = log.back().substr(log.back().find("?v=") + 3);
        EXPECT_LE(tick, std::stoi(asked));
        EXPECT_LE(std::stoi(asked), static_cast<int32_t>(GetTickCount()));
        return UiTestHost::DrainUntil([&] { return completed() > before; }, kPageMs);
    };
    ASSERT_TRUE(request("array"));
    ASSERT_TRUE(UiTestHost::DrainUntil([&] { return !recorder.serverLists.empty(); }));
    EXPECT_EQ(recorder.serverLists, (std::vector<std::string>{"[]"}));
    ASSERT_TRUE(request("empty"));
    UiTestHost::Drain();
    EXPECT_EQ(recorder.serverLists.size(), 1u) << "an empty body is no list";
    ASSERT_TRUE(request("integers"));
    ASSERT_TRUE(UiTestHost::DrainUntil([&] { return recorder.serverLists.size() == 2; }));
    EXPECT_EQ(recorder.serverLists[1].rfind("{\"status\": 1", 0), 0u) << recorder.serverLists[1];
    EXPECT_NE(recorder.serverLists[1].find("\xe9\x9b\xbe\xe6\xb8\xaf\xe6\x97\x85\xe4\xba\xba"),
              std::string::npos)
        << "the player's name in UTF-8";
    EXPECT_FALSE(IsWindowVisible(*window));
    EXPECT_FALSE(IsWindowVisible(View(serverBrowser)));
}

TEST_F(MainPageWindow, TabAndEnterReachThePageWhileItHasTheFocus) {
    ShowAndWaitForThePage();
    SetForegroundWindow(*window);
    SetFocus(View(browser));
    ASSERT_EQ(GetFocus(), View(browser));
    // Escape is the window's and does nothing; Tab and Enter are the page's:
    // the first link is followed, and it starts the game.
    testsupport::SendKeys({{VK_ESCAPE, false},
                           {VK_ESCAPE, true},
                           {VK_TAB, false},
                           {VK_TAB, true},
                           {VK_RETURN, false},
                           {VK_RETURN, true}});
    ASSERT_TRUE(UiTestHost::DrainUntil([&] { return !recorder.addresses.empty(); }));
    EXPECT_NE(recorder.addresses[0].find(L"/PlayGame?server=12"), std::wstring::npos);
}

TEST_F(MainPageWindow, TheCloseButtonAltF4AndTheSystemMenuEndTheLoop) {
    ShowAndWaitForThePage();
    // Escape never closes the main page.
    SetForegroundWindow(*window);
    testsupport::SendKeys({{VK_ESCAPE, false}, {VK_ESCAPE, true}});
    UiTestHost::Drain();
    EXPECT_TRUE(IsWindowVisible(*window));

    // The close button takes its press; the frame around it drags.
    POINT button = kCloseButton;
    ClientToScreen(*window, &button);
    EXPECT_EQ(window->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(button.x, button.y)), HTCLIENT);
    EXPECT_EQ(window->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(button.x - 60, button.y)), HTCAPTION);
    for (UINT message : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP}) {
        window->PostMessage(message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0,
                            MAKELPARAM(kCloseButton.x, kCloseButton.y));
    }
    EXPECT_TRUE(RunLoopUntilQuit(10000)) << "the close button";
    EXPECT_FALSE(IsWindowVisible(*window));
    EXPECT_TRUE(IsWindow(*window)) << "start-up tears the window down, not the click";

    window->ShowWindow(true, true);
    SetForegroundWindow(*window);
    testsupport::SendKeys({{VK_MENU, false}, {VK_F4, false}, {VK_F4, true}, {VK_MENU, true}});
    EXPECT_TRUE(RunLoopUntilQuit(10000)) << "Alt+F4";
    EXPECT_FALSE(IsWindowVisible(*window));

    window->ShowWindow(true, true);
    window->PostMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(RunLoopUntilQuit(10000)) << "the system menu's close";
    EXPECT_FALSE(IsWindowVisible(*window));
    EXPECT_TRUE(recorder.addresses.empty());
}

}  // namespace
