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
    // Start-up removes old logs (which are old is QLoggerFile_win_test.cpp's).
    CreateDirectoryW(dir.Join(L"log").c_str(), nullptr);
    const std::wstring old = dir.Join(L"log\\launcher_tavro_11.log");
    ASSERT_TRUE(testsupport::WriteFileBytes(old, "old\r\n"));
    ASSERT_TRUE(testsupport::SetFileAge(old, 48 * 3600));
    const std::wstring arguments = L"-disable_move_self -x= \"-LoginUrl:=?url=a=b\"";
    const auto run = testsupport::RunProcess(LauncherCommand(arguments), dir.path());
    ASSERT_TRUE(run.started);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_FALSE(FileExists(old));

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

}  // namespace
