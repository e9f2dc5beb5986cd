// The self-update end to end under Wine: the application controller's road
// (update_host, standing in for the old launcher as LauncherQAMB.exe in a
// folder of its own) against the dev portal's version file and packages,
// and the replacement script with the real old and new launchers. Each
// case reads the launchers' logs and what was left on disk.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "support/ScreenCapture_win.h"
#include "support/WinTestSupport_win.h"
#include "update/ExeVersion_win.h"
#include "update/SelfUpdate.h"
#include "update/UIUpdate_win.h"

namespace {

using testsupport::DevPortalGet;
using testsupport::FileExists;
using testsupport::ReadFileBytes;
using testsupport::ScratchDir;
using testsupport::WaitUntil;

constexpr DWORD kRunMs = 60000;
constexpr char kNext[] = LAUNCHER_TEST_NEXT_VERSION;

std::string Narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

std::string PortalPackage(const std::string& version) {
    return ReadFileBytes(testsupport::FromUnixPath(
        std::string(LAUNCHER_DEVPORTAL_DIR) + "/resources/" + version + "/launcherqamb.exe.lzma"));
}

std::string Percent(const std::string& text) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        out += '%';
        out += hex[c >> 4];
        out += hex[c & 15];
    }
    return out;
}

bool Answer(const std::string& query) {
    return DevPortalGet("/_devportal/launcher2/answer?" + query);
}

size_t Requests(const std::string& path) {
    return testsupport::LoggedRequests("\"path\": \"" + path + "\"").size();
}

std::string VersionOf(const std::wstring& exe) {
    std::string version;
    return ReadExecutableVersion(exe, &version) ? version : "(none)";
}

// A launcher log in |dir| other than those of |known| process ids, once it
// holds |line|.
std::vector<std::string> OtherLauncherLog(const ScratchDir& dir, const std::vector<DWORD>& known,
                                          const std::string& line, DWORD timeoutMs,
                                          bool closePages = true) {
    std::vector<std::string> found;
    WaitUntil(
        [&] {
            if (closePages) testsupport::CloseLauncherMainPages();
            WIN32_FIND_DATAW data;
            HANDLE search = FindFirstFileW(dir.Join(L"log\\launcher_tavro_*.log").c_str(), &data);
            if (search == INVALID_HANDLE_VALUE) return false;
            bool done = false;
            do {
                const DWORD pid = wcstoul(data.cFileName + 15, nullptr, 10);
                if (std::find(known.begin(), known.end(), pid) != known.end()) continue;
                auto lines = testsupport::ReadLines(dir.Join(L"log\\") + data.cFileName);
                for (const auto& l : lines) done |= l.find(line) != std::string::npos;
                if (done) found = lines;
            } while (!done && FindNextFileW(search, &data));
            FindClose(search);
            return done;
        },
        timeoutMs);
    return found;
}

// The script hands the joined options over as one quoted argument; Wine's
// "start" passes it on without the quotes.
bool StartedWithTheOptions(const std::string& cmdline) {
    static const std::regex started(
        R"(cmdline: "?[^"]*\\LauncherQAMB\.exe"? "?-disable_move_self"?)");
    return std::regex_match(cmdline, started);
}

std::vector<std::string> Matching(const std::vector<std::string>& lines, const std::string& text) {
    std::vector<std::string> hits;
    for (const auto& line : lines) {
        if (line.find(text) != std::string::npos)
            hits.push_back(line.substr(line.find(" - ", 20) + 3));
    }
    return hits;
}

class SelfUpdateE2E : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Answer("reset=1"));
        // The old launcher of these runs: the controller's road in its own
        // folder under the launcher's name, so the package, the temporary
        // folder and the script all land in the scratch folder.
        ASSERT_TRUE(CopyFileW(testsupport::FromUnixPath(LAUNCHER_UPDATE_HOST_PATH).c_str(),
                              OldLauncher().c_str(), FALSE));
        original_ = ReadFileBytes(OldLauncher());
    }
    void TearDown() override { Answer("reset=1"); }

    std::wstring OldLauncher() const { return dir_.Join(L"LauncherQAMB.exe"); }
    std::wstring NewInTemp() const { return dir_.Join(L"qmtemp\\LauncherQAMB.exe"); }

    // Starts the old launcher with |options| and waits for its end.
    void RunOld(const std::wstring& options, DWORD expectedExit = 0) {
        process_ =
            testsupport::StartProcess(L"\"" + OldLauncher() + L"\" " + options, dir_.path(), &pid_);
        ASSERT_NE(process_, nullptr);
        WaitOld(expectedExit);
    }
    void WaitOld(DWORD expectedExit = 0) {
        ASSERT_EQ(testsupport::WaitForLauncherEnd(process_, kRunMs), WAIT_OBJECT_0);
        DWORD code = 99;
        GetExitCodeProcess(process_, &code);
        CloseHandle(process_);
        process_ = nullptr;
        EXPECT_EQ(code, expectedExit);
        log_ = testsupport::ReadLines(
            dir_.Join(L"log\\launcher_tavro_" + std::to_wstring(pid_) + L".log"));
    }
    std::vector<std::string> Log(const std::string& text) const { return Matching(log_, text); }

    // The owner heard of the end exactly once, with |success|, and went on.
    void ExpectEndedOnce(bool success) {
        const auto ends = Log("UpdateHost::OnUpdateEnd:");
        ASSERT_EQ(ends.size(), 1u) << testing::PrintToString(ends);
        EXPECT_EQ(ends[0], std::string("UpdateHost::OnUpdateEnd:") + (success ? "1" : "0") + ":1");
        EXPECT_EQ(Log("UpdateHost::TryAutoLogin").size(), 1u);
        EXPECT_EQ(Log("Launcher Terminated").size(), 1u);
    }
    // Nothing of a failed update is left, and the old launcher is untouched.
    void ExpectCleanFolder(bool partialPackage = false) {
        // A download that failed leaves what arrived; the next check deletes it.
        EXPECT_EQ(FileExists(dir_.Join(L"launcherqamb.exe.lzma")), partialPackage);
        EXPECT_FALSE(FileExists(dir_.Join(L"qmtemp")));
        EXPECT_FALSE(FileExists(dir_.Join(L"selfupdate.bat")));
        EXPECT_TRUE(ReadFileBytes(OldLauncher()) == original_);
    }

    ScratchDir dir_;
    std::string original_;
    HANDLE process_ = nullptr;
    DWORD pid_ = 0;
    std::vector<std::string> log_;
};

// The bar's filled share in a capture of the update window: the skin's
// progress image is bright gold over a dark groove at 223,55..589,73.
double FilledShare(const SkinUI::CDibSurface& image) {
    if (image.Width() < 589 || image.Height() < 73) return -1;
    int bright = 0;
    for (int x = 223; x < 589; ++x) {
        const uint32_t p = image.Pixel(x, 58);
        bright += ((p >> 16) & 0xFF) > 150 && ((p >> 8) & 0xFF) > 80;
    }
    return bright / 366.0;
}

TEST_F(SelfUpdateE2E, FindsANewerLauncherDownloadsSwapsAndRestarts) {
    const std::string package = PortalPackage(kNext);
    ASSERT_GT(package.size(), 10000u);
    ASSERT_TRUE(Answer("which=version&text=" + Percent(std::string(kNext) + "\r\n")));
    ASSERT_TRUE(Answer("which=package&hold=" + std::to_string(package.size() * 2 / 5)));
    const size_t packageRequests =
        Requests("/launcher2/" + std::string(kNext) + "/launcherqamb.exe.lzma");

    process_ = testsupport::StartProcess(L"\"" + OldLauncher() + L"\" -disable_move_self",
                                         dir_.path(), &pid_);
    ASSERT_NE(process_, nullptr);
    // Mid-download: the portal holds the body at two fifths, and the window
    // shows the bar that far.
    std::string state;
    ASSERT_TRUE(WaitUntil(
        [&] {
            return DevPortalGet("/_devportal/launcher2/state", &state) &&
                   state.find("\"holding\": null") == std::string::npos;
        },
        kRunMs))
        << state;
    std::unique_ptr<testsupport::ScreenCapture> shot;
    const bool barShown = WaitUntil(
        [&] {
            HWND window = FindWindowW(L"UIUpdate", nullptr);
            if (!window || !IsWindowVisible(window)) return false;
            shot = std::make_unique<testsupport::ScreenCapture>(window, "update-mid-download");
            const double share = FilledShare(shot->surface);
            return share > 0.3 && share < 0.5;
        },
        20000);
    ASSERT_TRUE(shot);
    if (!std::getenv("LAUNCHER_SCREENSHOT_DIR"))
        shot->Save(LAUNCHER_SCREENSHOT_DIR, "update-mid-download");
    EXPECT_TRUE(barShown) << "filled share " << FilledShare(shot->surface);
    ASSERT_TRUE(DevPortalGet("/_devportal/launcher2/release"));

    // The old launcher ends through the script...
    WaitOld(0);
    EXPECT_EQ(Log("UpdateHost::OnUpdateEnd").size(), 0u);
    EXPECT_EQ(Log("Local launcher version: 2016-04-25").size(), 1u);
    EXPECT_EQ(Log(std::string("Remote launcher version: ") + kNext).size(), 1u);
    EXPECT_EQ(Log("Begin Download Launcher: http://res.torvessa.example/launcher2/" +
                  std::string(kNext) + "/launcherqamb.exe.lzma")
                  .size(),
              1u);
    EXPECT_EQ(
        Log("Launcher SelfUpdate, extract from [" + Narrow(dir_.Join(L"launcherqamb.exe.lzma")) +
            "] to [" + Narrow(NewInTemp()) + "]")
            .size(),
        1u);
    EXPECT_EQ(Log("Launcher SelfUpdate, extract ok").size(), 1u);
    EXPECT_EQ(Log("Launcher SelfUpdate, Begin SelfUpdate, Process will quit...").size(), 1u);
    EXPECT_EQ(Requests("/launcher2/" + std::string(kNext) + "/launcherqamb.exe.lzma"),
              packageRequests + 1);

    // ...which puts the new launcher in its place and starts it with the
    // joined options.
    const auto newLog = OtherLauncherLog(dir_, {pid_}, "Launcher Terminated", kRunMs);
    ASSERT_FALSE(newLog.empty());
    const auto cmdline = Matching(newLog, "cmdline: ");
    ASSERT_EQ(cmdline.size(), 1u);
    EXPECT_TRUE(StartedWithTheOptions(cmdline[0])) << cmdline[0];
    EXPECT_EQ(VersionOf(OldLauncher()), kNext);
    EXPECT_FALSE(FileExists(dir_.Join(L"qmtemp")));
    EXPECT_FALSE(FileExists(dir_.Join(L"launcherqamb.exe.lzma")));
    EXPECT_EQ(ReadFileBytes(dir_.Join(L"selfupdate.bat")), SelfUpdateScript());
}

TEST_F(SelfUpdateE2E, CurrentOrOlderVersionStartsNoDownload) {
    const struct {
        const char* file;
        bool success;
    } rows[] = {
        {"2016-04-25\r\n", true},
        {"2016-04-2", true},
        {"2016-04-24\n", true},
        {"\r\n", false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::PrintToString(std::string(row.file)));
        ASSERT_TRUE(Answer("reset=1"));
        ASSERT_TRUE(Answer(std::string("which=version&text=") + Percent(row.file)));
        const size_t packages = testsupport::LoggedRequests("launcherqamb.exe.lzma").size();
        RunOld(L"-disable_move_self");
        ExpectEndedOnce(row.success);
        EXPECT_EQ(Log("Begin Download Launcher").size(), 0u);
        EXPECT_EQ(testsupport::LoggedRequests("launcherqamb.exe.lzma").size(), packages);
        ExpectCleanFolder();
    }
}

TEST_F(SelfUpdateE2E, FailedUpdatesEndOnceAndTheLauncherGoesOn) {
    const std::string next = kNext;
    const struct {
        const char* name;
        std::vector<std::string> answers;
        std::string logged;  // a line that says why
        std::string path;    // requested three times
        bool partialPackage = false;
    } rows[] = {
        {"refused version file",
         {"which=version&status=404"},
         "UIUpdate::OnEnd, http://res.torvessa.example/launcher2/launcher.ver, code=0",
         "/launcher2/launcher.ver"},
        {"package cut short every time",
         {"which=version&text=" + next, "which=package&cut=5000"},
         "launcherqamb.exe.lzma, code=0",
         "/launcher2/" + next + "/launcherqamb.exe.lzma",
         true},
        {"truncated package",
         {std::string("which=version&text=") + LAUNCHER_TEST_TRUNCATED_VERSION},
         "Launcher SelfUpdate, extract [",
         ""},
        {"corrupt package",
         {std::string("which=version&text=") + LAUNCHER_TEST_CORRUPT_VERSION},
         "Launcher SelfUpdate, extract [",
         ""},
        {"half-published release",
         {std::string("which=version&text=") + LAUNCHER_TEST_HALF_VERSION},
         "Launcher SelfUpdate, new launcher is version 2016-04-25, not newer than 2016-04-25: "
         "update abandoned",
         ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_TRUE(Answer("reset=1"));
        for (const auto& answer : row.answers) ASSERT_TRUE(Answer(answer));
        const size_t before = row.path.empty() ? 0 : Requests(row.path);
        RunOld(L"-disable_move_self");
        ExpectEndedOnce(false);
        EXPECT_FALSE(Log(row.logged).empty()) << row.logged;
        if (!row.path.empty()) {
            EXPECT_EQ(Requests(row.path), before + 3);
        }
        EXPECT_EQ(Log("Begin SelfUpdate").size(), 0u);
        ExpectCleanFolder(row.partialPackage);
        DeleteFileW(dir_.Join(L"launcherqamb.exe.lzma").c_str());
    }
}

TEST_F(SelfUpdateE2E, RetriedDownloadsAreActedOnOnceAndRestartCanBeSuppressed) {
    // The first attempt of each download fails and the downloader retries:
    // that is no end of the update, which goes on to the newer launcher.
    ASSERT_TRUE(Answer("which=version&status=503&times=1"));
    ASSERT_TRUE(Answer("which=version&text=" + std::string(kNext)));
    ASSERT_TRUE(Answer("which=package&status=503&times=1"));
    const size_t before = Requests("/launcher2/launcher.ver");
    RunOld(L"-disable_move_self -disable_update_restart");
    ExpectEndedOnce(true);
    EXPECT_EQ(Requests("/launcher2/launcher.ver"), before + 2);
    EXPECT_EQ(Log(", code=0").size(), 2u) << "each failed attempt is logged";
    // The restart is left out: the new launcher and the script stay.
    EXPECT_EQ(VersionOf(NewInTemp()), kNext);
    EXPECT_EQ(ReadFileBytes(dir_.Join(L"selfupdate.bat")), SelfUpdateScript());
    EXPECT_FALSE(FileExists(dir_.Join(L"launcherqamb.exe.lzma")));
    EXPECT_TRUE(ReadFileBytes(OldLauncher()) == original_);
}

TEST_F(SelfUpdateE2E, LauncherWithoutVersionResourceIsTakenAsBefore) {
    ASSERT_TRUE(Answer(std::string("which=version&text=") + LAUNCHER_TEST_UNVERSIONED_VERSION));
    RunOld(L"-disable_move_self -disable_update_restart");
    ExpectEndedOnce(true);
    EXPECT_TRUE(ReadFileBytes(NewInTemp()) == original_);
    EXPECT_TRUE(FileExists(dir_.Join(L"selfupdate.bat")));
}

// The self-update killed after each of its steps on disk (the launcher while
// downloading or unpacking, or the script before or after its swap): what
// the kill left is in the folder when the launcher starts next. Each time a
// launcher is there, the next start ends with the newer launcher in place,
// at its main page, and nothing of the update is left over.
TEST_F(SelfUpdateE2E, AKillAfterAnyStepLeavesALauncherThatFinishesTheUpdate) {
    const std::string package = PortalPackage(kNext);
    const std::string next = ReadFileBytes(testsupport::FromUnixPath(LAUNCHER_NEXT_EXE_PATH));
    const std::string old = original_;
    ASSERT_GT(package.size(), 10000u);
    const struct {
        const char* after;
        std::string packageFile;  // left in the folder; empty for none
        std::string newInTemp;
        bool scriptLeft;
        bool swapped;  // the script had put the new launcher in place
    } kills[] = {
        {"part of the download", package.substr(0, package.size() / 3), "", false, false},
        {"the download", package, "", false, false},
        {"part of the unpacking", package, next.substr(0, next.size() / 2), false, false},
        {"the unpacking", "", next, false, false},
        {"the script's writing", "", next, true, false},
        {"the script's swap", "", "", true, true},
    };
    for (const auto& kill : kills) {
        SCOPED_TRACE(std::string("killed after ") + kill.after);
        ASSERT_TRUE(Answer("reset=1"));
        ASSERT_TRUE(Answer("which=version&text=" + std::string(kNext)));
        ASSERT_TRUE(testsupport::WriteFileBytes(OldLauncher(), kill.swapped ? next : old));
        if (!kill.packageFile.empty()) {
            ASSERT_TRUE(
                testsupport::WriteFileBytes(dir_.Join(L"launcherqamb.exe.lzma"), kill.packageFile));
        }
        if (!kill.newInTemp.empty() || kill.swapped)
            CreateDirectoryW(dir_.Join(L"qmtemp").c_str(), nullptr);
        if (!kill.newInTemp.empty())
            ASSERT_TRUE(testsupport::WriteFileBytes(NewInTemp(), kill.newInTemp));
        if (kill.scriptLeft) {
            ASSERT_TRUE(
                testsupport::WriteFileBytes(dir_.Join(L"selfupdate.bat"), SelfUpdateScript()));
        }

        process_ = testsupport::StartProcess(L"\"" + OldLauncher() + L"\" -disable_move_self",
                                             dir_.path(), &pid_);
        ASSERT_NE(process_, nullptr);
        // The newer launcher reaches the portal's start page without updating
        // again: the old one (unless the swap was done) through the script.
        const std::vector<DWORD> known =
            kill.swapped ? std::vector<DWORD>{} : std::vector<DWORD>{pid_};
        const auto newer =
            OtherLauncherLog(dir_, known, "UIMain::DocumentComplete, http://www.", kRunMs, false);
        ASSERT_FALSE(newer.empty()) << "no launcher reached the start page";
        EXPECT_EQ(Matching(newer, std::string("Local launcher version: ") + kNext).size(), 1u);
        EXPECT_TRUE(Matching(newer, "Begin Download").empty()) << "it updated again";
        WaitOld(0);
        if (!kill.swapped) {
            EXPECT_EQ(Log("Launcher SelfUpdate, extract ok").size(), 1u);
            EXPECT_FALSE(OtherLauncherLog(dir_, known, "Launcher Terminated", kRunMs).empty());
        }
        EXPECT_TRUE(ReadFileBytes(OldLauncher()) == next);
        EXPECT_FALSE(FileExists(dir_.Join(L"launcherqamb.exe.lzma")));
        EXPECT_FALSE(FileExists(NewInTemp()));
        testsupport::DeleteTree(dir_.Join(L"log"));
        testsupport::DeleteTree(dir_.Join(L"qmtemp"));
        DeleteFileW(dir_.Join(L"launcher.ini").c_str());
    }
}

// A version file that keeps naming a version newer than the one the package
// holds (here a launcher without a version resource, compiled as the old
// one): each start swaps it in and restarts, but only a few times; then the
// launcher skips the update and goes on to the login.
TEST_F(SelfUpdateE2E, AVersionThatNeverTakesRestartsTheLauncherAFewTimesOnly) {
    const std::string version = LAUNCHER_TEST_UNVERSIONED_VERSION;
    ASSERT_TRUE(Answer("which=version&text=" + version));
    const std::string package = "/launcher2/" + version + "/launcherqamb.exe.lzma";
    const size_t before = Requests(package);
    RunOld(L"-disable_move_self");
    const auto last = OtherLauncherLog(dir_, {pid_}, "update skipped", kRunMs * 4);
    ASSERT_FALSE(last.empty()) << "the launcher kept updating";
    EXPECT_EQ(Matching(last, "update skipped"),
              std::vector<std::string>{"Launcher SelfUpdate, version " + version +
                                       " restarted the launcher " +
                                       std::to_string(kSelfUpdateRestartLimit) +
                                       " times and it is still 2016-04-25: update skipped"});
    EXPECT_EQ(Matching(last, "UpdateHost::OnUpdateEnd:").size(), 1u);
    EXPECT_EQ(Requests(package), before + kSelfUpdateRestartLimit) << "downloaded once per restart";
    wchar_t restarts[16] = {};
    GetPrivateProfileStringW(L"SelfUpdate", L"restarts", L"", restarts, 16,
                             dir_.Join(L"launcher.ini").c_str());
    EXPECT_STREQ(restarts, std::to_wstring(kSelfUpdateRestartLimit).c_str());
}

// The script on its own, in a folder with the real old launcher and, unless
// a case leaves it out, the newer one in qmtemp. Started as the update
// starts it, with its echo going to a file the test can read.
class SelfUpdateScriptE2E : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CopyFileW(testsupport::FromUnixPath(LAUNCHER_EXE_PATH).c_str(),
                              dir_.Join(L"LauncherQAMB.exe").c_str(), FALSE));
        wchar_t previous[MAX_PATH];
        GetCurrentDirectoryW(MAX_PATH, previous);
        previous_ = previous;
        ASSERT_TRUE(SetCurrentDirectoryW(dir_.path().c_str()));
        ASSERT_TRUE(UIUpdate::WriteSelfUpdateBat());
    }
    void TearDown() override {
        SetCurrentDirectoryW(previous_.c_str());
        if (script_) CloseHandle(script_);
    }

    void PutNewLauncher() {
        ASSERT_TRUE(CreateDirectoryW(dir_.Join(L"qmtemp").c_str(), nullptr));
        ASSERT_TRUE(CopyFileW(testsupport::FromUnixPath(LAUNCHER_NEXT_EXE_PATH).c_str(),
                              dir_.Join(L"qmtemp\\LauncherQAMB.exe").c_str(), FALSE));
    }

    // Open for reading without FILE_SHARE_DELETE: the file can be neither
    // deleted nor replaced, as while the launcher still runs.
    HANDLE LockOldLauncher() {
        return CreateFileW(dir_.Join(L"LauncherQAMB.exe").c_str(), GENERIC_READ, FILE_SHARE_READ,
                           nullptr, OPEN_EXISTING, 0, nullptr);
    }

    void StartScript() {
        SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
        HANDLE out =
            CreateFileW(dir_.Join(L"script.out").c_str(), GENERIC_WRITE,
                        FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(out, INVALID_HANDLE_VALUE);
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = out;
        startup.hStdError = out;
        PROCESS_INFORMATION process{};
        std::wstring command;
        ASSERT_TRUE(SelfUpdateCommandLine(L"-disable_move_self", &command));
        ASSERT_TRUE(CreateProcessW(kSelfUpdateScriptFile, command.data(), nullptr, nullptr, TRUE,
                                   CREATE_NO_WINDOW | NORMAL_PRIORITY_CLASS, nullptr, nullptr,
                                   &startup, &process));
        CloseHandle(out);
        CloseHandle(process.hThread);
        script_ = process.hProcess;
    }

    size_t Pauses() const {
        const std::string out = ReadFileBytes(dir_.Join(L"script.out"));
        size_t n = 0;
        for (size_t at = out.find("ping -n 2"); at != std::string::npos;
             at = out.find("ping -n 2", at + 1)) {
            ++n;
        }
        return n;
    }

    // The launcher the script started ran with the joined options.
    void ExpectLauncherRan() {
        const auto log = OtherLauncherLog(dir_, {}, "Launcher Terminated", kRunMs);
        ASSERT_FALSE(log.empty()) << ReadFileBytes(dir_.Join(L"script.out"));
        const auto cmdline = Matching(log, "cmdline: ");
        ASSERT_EQ(cmdline.size(), 1u);
        EXPECT_TRUE(StartedWithTheOptions(cmdline[0])) << cmdline[0];
    }

    ScratchDir dir_;
    std::wstring previous_;
    HANDLE script_ = nullptr;
};

TEST_F(SelfUpdateScriptE2E, WaitsForALockedLauncherThenSwaps) {
    PutNewLauncher();
    const HANDLE lock = LockOldLauncher();
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    StartScript();
    const bool waited = WaitUntil([&] { return Pauses() >= 2; }, kRunMs);
    EXPECT_EQ(VersionOf(dir_.Join(L"LauncherQAMB.exe")), "2016-04-25") << "kept while locked";
    CloseHandle(lock);
    ASSERT_TRUE(waited) << ReadFileBytes(dir_.Join(L"script.out"));
    ASSERT_EQ(WaitForSingleObject(script_, kRunMs), WAIT_OBJECT_0);
    ExpectLauncherRan();
    EXPECT_EQ(VersionOf(dir_.Join(L"LauncherQAMB.exe")), kNext);
    EXPECT_FALSE(FileExists(dir_.Join(L"qmtemp")));
}

TEST_F(SelfUpdateScriptE2E, GivesUpOnALockThatStaysAndStartsTheOldLauncher) {
    PutNewLauncher();
    const HANDLE lock = LockOldLauncher();
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    StartScript();
    // Bounded: the script tries once a second a fixed number of times.
    const bool ended = WaitForSingleObject(script_, kRunMs) == WAIT_OBJECT_0;
    CloseHandle(lock);
    ASSERT_TRUE(ended);
    EXPECT_EQ(Pauses(), static_cast<size_t>(kSelfUpdateSwapTries - 1));
    ExpectLauncherRan();
    EXPECT_EQ(VersionOf(dir_.Join(L"LauncherQAMB.exe")), "2016-04-25");
    EXPECT_EQ(VersionOf(dir_.Join(L"qmtemp\\LauncherQAMB.exe")), kNext);
}

TEST_F(SelfUpdateScriptE2E, WithoutANewLauncherStartsTheOldOne) {
    StartScript();
    ASSERT_EQ(WaitForSingleObject(script_, kRunMs), WAIT_OBJECT_0);
    ExpectLauncherRan();
    EXPECT_EQ(VersionOf(dir_.Join(L"LauncherQAMB.exe")), "2016-04-25");
}

}  // namespace
