// The login-key request under Wine against the dev portal's service: the URL
// built for a key reaches the service through WinINet as it was encoded, and
// the reply reads as a game address. Which reply leads where is the native
// test's (Login_test.cpp) and the real launcher's (GameClose_e2e_test.cpp).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "LauncherConfig.h"
#include "app/Login.h"
#include "common/UrlDecode.h"
#include "support/WinTestSupport_win.h"
#include "update/HttpClient.h"

namespace {

TEST(LoginKeyWin, TheKeyArrivesWholeThroughWinInet) {
    std::wstring url;
    ASSERT_TRUE(BuildLoginKeyUrl(L"7.json&uid=1#frag x", LAUNCHER_LOGIN_KEY_DOMAIN, &url));
    // Fetched as the application controller fetches it: one attempt, into
    // memory, no receiver.
    HttpClient client;
    client.SetUrl(url);
    ASSERT_TRUE(client.Start());
    ASSERT_TRUE(client.WaitIdle(30000));
    EXPECT_TRUE(IsGameAddress(UrlDecode(LoginAddressFromReply(client.GetContent()))))
        << client.GetContent();
    const auto logged = testsupport::LoggedRequests("s7.torvessa.example");
    ASSERT_FALSE(logged.empty());
    EXPECT_NE(logged.back().find("\"query\": \"sid=7&key=7.json%26uid=1%23frag%20x\""),
              std::string::npos)
        << logged.back();
}

}  // namespace
