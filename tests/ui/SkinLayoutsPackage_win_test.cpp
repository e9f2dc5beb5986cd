// The seven layouts as the launcher's windows get them: from the skin
// package embedded in this program (ZIPRES 129), through the process-wide
// skin source, with the images decoded for real.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <map>
#include <string>

#include "support/RecordingCanvas.h"
#include "ui/LayoutBuilder.h"
#include "ui/WindowManager.h"

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
        return true;
    }
    std::map<std::wstring, int> failed;
    std::map<std::wstring, SkinUI::TSize> sizes;
};

TEST(SkinLayoutsFromPackage, EveryWindowBuildsAndFindsAllItsImages) {
    CWindowManagerUI::SetInstance(GetModuleHandleW(nullptr));
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
        manager.Paint(canvas, SkinUI::TRect{0, 0, size.cx, size.cy});
        EXPECT_FALSE(canvas.Of(TestSupport::TDrawCall::kImage).empty());
    }
    EXPECT_TRUE(loader.failed.empty())
        << loader.failed.size() << " images failed, first "
        << std::string(loader.failed.begin()->first.begin(), loader.failed.begin()->first.end());
    // A sample of the package's sizes, decoded.
    EXPECT_EQ(loader.sizes[L"main_bg.png"], (SkinUI::TSize{1228, 700}));
    EXPECT_EQ(loader.sizes[L"bosskey_bg.png"], (SkinUI::TSize{349, 167}));
    EXPECT_EQ(loader.sizes[L"game_topright.png"], (SkinUI::TSize{406, 58}));
    // Only what is painted is loaded: hot and pushed images wait for their
    // state, hidden buttons for being shown.
    EXPECT_GE(loader.sizes.size(), 20u) << loader.sizes.size();
    std::printf("images decoded for the first paint of the seven windows: %zu\n",
                loader.sizes.size());
}

}  // namespace
