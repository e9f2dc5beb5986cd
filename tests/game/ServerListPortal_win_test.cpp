// The portal's select-server page, fetched over real HTTP through the
// launcher's downloader (the dev portal is the prefix's proxy), read by the
// test browser's page reader as the main window's hidden browser reads it,
// and its body parsed on the Windows runtime: each variant of the page gives
// the list the player would see.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "LauncherConfig.h"
#include "game/ServerList.h"
#include "tools/testbrowser/HtmlPage.h"
#include "update/HttpClient.h"

namespace {

// The text between the body tags of the browser's outer HTML, as the main
// window hands it over; "<none>" when the page did not arrive.
std::string FetchBody(const char* variant) {
    HttpClient client;
    client.SetUrl(L"http://" LAUNCHER_PORTAL_HOST L"/wd_qamb/select_server.html?v=" +
                  std::to_wstring(static_cast<int>(GetTickCount())) + L"&variant=" +
                  std::wstring(variant, variant + strlen(variant)));
    if (!client.Start() || !client.WaitIdle(30000)) return "<none>";
    const std::string page = testbrowser::ParseHtml(client.GetContent()).bodyOuterHtml;
    const size_t open = page.find("<BODY>");
    const size_t close = page.find("</BODY>");
    if (open == std::string::npos || close == std::string::npos || close < open) return "<none>";
    return page.substr(open + 6, close - open - 6);
}

TEST(ServerListPortal, NumbersAsIntegersOrStringsSelectTheSameServer) {
    for (const char* variant : {"integers", "strings"}) {
        SCOPED_TRACE(variant);
        ServerListInfo info;
        ASSERT_TRUE(info.ParseJson(FetchBody(variant)));
        EXPECT_EQ(info.userName, L"\u96fe\u6e2f\u65c5\u4eba");
        EXPECT_EQ(info.currentServerNumber, 12);
        EXPECT_EQ(info.currentServerName, L"12\u533a \u96fe\u6e2f");
        ASSERT_EQ(info.servers.size(), 3u);
        EXPECT_EQ(info.servers[1].number, 12);
        EXPECT_EQ(info.servers[2].name, L"13\u533a \u5317\u5cad");
        EXPECT_EQ(info.servers[0].url,
                  L"http://" LAUNCHER_PORTAL_GAME_HOST L"/wd_qamb/game.html?server=11");
    }
}

TEST(ServerListPortal, EachOtherVariantReadsAsThePlayerWouldSeeIt) {
    ServerListInfo info;
    ASSERT_TRUE(info.ParseJson(FetchBody("absent")));
    EXPECT_EQ(info.currentServerNumber, 9);
    for (const ServerEntry& server : info.servers) EXPECT_NE(server.number, 9);

    ASSERT_TRUE(info.ParseJson(FetchBody("nourl")));
    ASSERT_EQ(info.servers.size(), 3u);
    EXPECT_EQ(info.servers[1].url, L"");
    EXPECT_NE(info.servers[0].url, L"");

    ASSERT_TRUE(info.ParseJson(FetchBody("nulldata")));
    EXPECT_EQ(info.userName, L"");
    EXPECT_TRUE(info.servers.empty());

    for (const char* failing : {"notjson", "array"}) {
        ASSERT_TRUE(info.ParseJson(FetchBody("integers")));
        EXPECT_FALSE(info.ParseJson(FetchBody(failing))) << failing;
        EXPECT_TRUE(info.servers.empty()) << failing;
    }
    // What the main window sends on (a body of "[]") or not (an empty one).
    EXPECT_EQ(FetchBody("empty"), "");
    EXPECT_EQ(FetchBody("array"), "[]");
}

}  // namespace
