#include "common/qlogger/QLogLayout.h"

#include <gtest/gtest.h>

namespace {

QLogLineFields ExampleFields() {
    QLogLineFields f;
    f.year = 2016;
    f.month = 4;
    f.day = 25;
    f.hour = 9;
    f.minute = 5;
    f.second = 7;
    f.threadId = 4712;
    f.elapsedMs = 1234;
    f.category = "file";
    f.line = 87;
    f.file = "common/qlogger/QLogger.cpp";
    f.levelName = "Normal ";
    f.message = "CApp::Initialize";
    return f;
}

TEST(LogLayout, LauncherLayoutReadsAsTheExampleLine) {
    EXPECT_EQ(FormatLogLayout("%d - {%tid}{%c}{%t} - %m%n", ExampleFields()),
              "2016.04.25 09.05.07 - { 4712}{file}{Normal } - CApp::Initialize\r\n");
}

TEST(LogLayout, DefaultLayoutShowsFileLineAndCategory) {
    EXPECT_EQ(FormatLogLayout("%d - <%f | %i> - {%c} -- %m%n", ExampleFields()),
              "2016.04.25 09.05.07 - <common/qlogger/QLogger.cpp | 87> - {file} -- "
              "CApp::Initialize\r\n");
}

TEST(LogLayout, ConversionsInsideTheMessageFollowTheReplacementOrder) {
    auto f = ExampleFields();
    // Only %n is replaced after the message is inserted.
    f.message = "a %d b %t c %tid d %m e %n f %x";
    EXPECT_EQ(FormatLogLayout("%m", f), "a %d b %t c %tid d %m e \r\n f %x");
}

TEST(LogLayout, LaterConversionsSeeEarlierInsertions) {
    auto f = ExampleFields();
    // The category is inserted at step 4 and so sees %i, %f, %t, %m, %n, but
    // not %d or %r, which were replaced before it.
    f.category = "[%i|%t|%d|%r]";
    EXPECT_EQ(FormatLogLayout("%c", f), "[87|Normal |%d|%r]");
    // A file name is inserted at step 6: its %c stays, its %m does not.
    f.file = "x%c%m";
    EXPECT_EQ(FormatLogLayout("%f", f), "x%cCApp::Initialize");
}

TEST(LogLayout, ThreadIdIsNotReadAsALevel) {
    auto f = ExampleFields();
    f.threadId = 7;
    EXPECT_EQ(FormatLogLayout("%tid|%t", f), "    7|Normal ");
    f.threadId = 1234567;
    EXPECT_EQ(FormatLogLayout("%tid", f), "1234567");
}

TEST(LogLayout, ElapsedAndUnknownConversions) {
    auto f = ExampleFields();
    EXPECT_EQ(FormatLogLayout("%r ms %q %% %", f), "1234 ms %q %% %");
    EXPECT_EQ(FormatLogLayout("", f), "");
    EXPECT_EQ(FormatLogLayout("%d%d", f), "2016.04.25 09.05.072016.04.25 09.05.07");
}

TEST(LogLayout, ReplaceAllResumesAfterInsertedText) {
    std::string text = "%a%a";
    ReplaceAllTokens(text, "%a", "%a%a");
    EXPECT_EQ(text, "%a%a%a%a");
    text = "xx";
    ReplaceAllTokens(text, "x", "");
    EXPECT_EQ(text, "");
}

TEST(OldLogs, TwentyFourHoursIsOldAndAMinuteLessIsNot) {
    const uint64_t now = 133000000000000000ULL;
    const uint64_t minute = 600000000ULL;
    EXPECT_TRUE(IsOldLogFile(now, now - kOldLogAge));
    EXPECT_TRUE(IsOldLogFile(now, now - kOldLogAge - 1));
    EXPECT_FALSE(IsOldLogFile(now, now - kOldLogAge + 1));
    EXPECT_FALSE(IsOldLogFile(now, now - (kOldLogAge - minute)));
    EXPECT_FALSE(IsOldLogFile(now, now));
}

TEST(OldLogs, AFileStampedInTheFutureIsKept) {
    const uint64_t now = 133000000000000000ULL;
    EXPECT_FALSE(IsOldLogFile(now, now + 1));
    EXPECT_FALSE(IsOldLogFile(now, now + 10 * kOldLogAge));
}

TEST(OldLogs, FolderPrefixTakesTheLaterSeparator) {
    EXPECT_EQ(LogFolderPrefix(std::string("log/launcher*.log")), "log/");
    EXPECT_EQ(LogFolderPrefix(std::string("a\\b/c\\launcher*.log")), "a\\b/c\\");
    EXPECT_EQ(LogFolderPrefix(std::string("a/b\\c/x")), "a/b\\c/");
    EXPECT_EQ(LogFolderPrefix(std::string("launcher*.log")), "");
    EXPECT_EQ(LogFolderPrefix(std::wstring(L"log/launcher*.log")), L"log/");
}

TEST(OldLogs, PathIsCutToMaxPath) {
    EXPECT_EQ(OldLogPath(L"log/", L"launcher_1.log"), L"log/launcher_1.log");
    const std::wstring longName(400, L'x');
    EXPECT_EQ(OldLogPath(L"log/", longName).size(), 259u);
}

}  // namespace
