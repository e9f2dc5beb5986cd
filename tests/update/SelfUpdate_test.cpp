// The self-update's decisions: which remote version starts a download, what
// the progress text says, the replacement script's shape and the command
// that starts it.
#include "update/SelfUpdate.h"

#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

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

TEST(SelfUpdate, Urls) {
    EXPECT_EQ(VersionFileUrl(L"res.example"), L"http://res.example/launcher2/launcher.ver");
    EXPECT_EQ(PackageUrl(L"res.example", L"2016-05-01"),
              L"http://res.example/launcher2/2016-05-01/launcherqamb.exe.lzma");
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

std::vector<std::string> ScriptLines() {
    const std::string script = SelfUpdateScript();
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < script.size()) {
        const size_t end = script.find("\r\n", start);
        if (end == std::string::npos) {
            ADD_FAILURE() << "text after the last line end: " << script.substr(start);
            break;
        }
        lines.push_back(script.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

TEST(SelfUpdate, ScriptShape) {
    const std::string script = SelfUpdateScript();
    for (size_t i = 0; i < script.size(); ++i) {
        if (script[i] == '\n') {
            EXPECT_EQ(script[i - 1], '\r') << "bare LF at " << i;
        }
    }
    const std::vector<std::string> lines = ScriptLines();
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[0], "echo %*");
    EXPECT_EQ(lines[1], "taskkill /F /IM LauncherQAMB.exe");
    EXPECT_EQ(lines[2], "if not exist qmtemp\\LauncherQAMB.exe goto end");
    EXPECT_EQ(lines.back(), "start LauncherQAMB.exe %*");

    // Every jump lands on a label, and the loop back has a pause and a bound.
    std::set<std::string> labels;
    std::map<std::string, size_t> labelLine;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (!lines[i].empty() && lines[i][0] == ':') {
            labels.insert(lines[i].substr(1));
            labelLine[lines[i].substr(1)] = i;
        }
    }
    const std::regex jump(R"(goto (\w+)$)");
    bool pauseBeforeLoop = false;
    bool boundBeforeLoop = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        std::smatch m;
        if (!std::regex_search(lines[i], m, jump)) continue;
        ASSERT_TRUE(labels.count(m[1])) << lines[i];
        if (labelLine[m[1]] < i) {  // backwards: the retry loop
            for (size_t j = labelLine[m[1]]; j < i; ++j) {
                pauseBeforeLoop |= lines[j].rfind("ping -n 2 127.0.0.1", 0) == 0;
                boundBeforeLoop |= lines[j].find("if %tries% geq " +
                                                 std::to_string(kSelfUpdateSwapTries) +
                                                 " goto end") != std::string::npos;
            }
        }
    }
    EXPECT_TRUE(pauseBeforeLoop);
    EXPECT_TRUE(boundBeforeLoop);
    // The old executable is never deleted: the move replaces it or nothing.
    for (const std::string& line : lines) {
        EXPECT_EQ(line.rfind("del ", 0), std::string::npos) << line;
    }
    EXPECT_NE(script.find("move /Y qmtemp\\LauncherQAMB.exe .\\\r\n"), std::string::npos);
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
