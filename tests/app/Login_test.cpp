// The application controller's login decisions: the road "-LoginUrl:"
// takes, the login-key URL with its sid rule and encoding, the address in
// the service's reply and what counts as a game address.
#include "app/Login.h"

#include <gtest/gtest.h>

#include <string>

#include "common/UrlDecode.h"

namespace {

TEST(Login, RoadByTheOption) {
    EXPECT_EQ(ChooseLogin(nullptr).route, LoginRoute::kMainPage);
    const struct {
        const wchar_t* value;
        LoginRoute route;
        const wchar_t* text;
    } rows[] = {
        {L"?url=http%3A%2F%2Fgame%2Fplay%3Fa%3D1", LoginRoute::kGameAddress,
         L"http%3A%2F%2Fgame%2Fplay%3Fa%3D1"},
        {L"?url=", LoginRoute::kGameAddress, L""},
        {L"?url=a?url=b", LoginRoute::kGameAddress, L"a?url=b"},
        {L"12.abcdef", LoginRoute::kLoginKey, L"12.abcdef"},
        {L"12.x?url=http://a", LoginRoute::kLoginKey, L"12.x?url=http://a"},  // not at the start
        {L" ?url=http://a", LoginRoute::kLoginKey, L" ?url=http://a"},
        {L"?URL=http://a", LoginRoute::kLoginKey, L"?URL=http://a"},
        {L"", LoginRoute::kLoginKey, L""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(row.value)));
        CommandLineOption option{row.value, true};
        const LoginChoice choice = ChooseLogin(&option);
        EXPECT_EQ(choice.route, row.route);
        EXPECT_EQ(choice.text, row.text);
    }
}

TEST(Login, GameAddressFromTheCommandLineIsDecoded) {
    CommandLineOption option{L"?url=http%3A%2F%2Fgame.example%2Fplay%3Fuser%3Da+b%26sid%3D3", true};
    const LoginChoice choice = ChooseLogin(&option);
    const std::string narrow(choice.text.begin(), choice.text.end());
    const std::string decoded = UrlDecode(narrow);
    EXPECT_EQ(decoded, "http://game.example/play?user=a b&sid=3");
    EXPECT_TRUE(IsGameAddress(decoded));
}

TEST(Login, LoginKeyUrl) {
    const std::wstring domain = L"torvessa.example";
    const struct {
        const wchar_t* key;
        const wchar_t* url;  // nullptr: no request
    } rows[] = {
        {L"12.abcdef", L"http://s12.torvessa.example:8075/geturl?sid=12&key=12.abcdef"},
        {L"abcdef", L"http://s.torvessa.example:8075/geturl?sid=&key=abcdef"},
        {L"", L"http://s.torvessa.example:8075/geturl?sid=&key="},
        {L"7.a.b.c", L"http://s7.torvessa.example:8075/geturl?sid=7&key=7.a.b.c"},
        {L"a-9.k", L"http://sa-9.torvessa.example:8075/geturl?sid=a-9&key=a-9.k"},
        // Characters that would end the query, start a parameter or decode
        // as something else go in encoded; harmless ones as they are.
        {L"3.a&b=c#d", L"http://s3.torvessa.example:8075/geturl?sid=3&key=3.a%26b=c%23d"},
        {L"3.a+b%41 c", L"http://s3.torvessa.example:8075/geturl?sid=3&key=3.a%2Bb%2541%20c"},
        {L"3.~_-!*'()/?:@", L"http://s3.torvessa.example:8075/geturl?sid=3&key=3.~_-!*'()/?:@"},
        {L"3.\u00e9\u4e2d", L"http://s3.torvessa.example:8075/geturl?sid=3&key=3.%C3%A9%E4%B8%AD"},
        {L"3.\r\n\"<>\\^`{|}",
         L"http://s3.torvessa.example:8075/geturl?sid=3&key=3.%0D%0A%22%3C%3E%5C%5E%60%7B%7C%7D"},
        // A sid that is not a plain host label never reaches the host name.
        {L"evil.example/x.k",
         L"http://sevil.torvessa.example:8075/geturl?sid=evil&key=evil.example/x.k"},
        {L"evil/x.k", nullptr},
        {L"1:80@evil.k", nullptr},
        {L"a b.k", nullptr},
        {L"a_b.k", nullptr},
        {L"\u00e9.k", nullptr},
        {L"/.k", nullptr},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(row.key)));
        std::wstring url = L"unchanged";
        EXPECT_EQ(BuildLoginKeyUrl(row.key, domain, &url), row.url != nullptr);
        EXPECT_EQ(url, row.url ? row.url : L"unchanged");
    }
}

TEST(Login, LoginKeyUrlLimits) {
    const std::wstring domain = L"torvessa.example";
    std::wstring url;
    // "s" and the sid make one host label of at most 63 characters.
    EXPECT_TRUE(BuildLoginKeyUrl(std::wstring(62, L'1') + L".k", domain, &url));
    EXPECT_FALSE(BuildLoginKeyUrl(std::wstring(63, L'1') + L".k", domain, &url));

    // The URL must fit 512 characters with its terminating NUL.
    const std::wstring head = L"http://s1.torvessa.example:8075/geturl?sid=1&key=";
    const std::wstring fits = L"1." + std::wstring(511 - head.size() - 2, L'k');
    ASSERT_TRUE(BuildLoginKeyUrl(fits, domain, &url));
    EXPECT_EQ(url.size(), 511u);
    EXPECT_FALSE(BuildLoginKeyUrl(fits + L"k", domain, &url));
    // Encoding counts: one "&" is three characters in the URL.
    EXPECT_FALSE(BuildLoginKeyUrl(fits.substr(0, fits.size() - 1) + L"&", domain, &url));
}

TEST(Login, AddressInTheReply) {
    const struct {
        std::string body;
        std::string address;
    } rows[] = {
        {R"({"url": "http://game.example/play?sid=1"})", "http://game.example/play?sid=1"},
        {"{\n  // comment\n  \"url\": \"http://g/p\" /* more */\n}", "http://g/p"},
        {R"({"url": ""})", R"({"url": ""})"},
        {R"({"result": 1})", R"({"result": 1})"},
        {R"({"url": 5})", R"({"url": 5})"},
        {R"({"url": {"a": 1}})", R"({"url": {"a": 1}})"},
        {R"(["url", "http://g"])", R"(["url", "http://g"])"},
        {R"("http://g")", R"("http://g")"},
        {"http%3A%2F%2Fgame.example%2Fplay", "http%3A%2F%2Fgame.example%2Fplay"},
        {"{\"url\": \"http://g\"", "{\"url\": \"http://g\""},  // cut short
        {"", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.body);
        EXPECT_EQ(LoginAddressFromReply(row.body), row.address);
    }
    // Nested deeper than the JSON reader goes (it throws): no JSON of ours.
    const std::string deep = std::string(2000, '[') + std::string(2000, ']');
    EXPECT_EQ(LoginAddressFromReply(deep), deep);
}

TEST(Login, WhatTheGameSessionTakes) {
    EXPECT_TRUE(IsGameAddress("http://game.example/play"));
    EXPECT_TRUE(IsGameAddress("https://game.example/play"));
    EXPECT_TRUE(IsGameAddress("http"));
    EXPECT_FALSE(IsGameAddress("{\"url\": \"\"}"));
    EXPECT_FALSE(IsGameAddress("HTTP://game.example"));
    EXPECT_FALSE(IsGameAddress(" http://game.example"));
    EXPECT_FALSE(IsGameAddress("htt"));
    EXPECT_FALSE(IsGameAddress(""));
}

}  // namespace
