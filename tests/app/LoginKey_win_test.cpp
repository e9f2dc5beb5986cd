// The login-key road under Wine against the dev portal's service: the URL
// built for a key, fetched as the application controller fetches it (one
// attempt, into memory), and the reply turned into what the controller
// does: hand a game address to the game session or show the main page.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "LauncherConfig.h"
#include "app/Login.h"
#include "common/UrlDecode.h"
#include "support/WinTestSupport_win.h"
#include "update/HttpClient.h"

namespace {

struct Fetched {
    bool requested = false;
    std::string address;  // decoded, as the controller's OnLoginUrl sees it
};

Fetched FetchForKey(const std::wstring& key) {
    Fetched result;
    std::wstring url;
    if (!BuildLoginKeyUrl(key, LAUNCHER_LOGIN_KEY_DOMAIN, &url)) return result;
    HttpClient client;
    client.SetUrl(url);
    result.requested = client.Start() && client.WaitIdle(30000);
    result.address = UrlDecode(LoginAddressFromReply(client.GetContent()));
    return result;
}

TEST(LoginKeyWin, EveryReplyEndsInAGameAddressOrTheMainPage) {
    const struct {
        const wchar_t* key;
        const char* address;  // nullptr: the main page is shown
    } rows[] = {
        {L"12.json", "http://game.torvessa.example/play?sid=12&mode=json"},
        {L"3.bare", "http://game.torvessa.example/play?sid=3&mode=bare"},
        {L"4.empty", nullptr},
        {L"5.missing", nullptr},
        {L"6.status503", nullptr},
        {L"nodot", "http://game.torvessa.example/play?sid=&mode="},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(row.key)));
        const Fetched fetched = FetchForKey(row.key);
        ASSERT_TRUE(fetched.requested);
        EXPECT_EQ(IsGameAddress(fetched.address), row.address != nullptr) << fetched.address;
        if (row.address) {
            EXPECT_EQ(fetched.address, row.address);
        }
    }
}

TEST(LoginKeyWin, TheKeyArrivesWholeAndTheSidStaysOutOfOtherHosts) {
    const Fetched fetched = FetchForKey(L"7.json&uid=1#frag x");
    ASSERT_TRUE(fetched.requested);
    EXPECT_TRUE(IsGameAddress(fetched.address));
    const auto logged = testsupport::LoggedRequests("s7.torvessa.example");
    ASSERT_FALSE(logged.empty());
    EXPECT_NE(logged.back().find("\"query\": \"sid=7&key=7.json%26uid=1%23frag%20x\""),
              std::string::npos)
        << logged.back();

    const size_t before = testsupport::LoggedRequests("geturl").size();
    EXPECT_FALSE(FetchForKey(L"1@evil.example:80/x.k").requested);
    EXPECT_EQ(testsupport::LoggedRequests("geturl").size(), before);
}

}  // namespace
