// The seven layouts from the embedded skin package, each shown in a real
// window and read back from the screen: sampled pixels and control
// rectangles must be what the art and the layout say. With
// LAUNCHER_SCREENSHOT_DIR set (a Unix folder) each capture is also saved
// there as a BMP, for a person to look at.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>

#include "support/ScreenCapture_win.h"
#include "support/UiTestHost_win.h"
#include "support/WinTestSupport_win.h"
#include "ui/controls/Combo.h"
#include "ui/controls/Label.h"
#include "ui/controls/Progress.h"
#include "ui/paint/GdiCanvas_win.h"
#include "ui/skin/ModuleInstance_win.h"
#include "ui/window/WindowHost_win.h"

namespace {

using SkinUI::TRect;
using testsupport::Luma;
using testsupport::ScreenCapture;
using testsupport::UiTestHost;

class SkinWindowsScreen : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        SkinUI::SetModuleInstance(GetModuleHandleW(nullptr));
        ASSERT_TRUE(SkinUI::CWindowManagerUI::LoadSkinPackageFromResource(129));
    }
};

TEST_F(SkinWindowsScreen, ChangeServerPopupReadsBlackOnItsLightBoxAndShowsChinese) {
    UiTestHost host(L"changeserver.xml", 0, 0);
    auto* combo = host.Find<SkinUI::CComboUI>(L"serverlist");
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->GetPos(), (TRect{130, 37, 275, 56}));
    combo->AddItem(L"\u7535\u4fe1\u4e00\u533a");
    combo->SelectItem(0, false);
    ScreenCapture shot(host.hwnd(), "changeserver");
    // The box's field (left of its drop button) is light, and the item's
    // black text shows on it.
    const TRect field{133, 40, 240, 53};
    EXPECT_GT(Luma(shot.surface.Pixel(236, 46)), 180);
    EXPECT_GT(shot.CountDark(field, 80), 15) << "the selected server's text is not readable";
    // The white Chinese caption on the dark background.
    EXPECT_GT(shot.CountBright(TRect{35, 5, 160, 30}, 200), 40);

    // The open list under the box.
    host.Click(150, 46);
    HWND list = SkinUI::CWindowHostWin::Of(host.manager())->GetDropDownWindow();
    ASSERT_NE(list, nullptr);
    ScreenCapture listShot(list, "changeserver_dropdown");
    EXPECT_GT(listShot.CountDark(TRect{4, 2, 100, 18}, 80), 15);
    host.Key(VK_ESCAPE);
}

TEST_F(SkinWindowsScreen, EveryLayoutDrawsItsArtAtItsSize) {
    struct TCase {
        const wchar_t* layout;
        const char* name;
        SkinUI::TSize size;
        const wchar_t* control;
        TRect pos;
        int artHeight;  // rows that the art covers (the game page is below)
    };
    const TCase cases[] = {
        {L"main.xml", "main", {1227, 697}, L"close", {780, 133, 815, 168}, 697},
        {L"update.xml", "update", {590, 116}, L"progress", {223, 55, 589, 73}, 116},
        {L"loading.xml", "loading", {590, 116}, L"progress", {223, 55, 589, 73}, 116},
        {L"reggamedll.xml", "reggamedll", {344, 264}, L"install", {100, 206, 244, 240}, 264},
        {L"bosskey.xml", "bosskey", {349, 167}, L"ok", {270, 70, 340, 96}, 167},
        {L"game.xml", "game", {1000, 800}, nullptr, {}, 58},
        {L"changeserver.xml", "changeserver_plain", {320, 66}, L"logout", {280, 5, 310, 30}, 66},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        UiTestHost host(c.layout, 0, 0);
        RECT client{};
        GetClientRect(host.hwnd(), &client);
        EXPECT_EQ(client.right, c.size.cx);
        EXPECT_EQ(client.bottom, c.size.cy);
        if (c.control != nullptr) {
            SkinUI::CControlUI* control = host.Find(c.control);
            ASSERT_NE(control, nullptr);
            EXPECT_EQ(control->GetPos(), c.pos);
        }
        if (auto* bar = host.Find<SkinUI::CProgressUI>(L"progress")) bar->SetValue(60);
        ScreenCapture shot(host.hwnd(), c.name);
        // Art everywhere: no large run of the buffer's plain fill colour.
        int plain = 0;
        for (int y = 0; y < c.artHeight; y += 7) {
            for (int x = 0; x < c.size.cx; x += 7) {
                plain += (shot.surface.Pixel(x, y) & 0xFFFFFF) == 0x0B0F17;
            }
        }
        const int samples = ((c.size.cx + 6) / 7) * ((c.artHeight + 6) / 7);
        EXPECT_LT(plain * 4, samples) << "most of the window is unpainted";
    }
}

}  // namespace
