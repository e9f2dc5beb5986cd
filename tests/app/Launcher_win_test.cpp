// The real LauncherQAMB.exe, started as a player's shell would start it,
// judged by its exit code and its log file.
#include <windows.h>

#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "support/PrefixState_win.h"
#include "support/WinTestSupport_win.h"

namespace {

using testsupport::FileExists;
using testsupport::ReadLines;
using testsupport::ScratchDir;

std::wstring LogPathFor(const ScratchDir& dir, DWORD processId) {
    return dir.Join(L"log\\launcher_tavro_" + std::to_wstring(processId) + L".log");
}

std::wstring LauncherCommand(const std::wstring& arguments) {
    return L"\"" + testsupport::LauncherExePath() + L"\" " + arguments;
}

const std::regex kLineShape(R"(\d{4}\.\d\d\.\d\d \d\d\.\d\d\.\d\d - \{[ \d]{4}\d\}\{file\}\{(Normal |Warning|Error  |Alert  )\} - .*)");

TEST(Launcher, StartsLogsAndTearsDown) {
    ScratchDir dir;
    // Each launcher registers its plug-in control.
    testsupport::PrefixUserState state;
    const std::wstring arguments = L"-disable_move_self -x= \"-LoginUrl:=?url=a=b\"";
    const auto run = testsupport::RunProcess(LauncherCommand(arguments), dir.path());
    ASSERT_TRUE(run.started);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0u);

    const auto lines = ReadLines(LogPathFor(dir, run.processId));
    ASSERT_GE(lines.size(), 3u);
    for (const auto& line : lines) EXPECT_TRUE(std::regex_match(line, kLineShape)) << line;
    EXPECT_NE(lines[0].find("{Normal } - Launcher initialized"), std::string::npos) << lines[0];
    EXPECT_NE(lines[1].find(" - cmdline: \""), std::string::npos) << lines[1];
    EXPECT_NE(lines[1].find("LauncherQAMB.exe\" -disable_move_self -x= \"-LoginUrl:=?url=a=b\""),
              std::string::npos)
        << lines[1];
    EXPECT_NE(lines.back().find("{Normal } - Launcher Terminated"), std::string::npos)
        << lines.back();
    // Start-up reaches the controllers before it tears down.
    bool sawController = false;
    for (const auto& line : lines) sawController |= line.find("CApp::Initialize") != std::string::npos;
    EXPECT_TRUE(sawController);
}

TEST(Launcher, OldLogsAreRemovedAtStartUp) {
    ScratchDir dir;
    testsupport::PrefixUserState state;
    CreateDirectoryW(dir.Join(L"log").c_str(), nullptr);
    const std::wstring day = dir.Join(L"log\\launcher_tavro_11.log");
    const std::wstring almostDay = dir.Join(L"log\\launcher_tavro_12.log");
    const std::wstring other = dir.Join(L"log\\other.log");
    for (const auto& path : {day, almostDay, other}) {
        ASSERT_TRUE(testsupport::WriteFileBytes(path, "old\r\n"));
    }
    ASSERT_TRUE(testsupport::SetFileAge(day, 24 * 3600));
    ASSERT_TRUE(testsupport::SetFileAge(almostDay, 24 * 3600 - 60));
    ASSERT_TRUE(testsupport::SetFileAge(other, 48 * 3600));

    const auto run = testsupport::RunProcess(LauncherCommand(L"-disable_move_self"), dir.path());
    ASSERT_TRUE(run.finished);
    EXPECT_FALSE(FileExists(day));
    EXPECT_TRUE(FileExists(almostDay));
    EXPECT_TRUE(FileExists(other));
    EXPECT_TRUE(FileExists(LogPathFor(dir, run.processId)));
}

TEST(Launcher, TwoLaunchersAtOnceWriteTwoFiles) {
    ScratchDir dir;
    testsupport::PrefixUserState state;
    DWORD firstId = 0, secondId = 0;
    HANDLE first = testsupport::StartProcess(LauncherCommand(L"-disable_move_self -first"),
                                             dir.path(), &firstId);
    HANDLE second = testsupport::StartProcess(LauncherCommand(L"-disable_move_self -second"),
                                              dir.path(), &secondId);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(testsupport::WaitForLauncherEnd(first, 60000), WAIT_OBJECT_0);
    EXPECT_EQ(testsupport::WaitForLauncherEnd(second, 60000), WAIT_OBJECT_0);
    CloseHandle(first);
    CloseHandle(second);

    ASSERT_NE(firstId, secondId);
    const auto firstLines = ReadLines(LogPathFor(dir, firstId));
    const auto secondLines = ReadLines(LogPathFor(dir, secondId));
    ASSERT_GE(firstLines.size(), 3u);
    ASSERT_GE(secondLines.size(), 3u);
    EXPECT_NE(firstLines[1].find("-first"), std::string::npos);
    EXPECT_NE(secondLines[1].find("-second"), std::string::npos);
    EXPECT_NE(firstLines.back().find("Launcher Terminated"), std::string::npos);
    EXPECT_NE(secondLines.back().find("Launcher Terminated"), std::string::npos);
}

}  // namespace
