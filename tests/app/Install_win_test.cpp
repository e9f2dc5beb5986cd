// Installation into the game folder, end to end: the real LauncherQAMB.exe
// started from a download folder under a profile of the test's own (with a
// blank in its path), judged by the files, the shortcut and both
// launchers' logs. Also the taskbar pin's answers under Wine.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/Install.h"
#include "common/win/ComPtr_win.h"
#include "support/PrefixState_win.h"
#include "support/WinTestSupport_win.h"

namespace {

using testsupport::FileExists;
using testsupport::ReadFileBytes;
using testsupport::ReadLines;
using testsupport::ScratchDir;

std::string Narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) out += static_cast<char>(c);
    return out;
}

bool Has(const std::vector<std::string>& lines, const std::string& text) {
    for (const auto& line : lines) {
        if (line.find(text) != std::string::npos) return true;
    }
    return false;
}

// The message of the first line that contains |text| ("" when none).
std::string LineWith(const std::vector<std::string>& lines, const std::string& text) {
    for (const auto& line : lines) {
        if (line.find(text) != std::string::npos) return line.substr(line.find("} - ") + 4);
    }
    return {};
}

struct Shortcut {
    bool loaded = false;
    std::wstring target;
    std::wstring workingFolder;
    std::wstring iconFile;
};

Shortcut ReadShortcut(const std::wstring& path) {
    Shortcut shortcut;
    CoInitialize(nullptr);
    {
        ComPtr<IShellLinkW> link;
        ComPtr<IPersistFile> file;
        if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                       link.put_void())) &&
            link.As(file) && SUCCEEDED(file->Load(path.c_str(), STGM_READ))) {
            wchar_t text[MAX_PATH] = {};
            link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH);
            shortcut.target = text;
            link->GetWorkingDirectory(text, MAX_PATH);
            shortcut.workingFolder = text;
            int iconIndex = 0;
            link->GetIconLocation(text, MAX_PATH, &iconIndex);
            shortcut.iconFile = text;
            shortcut.loaded = true;
        }
    }
    CoUninitialize();
    return shortcut;
}

struct LauncherRun {
    testsupport::ProcessResult process;
    std::vector<std::string> log;
};

// Starts |exe| the way Explorer does (its quoted path, then |arguments|) in
// |folder| and waits for it.
LauncherRun StartLauncher(const std::wstring& exe, const std::wstring& arguments, const std::wstring& folder) {
    LauncherRun run;
    const std::wstring command = L"\"" + exe + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    run.process = testsupport::RunProcess(command, folder);
    run.log = ReadLines(folder + L"\\log\\launcher_tavro_" + std::to_wstring(run.process.processId) + L".log");
    return run;
}

class GameFolderInstall : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(state_.ok());
        download_ = scratch_.Join(L"Downloads");
        ASSERT_TRUE(CreateDirectoryW(download_.c_str(), nullptr));
        target_ = state_.GameFolder() + L"\\LauncherQAMB.exe";
    }
    // A copy of this build's launcher named |name| in the download folder.
    std::wstring Download(const std::wstring& name) {
        const std::wstring path = download_ + L"\\" + name;
        EXPECT_TRUE(CopyFileW(testsupport::LauncherExePath().c_str(), path.c_str(), FALSE));
        return path;
    }
    void PlaceInstalledCopy() {
        ASSERT_TRUE(CreateDirectoryW((state_.profile() + L"\\plume").c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryW(state_.GameFolder().c_str(), nullptr));
        ASSERT_TRUE(CopyFileW(testsupport::LauncherExePath().c_str(), target_.c_str(), FALSE));
    }
    // The installed copy's log once it has ended.
    std::vector<std::string> InstalledLog() {
        return testsupport::WaitForLog(state_.GameFolder(), "Launcher Terminated");
    }

    ScratchDir scratch_;  // destroyed last: the state waits for regsvr32 first
    testsupport::PrefixUserState state_;
    std::wstring download_;
    std::wstring target_;
};

TEST_F(GameFolderInstall, KeyedDownloadInstallsItselfMakesTheShortcutAndRestartsTheCopy) {
    const std::wstring downloaded = Download(L"LauncherQAMB_k3y.v2.exe");
    // A shortcut of an earlier install is replaced.
    ASSERT_TRUE(testsupport::WriteFileBytes(state_.Shortcut(), "stale"));
    const LauncherRun run = StartLauncher(downloaded, L"", download_);
    ASSERT_TRUE(run.process.finished);
    EXPECT_EQ(run.process.exitCode, 0u);
    EXPECT_EQ(LineWith(run.log, "game dir target"), "game dir target, " + Narrow(target_));
    EXPECT_TRUE(Has(run.log, "{Normal } - copy to game dir succeed"));
    EXPECT_TRUE(Has(run.log, "cdnkey = k3y.v2"));
    EXPECT_EQ(LineWith(run.log, "start new process"), "start new process, " + Narrow(target_));
    ASSERT_FALSE(run.log.empty());
    EXPECT_NE(run.log.back().find("Launcher Terminated"), std::string::npos);
    // Nothing of the normal road ran in the downloaded launcher.
    EXPECT_FALSE(Has(run.log, "plumegame.ocx"));
    EXPECT_FALSE(FileExists(download_ + L"\\plumegame.ocx"));

    EXPECT_EQ(ReadFileBytes(target_), ReadFileBytes(downloaded));
    const Shortcut shortcut = ReadShortcut(state_.Shortcut());
    ASSERT_TRUE(shortcut.loaded);
    EXPECT_EQ(shortcut.target, target_);
    EXPECT_EQ(shortcut.workingFolder, state_.GameFolder());
    EXPECT_EQ(shortcut.iconFile, target_);

    // The installed copy, in its own folder, got the key and no self-update;
    // its path, which has a blank, reached it whole.
    const auto installed = InstalledLog();
    ASSERT_FALSE(installed.empty()) << "the installed copy did not run";
    EXPECT_EQ(LineWith(installed, "cmdline"),
              "cmdline: \"" + Narrow(target_) + "\" \"-LoginUrl:=k3y.v2\" -disable_update_self");
    EXPECT_FALSE(Has(installed, "game dir target"));
    // ...and installed the plug-in there.
    EXPECT_EQ(LineWith(installed, "ocx path"), "ocx path: " + Narrow(state_.GameFolder()) + "\\plumegame.ocx");
    EXPECT_TRUE(Has(installed, "ocx extract succeed"));
    EXPECT_TRUE(testsupport::WaitFor(
        [&] { return testsupport::ReadPluginRecord() == state_.GameFolder() + L"\\plumegame.ocx"; }));
}

TEST_F(GameFolderInstall, AnInstalledLauncherInAnyLetterCaseStaysAndMakesNoShortcut) {
    PlaceInstalledCopy();
    std::wstring shouted = state_.GameFolder() + L"\\LAUNCHERqamb.Exe";
    const LauncherRun run = StartLauncher(shouted, L"-k", state_.GameFolder());
    ASSERT_TRUE(run.process.finished);
    EXPECT_FALSE(Has(run.log, "game dir target"));
    EXPECT_FALSE(Has(run.log, "start new process"));
    EXPECT_TRUE(Has(run.log, "begin to register plumegame.ocx"));
    EXPECT_FALSE(FileExists(state_.Shortcut()));
}

TEST_F(GameFolderInstall, ACopyBlockedByARunningInstalledLauncherUsesTheTarget) {
    PlaceInstalledCopy();
    // As a running launcher does, the open target refuses to be written.
    HANDLE busy = CreateFileW(target_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(busy, INVALID_HANDLE_VALUE);
    const LauncherRun run = StartLauncher(Download(L"LauncherQAMB_key2.exe"), L"", download_);
    ASSERT_TRUE(run.process.finished);
    const std::string warning = LineWith(run.log, "can't copy to game dir");
    EXPECT_EQ(warning, "can't copy to game dir but target exist, use target, code[32]");
    EXPECT_TRUE(Has(run.log, "{Warning} - can't copy"));
    EXPECT_EQ(LineWith(run.log, "start new process"), "start new process, " + Narrow(target_));
    const auto installed = InstalledLog();
    CloseHandle(busy);
    ASSERT_FALSE(installed.empty());
    EXPECT_NE(LineWith(installed, "cmdline").find("\"-LoginUrl:=key2\" -disable_update_self"), std::string::npos);
    EXPECT_EQ(ReadShortcut(state_.Shortcut()).target, target_);
}

TEST_F(GameFolderInstall, AFailedCopyWithoutTargetRunsWhereItWasStarted) {
    // A file where the game folder's parent should be: nothing can be made.
    ASSERT_TRUE(testsupport::WriteFileBytes(state_.profile() + L"\\plume", "not a folder"));
    const std::wstring downloaded = Download(L"LauncherQAMB_k3y.exe");
    const LauncherRun run = StartLauncher(downloaded, L"", download_);
    ASSERT_TRUE(run.process.finished);
    EXPECT_EQ(LineWith(run.log, "copy to game dir failed"), "copy to game dir failed, code[3]");
    EXPECT_TRUE(Has(run.log, "{Error  } - copy to game dir failed"));
    EXPECT_FALSE(Has(run.log, "start new process"));
    EXPECT_FALSE(Has(run.log, "cdnkey"));
    // The normal road goes on here, and the shortcut names this launcher.
    EXPECT_TRUE(Has(run.log, "ocx path: " + Narrow(download_) + "\\plumegame.ocx"));
    const Shortcut shortcut = ReadShortcut(state_.Shortcut());
    EXPECT_EQ(shortcut.target, downloaded);
    EXPECT_EQ(shortcut.workingFolder, download_);
}

class ShellCalls : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr))); }
    void TearDown() override { CoUninitialize(); }
    ScratchDir scratch_;
};

TEST_F(ShellCalls, PinAnswersWhatWineOffers) {
    EXPECT_EQ(PinToTaskbar(scratch_.Join(L"missing.exe")), 2);
    const std::wstring exe = scratch_.Join(L"LauncherQAMB.exe");
    ASSERT_TRUE(CopyFileW(testsupport::LauncherExePath().c_str(), exe.c_str(), FALSE));
    // Wine's shell32 has no pin verb string.
    EXPECT_EQ(PinToTaskbar(exe), CO_E_WRONGOSFORAPP);
    // Past that string, the shell's own answers.
    EXPECT_EQ(InvokeShellVerb(scratch_.Join(L"no folder\\LauncherQAMB.exe"), L"x"), E_NOINTERFACE);
    EXPECT_EQ(InvokeShellVerb(exe, L"no such verb"), E_FAIL);
}

}  // namespace
