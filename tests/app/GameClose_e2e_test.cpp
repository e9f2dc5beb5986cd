// Closing the game window end to end: game_host (the game session as
// start-up runs it) in a folder of its own, its game window on a page of
// the dev portal, closed in every way a player can. Each time the process
// ends with exit code 33 and a new launcher starts in the same folder with
// "-disable_update_self" as its whole command line; the test then ends
// that one through its loading window's close, as a player would.
// Also the log-out from the change-server popup, and the login roads of the real launcher: from its
// command line, or through the dev portal's login-key service, each start ends with the game page
// open in the game window or with the main page shown.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "LauncherConfig.h"
#include "common/win/UniqueHandle_win.h"
#include "support/PrefixState_win.h"
#include "support/ScreenCapture_win.h"
#include "support/WinTestSupport_win.h"

namespace {

using testsupport::ScratchDir;
using testsupport::WaitUntil;

constexpr DWORD kRunMs = 60000;
const std::wstring kPage = std::wstring(L"http://") + LAUNCHER_LOGIN_HOST + L"/notice.html";

// A test name from a road's description: its letters and digits.
std::string TestNameOf(const char* description) {
    std::string name;
    for (const char* c = description; *c; ++c) {
        if (isalnum(static_cast<unsigned char>(*c))) name += *c;
    }
    return name;
}

std::wstring GameHost() {
    return testsupport::FromUnixPath(LAUNCHER_GAME_HOST_PATH);
}

// The top-level window of |className| that process |pid| shows.
HWND WindowOf(DWORD pid, const wchar_t* className) {
    HWND found = nullptr;
    for (HWND w = FindWindowExW(nullptr, nullptr, className, nullptr); w != nullptr;
         w = FindWindowExW(nullptr, w, className, nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == pid) found = w;
    }
    return found;
}

// The launcher logs in |folder| whose process ids are not in |known|.
std::vector<DWORD> OtherLaunchers(const std::wstring& folder, const std::vector<DWORD>& known) {
    std::vector<DWORD> pids;
    WIN32_FIND_DATAW data;
    HANDLE search = FindFirstFileW((folder + L"\\log\\launcher_tavro_*.log").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return pids;
    do {
        const DWORD pid = wcstoul(data.cFileName + 15, nullptr, 10);
        if (std::find(known.begin(), known.end(), pid) == known.end()) pids.push_back(pid);
    } while (FindNextFileW(search, &data));
    FindClose(search);
    return pids;
}

std::vector<DWORD> OtherLaunchers(const ScratchDir& dir, const std::vector<DWORD>& known) {
    return OtherLaunchers(dir.path(), known);
}

std::vector<std::string> LogOf(const std::wstring& folder, DWORD pid) {
    return testsupport::ReadLines(folder + L"\\log\\launcher_tavro_" + std::to_wstring(pid) +
                                  L".log");
}

std::vector<std::string> LogOf(const ScratchDir& dir, DWORD pid) {
    return LogOf(dir.path(), pid);
}

bool Logged(const std::vector<std::string>& lines, const std::string& text) {
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& line) {
        return line.find(text) != std::string::npos;
    });
}

// A launcher the test started, ended when the test is over however it
// ends: a failed assertion must not leave it running (it would hold the
// test's output open until the runner's time-out).
class LauncherProcess {
public:
    explicit LauncherProcess(HANDLE process) : process_(process) {}
    ~LauncherProcess() {
        if (process_.get() != nullptr &&
            testsupport::WaitForLauncherEnd(process_.get(), 10000) != WAIT_OBJECT_0) {
            TerminateProcess(process_.get(), 99);
        }
    }
    HANDLE get() const { return process_.get(); }

private:
    UniqueKernelHandle process_;
};

// The centre of the close button: the rightmost stretch of the title bar's
// drag strip that the window does not drag by.
POINT CloseButton(HWND game) {
    RECT client{};
    GetClientRect(game, &client);
    int right = -1;
    for (int x = client.right - 1; x > client.right / 2; --x) {
        POINT p{x, 12};
        ClientToScreen(game, &p);
        const LRESULT hit = SendMessageW(game, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
        if (hit == HTCLIENT && right < 0) right = x;
        if (hit != HTCLIENT && right >= 0) return POINT{(x + 1 + right) / 2, 12};
    }
    return POINT{-1, -1};
}

struct CloseRoad {
    const char* name;
    void (*close)(HWND game);
};

const CloseRoad kRoads[] = {
    {"the close button",
     [](HWND game) {
         const POINT button = CloseButton(game);
         ASSERT_GE(button.x, 0);
         for (UINT message : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP}) {
             PostMessageW(game, message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0,
                          MAKELPARAM(button.x, button.y));
         }
     }},
    {"Alt+F4",
     [](HWND game) {
         // Without a window manager the keyboard follows the pointer.
         RECT r{};
         GetWindowRect(game, &r);
         SetCursorPos(r.left + 300, r.top + 12);
         SetForegroundWindow(game);
         testsupport::SendKeys({{VK_MENU, false}, {VK_F4, false}, {VK_F4, true}, {VK_MENU, true}});
     }},
    {"the system menu's close", [](HWND game) { PostMessageW(game, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    {"a system close with other low bits",
     [](HWND game) { PostMessageW(game, WM_SYSCOMMAND, SC_CLOSE + 1, 0); }},
    {"WM_CLOSE", [](HWND game) { PostMessageW(game, WM_CLOSE, 0, 0); }},
};

void PrintTo(const CloseRoad& road, std::ostream* out) {
    *out << road.name;
}

class GameWindowClose : public testing::TestWithParam<CloseRoad> {};

TEST_P(GameWindowClose, StartsANewLauncherAndEndsWithCode33) {
    ScratchDir dir;
    DWORD pid = 0;
    HANDLE process = testsupport::StartProcess(
        L"\"" + GameHost() + L"\" -disable_move_self \"--game-address=" + kPage + L"\"", dir.path(),
        &pid);
    ASSERT_NE(process, nullptr);
    HWND game = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            game = WindowOf(pid, L"UIGame");
            return game != nullptr && IsWindowVisible(game) && IsZoomed(game) &&
                   Logged(LogOf(dir, pid),
                          "UIGame::DocumentComplete, " + std::string(kPage.begin(), kPage.end()));
        },
        kRunMs))
        << "the game page did not open";

    GetParam().close(game);
    ASSERT_EQ(WaitForSingleObject(process, kRunMs), WAIT_OBJECT_0) << "still running";
    DWORD code = 0;
    GetExitCodeProcess(process, &code);
    CloseHandle(process);
    EXPECT_EQ(code, 33u);
    EXPECT_FALSE(Logged(LogOf(dir, pid), "Launcher Terminated")) << "ended at once, no teardown";

    // The new launcher, in the same folder, with the one option.
    std::vector<DWORD> others;
    ASSERT_TRUE(WaitUntil(
        [&] {
            others = OtherLaunchers(dir, {pid});
            return others.size() == 1 && Logged(LogOf(dir, others[0]), "CGame::Start");
        },
        kRunMs))
        << "no new launcher";
    const std::vector<std::string> next = LogOf(dir, others[0]);
    ASSERT_GE(next.size(), 2u);
    EXPECT_EQ(next[1].substr(next[1].find(" - cmdline: ") + 12), "-disable_update_self");

    // It waits for a game address; closing its loading window ends it.
    HWND loading = nullptr;
    ASSERT_TRUE(
        WaitUntil([&] { return (loading = WindowOf(others[0], L"ClientLoading")); }, kRunMs));
    HANDLE restarted =
        OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, others[0]);
    ASSERT_NE(restarted, nullptr);
    PostMessageW(loading, WM_CLOSE, 0, 0);
    EXPECT_EQ(testsupport::WaitForLauncherEnd(restarted, kRunMs), WAIT_OBJECT_0);
    GetExitCodeProcess(restarted, &code);
    CloseHandle(restarted);
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(Logged(LogOf(dir, others[0]), "Launcher Terminated"));
}

INSTANTIATE_TEST_SUITE_P(EveryRoad, GameWindowClose, testing::ValuesIn(kRoads),
                         [](const auto& info) { return TestNameOf(info.param.name); });

struct LoginRoad {
    const char* name;
    std::wstring option;  // the whole "-LoginUrl:" argument, or none
    std::string page;     // the game page opened; empty: the main page shows
    const char* logged;   // what the launcher logs on this road
};

void PrintTo(const LoginRoad& road, std::ostream* out) {
    *out << road.name;
}

const std::string kKeyedPage = "http://game.torvessa.example/play?sid=12&mode=json";

const LoginRoad kLoginRoads[] = {
    {"no option", L"", "", "CApp::TryAutoLogin"},
    {"a percent-encoded address",
     L"\"-LoginUrl:=?url=http%3A%2F%2F" + std::wstring(LAUNCHER_LOGIN_HOST) + L"%2Fnotice.html\"",
     std::string(kPage.begin(), kPage.end()), "UIGame::Navigate2"},
    {"a key whose reply names the address", L"-LoginUrl:=12.json", kKeyedPage,
     "sid=12&key=12.json, code=1"},
    {"a key whose reply has an empty url", L"-LoginUrl:=4.empty", "", "key=4.empty, code=1"},
    {"a key the service refuses", L"-LoginUrl:=6.status503", "", "key=6.status503, code=0"},
    {"a key whose sid is no host label", L"-LoginUrl:=a_b.json", "", "login key refused: a_b.json"},
};

class LauncherLogin : public testing::TestWithParam<LoginRoad> {};

TEST_P(LauncherLogin, EndsAtTheGamePageOrTheMainPage) {
    const LoginRoad& road = GetParam();
    ScratchDir dir;
    DWORD pid = 0;
    LauncherProcess process(
        testsupport::StartProcess(L"\"" + testsupport::LauncherExePath() +
                                      L"\" -disable_move_self -disable_update_self " + road.option,
                                  dir.path(), &pid));
    ASSERT_NE(process.get(), nullptr);
    HWND game = nullptr, main = nullptr;
    if (!road.page.empty()) {
        ASSERT_TRUE(WaitUntil(
            [&] {
                game = WindowOf(pid, L"UIGame");
                return game != nullptr && IsWindowVisible(game) &&
                       Logged(LogOf(dir, pid), "UIGame::DocumentComplete, " + road.page);
            },
            kRunMs))
            << "the game page did not open";
        main = WindowOf(pid, L"UIMain");
        EXPECT_TRUE(main != nullptr && !IsWindowVisible(main)) << "the main page showed too";
    } else {
        // Both controllers started (the main page is briefly visible while it
        // is created) and the road taken.
        ASSERT_TRUE(WaitUntil(
            [&] {
                const std::vector<std::string> log = LogOf(dir, pid);
                main = WindowOf(pid, L"UIMain");
                return Logged(log, "CGame::Start") && Logged(log, road.logged) && main != nullptr &&
                       IsWindowVisible(main);
            },
            kRunMs))
            << "the main page did not show";
        game = WindowOf(pid, L"UIGame");
        ASSERT_NE(game, nullptr) << "no game window";
        EXPECT_FALSE(IsWindowVisible(game)) << "a game page opened too";
    }
    // The player closes the main page (hidden or not): the loop ends.
    PostMessageW(main, WM_CLOSE, 0, 0);
    ASSERT_EQ(WaitForSingleObject(process.get(), kRunMs), WAIT_OBJECT_0);
    DWORD code = 1;
    GetExitCodeProcess(process.get(), &code);
    EXPECT_EQ(code, 0u);
    const std::vector<std::string> log = LogOf(dir, pid);
    EXPECT_TRUE(Logged(log, road.logged)) << road.logged;
    EXPECT_TRUE(Logged(log, "Launcher Terminated"));
}

INSTANTIATE_TEST_SUITE_P(EveryRoad, LauncherLogin, testing::ValuesIn(kLoginRoads),
                         [](const auto& info) { return TestNameOf(info.param.name); });

// The player picks a server on the portal's start page in the main page (a
// meta refresh that the dev portal adds for one page stands in for the
// click): the main page hides and hands the game-start address, as written,
// to the game window, which opens it.
TEST(LauncherMainPageLogin, TheStartPagesServerLinkOpensInTheGameWindow) {
    ASSERT_TRUE(testsupport::DevPortalGet("/_devportal/start_page/click?server=12"));
    ScratchDir dir;
    DWORD pid = 0;
    LauncherProcess process(testsupport::StartProcess(
        L"\"" + testsupport::LauncherExePath() + L"\" -disable_move_self -disable_update_self",
        dir.path(), &pid));
    ASSERT_NE(process.get(), nullptr);
    const std::wstring portal = LAUNCHER_PORTAL_HOST;
    std::string host(portal.begin(), portal.end());
    std::transform(host.begin(), host.end(), host.begin(),
                   [](unsigned char c) { return std::toupper(c); });
    const std::string address = "http://" + host + "/PlayGame?server=12";
    HWND game = nullptr, main = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            game = WindowOf(pid, L"UIGame");
            main = WindowOf(pid, L"UIMain");
            return game != nullptr && IsWindowVisible(game) && main != nullptr &&
                   !IsWindowVisible(main) &&
                   Logged(LogOf(dir, pid), "UIGame::Navigate2, " + address);
        },
        kRunMs))
        << "the game window did not open " << address;
    const std::vector<std::string> log = LogOf(dir, pid);
    EXPECT_TRUE(Logged(log, "UIMain::DocumentComplete, http://" +
                                std::string(portal.begin(), portal.end()) + "/wd_qamb.html"));
    EXPECT_FALSE(Logged(log, "UIMain::DocumentComplete, " + address))
        << "the main page went there itself";
    PostMessageW(main, WM_CLOSE, 0, 0);
    ASSERT_EQ(WaitForSingleObject(process.get(), kRunMs), WAIT_OBJECT_0);
}

// The player identity in the portal's address reaches the statistics once
// the update has ended, and the settings file remembers it (that a
// remembered identity sends nothing is the reporter's own test).
TEST(LauncherReport, TheUpdatesEndIsReportedForThePlayer) {
    ASSERT_TRUE(testsupport::UseDevPortalAsCurlProxy()) << "the devportal fixture is not running";
    ScratchDir dir;
    const std::string uid =
        "e2e" + std::to_string(GetCurrentProcessId()) + "t" + std::to_string(GetTickCount());
    const std::wstring wideUid(uid.begin(), uid.end());
    DWORD pid = 0;
    LauncherProcess process(testsupport::StartProcess(
        L"\"" + testsupport::LauncherExePath() +
            L"\" -disable_move_self -disable_update_self \"-LoginUrl:=?url=http%3A%2F%2F" +
            LAUNCHER_LOGIN_HOST + L"%2Fnotice.html%3Fplatform%3Dweb%26sid%3D42%26uid%3D" + wideUid +
            L"\"",
        dir.path(), &pid));
    ASSERT_NE(process.get(), nullptr);
    const std::string transid = "&&transid=" + std::to_string(pid) + "&&";
    ASSERT_TRUE(WaitUntil([&] { return !testsupport::LoggedRequests(transid).empty(); }, kRunMs))
        << "nothing reached the statistics";
    PostMessageW(WindowOf(pid, L"UIMain"), WM_CLOSE, 0, 0);
    ASSERT_EQ(WaitForSingleObject(process.get(), kRunMs), WAIT_OBJECT_0);

    const auto sent = testsupport::LoggedRequests(transid);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_NE(sent[0].find("&&acttype=4&&result=1&&"), std::string::npos) << sent[0];
    EXPECT_NE(sent[0].find("&&platform=web&&uid=" + uid + "&&skey=42"), std::string::npos)
        << sent[0];
    wchar_t value[16] = {};
    GetPrivateProfileStringW(L"PatchEventReport", (L"web_" + wideUid + L"_42").c_str(), L"", value,
                             16, dir.Join(L"launcher.ini").c_str());
    EXPECT_STREQ(value, L"4");
}

// A real left click at |client| of |window|: the system's input, which
// reaches a window of another process the way the player's mouse does
// (posted button messages do not make a click there).
void ClickAt(HWND window, POINT client) {
    ClientToScreen(window, &client);
    SetCursorPos(client.x, client.y);
    INPUT clicks[2] = {};
    clicks[0].type = clicks[1].type = INPUT_MOUSE;
    clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, clicks, sizeof(INPUT));
}

// Pixels of |r| in the yellow the popup writes the current server in.
int CountYellow(const testsupport::ScreenCapture& shot, const SkinUI::TRect& r) {
    int n = 0;
    for (int y = r.top; y < r.bottom && y < shot.surface.Height(); ++y) {
        for (int x = r.left; x < r.right && x < shot.surface.Width(); ++x) {
            const uint32_t p = shot.surface.Pixel(x, y);
            n += ((p >> 16) & 0xFF) > 200 && ((p >> 8) & 0xFF) > 200 && (p & 0xFF) < 80;
        }
    }
    return n;
}

// The player logs out from the popup under the game window's button: the
// installed launcher ends with code 3 and starts itself again with
// "-logout"; that one skips its update and opens the portal's log-out page.
TEST(LauncherLogout, ThePopupsLogOutEndsWithCode3AndTheNextLauncherOpensTheLogoutPage) {
    testsupport::PrefixUserState state;
    ASSERT_TRUE(state.ok());
    const std::wstring folder = state.GameFolder();
    const std::wstring installed = folder + L"\\LauncherQAMB.exe";
    ASSERT_TRUE(CreateDirectoryW((state.profile() + L"\\plume").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    ASSERT_TRUE(CopyFileW(testsupport::LauncherExePath().c_str(), installed.c_str(), FALSE));
    DWORD pid = 0;
    LauncherProcess process(testsupport::StartProcess(
        L"\"" + installed + L"\" -disable_update_self \"-LoginUrl:=?url=http%3A%2F%2F" +
            LAUNCHER_LOGIN_HOST + L"%2Fnotice.html\"",
        folder, &pid));
    ASSERT_NE(process.get(), nullptr);
    HWND game = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            game = WindowOf(pid, L"UIGame");
            HWND loading = WindowOf(pid, L"ClientLoading");
            return game != nullptr && IsWindowVisible(game) && loading != nullptr &&
                   !IsWindowVisible(loading) &&
                   Logged(LogOf(folder, pid),
                          "UIGame::DocumentComplete, " + std::string(kPage.begin(), kPage.end()));
        },
        kRunMs))
        << "the game page did not open";

    // The popup as the button shows it, once the portal's server list has
    // filled it: the current server's name in yellow.
    HWND popup = FindWindowExW(game, nullptr, L"UIChangeServer", nullptr);
    ASSERT_NE(popup, nullptr);
    ShowWindow(popup, SW_SHOWNA);
    const SkinUI::TRect currentServer{165, 5, 275, 30};
    std::unique_ptr<testsupport::ScreenCapture> shot;
    EXPECT_TRUE(WaitUntil(
        [&] {
            shot = std::make_unique<testsupport::ScreenCapture>(popup, "changeserver-session");
            return IsWindowVisible(popup) && CountYellow(*shot, currentServer) > 20;
        },
        kRunMs))
        << "the popup shows no current server";
    if (shot && !std::getenv("LAUNCHER_SCREENSHOT_DIR")) {
        shot->Save(LAUNCHER_SCREENSHOT_DIR, "changeserver-session");
        testsupport::ScreenCapture(game, "game-session")
            .Save(LAUNCHER_SCREENSHOT_DIR, "game-session");
    }

    ClickAt(popup, POINT{295, 17});
    ASSERT_EQ(WaitForSingleObject(process.get(), kRunMs), WAIT_OBJECT_0) << "still running";
    DWORD code = 0;
    GetExitCodeProcess(process.get(), &code);
    EXPECT_EQ(code, 3u);
    EXPECT_FALSE(Logged(LogOf(folder, pid), "Launcher Terminated")) << "ended at once, no teardown";

    // The log-out launcher, the same executable in the same folder.
    const std::wstring portal = LAUNCHER_PORTAL_HOST;
    const std::string logoutPage = "UIMain::DocumentComplete, http://" +
                                   std::string(portal.begin(), portal.end()) +
                                   "/wd_qamb/logout.html";
    std::vector<DWORD> others;
    ASSERT_TRUE(WaitUntil(
        [&] {
            others = OtherLaunchers(folder, {pid});
            return others.size() == 1 && Logged(LogOf(folder, others[0]), logoutPage);
        },
        kRunMs))
        << "no launcher opened the log-out page";
    const std::vector<std::string> logout = LogOf(folder, others[0]);
    ASSERT_GE(logout.size(), 2u);
    EXPECT_EQ(logout[1].substr(logout[1].find(" - cmdline: ") + 12),
              "-logout -disable_update_self");
    EXPECT_FALSE(Logged(logout, "UIUpdate::Start")) << "it updated itself";

    HANDLE next = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, others[0]);
    ASSERT_NE(next, nullptr);
    LauncherProcess loggedOut(next);
    EXPECT_EQ(testsupport::WaitForLauncherEnd(next, kRunMs), WAIT_OBJECT_0)
        << "it did not end at its main page's close";
}

}  // namespace
