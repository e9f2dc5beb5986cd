// The game window's decisions apart from its window: the login host's
// pages, and where a maximised window goes for each place of the taskbar.
#include "game/GameWindow.h"

#include <gtest/gtest.h>

#include <string>

#include "LauncherConfig.h"

namespace {

using SkinUI::TRect;

const std::wstring kLogin = std::wstring(L"http://") + LAUNCHER_LOGIN_HOST;

TEST(GameWindowDecisions, LoginHostPagesAreFoundAnywhereInAnyLetterCase) {
    std::wstring upper = kLogin;
    for (wchar_t& c : upper) c = (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - 32) : c;
    EXPECT_TRUE(IsLoginHostPage(kLogin + L"/enter.html?server=12"));
    EXPECT_TRUE(IsLoginHostPage(upper + L"/Enter.html"));
    EXPECT_TRUE(IsLoginHostPage(L"http://game.example/play?back=" + kLogin));
    EXPECT_FALSE(IsLoginHostPage(L"https://" + std::wstring(LAUNCHER_LOGIN_HOST) + L"/"));
    EXPECT_FALSE(IsLoginHostPage(L"http://www.example/" + std::wstring(LAUNCHER_LOGIN_HOST)));
    EXPECT_FALSE(IsLoginHostPage(L""));
}

TEST(GameWindowDecisions, AMaximizedWindowCoversTheWorkAreaWhereverTheTaskbarIs) {
    const TRect screen{0, 0, 1600, 1000};
    const struct {
        const char* taskbar;
        TRect work;
    } rows[] = {
        {"bottom", {0, 0, 1600, 960}},
        {"top", {0, 40, 1600, 1000}},
        {"left", {60, 0, 1600, 1000}},
        {"right", {0, 0, 1540, 1000}},
        {"none", {0, 0, 1600, 1000}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.taskbar);
        const MaximizedPlacement placement = MaximizedPlacementFor(screen, row.work);
        EXPECT_EQ(placement.position.x, row.work.left);
        EXPECT_EQ(placement.position.y, row.work.top);
        EXPECT_EQ(placement.size, (SkinUI::TSize{row.work.Width(), row.work.Height()}));
    }
    // On a second monitor the position is the monitor's own.
    const MaximizedPlacement second =
        MaximizedPlacementFor(TRect{1600, -200, 2880, 824}, TRect{1600, -200, 2880, 784});
    EXPECT_EQ(second.position.x, 0);
    EXPECT_EQ(second.position.y, 0);
    EXPECT_EQ(second.size, (SkinUI::TSize{1280, 984}));
}

}  // namespace
