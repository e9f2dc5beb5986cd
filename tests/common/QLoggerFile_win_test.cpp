// The file appender and old-log removal on the Windows runtime: real files,
// real sharing, real time stamps. Each test works in its own scratch folder,
// since the facility writes relative to the working directory.
#include <windows.h>

#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <thread>
#include <vector>

#include "common/qlogger/QLogger.h"
#include "support/WinTestSupport_win.h"

namespace {

using testsupport::FileExists;
using testsupport::ReadLines;
using testsupport::ScratchDir;

class LogFolderTest : public testing::Test {
protected:
    void SetUp() override {
        QLogger::Shutdown();
        GetCurrentDirectoryW(MAX_PATH, previous_);
        ASSERT_TRUE(SetCurrentDirectoryW(scratch_.path().c_str()));
    }
    void TearDown() override {
        QLogger::Shutdown();
        SetCurrentDirectoryW(previous_);
    }

    ScratchDir scratch_;
    wchar_t previous_[MAX_PATH] = {};
};

TEST_F(LogFolderTest, SetUpCreatesTheFolderAndStartsAnEmptyFile) {
    CreateDirectoryW(L"log", nullptr);
    // A file left by an earlier process with the same id.
    ASSERT_TRUE(testsupport::WriteFileBytes(L"log\\launcher_tavro_7.log", "stale line\r\n"));
    QLogger::AddFileAppender("log/launcher_tavro_7.log", "%d - {%tid}{%c}{%t} - %m%n", "file");
    QLogger::LogW(QLOG_NORMAL, L"CApp::Initialize");
    QLogger::Log(QLOG_ALERT, "%s:%d", "UILoading::OnTimer", 3);

    const auto lines = ReadLines(L"log\\launcher_tavro_7.log");
    ASSERT_EQ(lines.size(), 2u);
    const std::regex shape(
        R"(\d{4}\.\d\d\.\d\d \d\d\.\d\d\.\d\d - \{ *(\d+)\}\{file\}\{Normal \} - CApp::Initialize)");
    std::smatch match;
    ASSERT_TRUE(std::regex_match(lines[0], match, shape)) << lines[0];
    EXPECT_EQ(std::stoul(match[1]), GetCurrentThreadId());
    EXPECT_NE(lines[1].find("{Alert  } - UILoading::OnTimer:3"), std::string::npos);
}

TEST_F(LogFolderTest, WideTextGoesThroughTheAnsiCodePage) {
    QLogger::AddFileAppender("log/w.log", "%m%n", "file");
    QLogger::LogW(QLOG_NORMAL, L"%s|%ls|%d", L"wide %s", L"also wide", 5);
    const auto lines = ReadLines(L"log\\w.log");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "wide %s|also wide|5");
}

TEST_F(LogFolderTest, AnUnopenableFileLosesTheLineQuietly) {
    // The path names a folder, so the file cannot be opened.
    CreateDirectoryW(L"log", nullptr);
    CreateDirectoryW(L"log\\busy.log", nullptr);
    QLogger::AddAppender(std::make_unique<QLoggerFileAppender>("%m%n", "file", "log/busy.log"));
    QLogger::LogW(QLOG_ERROR, L"lost");
    EXPECT_TRUE(GetFileAttributesW(L"log\\busy.log") & FILE_ATTRIBUTE_DIRECTORY);
    // The appender still works once the path is free again.
    RemoveDirectoryW(L"log\\busy.log");
    QLogger::LogW(QLOG_ERROR, L"kept");
    EXPECT_EQ(ReadLines(L"log\\busy.log"), std::vector<std::string>{"kept"});
}

TEST_F(LogFolderTest, LinesFromManyThreadsStayWholeAndNoneIsLost) {
    QLogger::AddFileAppender("log/threads.log", "%d - {%tid}{%c}{%t} - %m%n", "file");
    constexpr int kThreads = 8;
    constexpr int kLines = 150;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t] {
            // A long payload makes a torn or interleaved write visible.
            const std::string payload(300, static_cast<char>('a' + t));
            for (int i = 0; i < kLines; ++i) {
                if (i % 2) {
                    QLogger::Log(QLOG_NORMAL, "T%d L%d %s", t, i, payload.c_str());
                } else {
                    QLogger::LogW(QLOG_WARNING, L"T%d L%d %hs", t, i, payload.c_str());
                }
            }
        });
    }
    for (auto& thread : threads) thread.join();

    const auto lines = ReadLines(L"log\\threads.log");
    ASSERT_EQ(lines.size(), static_cast<size_t>(kThreads * kLines));
    const std::regex shape(R"(.* - \{ *\d+\}\{file\}\{(Normal |Warning)\} - T(\d) L(\d+) ([a-z]{300}))");
    std::set<std::pair<int, int>> seen;
    for (const auto& line : lines) {
        std::smatch match;
        ASSERT_TRUE(std::regex_match(line, match, shape)) << line.substr(0, 120);
        const int t = std::stoi(match[2]);
        EXPECT_EQ(match[4].str(), std::string(300, static_cast<char>('a' + t)));
        seen.insert({t, std::stoi(match[3])});
    }
    EXPECT_EQ(seen.size(), static_cast<size_t>(kThreads * kLines));
}

TEST_F(LogFolderTest, OldLogsGoAndEverythingElseStays) {
    CreateDirectoryW(L"log", nullptr);
    const struct {
        const wchar_t* name;
        long long ageSeconds;
        bool survives;
    } files[] = {
        {L"launcher_tavro_1.log", 24 * 3600, false},
        {L"launcher_tavro_2.log", 24 * 3600 - 60, true},
        {L"launcher_old.log", 30 * 24 * 3600, false},
        {L"other.log", 30 * 24 * 3600, true},
        {L"launcher_tavro_3.txt", 30 * 24 * 3600, true},
    };
    for (const auto& file : files) {
        const std::wstring path = std::wstring(L"log\\") + file.name;
        ASSERT_TRUE(testsupport::WriteFileBytes(path, "x"));
        ASSERT_TRUE(testsupport::SetFileAge(path, file.ageSeconds));
    }
    QLogger::RemoveOldLogs();
    for (const auto& file : files) {
        EXPECT_EQ(FileExists(std::wstring(L"log\\") + file.name), file.survives) << file.name;
    }
}

TEST_F(LogFolderTest, OtherProgramsMayReadAndDeleteTheFileWhileItIsInUse) {
    QLogger::AddFileAppender("log/shared.log", "%m%n", "file");
    QLogger::LogW(QLOG_NORMAL, L"one");
    // Held open by a reader that denies nothing, the file still takes lines.
    HANDLE reader = CreateFileW(L"log\\shared.log", GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    QLogger::LogW(QLOG_NORMAL, L"two");
    CloseHandle(reader);
    EXPECT_EQ(ReadLines(L"log\\shared.log"), (std::vector<std::string>{"one", "two"}));
}

}  // namespace
