// The demo's player: starts the real launcher in the local world and walks
// the road of one start, step by step, waiting on what a player would see
// (windows, their state, the launchers' logs). Without a person at the
// display it then plays a short session with the in-game tools, as a
// player's mouse would, and saves a picture of every window it meets.
//
//   launcher_demo.exe --launcher=EXE --engine=LOD --skin=FOLDER --out=FOLDER
//                     [--key=KEY] [--stay] [--update]
//
// The road: EXE is placed in the user's Downloads folder as
// "LauncherQAMB_<KEY>.exe" and started there. --update: EXE is placed in
// the game folder as the installed launcher and started there, and the
// driver follows its self-update. LOD, the game's engine module, is put in
// the game folder first, as the game's own installer would. With --stay
// the person at the display takes over once the game shows, and the
// driver only waits for the last launcher to end. Each step prints one
// line; the exit code is the number of failed steps.
#include <windows.h>
// after windows.h
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/win/UniqueHandle_win.h"
#include "ui/controls/LayoutBuilder.h"
#include "ui/paint/GdiCanvas_win.h"
#include "ui/skin/SkinMarkup.h"
#include "ui/window/WindowManager.h"
#include "update/GameOcx.h"

namespace {

constexpr DWORD kStepMs = 60000;
constexpr UINT kTrayMessage = WM_USER + 7;

// ------------------------------------------------------------- reporting

int g_failed = 0;

std::string Narrow(const std::wstring& text) {
    if (text.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), n,
                        nullptr, nullptr);
    return out;
}

// One line per step; |detail| is read after the step's outcome is known.
bool Step(bool ok, const std::string& what, const std::function<std::string()>& detail = {}) {
    const std::string text = detail ? detail() : std::string();
    std::printf("  %s %s%s%s\n", ok ? "[ok]    " : "[FAILED]", what.c_str(),
                text.empty() ? "" : ": ", text.c_str());
    std::fflush(stdout);
    if (!ok) ++g_failed;
    return ok;
}

void Heading(const char* text) {
    std::printf("%s\n", text);
    std::fflush(stdout);
}

// --------------------------------------------------------------- waiting

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = kStepMs) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(50);
    }
    return true;
}

// ------------------------------------------------------------- processes

struct Launcher {
    DWORD pid = 0;
    UniqueKernelHandle process;
    bool Running() const {
        return process.get() && WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT;
    }
    DWORD ExitCode() const {
        DWORD code = 259;
        if (process.get()) GetExitCodeProcess(process.get(), &code);
        return code;
    }
};

bool Start(const std::wstring& exe, const std::wstring& arguments, const std::wstring& folder,
           Launcher& out) {
    std::wstring command = L"\"" + exe + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &info)) {
        return false;
    }
    CloseHandle(info.hThread);
    out.pid = info.dwProcessId;
    out.process.reset(info.hProcess);
    return true;
}

bool Open(DWORD pid, Launcher& out) {
    out.pid = pid;
    out.process.reset(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
    return out.process.get() != nullptr;
}

// Private bytes now and at their peak.
std::string MemoryOf(const Launcher& launcher) {
    UniqueKernelHandle process(
        OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, launcher.pid));
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof(counters);
    if (!process ||
        !GetProcessMemoryInfo(process.get(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                              sizeof(counters))) {
        return "unknown";
    }
    char text[96];
    // The commit charge, which Windows reports as private bytes; Wine fills
    // it where it leaves PrivateUsage at 0.
    snprintf(text, sizeof(text), "%.1f MB private (peak %.1f MB), %.1f MB working set",
             counters.PagefileUsage / 1048576.0, counters.PeakPagefileUsage / 1048576.0,
             counters.WorkingSetSize / 1048576.0);
    return text;
}

// ------------------------------------------------------------------ logs

std::vector<std::string> ReadLines(const std::wstring& path) {
    std::vector<std::string> lines;
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    if (!file) return lines;
    std::string bytes;
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file.get(), buffer, sizeof(buffer), &read, nullptr) && read > 0)
        bytes.append(buffer, read);
    size_t begin = 0;
    for (size_t end; (end = bytes.find('\n', begin)) != std::string::npos; begin = end + 1) {
        std::string line = bytes.substr(begin, end - begin);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::wstring LogPath(const std::wstring& folder, DWORD pid) {
    return folder + L"\\log\\launcher_tavro_" + std::to_wstring(pid) + L".log";
}

// The message part of the first line of |pid|'s log in |folder| that holds
// |text|; empty when none does.
std::string Logged(const std::wstring& folder, DWORD pid, const std::string& text) {
    for (const std::string& line : ReadLines(LogPath(folder, pid))) {
        if (line.find(text) == std::string::npos) continue;
        const size_t message = line.find("} - ");
        return message == std::string::npos ? line : line.substr(message + 4);
    }
    return {};
}

// Process ids of the launcher logs in |folder| that are not in |known|.
std::vector<DWORD> NewLaunchers(const std::wstring& folder, const std::vector<DWORD>& known) {
    std::vector<DWORD> pids;
    WIN32_FIND_DATAW data;
    HANDLE search = FindFirstFileW((folder + L"\\log\\launcher_tavro_*.log").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return pids;
    do {
        const DWORD pid = wcstoul(data.cFileName + 15, nullptr, 10);
        if (pid != 0 && std::find(known.begin(), known.end(), pid) == known.end())
            pids.push_back(pid);
    } while (FindNextFileW(search, &data));
    FindClose(search);
    return pids;
}

// Waits for the one launcher that |folder| gains besides |known|, and
// opens it; false when none or several appear.
bool NextLauncher(const std::wstring& folder, const std::vector<DWORD>& known, Launcher& out) {
    std::vector<DWORD> pids;
    if (!WaitUntil([&] { return !(pids = NewLaunchers(folder, known)).empty(); })) return false;
    return pids.size() == 1 && Open(pids[0], out);
}

// --------------------------------------------------------------- windows

HWND WindowOf(DWORD pid, const wchar_t* className, HWND parent = nullptr) {
    HWND found = nullptr;
    for (HWND w = FindWindowExW(parent, nullptr, className, nullptr); w != nullptr;
         w = FindWindowExW(parent, w, className, nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == pid) found = w;
    }
    return found;
}

bool Visible(HWND window) {
    return window != nullptr && IsWindowVisible(window);
}

bool FileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The Unix path of a Windows path, from Wine; empty elsewhere.
std::string UnixPath(const std::wstring& path) {
    using ToUnix = char*(CDECL*)(LPCWSTR);
    const auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (toUnix == nullptr) return {};
    char* unix = toUnix(path.c_str());
    if (unix == nullptr) return {};
    std::string out(unix);
    HeapFree(GetProcessHeap(), 0, unix);
    return out;
}

// What the X server shows of |window|'s client area, as <out>/<name>.png,
// taken by ImageMagick's "import" (Wine starts a Unix program as it would a
// Windows one). The screen as this process's GDI reads it would not do:
// Wine keeps each window's pixels with its owner, and another process's
// browser page is not among them. The picture is written under a
// temporary name and renamed, so that its name appearing means it is whole.
bool Picture(HWND window, const std::wstring& outFolder, const char* name) {
    Sleep(300);  // the launcher paints on its own time
    RECT r{};
    GetClientRect(window, &r);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    const std::wstring picture =
        outFolder + L"\\" + std::wstring(name, name + strlen(name)) + L".png";
    const std::string target = UnixPath(picture);
    if (r.right <= 0 || r.bottom <= 0 || target.empty()) return false;
    char geometry[64];
    snprintf(geometry, sizeof(geometry), "%ldx%ld+%ld+%ld", r.right, r.bottom, origin.x, origin.y);
    const std::string part = target + ".part.png";
    const std::string script = std::string("import -window root -crop ") + geometry + " '" + part +
                               "' && mv -f '" + part + "' '" + target + "'";
    std::wstring command =
        L"Z:\\bin\\sh -c \"" + std::wstring(script.begin(), script.end()) + L"\"";
    DeleteFileW(picture.c_str());
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
        return false;
    }
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    // Wine does not follow a Unix program's end through its handle.
    return WaitUntil([&] { return FileExists(picture); }, 30000);
}

std::wstring g_skinFolder;

// Where the skin puts control |name| of |layout| in |window|'s client area:
// the framework lays the layout out here as the launcher does.
RECT ControlRect(const wchar_t* layout, const wchar_t* name, HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    SkinUI::CWindowManagerUI manager;
    SkinUI::CLayoutBuilder builder;
    auto root = builder.Create(layout, L"", nullptr, &manager);
    if (!root || !manager.AttachDialog(std::move(root))) {
        std::printf("  (%ls: %ls)\n", layout, builder.GetLastError().c_str());
        return RECT{-1, -1, -1, -1};
    }
    // The tree is laid out at its first paint; one pixel of it is enough.
    manager.SetClientSize(SkinUI::TSize{client.right, client.bottom});
    SkinUI::CDibSurface surface;
    SkinUI::CGdiResourceCache cache;
    if (!surface.Resize(1, 1)) return RECT{-1, -1, -1, -1};
    SkinUI::CGdiCanvas canvas(surface.GetDC(), cache);
    manager.Paint(canvas, SkinUI::TRect{0, 0, 1, 1});
    SkinUI::CControlUI* control = manager.FindControl(std::wstring(name));
    if (control == nullptr) return RECT{-1, -1, -1, -1};
    const SkinUI::TRect r = control->GetPos();
    return RECT{r.left, r.top, r.right, r.bottom};
}

// A real click at a client point: system input, which reaches another
// process's window as the player's mouse does.
void ClickAt(HWND window, POINT client) {
    ClientToScreen(window, &client);
    SetCursorPos(client.x, client.y);
    INPUT input[3] = {};
    input[0].type = input[1].type = input[2].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_MOVE;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(1, &input[0], sizeof(INPUT));
    Sleep(100);
    SendInput(2, &input[1], sizeof(INPUT));
}

// Clicks the middle of control |name| of |layout| in |window|; false when
// the layout has no such control.
// Ctrl with |key| from the keyboard, as the system delivers it.
void PressCtrlAnd(WORD key) {
    INPUT keys[4] = {};
    const WORD codes[4] = {VK_CONTROL, key, key, VK_CONTROL};
    for (int i = 0; i < 4; ++i) {
        keys[i].type = INPUT_KEYBOARD;
        keys[i].ki.wVk = codes[i];
        keys[i].ki.dwFlags = i < 2 ? 0 : KEYEVENTF_KEYUP;
    }
    SendInput(4, keys, sizeof(INPUT));
    Sleep(300);
}

bool ClickControl(HWND window, const wchar_t* layout, const wchar_t* name) {
    const RECT r = ControlRect(layout, name, window);
    if (r.right <= r.left) {
        std::printf("  (no control %ls in %ls)\n", name, layout);
        return false;
    }
    ClickAt(window, POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    return true;
}

// ------------------------------------------------------------- the roads

struct Options {
    bool update = false;
    bool stay = false;
    std::wstring launcher;
    std::wstring engine;
    std::wstring out;
    std::wstring key = L"12.login";
    std::wstring gameFolder;  // the launcher's own answer
};

// The game folder with the engine in it, its parent made as needed.
bool PrepareGameFolder(const Options& o) {
    CreateDirectoryW(o.gameFolder.substr(0, o.gameFolder.find_last_of(L'\\')).c_str(), nullptr);
    CreateDirectoryW(o.gameFolder.c_str(), nullptr);
    return CopyFileW(o.engine.c_str(), (o.gameFolder + L"\\plume3d.lod").c_str(), FALSE) != FALSE;
}

bool WriteText(const std::wstring& path, const std::string& text) {
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                  CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    return file &&
           WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size();
}

// Ends what a failed step left running, so that the demo's world is left
// clean.
void EndAll(const std::vector<DWORD>& pids) {
    for (DWORD pid : pids) {
        UniqueKernelHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid));
        if (process && WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT)
            TerminateProcess(process.get(), 99);
    }
}

// Waits for every launcher of |folder| to end, following the restarts a
// player's actions cause (the game window's close, log-out).
void WaitWhileAnyRuns(const std::wstring& folder) {
    for (;;) {
        bool running = false;
        for (DWORD pid : NewLaunchers(folder, {})) {
            Launcher launcher;
            if (Open(pid, launcher) && launcher.Running()) {
                running = true;
                WaitForSingleObject(launcher.process.get(), INFINITE);
            }
        }
        if (!running) return;
    }
}

// The control's registration, which regsvr32 writes when it is done.
bool PluginRegistered() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT,
                      L"TypeLib\\{32B34856-4FE5-44C6-888B-3C111AB18606}\\1.0\\0\\win64", 0,
                      KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

int Road(const Options& o) {
    const std::wstring& folder = o.gameFolder;
    const std::wstring download = folder.substr(0, folder.rfind(L"\\plume\\")) + L"\\Downloads";
    const std::wstring fileName = L"LauncherQAMB_" + o.key + L".exe";
    const std::wstring downloaded = download + L"\\" + fileName;
    CreateDirectoryW(download.c_str(), nullptr);
    if (!Step(CopyFileW(o.launcher.c_str(), downloaded.c_str(), FALSE) && PrepareGameFolder(o),
              "the download and the game's engine are in place",
              [&] { return Narrow(downloaded); })) {
        return g_failed;
    }
    // The engine holds at half until the loading window has been seen.
    WriteText(folder + L"\\plume3d.timeline", "hold:0.5");

    Heading("The player starts the downloaded launcher");
    Launcher first;
    if (!Step(Start(downloaded, L"", download, first), "started " + Narrow(fileName)))
        return g_failed;
    const auto firstLog = [&](const char* text) { return Logged(download, first.pid, text); };
    Step(WaitUntil([&] { return !first.Running(); }) && first.ExitCode() == 0,
         "it installed itself and ended",
         [&] { return "exit code " + std::to_string(first.ExitCode()); });
    Step(!firstLog("Launcher initialized").empty(), "\"Launcher initialized\"");
    Step(!firstLog("copy to game dir succeed").empty(), "copied into the game folder",
         [&] { return firstLog("game dir target"); });
    Step(!firstLog("start new process").empty(), "restarted the copy",
         [&] { return firstLog("start new process"); });

    Heading("The installed launcher");
    Launcher installed;
    if (!Step(NextLauncher(folder, {}, installed), "the copy runs in the game folder"))
        return g_failed;
    std::vector<DWORD> known{installed.pid};
    const auto log = [&](const std::string& text) { return Logged(folder, installed.pid, text); };
    const std::string key = Narrow(o.key);
    Step(WaitUntil([&] { return !log("CGame::Start").empty(); }) &&
             log("cmdline: ").find("-LoginUrl:=" + key) != std::string::npos &&
             log("cmdline: ").find("-disable_update_self") != std::string::npos,
         "with the key and without self-update", [&] { return log("cmdline: "); });
    Step(WaitUntil([&] {
             return !log("ocx extract succeed").empty() || !log("ocx already registered").empty();
         }) &&
             WaitUntil(PluginRegistered),
         "the plug-in control is written out and registered", [&] { return log("ocx path"); });
    Step(WaitUntil([&] { return !log("key=" + key + ", code=1").empty(); }),
         "the login-key service answered", [&] { return log("key=" + key); });

    Heading("Loading the game");
    HWND loading = nullptr, game = nullptr;
    Step(WaitUntil([&] {
             loading = WindowOf(installed.pid, L"ClientLoading");
             game = WindowOf(installed.pid, L"UIGame");
             return Visible(loading) && Visible(game) &&
                    !log("UIGame::DocumentComplete, http://game.").empty();
         }),
         "the loading window shows while the game page loads concealed",
         [&] { return log("UIGame::DocumentComplete, http://game."); });
    if (Visible(loading)) {
        // Without a compositor the X server shows the concealed window, not
        // what lies under it; raised, the loading window is seen as a player
        // sees it.
        SetWindowPos(loading, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        Sleep(1000);
        Step(Picture(loading, o.out, "loading"),
             "picture of the loading window, the engine at half");
    }
    WriteText(folder + L"\\plume3d.timeline", "0:0.5,3:1");
    Step(WaitUntil([&] { return !Visible(loading) && Visible(game); }),
         "the engine is done: the game shows", [&] { return log("End Loading UI"); });
    WriteText(folder + L"\\plume3d.timeline", "hold:1");
    Step(WaitUntil([&] {
             return !log("UIMain::DocumentComplete, "
                         "http://www.torvessa.example/wd_qamb/select_server")
                         .empty();
         }),
         "the portal's server list was read",
         [&] { return log("UIMain::DocumentComplete, http://www."); });
    // On a first start the page may have come before regsvr32 was done, as
    // on Windows; the player's refresh then brings the plug-in.
    // The browser's refresh raises no navigation events, so only the
    // picture tells that the page came again.
    Step(ClickControl(game, L"game.xml", L"refresh"),
         "the player presses refresh, now that the plug-in is registered");
    Sleep(1500);
    Step(Picture(game, o.out, "game"),
         "picture of the game window (the user name in its title bar)");
    std::printf("  memory of the launcher at the game window: %s\n", MemoryOf(installed).c_str());

    if (o.stay) {
        Heading(
            "The launcher is yours now: change server, boss key, tray icon, close. The demo ends "
            "with it.");
        WaitWhileAnyRuns(folder);
        return g_failed;
    }

    Heading("A short session");
    HWND popup = FindWindowExW(game, nullptr, L"UIChangeServer", nullptr);
    if (popup == nullptr) popup = WindowOf(installed.pid, L"UIChangeServer");
    Step(ClickControl(game, L"game.xml", L"changeserver") &&
             WaitUntil([&] { return Visible(popup); }, 10000),
         "the change-server button opens the popup");
    if (Visible(popup)) {
        Step(Picture(popup, o.out, "changeserver"), "picture of the change-server popup");
        // The portal lists three servers, the current one second; the player
        // picks the first and changes to it.
        HWND list = nullptr;
        Step(ClickControl(popup, L"changeserver.xml", L"serverlist") &&
                 WaitUntil(
                     [&] { return Visible(list = WindowOf(installed.pid, L"SkinUIDropDownList")); },
                     10000),
             "the server list opens");
        if (Visible(list)) {
            Step(Picture(list, o.out, "changeserver-list"), "picture of the open list");
            RECT rows{};
            GetClientRect(list, &rows);
            ClickAt(list, POINT{rows.right / 2, rows.bottom / 6});
            Step(WaitUntil([&] { return !Visible(list); }, 10000),
                 "a click on the first server closes it");
        }
        Step(ClickControl(popup, L"changeserver.xml", L"changeserver") && WaitUntil([&] {
                 return !log("UIGame::DocumentComplete, http://game.torvessa.example/game/play.html"
                             "?server=11")
                             .empty();
             }),
             "\"换服\" opens the chosen server's game page", [&] {
                 return log(
                     "UIGame::DocumentComplete, "
                     "http://game.torvessa.example/game/play.html?server=11");
             });
        if (Visible(popup)) {
            Sleep(500);
            Picture(popup, o.out, "changeserver-changed");
            ClickControl(game, L"game.xml", L"changeserver");
        }
        Step(WaitUntil([&] { return !Visible(popup); }, 10000), "the popup is closed again");
    }

    HWND bossKey = nullptr;
    Step(ClickControl(game, L"game.xml", L"bosskey") &&
             WaitUntil([&] { return Visible(bossKey = WindowOf(installed.pid, L"UIBossKey")); },
                       10000),
         "the boss-key button opens its dialog");
    if (Visible(bossKey)) {
        // The player switches the boss key on, presses Ctrl+F7 in its field
        // and confirms; the key then hides and shows the game.
        ClickControl(bossKey, L"bosskey.xml", L"enablebosskey");
        Sleep(300);
        ClickControl(bossKey, L"bosskey.xml", L"bosskey");
        Sleep(300);
        PressCtrlAnd(VK_F7);
        Step(Picture(bossKey, o.out, "bosskey"),
             "picture of the boss-key dialog, Ctrl+F7 in its field");
        Step(ClickControl(bossKey, L"bosskey.xml", L"ok") &&
                 WaitUntil([&] { return !Visible(bossKey) && IsWindowEnabled(game); }, 10000),
             "OK keeps the key and closes the dialog");
        PressCtrlAnd(VK_F7);
        Step(WaitUntil([&] { return !Visible(game); }, 10000), "Ctrl+F7 hides the game window");
        PressCtrlAnd(VK_F7);
        Step(WaitUntil([&] { return Visible(game); }, 10000), "and brings it back");
    }

    HWND controller = WindowOf(installed.pid, L"LauncherGameWindowClass");
    PostMessageW(controller, kTrayMessage, 0, WM_LBUTTONDBLCLK);
    Step(WaitUntil([&] { return !Visible(game); }, 10000),
         "a double click on the tray icon hides the game");
    PostMessageW(controller, kTrayMessage, 0, WM_LBUTTONDBLCLK);
    Step(WaitUntil([&] { return Visible(game); }, 10000), "another brings it back");

    Heading("The player closes the game window");
    Step(ClickControl(game, L"game.xml", L"close") &&
             WaitUntil([&] { return !installed.Running(); }) && installed.ExitCode() == 33,
         "the launcher ends with code 33 and starts a new one",
         [&] { return "exit code " + std::to_string(installed.ExitCode()); });
    Launcher next;
    if (Step(NextLauncher(folder, known, next), "a new launcher runs")) {
        known.push_back(next.pid);
        const auto nextLog = [&](const std::string& text) {
            return Logged(folder, next.pid, text);
        };
        HWND main = nullptr;
        Step(WaitUntil([&] {
                 main = WindowOf(next.pid, L"UIMain");
                 return Visible(main) && !nextLog("UIMain::DocumentComplete, http://www.").empty();
             }),
             "it shows the portal's start page",
             [&] { return nextLog("UIMain::DocumentComplete, http://www."); });
        if (Visible(main)) {
            Sleep(1000);
            Step(Picture(main, o.out, "main"), "picture of the main page window");
            PostMessageW(main, WM_CLOSE, 0, 0);
        }
        Step(WaitUntil([&] { return !next.Running(); }) && next.ExitCode() == 0,
             "closing the main page ends it",
             [&] { return "exit code " + std::to_string(next.ExitCode()); });
    }
    EndAll(known);
    return g_failed;
}

int Update(const Options& o) {
    const std::wstring& folder = o.gameFolder;
    Heading("The installed launcher finds a newer one");
    if (!Step(PrepareGameFolder(o) &&
                  CopyFileW(o.launcher.c_str(), (folder + L"\\LauncherQAMB.exe").c_str(), FALSE),
              "an older launcher is installed", [&] { return Narrow(folder); })) {
        return g_failed;
    }
    Launcher old;
    if (!Step(Start(folder + L"\\LauncherQAMB.exe", L"", folder, old),
              "started the installed launcher")) {
        return g_failed;
    }
    const auto log = [&](const std::string& text) { return Logged(folder, old.pid, text); };
    HWND window = nullptr;
    Step(WaitUntil([&] { return Visible(window = WindowOf(old.pid, L"UIUpdate")); }) &&
             WaitUntil([&] { return !log("Begin Download Launcher").empty(); }),
         "the update window shows and the download begins",
         [&] { return log("Remote launcher version"); });
    // The dev portal sends the package slowly: pictures on the way.
    int pictures = 0;
    for (const char* name : {"update-early", "update-later"}) {
        Sleep(2500);
        pictures += Visible(window) && Picture(window, o.out, name);
    }
    Step(pictures == 2, "pictures of the bar on its way");
    Step(WaitUntil([&] { return !old.Running(); }, 120000) && old.ExitCode() == 0,
         "the old launcher hands over to its script", [&] { return log("Process will quit"); });
    Launcher next;
    if (Step(NextLauncher(folder, {old.pid}, next), "the new launcher starts in its place")) {
        const auto nextLog = [&](const std::string& text) {
            return Logged(folder, next.pid, text);
        };
        HWND main = nullptr;
        Step(WaitUntil([&] { return Visible(main = WindowOf(next.pid, L"UIMain")); }) &&
                 !nextLog("Local launcher version").empty() &&
                 nextLog("Local launcher version") != log("Local launcher version"),
             "it is the newer version and shows the portal",
             [&] { return nextLog("Local launcher version"); });
        if (Visible(main)) {
            Sleep(1000);
            Step(Picture(main, o.out, "update-restarted"), "picture of its main page window");
            PostMessageW(main, WM_CLOSE, 0, 0);
        }
        Step(WaitUntil([&] { return !next.Running(); }), "closing it ends the demo");
        EndAll({next.pid});
    }
    return g_failed;
}

bool Value(const wchar_t* argument, const wchar_t* name, std::wstring& out) {
    const size_t n = wcslen(name);
    if (wcsncmp(argument, name, n) != 0) return false;
    out = argument + n;
    return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const wchar_t* a = argv[i];
        if (wcscmp(a, L"--update") == 0)
            o.update = true;
        else if (wcscmp(a, L"--stay") == 0)
            o.stay = true;
        else if (!Value(a, L"--launcher=", o.launcher) && !Value(a, L"--engine=", o.engine) &&
                 !Value(a, L"--out=", o.out) && !Value(a, L"--skin=", g_skinFolder) &&
                 !Value(a, L"--key=", o.key)) {
            std::fprintf(stderr, "launcher_demo: unknown argument %ls\n", a);
            return 100;
        }
    }
    // The layouts are read from the skin folder by the framework's own source.
    SkinUI::CWindowManagerUI::SetResourcePath(g_skinFolder);
    o.gameFolder = GetGameFolder();
    if (o.launcher.empty() || o.engine.empty() || o.out.empty() || g_skinFolder.empty() ||
        o.key.empty() || o.gameFolder.find(L"\\plume\\") == std::wstring::npos) {
        std::fprintf(stderr,
                     "usage: launcher_demo --launcher=EXE --engine=LOD --skin=FOLDER --out=FOLDER "
                     "[--key=KEY] "
                     "[--stay] [--update]\n");
        return 100;
    }
    const int failed = o.update ? Update(o) : Road(o);
    std::printf("%s\n", failed == 0 ? "every step passed"
                                    : (std::to_string(failed) + " steps failed").c_str());
    return failed;
}
