// The seven layouts as the launcher's windows get them: from the skin
// package embedded in this program (ZIPRES 129), through the process-wide
// skin source, with the images decoded for real.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "support/RecordingCanvas.h"
#include "ui/controls/Button.h"
#include "ui/controls/LayoutBuilder.h"
#include "ui/controls/Progress.h"
#include "ui/skin/ModuleInstance_win.h"
#include "ui/window/WindowManager.h"

namespace {

using SkinUI::CWindowManagerUI;

// Counts loads and keeps the decoded sizes, loading through the manager's
// own default (package and decoder).
class CountingLoader : public SkinUI::ISkinImageLoader {
public:
    bool LoadImage(const std::wstring& file, const std::wstring& restype, uint32_t mask,
                   SkinUI::TImageData& out) override {
        CWindowManagerUI plain;  // no loader of its own: the package's images
        const SkinUI::TImageData* image = plain.GetImage(file, restype, mask);
        if (image == nullptr) {
            failed[file]++;
            return false;
        }
        out = *image;
        sizes[file] = SkinUI::TSize{image->width, image->height};
        // Magenta is the art's colour key: a layout that forgets the mask
        // shows it as pink corners.
        for (uint32_t pixel : image->pixels) {
            if (pixel == 0xFFFF00FFu) {
                unmasked.insert(file);
                break;
            }
        }
        return true;
    }
    std::map<std::wstring, int> failed;
    std::set<std::wstring> unmasked;
    std::map<std::wstring, SkinUI::TSize> sizes;
};

TEST(SkinLayoutsFromPackage, EveryWindowBuildsAndFindsAllItsImages) {
    SkinUI::SetModuleInstance(GetModuleHandleW(nullptr));
    ASSERT_TRUE(CWindowManagerUI::LoadSkinPackageFromResource(129));

    const std::map<std::wstring, SkinUI::TSize> windows = {
        {L"main.xml", {1227, 697}},       {L"update.xml", {590, 116}},
        {L"reggamedll.xml", {344, 264}},  {L"loading.xml", {590, 116}},
        {L"game.xml", {1000, 800}},       {L"bosskey.xml", {349, 167}},
        {L"changeserver.xml", {320, 66}},
    };
    CountingLoader loader;
    for (const auto& [layout, size] : windows) {
        CWindowManagerUI manager;
        manager.SetImageLoader(&loader);
        SkinUI::CLayoutBuilder builder;  // the process-wide skin source
        auto root = builder.Create(layout, L"", nullptr, &manager);
        ASSERT_NE(root, nullptr) << std::string(layout.begin(), layout.end()) << ": "
                                 << builder.GetLastError().size();
        ASSERT_TRUE(manager.AttachDialog(std::move(root)));
        EXPECT_EQ(manager.GetClientSize(), size);
        TestSupport::RecordingCanvas canvas;
        const SkinUI::TRect all{0, 0, size.cx, size.cy};
        manager.Paint(canvas, all);
        EXPECT_FALSE(canvas.Of(TestSupport::TDrawCall::kImage).empty());

        // Every state once, so that every image the layout names is drawn:
        // hidden controls shown, bars half full, options selected, buttons
        // hovered and pressed.
        std::vector<SkinUI::CControlUI*> controls;
        manager.GetRoot()->FindControl(
            [&controls](SkinUI::CControlUI* c) {
                controls.push_back(c);
                return false;
            },
            false);
        for (SkinUI::CControlUI* control : controls) {
            control->SetVisible(true);
            if (auto* bar = dynamic_cast<SkinUI::CProgressUI*>(control)) bar->SetValue(50);
            if (auto* option = dynamic_cast<SkinUI::COptionUI*>(control)) {
                option->SetSelected(true, false);
            }
        }
        manager.Paint(canvas, all);
        for (SkinUI::UIEvent event : {SkinUI::UIEvent::MouseEnter, SkinUI::UIEvent::ButtonDown}) {
            for (SkinUI::CControlUI* control : controls) {
                SkinUI::TEventUI e{event, {control->GetPos().left, control->GetPos().top}};
                control->DoEvent(e);
            }
            manager.Paint(canvas, all);
        }
    }
    EXPECT_TRUE(loader.failed.empty())
        << loader.failed.size() << " images failed, first "
        << std::string(loader.failed.begin()->first.begin(), loader.failed.begin()->first.end());
    for (const auto& file : loader.unmasked) {
        ADD_FAILURE() << "magenta left in " << std::string(file.begin(), file.end());
    }
    // A sample of the package's sizes, decoded.
    EXPECT_EQ(loader.sizes[L"main_bg.png"], (SkinUI::TSize{1228, 700}));
    EXPECT_EQ(loader.sizes[L"bosskey_bg.png"], (SkinUI::TSize{349, 167}));
    EXPECT_EQ(loader.sizes[L"game_topright.png"], (SkinUI::TSize{406, 58}));
    // Between them the seven layouts use every image of the package.
    EXPECT_EQ(loader.sizes.size(), 35u);
}

}  // namespace
