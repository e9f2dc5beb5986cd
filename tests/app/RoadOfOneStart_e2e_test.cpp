// The road of one start end to end, as scripts/demo walks it: the demo's
// player (tools/demo) starts a downloaded, keyed copy of the real launcher
// in a profile of the test's own and plays a short session with the mouse
// and the keyboard.
// The player reports each step; the test also judges what was left behind:
// the install, the plug-in's registration, the launchers' command lines
// and what the dev portal was asked.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "support/PrefixState_win.h"
#include "support/WinTestSupport_win.h"

namespace {

using testsupport::FileExists;
using testsupport::ReadFileBytes;

std::wstring Built(const std::string& unixPath) {
    return testsupport::FromUnixPath(unixPath);
}

struct Captured {
    bool finished = false;
    DWORD exitCode = 0;
    std::string output;
};

// Runs |command| with its output in a pipe, for up to |timeoutMs|.
Captured RunCaptured(std::wstring command, DWORD timeoutMs) {
    Captured result;
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE read = nullptr, write = nullptr;
    if (!CreatePipe(&read, &write, &inherit, 0)) return result;
    SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = write;
    PROCESS_INFORMATION info{};
    const BOOL started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        nullptr, &startup, &info);
    CloseHandle(write);
    if (!started) {
        CloseHandle(read);
        return result;
    }
    CloseHandle(info.hThread);
    const DWORD start = GetTickCount();
    char buffer[4096];
    for (;;) {
        DWORD available = 0, got = 0;
        if (PeekNamedPipe(read, nullptr, 0, nullptr, &available, nullptr) && available > 0 &&
            ReadFile(read, buffer, sizeof(buffer), &got, nullptr)) {
            result.output.append(buffer, got);
            continue;
        }
        if (WaitForSingleObject(info.hProcess, 50) == WAIT_OBJECT_0) {
            while (ReadFile(read, buffer, sizeof(buffer), &got, nullptr) && got > 0)
                result.output.append(buffer, got);
            result.finished = GetExitCodeProcess(info.hProcess, &result.exitCode) != FALSE;
            break;
        }
        if (GetTickCount() - start > timeoutMs) {
            TerminateProcess(info.hProcess, 99);
            break;
        }
    }
    CloseHandle(info.hProcess);
    CloseHandle(read);
    return result;
}

bool Has(const std::vector<std::string>& lines, const std::string& text) {
    for (const auto& line : lines) {
        if (line.find(text) != std::string::npos) return true;
    }
    return false;
}

// The lines of each launcher log in |folder|\log, in the order of the files.
std::vector<std::vector<std::string>> LogsIn(const std::wstring& folder) {
    std::vector<std::vector<std::string>> logs;
    WIN32_FIND_DATAW data;
    HANDLE search = FindFirstFileW((folder + L"\\log\\launcher_tavro_*.log").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return logs;
    do {
        logs.push_back(testsupport::ReadLines(folder + L"\\log\\" + data.cFileName));
    } while (FindNextFileW(search, &data));
    FindClose(search);
    return logs;
}

const wchar_t kLauncherKey[] = L"Software\\Brindlewood\\QAMBlauncher";

// A value under the launcher's key; |had| tells whether there was one.
std::wstring Stored(const wchar_t* name, bool* had = nullptr) {
    wchar_t value[256] = {};
    DWORD size = sizeof(value);
    const bool found = RegGetValueW(HKEY_CURRENT_USER, kLauncherKey, name, RRF_RT_REG_SZ, nullptr,
                                    value, &size) == ERROR_SUCCESS;
    if (had) *had = found;
    return found ? value : L"";
}

// The player's boss key, absent for the run (a first start) and put back
// after it.
class SavedBossKey {
public:
    SavedBossKey() {
        for (auto& value : values_) {
            value.text = Stored(value.name, &value.had);
            RegDeleteKeyValueW(HKEY_CURRENT_USER, kLauncherKey, value.name);
        }
    }
    ~SavedBossKey() {
        for (const auto& value : values_) {
            if (!value.had) {
                RegDeleteKeyValueW(HKEY_CURRENT_USER, kLauncherKey, value.name);
                continue;
            }
            RegSetKeyValueW(HKEY_CURRENT_USER, kLauncherKey, value.name, REG_SZ, value.text.c_str(),
                            static_cast<DWORD>((value.text.size() + 1) * sizeof(wchar_t)));
        }
    }

private:
    struct Value {
        const wchar_t* name;
        bool had = false;
        std::wstring text;
    };
    Value values_[2] = {{L"BossKey"}, {L"EnableBossKey"}};
};

TEST(RoadOfOneStart, TheDownloadedLauncherInstallsItselfLogsInOpensTheGameAndItsToolsWork) {
    testsupport::PrefixUserState state;
    ASSERT_TRUE(state.ok());
    SavedBossKey bossKey;
    const std::wstring pictures = Built(LAUNCHER_SCREENSHOT_DIR) + L"\\road";
    CreateDirectoryW(pictures.c_str(), nullptr);
    const auto requests = [](const char* path) { return testsupport::LoggedRequests(path).size(); };
    const size_t keys = requests("/geturl?sid=12&key=12.login");
    const size_t lists = requests("/wd_qamb/select_server.html");
    const size_t elevens = requests("/game/play.html?server=11");
    const Captured run =
        RunCaptured(L"\"" + Built(LAUNCHER_DEMO_DRIVER_PATH) + L"\" \"--launcher=" +
                        testsupport::LauncherExePath() + L"\" \"--engine=" +
                        Built(LAUNCHER_PLUGIN_DIR "/plume3d.lod") + L"\" \"--skin=" +
                        Built(LAUNCHER_SKIN_DIR) + L"\" \"--out=" + pictures + L"\"",
                    300000);
    ASSERT_TRUE(run.finished) << run.output;
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    EXPECT_NE(run.output.find("every step passed"), std::string::npos) << run.output;

    // Installed: the launcher, byte for byte, with its shortcut and the
    // plug-in registered from the game folder.
    const std::wstring folder = state.GameFolder();
    EXPECT_EQ(ReadFileBytes(folder + L"\\LauncherQAMB.exe"),
              ReadFileBytes(testsupport::LauncherExePath()));
    EXPECT_TRUE(FileExists(state.Shortcut()));
    EXPECT_EQ(testsupport::ReadPluginRecord(), folder + L"\\plumegame.ocx");

    // The boss key the player typed and switched on is kept.
    EXPECT_EQ(Stored(L"BossKey"), L"CTRL+F7");
    EXPECT_EQ(Stored(L"EnableBossKey"), L"1");

    // Two launchers ran there: the restarted copy with the key, and the one
    // the game window's close started with nothing but its option.
    const auto logs = LogsIn(folder);
    ASSERT_EQ(logs.size(), 2u) << run.output;
    int keyed = 0, relaunched = 0;
    for (const auto& log : logs) {
        keyed += Has(log, "\" \"-LoginUrl:=12.login\" -disable_update_self");
        relaunched += Has(log, "cmdline: -disable_update_self");
        EXPECT_FALSE(Has(log, "UIUpdate::Start")) << "an update ran";
    }
    EXPECT_EQ(keyed, 1);
    EXPECT_EQ(relaunched, 1);

    // The portal heard the key once, gave the server list, and served the
    // page of the server the player changed to.
    EXPECT_EQ(requests("/geturl?sid=12&key=12.login"), keys + 1);
    EXPECT_GT(requests("/wd_qamb/select_server.html"), lists);
    EXPECT_GT(requests("/game/play.html?server=11"), elevens);
    for (const char* name : {"loading", "game", "changeserver", "bosskey", "main"}) {
        EXPECT_TRUE(
            FileExists(pictures + L"\\" + std::wstring(name, name + strlen(name)) + L".png"))
            << "no picture of " << name;
    }
}

}  // namespace
