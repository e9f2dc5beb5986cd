#include "game/ServerList.h"

#include <gtest/gtest.h>
#include <json/reader.h>

#include <climits>
#include <memory>
#include <sstream>

#include "support/RecordingAppender.h"

namespace {

using testsupport::RecordingAppender;

// The portal's list with the numbers as integers or as strings: both must
// give the same info.
std::string PortalList(bool numbersAsStrings) {
    auto number = [&](const char* n) {
        std::string text = n;
        return numbersAsStrings ? '"' + text + '"' : text;
    };
    return R"({"status": 1, "message": "ok", "data": {
        "user_name": "\u96fe\u6e2f\u65c5\u4eba",
        "current": {"server_name": "12区 雾港", "server_number": )" +
           number("12") + R"(},
        "allserver": [
            {"server_number": )" +
           number("11") + R"(, "server_name": "11区 青石渡", "server_url": "http://g.example/11"},
            {"server_number": )" +
           number("12") + R"(, "server_name": "12区 雾港", "server_url": "http://g.example/12"}
        ]}})";
}

class ServerListTest : public testing::Test {
protected:
    void SetUp() override {
        QLogger::Shutdown();
        QLogger::AddAppender(std::make_unique<RecordingAppender>(&lines_));
    }
    void TearDown() override { QLogger::Shutdown(); }

    static void ExpectEmpty(const ServerListInfo& info) {
        EXPECT_EQ(info.userName, L"");
        EXPECT_EQ(info.currentServerName, L"");
        EXPECT_EQ(info.currentServerNumber, 0);
        EXPECT_TRUE(info.servers.empty());
    }

    // The number that |json| (a JSON value) gives as a server's number.
    static int32_t ServerNumberOf(const std::string& json) {
        ServerListInfo info;
        EXPECT_TRUE(info.ParseJson(R"({"data": {"allserver": [{"server_number": )" + json + "}]}}"))
            << json;
        return info.servers.empty() ? -1 : info.servers[0].number;
    }

    std::vector<std::string> lines_;
};

TEST_F(ServerListTest, NumbersAsIntegersOrStringsGiveTheSameList) {
    for (bool strings : {false, true}) {
        SCOPED_TRACE(strings ? "strings" : "integers");
        ServerListInfo info;
        ASSERT_TRUE(info.ParseJson(PortalList(strings)));
        EXPECT_EQ(info.userName, L"\u96fe\u6e2f\u65c5\u4eba");
        EXPECT_EQ(info.currentServerName, L"12\u533a \u96fe\u6e2f");
        EXPECT_EQ(info.currentServerNumber, 12);
        ASSERT_EQ(info.servers.size(), 2u);
        EXPECT_EQ(info.servers[0].number, 11);
        EXPECT_EQ(info.servers[0].name, L"11\u533a \u9752\u77f3\u6e21");
        EXPECT_EQ(info.servers[0].url, L"http://g.example/11");
        EXPECT_EQ(info.servers[1].number, 12);
        EXPECT_EQ(info.servers[1].url, L"http://g.example/12");
    }
}

TEST_F(ServerListTest, CommentsAreAllowed) {
    ServerListInfo info;
    ASSERT_TRUE(info.ParseJson(R"(// the portal's list
        {"data": { /* who */ "user_name": "p1",
                   "current": {"server_number": 7 // trailing
                   }}})"));
    EXPECT_EQ(info.userName, L"p1");
    EXPECT_EQ(info.currentServerNumber, 7);
}

TEST_F(ServerListTest, FailuresLeaveEverythingEmptyAndAreLogged) {
    const char* const kRejected[] = {"",
                                     "not json at all",
                                     "{\"data\": {\"user_name\": \"cut",
                                     "[]",
                                     "\"data\"",
                                     "12",
                                     "true",
                                     "null",
                                     R"({"status": 0, "message": "login first"})",
                                     R"({"data": []})",
                                     R"({"data": "x"})",
                                     R"({"data": 3})",
                                     R"([{"data": {}}])"};
    for (const char* text : kRejected) {
        SCOPED_TRACE(text);
        ServerListInfo info;
        ASSERT_TRUE(info.ParseJson(PortalList(false)));
        lines_.clear();
        EXPECT_FALSE(info.ParseJson(text));
        ExpectEmpty(info);
        ASSERT_EQ(lines_.size(), 1u);
        EXPECT_EQ(lines_[0].rfind("Warning|ServerListInfo::ParseJson:", 0), 0u) << lines_[0];
    }
}

TEST_F(ServerListTest, NestingBeyondTheReadersLimitFailsCleanly) {
    const std::string deep = std::string(5000, '[') + std::string(5000, ']');
    ServerListInfo info;
    EXPECT_FALSE(info.ParseJson(R"({"data": {"allserver": )" + deep + "}}"));
    ExpectEmpty(info);
    std::string objects;
    for (int i = 0; i < 3000; ++i) objects += "{\"a\":";
    EXPECT_FALSE(info.ParseJson(objects + "1" + std::string(3000, '}')));
}

TEST_F(ServerListTest, NullDataAndMissingMembersAreEmptyNotErrors) {
    ServerListInfo info;
    info.ParseJson(PortalList(false));
    EXPECT_TRUE(info.ParseJson(R"({"status": 1, "data": null})"));
    ExpectEmpty(info);

    ASSERT_TRUE(info.ParseJson(R"({"data": {"allserver": [
        {"server_number": 3, "server_name": "no url"}, {}]}})"));
    EXPECT_EQ(info.currentServerNumber, 0);
    ASSERT_EQ(info.servers.size(), 2u);
    EXPECT_EQ(info.servers[0].name, L"no url");
    EXPECT_EQ(info.servers[0].url, L"");
    EXPECT_EQ(info.servers[1].number, 0);
    EXPECT_TRUE(lines_.empty());
}

TEST_F(ServerListTest, ElementsThatAreNotObjectsAreListedEmpty) {
    ServerListInfo info;
    ASSERT_TRUE(info.ParseJson(R"({"data": {"allserver": [
        null, "12", 12, true, [{"server_number": 5}], {"server_number": 6}]}})"));
    ASSERT_EQ(info.servers.size(), 6u);
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(info.servers[i].number, 0) << i;
        EXPECT_EQ(info.servers[i].name, L"") << i;
        EXPECT_EQ(info.servers[i].url, L"") << i;
    }
    EXPECT_EQ(info.servers[5].number, 6);

    // "allserver" that is not an array lists nothing, and the parse stands.
    for (const char* all : {"null", "{\"server_number\": 1}", "\"x\"", "7"}) {
        EXPECT_TRUE(info.ParseJson(R"({"data": {"user_name": "u", "allserver": )" +
                                   std::string(all) + "}}"))
            << all;
        EXPECT_TRUE(info.servers.empty()) << all;
        EXPECT_EQ(info.userName, L"u");
    }
}

TEST_F(ServerListTest, NumbersReadLikeAtoiAndSaturateBeyond32Bits) {
    const struct {
        const char* json;
        int32_t number;
    } kCases[] = {{"42", 42},
                  {"\"42\"", 42},
                  {"\" \\t\\n42\"", 42},
                  {"\"+42\"", 42},
                  {"\"-42\"", -42},
                  {"-42", -42},
                  {"\"42abc\"", 42},
                  {"\"abc\"", 0},
                  {"\"- 4\"", 0},
                  {"\"\"", 0},
                  {"12.9", 12},
                  {"true", 0},
                  {"{}", 0},
                  {"null", 0},
                  {"2147483647", INT_MAX},
                  {"2147483648", INT_MAX},
                  {"-2147483648", INT_MIN},
                  {"-2147483649", INT_MIN},
                  {"18446744073709551615", INT_MAX},
                  {"\"99999999999999999999999999\"", INT_MAX},
                  {"\"-99999999999999999999999999\"", INT_MIN},
                  {"1e300", 1}};
    for (const auto& c : kCases) EXPECT_EQ(ServerNumberOf(c.json), c.number) << c.json;
}

TEST_F(ServerListTest, ValuesOfAnotherTypeBecomeTheWritersText) {
    ServerListInfo info;
    ASSERT_TRUE(info.ParseJson(R"({"data": {"user_name": 12,
        "current": {"server_name": true},
        "allserver": [{"server_name": false, "server_url": [1]}]}})"));
    EXPECT_EQ(info.userName, L"12\n");
    EXPECT_EQ(info.currentServerName, L"true");
    ASSERT_EQ(info.servers.size(), 1u);
    EXPECT_EQ(info.servers[0].name, L"false");
    EXPECT_EQ(info.servers[0].url, L"[ 1 ]\n");
}

TEST_F(ServerListTest, ASecondListReplacesTheFirstEntirely) {
    ServerListInfo info;
    ASSERT_TRUE(info.ParseJson(PortalList(false)));
    ASSERT_TRUE(info.ParseJson(R"({"data": {"current": {"server_name": "9"},
        "allserver": [{"server_number": 9}]}})"));
    EXPECT_EQ(info.userName, L"");
    EXPECT_EQ(info.currentServerNumber, 0);
    EXPECT_EQ(info.currentServerName, L"9");
    ASSERT_EQ(info.servers.size(), 1u);
    EXPECT_EQ(info.servers[0].number, 9);
}

Json::Value ParseValue(const std::string& text) {
    Json::Value value;
    std::string errors;
    std::istringstream in(text);
    EXPECT_TRUE(Json::parseFromStream(Json::CharReaderBuilder(), in, &value, &errors)) << text;
    return value;
}

TEST(GetJsonString, DottedPathsAndTheColonSuffix) {
    const Json::Value value = ParseValue(R"({"a": {"b": {"c": "deep"}, "n": null, "s": "x"},
        "a.b": "dotted", "t": "top", "t:x": "colon", "": "empty name"})");
    std::string text;
    EXPECT_TRUE(GetJsonString(value, "a.b.c", "d", text));
    EXPECT_EQ(text, "deep");
    // Only the last name loses its ":" suffix, and dots split first.
    EXPECT_TRUE(GetJsonString(value, "a.b.c:ignored", "d", text));
    EXPECT_EQ(text, "deep");
    EXPECT_FALSE(GetJsonString(value, "a.b.c:ignored.c", "d", text));
    EXPECT_TRUE(GetJsonString(value, "t:x", "d", text));
    EXPECT_EQ(text, "top");
    EXPECT_FALSE(GetJsonString(value, "a:x.b.c", "d", text));
    EXPECT_TRUE(GetJsonString(value, "", "d", text));
    EXPECT_EQ(text, "empty name");
    // A member whose name holds a dot cannot be reached: "a.b" is "b" in
    // "a", an object, which is written out.
    EXPECT_TRUE(GetJsonString(value, "a.b", "d", text));
    EXPECT_EQ(text, "{\n   \"c\" : \"deep\"\n}\n");
}

TEST(GetJsonString, MissingNullAndNonObjectsGiveTheDefault) {
    const Json::Value value = ParseValue(R"({"a": {"n": null, "s": "x", "l": [{"k": 1}]}})");
    for (const char* path : {"b", "a.m", "a.n", "a.n.k", "a.s.k", "a.l.k", "a.l.0", "a..s"}) {
        std::string text = "before";
        EXPECT_FALSE(GetJsonString(value, path, "dflt", text)) << path;
        EXPECT_EQ(text, "dflt") << path;
    }
    std::string text;
    for (const char* root : {"[1, 2]", "\"s\"", "5", "false", "null"}) {
        EXPECT_FALSE(GetJsonString(ParseValue(root), "a", "", text)) << root;
    }
}

}  // namespace
