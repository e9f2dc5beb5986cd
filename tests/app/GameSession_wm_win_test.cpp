// The game session under Wine as start-up runs it (the fixture is
// support/GameSessionTest_win.h): loading, revealing, the login host's
// pages, the tray, the frame and the tool buttons. What ends the process
// (closing the game window) is tested end to end in GameClose_e2e_test.cpp;
// the tools themselves in GameTools_wm_win_test.cpp.
#include "app/Game_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "LauncherConfig.h"
#include "app/CommandLine.h"
#include "app/Globals_win.h"
#include "game/UIBossKey_win.h"
#include "game/UIChangeServer_win.h"
#include "game/UIGame_win.h"
#include "support/PrefixState_win.h"
#include "support/ScreenCapture_win.h"
#include "support/GameSessionTest_win.h"
#include "support/SkinnedWindowTest_win.h"
#include "support/UiTestHost_win.h"
#include "support/WinTestSupport_win.h"
#include "ui/controls/Combo.h"
#include "ui/controls/Label.h"
#include "ui/controls/Progress.h"
#include "update/UILoading_win.h"

namespace {

using testsupport::UiTestHost;
using GameSession = testsupport::GameSessionTest;
using testsupport::kGamePage;
using testsupport::kLogin;
using testsupport::kPageMs;
using testsupport::Narrow;

TEST_F(GameSession, TheGamePageLoadsConcealedBehindTheLoadingWindowUntilTheEngineIsDone) {
    // Created hidden at start-up.
    EXPECT_FALSE(IsWindowVisible(Window()));
    EXPECT_FALSE(IsWindowVisible(Loading()));
    InstallPlugin("hold:0.5");
    StartGame(kLogin + L"/enter.html?server=12");
    EXPECT_TRUE(IsWindowVisible(Loading()));
    EXPECT_TRUE(IsWindowVisible(Window()));
    EXPECT_EQ(Opacity(), 0);
    EXPECT_TRUE(ExStyle() & WS_EX_TOOLWINDOW) << "out of the taskbar";
    EXPECT_FALSE(ExStyle() & WS_EX_APPWINDOW);
    const CommandLineOption* remembered = FindOption(L"-LoginUrl:");
    ASSERT_NE(remembered, nullptr);
    EXPECT_EQ(remembered->value, L"?" + kLogin + L"/enter.html?server=12");
    EXPECT_TRUE(remembered->hasValue);

    // The login host's entry moves on to the game page; its completion
    // asked for the server list once, the game page's did not.
    ASSERT_TRUE(WaitForPage()) << LogText();
    EXPECT_EQ(app.loginHostReached, 1);
    EXPECT_TRUE(IsZoomed(Window())) << "the window opens maximised";
    EXPECT_TRUE(Browser()->IsVisible());

    // The engine at half: the bar from where the waiting display stood.
    auto* bar = Loading().GetManager().FindControl(std::wstring(L"progress"));
    ASSERT_TRUE(UiTestHost::DrainUntil(
        [&] { return static_cast<SkinUI::CProgressUI*>(bar)->GetValue() >= 50; }, kPageMs));
    EXPECT_EQ(Loading().GetState(), LoadingProgress::kEngineLoading);
    EXPECT_EQ(bar->GetText().back(), L'%');
    EXPECT_EQ(Opacity(), 0) << "still concealed while loading";
    // On screen the player sees the loading window through the concealed
    // game window; without a compositor the X server does not, so the
    // loading window is raised for its picture.
    SetWindowPos(Loading(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    {
        testsupport::ScreenCapture shot(Loading(), "loading_half");
        const SkinUI::TRect filled{226, 58, 226 + 366 / 2 - 4, 70};
        EXPECT_GT(shot.CountBright(filled, 60), filled.Width() * filled.Height() / 2)
            << "the bar's filled half";
    }

    Choose("hold:1");
    ASSERT_TRUE(UiTestHost::DrainUntil([&] { return Opacity() == 255; }, kPageMs)) << LogText();
    EXPECT_FALSE(IsWindowVisible(Loading()));
    EXPECT_EQ(Loading().GetState(), LoadingProgress::kEnded);
    EXPECT_TRUE(Logged("Normal |100% for whole init, End Loading UI"));
    EXPECT_TRUE(ExStyle() & WS_EX_APPWINDOW) << "in the taskbar";
    EXPECT_FALSE(ExStyle() & WS_EX_TOOLWINDOW);
    EXPECT_FALSE(ExStyle() & WS_EX_LAYERED);
    EXPECT_TRUE(IsWindowVisible(Window()));

    testsupport::ScreenCapture shot(Window(), "game_revealed");
    RECT client{};
    GetClientRect(Window(), &client);
    // The dark title bar over the whole width, and the plug-in's screen in
    // the page below it.
    EXPECT_GT(shot.CountDark(SkinUI::TRect{0, 0, client.right, 58}, 90), client.right * 58 * 3 / 4);
    EXPECT_GT(shot.CountDark(SkinUI::TRect{20, 80, 1000, 600}, 90), 980 * 520 / 2)
        << "the plug-in's start-up screen";
}

// Which addresses are the login host's is GameWindow_test.cpp's; that a
// top-level page of it asks for the server list, the loading test's above.
TEST_F(GameSession, ALoginHostFrameInsideTheGamePageAsksForNothing) {
    InstallPlugin("hold:1");
    StartGame(kGamePage + L"&notice=1");
    ASSERT_TRUE(WaitForPage(kGamePage + L"&notice=1"));
    EXPECT_TRUE(Logged("UIGame::NavigateComplete2, " + Narrow(kLogin) + "/notice.html"))
        << "the frame loaded";
    EXPECT_EQ(app.loginHostReached, 0);
}

TEST_F(GameSession, OnlyARealTopLevelPageShowsTheBrowser) {
    InstallPlugin("hold:1");
    StartGame(L"about:blank");
    ASSERT_TRUE(UiTestHost::DrainUntil([&] { return IsZoomed(Window()) != FALSE; }));
    ASSERT_TRUE(UiTestHost::DrainUntil(
        [&] { return std::count_if(log.begin(), log.end(), [](const std::string& line) {
                         return line.find("UIGame::DocumentComplete, about:blank") !=
                                std::string::npos;
                     }) >= 2; },
        kPageMs));
    EXPECT_FALSE(Browser()->IsVisible()) << "a blank page leaves the browser hidden";
    Window().OpenGameUrl(kGamePage);
    ASSERT_TRUE(WaitForPage());
    EXPECT_TRUE(Browser()->IsVisible());
    EXPECT_TRUE(Logged("UIGame::Navigate2, " + Narrow(kGamePage)));
}

TEST_F(GameSession, TheTrayIconTogglesTheGameWindowOnADoubleClickOnly) {
    PlayRevealed();
    const auto tray = [&](UINT mouse) {
        PostMessageW(g_hGameWnd, kTrayMessage, 0, mouse);
        UiTestHost::Drain();
    };
    for (UINT other : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONUP, WM_MOUSEMOVE}) {
        tray(other);
        EXPECT_TRUE(IsWindowVisible(Window())) << other;
    }
    tray(WM_LBUTTONDBLCLK);
    EXPECT_FALSE(IsWindowVisible(Window()));
    tray(WM_RBUTTONDBLCLK);
    EXPECT_FALSE(IsWindowVisible(Window()));
    tray(WM_LBUTTONDBLCLK);
    EXPECT_TRUE(IsWindowVisible(Window()));
    EXPECT_TRUE(IsZoomed(Window())) << "back as it was: maximised";
    EXPECT_EQ(GetForegroundWindow(), Window().GetHWND());

    // Restored before hiding, it comes back restored; the hide button
    // toggles the same way.
    ClickControl(L"restore");
    ASSERT_FALSE(IsZoomed(Window()));
    ClickControl(L"hide");
    EXPECT_FALSE(IsWindowVisible(Window()));
    tray(WM_LBUTTONDBLCLK);
    EXPECT_TRUE(IsWindowVisible(Window()));
    EXPECT_FALSE(IsZoomed(Window()));
}

TEST_F(GameSession, TheMaximizeAndRestoreButtonsFollowTheWindowOnEveryRoad) {
    PlayRevealed();
    const auto maximizedButtons = [&](bool maximized) {
        EXPECT_EQ(IsZoomed(Window()) != FALSE, maximized);
        EXPECT_EQ(ButtonVisible(L"restore"), maximized);
        EXPECT_EQ(ButtonVisible(L"maximize"), !maximized);
    };
    maximizedButtons(true);
    ClickControl(L"restore");
    maximizedButtons(false);
    ClickControl(L"maximize");
    maximizedButtons(true);

    // Minimised while maximised and restored from the taskbar.
    ClickControl(L"minimize");
    EXPECT_TRUE(IsIconic(Window()));
    EXPECT_TRUE(ButtonVisible(L"maximize"));
    Window().SendMessage(WM_SYSCOMMAND, SC_RESTORE, 0);
    maximizedButtons(true);

    // The keyboard's and the caption's roads, through the default handling.
    Window().SendMessage(WM_SYSCOMMAND, SC_RESTORE, 0);
    maximizedButtons(false);
    POINT caption{500, 10};
    ClientToScreen(Window(), &caption);
    ASSERT_EQ(Window().SendMessage(WM_NCHITTEST, 0, MAKELPARAM(caption.x, caption.y)), HTCAPTION);
    Window().SendMessage(WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(caption.x, caption.y));
    maximizedButtons(true);
}

TEST_F(GameSession, EscapeDoesNotCloseTheGameWindow) {
    PlayRevealed();
    SetForegroundWindow(Window());
    PostMessageW(Window(), WM_KEYDOWN, VK_ESCAPE, 1);
    PostMessageW(Window(), WM_KEYUP, VK_ESCAPE, static_cast<LPARAM>(0xC0000001u));
    UiTestHost::Drain();
    // Closing would have ended this process; the window is still there.
    EXPECT_TRUE(IsWindowVisible(Window()));
}

TEST_F(GameSession, AMaximizedWindowCoversTheWorkAreaWithOnlyItsTopCornersRound) {
    PlayRevealed();
    // Wine's work area is the whole screen here (no taskbar); where the
    // taskbar stands is the native test's.
    MONITORINFO monitor{sizeof(monitor)};
    ASSERT_TRUE(GetMonitorInfoW(MonitorFromWindow(Window(), MONITOR_DEFAULTTOPRIMARY), &monitor));
    RECT window{};
    GetWindowRect(Window(), &window);
    EXPECT_TRUE(EqualRect(&window, &monitor.rcWork))
        << window.left << "," << window.top << "," << window.right << "," << window.bottom;
    RECT client{};
    GetClientRect(Window(), &client);
    EXPECT_EQ(client.right, window.right - window.left) << "no frame, also when maximised";

    // Restored it cannot be made smaller than the layout's minimum.
    ClickControl(L"restore");
    SetWindowPos(Window(), nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER);
    GetWindowRect(Window(), &window);
    EXPECT_GE(window.right - window.left, 800);

    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(Window(), region), ERROR);
    const int w = window.right - window.left;
    const int h = window.bottom - window.top;
    EXPECT_FALSE(PtInRegion(region, 0, 0));
    EXPECT_FALSE(PtInRegion(region, w - 1, 0));
    EXPECT_TRUE(PtInRegion(region, 0, h - 1)) << "the bottom corners stay square";
    EXPECT_TRUE(PtInRegion(region, w - 1, h - 1));
    EXPECT_TRUE(PtInRegion(region, w / 2, 0));
    DeleteObject(region);
}

TEST_F(GameSession, TheTitleBarDragsExceptOnItsButtonsAndResizesUnlessMaximized) {
    PlayRevealed();
    const auto hit = [&](int x, int y) {
        POINT p{x, y};
        ClientToScreen(Window(), &p);
        return Window().SendMessage(WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
    };
    const SkinUI::TRect& name = Control(L"username")->GetPos();
    const SkinUI::TRect& close = Control(L"close")->GetPos();
    EXPECT_EQ(hit(close.left + 3, close.top + 3), HTCLIENT);
    EXPECT_EQ(hit(name.left + 2, name.top + 2), HTCLIENT) << "below the 30-pixel caption";
    EXPECT_EQ(hit(600, 12), HTCAPTION);
    EXPECT_EQ(hit(2, 2), HTCAPTION) << "no resize border while maximised";
    ClickControl(L"restore");
    RECT client{};
    GetClientRect(Window(), &client);
    EXPECT_EQ(hit(1, 1), HTTOPLEFT);
    EXPECT_EQ(hit(client.right - 1, client.bottom - 1), HTBOTTOMRIGHT);
    EXPECT_EQ(hit(client.right / 2, client.bottom - 2), HTBOTTOM);
    EXPECT_EQ(hit(client.right / 2, client.bottom / 2), HTCLIENT);
}

TEST_F(GameSession, AServerListShowsTheNameAndFillsThePopupWhichTheButtonToggles) {
    PlayRevealed();
    ASSERT_TRUE(PostOwnedString(
        g_hGameWnd, kServerListMessage,
        std::string(R"({"data":{"user_name":"\u96fe\u6e2f\u65c5\u4eba","current":)"
                    R"({"server_name":"12","server_number":"12"},"allserver":[)"
                    R"({"server_number":11,"server_name":"11"},{"server_number":12,)"
                    R"("server_name":"12"}]}})"),
        "test"));
    UiTestHost::Drain();
    EXPECT_EQ(Control(L"username")->GetText(), L"\u96fe\u6e2f\u65c5\u4eba");
    UIChangeServer& popup = *game->GetChangeServerWindow();
    auto* list = dynamic_cast<SkinUI::CComboUI*>(
        popup.GetManager().FindControl(std::wstring(L"serverlist")));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->GetCurSel(), 1);

    ClickControl(L"changeserver");
    ASSERT_TRUE(IsWindowVisible(popup));
    RECT box{};
    GetWindowRect(popup, &box);
    POINT corner{Control(L"changeserver")->GetPos().right, Control(L"changeserver")->GetPos().bottom};
    ClientToScreen(Window(), &corner);
    EXPECT_EQ(box.right, corner.x) << "right edges aligned";
    EXPECT_EQ(box.top, corner.y) << "below the button";
    ClickControl(L"changeserver");
    EXPECT_FALSE(IsWindowVisible(popup));

    // A list that does not parse empties both.
    ASSERT_TRUE(PostOwnedString(g_hGameWnd, kServerListMessage, std::string("not json"), "test"));
    UiTestHost::Drain();
    EXPECT_EQ(Control(L"username")->GetText(), L"");
    EXPECT_EQ(list->GetCurSel(), -1);
}

// What the boss-key dialog looked like from inside its modal loop.
struct ModalView {
    HWND dialog = nullptr;
    HWND game = nullptr;
    bool shown = false;
    bool gameDisabled = false;
    POINT dialogCentre{};
};
ModalView* g_modal = nullptr;

void CALLBACK LookAndClose(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    RECT r{};
    GetWindowRect(g_modal->dialog, &r);
    g_modal->dialogCentre = POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    g_modal->shown = IsWindowVisible(g_modal->dialog) != FALSE;
    g_modal->gameDisabled = IsWindowEnabled(g_modal->game) == FALSE;
    PostMessageW(g_modal->dialog, WM_CLOSE, 0, 0);
}

TEST_F(GameSession, TheToolButtonsRefreshTheGameAndShowTheBossKeyDialog) {
    PlayRevealed();
    const auto pageRequests = [] { return testsupport::LoggedRequests("/game/play.html").size(); };
    const size_t before = pageRequests();
    ClickControl(L"refresh");
    EXPECT_TRUE(UiTestHost::DrainUntil([&] { return pageRequests() > before; }, kPageMs))
        << "the game page fetched again";

    // The boss-key dialog, centred and modal over the game window until it
    // closes; closing only hides it.
    ModalView view;
    view.dialog = *game->GetBossKeyWindow();
    view.game = Window();
    g_modal = &view;
    SetTimer(nullptr, 0, 50, &LookAndClose);
    ClickControl(L"bosskey");
    EXPECT_TRUE(view.shown);
    EXPECT_TRUE(view.gameDisabled);
    RECT r{};
    GetWindowRect(Window(), &r);
    EXPECT_NEAR(view.dialogCentre.x, (r.left + r.right) / 2, 1);
    EXPECT_NEAR(view.dialogCentre.y, (r.top + r.bottom) / 2, 1);
    EXPECT_FALSE(IsWindowVisible(view.dialog));
    EXPECT_TRUE(IsWindow(view.dialog));
    EXPECT_TRUE(IsWindowEnabled(Window()));
    g_modal = nullptr;
}

// A hook that refuses to create windows of one class, as when the system
// runs out of window handles.
HHOOK g_refuser = nullptr;
const wchar_t* g_refusedClass = nullptr;
LRESULT CALLBACK RefuseCreation(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        const auto* create = reinterpret_cast<const CBT_CREATEWNDW*>(lParam);
        const LPCWSTR name = create->lpcs->lpszClass;
        if (!IS_INTRESOURCE(name) && wcscmp(name, g_refusedClass) == 0) return 1;
    }
    return CallNextHookEx(g_refuser, code, wParam, lParam);
}

TEST_F(GameSession, AGameWindowThatCannotBeCreatedStopsTheRestOfTheSession) {
    game->Uninitialize();
    game.reset();
    log.clear();
    g_refusedClass = L"UIGame";
    g_refuser = SetWindowsHookExW(WH_CBT, RefuseCreation, nullptr, GetCurrentThreadId());
    ASSERT_NE(g_refuser, nullptr);
    game = std::make_unique<CGame>();
    const bool initialized = game->Initialize();
    UnhookWindowsHookEx(g_refuser);
    EXPECT_FALSE(initialized);
    EXPECT_TRUE(IsWindow(Loading()));
    EXPECT_EQ(game->GetBossKeyWindow()->GetHWND(), nullptr);
    EXPECT_EQ(game->GetChangeServerWindow()->GetHWND(), nullptr);
    const auto failed = std::find_if(log.begin(), log.end(), [](const std::string& line) {
        return line.find("Create UIGame failed") != std::string::npos;
    });
    ASSERT_NE(failed, log.end()) << LogText();
    EXPECT_EQ(failed->rfind("Error  |CGame::Initialize:Create UIGame failed:", 0), 0u) << *failed;
}

}  // namespace
