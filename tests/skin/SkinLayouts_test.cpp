// The launcher's seven layouts from the skin folder, built and laid out at
// their window sizes: the named controls must land where the windows'
// designs put them, and every image they name must be one of the package's.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <string>

#include "support/FakeSkinFiles.h"
#include "support/RecordingCanvas.h"
#include "ui/controls/Button.h"
#include "ui/controls/LayoutBuilder.h"
#include "ui/controls/Progress.h"
#include "ui/window/WindowManager.h"

namespace {

using SkinUI::TRect;
using SkinUI::TSize;

// The package's images and their pixel sizes.
const std::map<std::wstring, TSize> kPackageImages = {
    {L"bosskey_bg.png", {349, 167}},
    {L"bosskey_checked.png", {15, 15}},
    {L"bosskey_close.png", {28, 28}},
    {L"bosskey_ok.png", {70, 26}},
    {L"bosskey_unchecked.png", {15, 15}},
    {L"changeserver_bg.png", {320, 66}},
    {L"changeserver_selectlist.png", {142, 19}},
    {L"changeserver_userhead.png", {20, 20}},
    {L"game_bbs.png", {67, 28}},
    {L"game_bosskey.png", {67, 28}},
    {L"game_changeserver.png", {22, 22}},
    {L"game_close.png", {28, 24}},
    {L"game_hide.png", {28, 24}},
    {L"game_max.png", {28, 24}},
    {L"game_min.png", {28, 24}},
    {L"game_refresh.png", {67, 28}},
    {L"game_restore.png", {28, 24}},
    {L"game_top.png", {28, 58}},
    {L"game_topleft.png", {336, 58}},
    {L"game_topright.png", {406, 58}},
    {L"game_userhead.png", {80, 20}},
    {L"game_website.png", {67, 28}},
    {L"loading_bg.png", {590, 116}},
    {L"main_bg.png", {1228, 700}},
    {L"main_close_1.png", {35, 35}},
    {L"main_close_2.png", {35, 35}},
    {L"main_close_3.png", {35, 35}},
    {L"reggamedll_bg.png", {344, 264}},
    {L"reggamedll_close.png", {28, 28}},
    {L"reggamedll_install.png", {144, 34}},
    {L"update_bg.png", {590, 116}},
    {L"update_close_hover.png", {28, 28}},
    {L"update_close_normal.png", {28, 28}},
    {L"update_close_press.png", {28, 28}},
    {L"update_progress.png", {366, 18}},
};

struct Expected {
    const wchar_t* name;
    TRect rect;
};

struct LayoutCase {
    const wchar_t* file;
    TSize size;
    std::vector<Expected> controls;
};

class SkinLayouts : public ::testing::TestWithParam<LayoutCase> {
protected:
    void SetUp() override {
        files.folder = TestSupport::SourceSkinFolder();
        for (const auto& [name, size] : kPackageImages) {
            images.images[name] = {size.cx, size.cy, 0xFF202020};
        }
        manager.SetImageLoader(&images);
    }

    bool Build(const std::wstring& file) {
        SkinUI::CLayoutBuilder builder(&files);
        auto root = builder.Create(file, L"", nullptr, &manager);
        if (!root) return false;
        manager.AttachDialog(std::move(root));
        return true;
    }

    TestSupport::FakeSkinFiles files;
    TestSupport::FakeImageLoader images;
    SkinUI::CWindowManagerUI manager;
};

TEST_P(SkinLayouts, NamedControlsLandWhereTheWindowPutsThem) {
    const LayoutCase& c = GetParam();
    ASSERT_TRUE(Build(c.file));
    EXPECT_EQ(manager.GetWindowAttributes().initSize, c.size);
    TestSupport::RecordingCanvas canvas;
    manager.Paint(canvas, TRect{0, 0, c.size.cx, c.size.cy});
    EXPECT_EQ(manager.GetRoot()->GetPos(), (TRect{0, 0, c.size.cx, c.size.cy}));
    for (const auto& expected : c.controls) {
        SkinUI::CControlUI* control = manager.FindControl(std::wstring(expected.name));
        ASSERT_NE(control, nullptr)
            << std::string(expected.name, expected.name + wcslen(expected.name));
        EXPECT_EQ(control->GetPos(), expected.rect)
            << std::string(expected.name, expected.name + wcslen(expected.name));
    }
    // Every image named is in the package, and was drawn or at least asked for.
    for (const auto& [file, count] : images.loads) {
        EXPECT_TRUE(kPackageImages.count(file)) << std::string(file.begin(), file.end());
        EXPECT_EQ(count, 1);
    }
    EXPECT_FALSE(canvas.Of(TestSupport::TDrawCall::kImage).empty());
}

INSTANTIATE_TEST_SUITE_P(
    Launcher, SkinLayouts,
    ::testing::Values(
        LayoutCase{L"main.xml",
                   {1227, 697},
                   {{L"close", {780, 133, 815, 168}},
                    {L"ie", {84, 168, 812, 642}},
                    {L"sie", {84, 168, 812, 642}}}},
        LayoutCase{L"update.xml",
                   {590, 116},
                   {{L"progress", {223, 55, 589, 73}}, {L"close", {556, 6, 584, 34}}}},
        LayoutCase{L"loading.xml", {590, 116}, {{L"progress", {223, 55, 589, 73}}}},
        LayoutCase{L"reggamedll.xml",
                   {344, 264},
                   {{L"close", {310, 6, 338, 34}}, {L"install", {100, 206, 244, 240}}}},
        LayoutCase{L"game.xml",
                   {1000, 800},
                   {{L"userhead", {132, 36, 212, 56}},
                    {L"username", {212, 36, 314, 58}},
                    {L"changeserver", {314, 36, 336, 58}},
                    {L"refresh", {592, 34, 659, 62}},
                    {L"website", {659, 34, 726, 62}},
                    {L"bbs", {726, 34, 793, 62}},
                    {L"bosskey", {793, 34, 860, 62}},
                    {L"hide", {872, 4, 900, 28}},
                    {L"minimize", {902, 4, 930, 28}},
                    {L"maximize", {932, 4, 960, 28}},
                    {L"close", {962, 4, 995, 28}},
                    {L"ie", {5, 60, 995, 795}}}},
        LayoutCase{L"bosskey.xml",
                   {349, 167},
                   {{L"close", {317, 3, 345, 31}},
                    {L"bosskey", {130, 70, 260, 95}},
                    {L"ok", {270, 70, 340, 96}},
                    {L"enablebosskey", {130, 125, 145, 140}}}},
        LayoutCase{L"changeserver.xml",
                   {320, 66},
                   {{L"currentserver", {165, 5, 275, 30}},
                    {L"logout", {280, 5, 310, 30}},
                    {L"serverlist", {130, 37, 275, 56}},
                    {L"serverlist_selected", {131, 38, 218, 55}},
                    {L"changeserver", {280, 35, 310, 60}}}}),
    [](const ::testing::TestParamInfo<LayoutCase>& info) {
        std::wstring name(info.param.file);
        return std::string(name.begin(), name.begin() + static_cast<long>(name.find(L'.')));
    });

class GameWindow : public SkinLayouts {};

TEST_F(GameWindow, WindowAttributesAndTheMaximizeRestorePair) {
    ASSERT_TRUE(Build(L"game.xml"));
    const auto& w = manager.GetWindowAttributes();
    EXPECT_EQ(w.minInfo, (TSize{800, 600}));
    EXPECT_EQ(w.sizeBox, (TRect{4, 4, 4, 4}));
    EXPECT_EQ(w.caption, (TRect{0, 0, 0, 30}));
    EXPECT_EQ(w.roundCorner, (TSize{5, 5}));
    auto* maximize = manager.FindControl(std::wstring(L"maximize"));
    auto* restore = manager.FindControl(std::wstring(L"restore"));
    ASSERT_NE(restore, nullptr);
    // Both share one place; the window shows one of them at a time.
    EXPECT_EQ(maximize->GetFixedXY().x, restore->GetFixedXY().x);
    EXPECT_EQ(maximize->GetFixedXY().y, restore->GetFixedXY().y);
    maximize->SetVisible(false);
    restore->SetVisible(true);
    TestSupport::RecordingCanvas canvas;
    manager.Paint(canvas, TRect{0, 0, 1000, 800});
    EXPECT_EQ(restore->GetPos(), (TRect{932, 4, 960, 28}));
    // The border is drawn opaque and round.
    const auto borders = canvas.Of(TestSupport::TDrawCall::kRoundBorder);
    ASSERT_EQ(borders.size(), 1u);
    EXPECT_EQ(borders[0].color, 0xFF492B00u);
    EXPECT_EQ(borders[0].size, 2);
    // Maximised to a larger work area the flexible middle takes the growth.
    manager.SetClientSize({1600, 900});
    manager.Paint(canvas, TRect{0, 0, 1600, 900});
    EXPECT_EQ(manager.FindControl(std::wstring(L"close"))->GetPos(), (TRect{1562, 4, 1595, 28}));
    EXPECT_EQ(manager.FindControl(std::wstring(L"ie"))->GetPos(), (TRect{5, 60, 1595, 895}));
}

TEST_F(GameWindow, BossKeyTextsAreWhiteAndTheOptionShowsItsState) {
    ASSERT_TRUE(Build(L"bosskey.xml"));
    auto* option =
        dynamic_cast<SkinUI::COptionUI*>(manager.FindControl(std::wstring(L"enablebosskey")));
    ASSERT_NE(option, nullptr);
    TestSupport::RecordingCanvas before;
    manager.Paint(before, TRect{0, 0, 349, 167});
    for (const auto& text : before.Of(TestSupport::TDrawCall::kText)) {
        EXPECT_EQ(text.color, 0xFFFFFFFFu);
    }
    EXPECT_EQ(before.Of(TestSupport::TDrawCall::kText).size(), 2u);
    option->SetSelected(true);
    TestSupport::RecordingCanvas after;
    manager.Paint(after, TRect{0, 0, 349, 167});
    EXPECT_EQ(images.masks[L"bosskey_checked.png"], 0xFFFF00FFu);
    EXPECT_EQ(images.masks[L"bosskey_bg.png"], 0x00FFFFFFu);
    EXPECT_EQ(images.loads[L"bosskey_checked.png"], 1);
}

TEST_F(GameWindow, UpdateProgressFillsFromTheLeft) {
    ASSERT_TRUE(Build(L"update.xml"));
    auto* progress =
        dynamic_cast<SkinUI::CProgressUI*>(manager.FindControl(std::wstring(L"progress")));
    ASSERT_NE(progress, nullptr);
    EXPECT_TRUE(progress->IsHorizontal());
    progress->SetValue(50);
    TestSupport::RecordingCanvas canvas;
    manager.Paint(canvas, TRect{0, 0, 590, 116});
    const auto drawn = canvas.Of(TestSupport::TDrawCall::kImage);
    ASSERT_FALSE(drawn.empty());
    EXPECT_EQ(drawn.back().rect, (TRect{223, 55, 406, 73}));
}

}  // namespace
