// The game session under Wine as start-up runs it, for the tests of the
// game window and its tools: CGame with its windows and hidden window, the
// test browser in the prefix, the dev portal behind its proxy, and the
// stand-in plug-in control and engine registered from a folder of the
// test's own, where a "plume3d.timeline" file steers the engine. A recorder
// stands in for the application controller's hidden window (g_hAppWnd).
// Game addresses arrive as start-up's controllers post them
// (kGameAddressMessage). UI thread only.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>

#include "LauncherConfig.h"
#include "app/CommandLine.h"
#include "app/Game_win.h"
#include "app/Globals_win.h"
#include "game/UIGame_win.h"
#include "support/PrefixState_win.h"
#include "support/SkinnedWindowTest_win.h"
#include "support/UiTestHost_win.h"
#include "support/WinTestSupport_win.h"
#include "ui/controls/WebBrowser_win.h"

namespace testsupport {

const std::wstring kLogin = std::wstring(L"http://") + LAUNCHER_LOGIN_HOST;
const std::wstring kGamePage =
    std::wstring(L"http://") + LAUNCHER_PORTAL_GAME_HOST + L"/game/play.html?server=12";
constexpr DWORD kPageMs = 20000;

inline std::wstring Built(const wchar_t* name) {
    return FromUnixPath(LAUNCHER_PLUGIN_DIR "/") + name;
}

inline std::string Narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

// The application controller's hidden window, as far as the game window
// talks to it: it counts the "login host reached" messages.
struct AppWindowRecorder {
    int loginHostReached = 0;
    MessageWindow window{[this](UINT message, WPARAM wParam, LPARAM lParam) {
        if (message != kLoginHostReachedMessage || wParam != 0 || lParam != 0) return false;
        ++loginHostReached;
        return true;
    }};
    const HWND hwnd = window.hwnd();
};

class GameSessionTest : public SkinnedWindowTest {
protected:
    void SetUp() override {
        RecordLog();
        ASSERT_TRUE(state.ok());
        ASSERT_NE(app.hwnd, nullptr);
        g_hAppWnd = app.hwnd;
        game = std::make_unique<CGame>();
        ASSERT_TRUE(game->Initialize()) << LogText();
        g_hGameWnd = game->GetHWND();
        ASSERT_TRUE(game->Start());
    }
    void TearDown() override {
        // As start-up ends: nothing runs between the two, so the closes the
        // controller posts never reach the windows.
        if (game) game->Uninitialize();
        game.reset();
        UiTestHost::Drain();
        g_hAppWnd = g_hGameWnd = nullptr;
        CommandLineOptions.erase(L"-LoginUrl:");
        QLogger::Shutdown();
    }

    // The plug-in control and the engine in the test's folder, registered
    // as the launcher's start-up registers the control, the engine held by
    // |timeline|.
    void InstallPlugin(const std::string& timeline) {
        for (const wchar_t* name : {L"plumegame.ocx", L"plume3d.lod"}) {
            ASSERT_TRUE(CopyFileW(Built(name).c_str(), folder.Join(name).c_str(), FALSE));
        }
        Choose(timeline);
        const auto run = RunProcess(
            L"regsvr32.exe /s \"" + folder.Join(L"plumegame.ocx") + L"\"", folder.path());
        ASSERT_TRUE(run.finished && run.exitCode == 0);
    }
    void Choose(const std::string& timeline) {
        ASSERT_TRUE(WriteFileBytes(folder.Join(L"plume3d.timeline"), timeline));
    }
    void StartGame(const std::wstring& address) {
        ASSERT_TRUE(PostOwnedString(g_hGameWnd, kGameAddressMessage, address, "test"));
        UiTestHost::Drain();
    }
    // The game page (or |page|) has completed in the game window.
    bool WaitForPage(const std::wstring& page = kGamePage) {
        return UiTestHost::DrainUntil(
            [&] { return Logged("UIGame::DocumentComplete, " + Narrow(page)); }, kPageMs);
    }

    UIGame& Window() const { return *game->GetGameWindow(); }
    UILoading& Loading() const { return *game->GetLoadingWindow(); }
    template <class T = SkinUI::CControlUI>
    T* Control(const wchar_t* name) const {
        return dynamic_cast<T*>(Window().GetManager().FindControl(std::wstring(name)));
    }
    SkinUI::CWebBrowserUI* Browser() const { return Control<SkinUI::CWebBrowserUI>(L"ie"); }
    LONG_PTR ExStyle() const { return GetWindowLongPtrW(Window(), GWL_EXSTYLE); }
    // The window's constant opacity: 255 unless it is layered.
    int Opacity() const {
        if (!(ExStyle() & WS_EX_LAYERED)) return 255;
        BYTE alpha = 0;
        DWORD flags = 0;
        COLORREF key = 0;
        if (!GetLayeredWindowAttributes(Window(), &key, &alpha, &flags)) return -1;
        return (flags & LWA_ALPHA) ? alpha : 255;
    }
    bool ButtonVisible(const wchar_t* name) const { return Control(name)->IsVisible(); }
    // A click as the mouse makes it, on a control's centre.
    void ClickControl(const wchar_t* name) {
        const SkinUI::TRect& r = Control(name)->GetPos();
        const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        for (UINT message : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP}) {
            PostMessageW(Window(), message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0, at);
        }
        UiTestHost::Drain();
    }
    // The game is under way in a revealed, maximised window.
    void PlayRevealed() {
        InstallPlugin("hold:1");
        StartGame(kGamePage);
        ASSERT_TRUE(UiTestHost::DrainUntil([&] { return Opacity() == 255; }, kPageMs))
            << LogText();
        ASSERT_TRUE(UiTestHost::DrainUntil([&] { return IsZoomed(Window()) != FALSE; }));
    }

    PrefixUserState state;
    ScratchDir folder;
    AppWindowRecorder app;
    std::unique_ptr<CGame> game;
};

}  // namespace testsupport
