// The main page window's decisions about portal addresses and the
// select-server page's body, as the portal and the browser write them.
#include "app/MainPage.h"

#include <gtest/gtest.h>

#include "LauncherConfig.h"

namespace {

const std::wstring kPortal = std::wstring(L"http://") + LAUNCHER_PORTAL_HOST;
const std::wstring kGame = std::wstring(L"http://") + LAUNCHER_PORTAL_GAME_HOST;

std::wstring Upper(std::wstring text) {
    for (wchar_t& c : text) {
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    }
    return text;
}

TEST(MainPage, GameStartAddressesAreFoundAnywhereInAnyLetterCase) {
    const std::wstring caught[] = {
        kPortal + L"/playgame",
        kPortal + L"/playgame?server=12&user=x",
        Upper(kPortal) + L"/PlayGame?Server=12",
        L"hTTp://" + Upper(std::wstring(LAUNCHER_PORTAL_HOST)) + L"/PLAYGAME",
        // As a parameter of another page.
        kPortal + L"/wd_qamb/jump.html?to=" + kPortal + L"/playgame?server=13",
        L"http://elsewhere.example/?next=" + kPortal + L"/playgame",
        kGame + L"/redirect/quick.html",
        Upper(kGame) + L"/Redirect/Quick.HTML?server=11",
    };
    for (const auto& address : caught) {
        EXPECT_TRUE(IsGameStartAddress(address)) << std::string(address.begin(), address.end());
    }
    const std::wstring passed[] = {
        kPortal + L"/wd_qamb.html",
        kPortal + L"/play",
        kPortal + L"/wd_qamb/playgame",     // another path on the portal
        kGame + L"/playgame",               // the game host has no game start
        kPortal + L"/redirect/quick.html",  // nor the portal a quick start
        L"https://" + std::wstring(LAUNCHER_PORTAL_HOST) + L"/playgame",
        // Percent-encoded inside a query it is not the address.
        kPortal + L"/jump?to=http%3A%2F%2F" + std::wstring(LAUNCHER_PORTAL_HOST) + L"%2Fplaygame",
        L"",
        L"about:blank",
    };
    for (const auto& address : passed) {
        EXPECT_FALSE(IsGameStartAddress(address)) << std::string(address.begin(), address.end());
    }
    // Only ASCII letters fold: a fullwidth letter is another character.
    EXPECT_FALSE(IsGameStartAddress(kPortal + L"/\uFF30laygame"));
}

TEST(MainPage, TheServerListIsTheTextBetweenTheFirstBodyTags) {
    std::string list = "kept";
    EXPECT_TRUE(ExtractServerList("<BODY>[]</BODY>", &list));
    EXPECT_EQ(list, "[]");
    EXPECT_TRUE(ExtractServerList("<html><BODY>{\"a\":\"</b>\"}</BODY></BODY>x", &list));
    EXPECT_EQ(list, "{\"a\":\"</b>\"}");
    EXPECT_TRUE(ExtractServerList("<BODY><BODY>x</BODY>", &list));
    EXPECT_EQ(list, "<BODY>x");
    EXPECT_TRUE(ExtractServerList("<BODY>\xe9\x9b\xbe\xe6\xb8\xaf</BODY>", &list));
    EXPECT_EQ(list, "\xe9\x9b\xbe\xe6\xb8\xaf");
    EXPECT_TRUE(ExtractServerList("<BODY>\n[]\n</BODY>", &list));
    EXPECT_EQ(list, "\n[]\n") << "handed on as it stands";

    list = "kept";
    for (const char* body :
         {"<BODY></BODY>", "<BODY>\r\n \t</BODY>", "", "<BODY>", "[]</BODY>", "</BODY>[]<BODY>",
          "<body>[]</body>", "<BODY >[]</BODY>", "</BODY><BODY>[]</BODY>"}) {
        EXPECT_FALSE(ExtractServerList(body, &list)) << body;
        EXPECT_EQ(list, "kept") << body;
    }
}

TEST(MainPage, TheSelectServerNumberKeepsItsSign) {
    // A tick count past 2^31 milliseconds reads as negative.
    EXPECT_EQ(ServerListPage(static_cast<int32_t>(0xFFFFFFF6u)),
              kPortal + L"/wd_qamb/select_server.html?v=-10");
}

}  // namespace
