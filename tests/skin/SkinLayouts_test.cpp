// The launcher's seven layouts from the skin folder, built and laid out at
// their window sizes: every control that the windows look up by name is
// there with the class they cast it to and lies inside the window, and the
// game window's flexible middle takes the growth when it is maximised.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "support/FakeSkinFiles.h"
#include "support/RecordingCanvas.h"
#include "ui/controls/ActiveX.h"
#include "ui/controls/Button.h"
#include "ui/controls/Combo.h"
#include "ui/controls/Label.h"
#include "ui/controls/LayoutBuilder.h"
#include "ui/controls/Progress.h"
#include "ui/window/WindowManager.h"

namespace {

using SkinUI::CControlUI;
using SkinUI::TRect;
using SkinUI::TSize;

struct Named {
    const wchar_t* name;
    bool (*isExpectedClass)(CControlUI*);
};

template <typename T>
bool Is(CControlUI* control) {
    return dynamic_cast<T*>(control) != nullptr;
}

struct LayoutCase {
    const wchar_t* file;
    std::vector<Named> controls;
};

std::string Narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

class SkinLayouts : public ::testing::TestWithParam<LayoutCase> {
protected:
    void SetUp() override {
        files.folder = TestSupport::SourceSkinFolder();
        for (const auto& entry : std::filesystem::directory_iterator(files.folder)) {
            if (entry.path().extension() == ".png") {
                images.images[entry.path().filename().wstring()] = {16, 16, 0xFF202020};
            }
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

    CControlUI* Find(const wchar_t* name) { return manager.FindControl(std::wstring(name)); }

    TestSupport::FakeSkinFiles files;
    TestSupport::FakeImageLoader images;
    SkinUI::CWindowManagerUI manager;
};

TEST_P(SkinLayouts, TheControlsTheWindowLooksUpAreThereAndInside) {
    const LayoutCase& c = GetParam();
    ASSERT_TRUE(Build(c.file));
    const TSize size = manager.GetWindowAttributes().initSize;
    ASSERT_GT(size.cx, 0);
    ASSERT_GT(size.cy, 0);
    const TRect window{0, 0, size.cx, size.cy};
    TestSupport::RecordingCanvas canvas;
    manager.Paint(canvas, window);
    EXPECT_EQ(manager.GetRoot()->GetPos(), window);
    for (const auto& expected : c.controls) {
        CControlUI* control = Find(expected.name);
        ASSERT_NE(control, nullptr) << Narrow(expected.name);
        EXPECT_TRUE(expected.isExpectedClass(control)) << Narrow(expected.name);
        const TRect r = control->GetPos();
        EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= size.cx && r.bottom <= size.cy &&
                    r.right > r.left && r.bottom > r.top)
            << Narrow(expected.name);
    }
    // Each image is decoded once per window, however often it is drawn.
    for (const auto& [file, count] : images.loads) EXPECT_EQ(count, 1) << Narrow(file);
    EXPECT_FALSE(canvas.Of(TestSupport::TDrawCall::kImage).empty());
}

INSTANTIATE_TEST_SUITE_P(
    Launcher, SkinLayouts,
    ::testing::Values(
        LayoutCase{L"main.xml",
                   {{L"close", Is<SkinUI::CButtonUI>}, {L"ie", Is<SkinUI::CActiveXUI>}}},
        LayoutCase{L"update.xml",
                   {{L"progress", Is<SkinUI::CProgressUI>}, {L"close", Is<SkinUI::CButtonUI>}}},
        LayoutCase{L"loading.xml", {{L"progress", Is<SkinUI::CProgressUI>}}},
        LayoutCase{L"reggamedll.xml",
                   {{L"close", Is<SkinUI::CButtonUI>}, {L"install", Is<SkinUI::CButtonUI>}}},
        LayoutCase{L"game.xml",
                   {{L"userhead", Is<CControlUI>},
                    {L"username", Is<SkinUI::CLabelUI>},
                    {L"changeserver", Is<SkinUI::CButtonUI>},
                    {L"refresh", Is<SkinUI::CButtonUI>},
                    {L"website", Is<SkinUI::CButtonUI>},
                    {L"bbs", Is<SkinUI::CButtonUI>},
                    {L"bosskey", Is<SkinUI::CButtonUI>},
                    {L"hide", Is<SkinUI::CButtonUI>},
                    {L"minimize", Is<SkinUI::CButtonUI>},
                    {L"maximize", Is<SkinUI::CButtonUI>},
                    {L"close", Is<SkinUI::CButtonUI>},
                    {L"ie", Is<SkinUI::CActiveXUI>}}},
        LayoutCase{L"bosskey.xml",
                   {{L"close", Is<SkinUI::CButtonUI>},
                    {L"bosskey", Is<SkinUI::CEditUI>},
                    {L"ok", Is<SkinUI::CButtonUI>},
                    {L"enablebosskey", Is<SkinUI::COptionUI>}}},
        LayoutCase{L"changeserver.xml",
                   {{L"currentserver", Is<SkinUI::CLabelUI>},
                    {L"logout", Is<SkinUI::CButtonUI>},
                    {L"serverlist", Is<SkinUI::CComboUI>},
                    {L"changeserver", Is<SkinUI::CButtonUI>}}}),
    [](const ::testing::TestParamInfo<LayoutCase>& info) {
        std::wstring name(info.param.file);
        return Narrow(name.substr(0, name.find(L'.')));
    });

class GameWindow : public SkinLayouts {};

TEST_F(GameWindow, MaximisedTheMiddleGrowsAndTheRestoreButtonTakesTheMaximizeButtonsPlace) {
    ASSERT_TRUE(Build(L"game.xml"));
    CControlUI* maximize = Find(L"maximize");
    CControlUI* restore = Find(L"restore");
    ASSERT_TRUE(maximize && restore);
    TestSupport::RecordingCanvas canvas;
    const TSize size = manager.GetWindowAttributes().initSize;
    manager.Paint(canvas, TRect{0, 0, size.cx, size.cy});
    const TRect close = Find(L"close")->GetPos();
    const TRect browser = Find(L"ie")->GetPos();
    const TRect maximized = maximize->GetPos();

    const TSize larger{size.cx + 600, size.cy + 100};
    maximize->SetVisible(false);
    restore->SetVisible(true);
    manager.SetClientSize(larger);
    manager.Paint(canvas, TRect{0, 0, larger.cx, larger.cy});
    // The buttons keep their distance from the right edge; the page takes
    // all of the growth.
    EXPECT_EQ(Find(L"close")->GetPos().left, close.left + 600);
    EXPECT_EQ(restore->GetPos().left, maximized.left + 600);
    EXPECT_EQ(restore->GetPos().top, maximized.top);
    const TRect grown = Find(L"ie")->GetPos();
    EXPECT_EQ(grown.left, browser.left);
    EXPECT_EQ(grown.Width(), browser.Width() + 600);
    EXPECT_EQ(grown.Height(), browser.Height() + 100);
}

}  // namespace
