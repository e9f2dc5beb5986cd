// The self-update's decisions: which remote version starts a download, what
// the progress text says, the replacement script's line ends and the command
// that starts it.
#include "update/SelfUpdate.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(SelfUpdate, RemoteVersionAndComparison) {
    const std::string local = "2016-04-25";
    const struct {
        std::string file;
        std::string remote;
        bool download;
    } rows[] = {
        {"2016-04-25\r\n", "2016-04-25", false},
        {"2016-04-25\n\r\n\n", "2016-04-25", false},
        {"2016-05-01", "2016-05-01", true},
        {"2016-05-01\r\n", "2016-05-01", true},
        {"2016-04-2", "2016-04-2", false},     // a prefix sorts first
        {"2016-04-250", "2016-04-250", true},  // and a longer text after it
        {"2016-04-24", "2016-04-24", false},
        {"2016-04-26", "2016-04-26", true},
        {"\r\n", "", false},
        {"", "", false},
        {"2016-04-25 \r\n", "2016-04-25 ", true},  // only line ends are cut
        {"\r\n2016-05-01", "\r\n2016-05-01", false},
        {"\xE9t\xE9", "\xE9t\xE9", true},  // bytes compare unsigned
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.file);
        const std::string remote = RemoteVersionFromFile(row.file);
        EXPECT_EQ(remote, row.remote);
        EXPECT_EQ(!remote.empty() && IsOlderVersion(local, remote), row.download);
    }
    EXPECT_FALSE(IsOlderVersion("2016-04-25", "2016-04-25"));
    EXPECT_TRUE(IsOlderVersion("", "a"));
}

TEST(SelfUpdate, PercentageText) {
    const uint32_t unknown = 0xFFFFFFFFu;
    const struct {
        uint32_t received;
        uint32_t length;
        const wchar_t* text;
    } rows[] = {
        {0, 100, L" 0%"},
        {5, 100, L" 5%"},
        {99, 100, L"99%"},
        {100, 100, L"100%"},
        {1, 3, L"33%"},
        {2, 3, L"66%"},  // cut, not rounded
        {3000000, 3000001, L"99%"},
        {100, 0, L" 0%"},  // an announced 0 never divides
        {200, 100, L"100%"},
        {42000000, unknown, L" 0%"},  // no length: 0 until about 43 MB
        {43000000, unknown, L" 1%"},
        {unknown, unknown, L"100%"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.received) + "/" + std::to_string(row.length));
        EXPECT_EQ(ProgressText(DownloadPercent(row.received, row.length)), row.text);
    }
}

// The script's roads run end to end (SelfUpdate_e2e_test.cpp); Wine's cmd
// forgives what the system's may not.
TEST(SelfUpdate, ScriptHasOnlyCrLfLineEndsAndNeverDeletesTheOldLauncher) {
    const std::string script = SelfUpdateScript();
    ASSERT_GE(script.size(), 2u);
    EXPECT_EQ(script.substr(script.size() - 2), "\r\n");
    for (size_t i = 0; i < script.size(); ++i) {
        if (script[i] == '\n') {
            EXPECT_TRUE(i > 0 && script[i - 1] == '\r') << "bare LF at " << i;
        }
    }
    // The move replaces the old executable or nothing does.
    EXPECT_EQ(("\r\n" + script).find("\r\ndel "), std::string::npos);
}

TEST(SelfUpdate, CommandLine) {
    std::wstring command;
    ASSERT_TRUE(SelfUpdateCommandLine(L"\"-LoginUrl:=?url=a&b\" \"-logout\"", &command));
    EXPECT_EQ(command, L"selfupdate.bat \"-LoginUrl:=?url=a&b\" \"-logout\"");
    ASSERT_TRUE(SelfUpdateCommandLine(L"", &command));
    EXPECT_EQ(command, L"selfupdate.bat");

    // "selfupdate.bat" and a blank: 15.
    const size_t room = kSelfUpdateCommandCapacity - 1 - 15;
    EXPECT_TRUE(SelfUpdateCommandLine(std::wstring(room, L'x'), &command));
    EXPECT_EQ(command.size(), kSelfUpdateCommandCapacity - 1);
    command = L"unchanged";
    EXPECT_FALSE(SelfUpdateCommandLine(std::wstring(room + 1, L'x'), &command));
    EXPECT_EQ(command, L"unchanged");
}

}  // namespace

// A version whose restarts never take (the new launcher still calls itself
// older) stops restarting after the limit; a different version starts over.
TEST(SelfUpdate, OneVersionRestartsTheLauncherAFewTimesAtMost) {
    SelfUpdateRestarts remembered;
    int restarts = 0;
    SelfUpdateRestarts next;
    while (MayRestartForUpdate(remembered, "2016-05-05", &next)) {
        ASSERT_LT(++restarts, 10) << "no end";
        EXPECT_EQ(next.version, "2016-05-05");
        EXPECT_EQ(next.count, restarts);
        remembered = next;
    }
    EXPECT_EQ(restarts, kSelfUpdateRestartLimit);
    ASSERT_TRUE(MayRestartForUpdate(remembered, "2016-05-06", &next));
    EXPECT_EQ(next.count, 1);
    // A count spoiled in the settings file reads as none.
    ASSERT_TRUE(MayRestartForUpdate(SelfUpdateRestarts{"2016-05-05", -7}, "2016-05-05", &next));
    EXPECT_EQ(next.count, 1);
}
