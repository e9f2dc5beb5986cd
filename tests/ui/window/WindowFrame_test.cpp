// The frame decisions of captionless windows over real layouts: resize
// borders, the caption's drag area against controls that take clicks,
// centring inside the work area and the maximise/restore button swap.
#include "ui/window/WindowFrame.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "support/RecordingCanvas.h"
#include "ui/controls/Control.h"
#include "ui/controls/LayoutBuilder.h"
#include "ui/window/WindowManager.h"

namespace {

using SkinUI::FrameHit;
using SkinUI::TPoint;
using SkinUI::TRect;

// A manager holding the tree of |layout|, laid out at its "size".
class LaidOutWindow {
public:
    explicit LaidOutWindow(const std::wstring& layout) {
        SkinUI::CLayoutBuilder builder;
        auto root = builder.Create(layout, L"", nullptr, &manager);
        EXPECT_NE(root, nullptr) << std::string(builder.GetLastError().begin(),
                                                builder.GetLastError().end());
        manager.AttachDialog(std::move(root));
        TestSupport::RecordingCanvas canvas;
        manager.Paint(canvas, Client());
    }
    TRect Client() const {
        const SkinUI::TSize size = manager.GetClientSize();
        return TRect{0, 0, size.cx, size.cy};
    }
    FrameHit Hit(int x, int y, bool maximized = false) const {
        const SkinUI::TWindowAttributes& window = manager.GetWindowAttributes();
        return SkinUI::HitTestFrame(TPoint{x, y}, Client(), window.sizeBox, window.caption,
                                    maximized, manager);
    }
    SkinUI::CWindowManagerUI manager;
};

constexpr wchar_t kTitleBarLayout[] =
    L"<Window size=\"1000,600\" caption=\"0,0,0,30\" sizebox=\"4,4,6,6\">"
    L"<VerticalLayout bkcolor=\"#FF202020\">"
    L"<Button name=\"closebtn\" float=\"true\" pos=\"960,2,990,28\" />"
    L"<Option name=\"tab\" float=\"true\" pos=\"700,2,760,28\" />"
    L"<Text name=\"title\" float=\"true\" pos=\"600,2,680,28\" text=\"t\" />"
    L"<Label name=\"logo\" float=\"true\" pos=\"10,2,100,28\" text=\"logo\" />"
    L"</VerticalLayout></Window>";

TEST(WindowFrame, ResizeBordersAndCornersFollowTheSizebox) {
    LaidOutWindow window(kTitleBarLayout);
    struct Case {
        int x, y;
        FrameHit expected;
    } cases[] = {
        {3, 2, SkinUI::kHitTopLeft},    {0, 0, SkinUI::kHitTopLeft},
        {4, 2, SkinUI::kHitTop},        {994, 3, SkinUI::kHitTopRight},
        {993, 3, SkinUI::kHitTop},      {2, 594, SkinUI::kHitBottomLeft},
        {2, 593, SkinUI::kHitLeft},     {999, 599, SkinUI::kHitBottomRight},
        {500, 595, SkinUI::kHitBottom}, {995, 300, SkinUI::kHitRight},
        {500, 300, SkinUI::kHitClient},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(window.Hit(c.x, c.y), c.expected) << c.x << "," << c.y;
    }
}

TEST(WindowFrame, MaximisedWindowsHaveNoResizeBorders) {
    LaidOutWindow window(kTitleBarLayout);
    EXPECT_EQ(window.Hit(3, 2, true), SkinUI::kHitCaption);  // over the background
    EXPECT_EQ(window.Hit(2, 300, true), SkinUI::kHitClient);
    EXPECT_EQ(window.Hit(999, 599, true), SkinUI::kHitClient);
}

TEST(WindowFrame, CaptionDragsOverBackgroundButNotOverClickableControls) {
    LaidOutWindow window(kTitleBarLayout);
    EXPECT_EQ(window.Hit(500, 10), SkinUI::kHitCaption);  // background
    EXPECT_EQ(window.Hit(50, 10), SkinUI::kHitCaption);   // a label does not take clicks
    EXPECT_EQ(window.Hit(970, 10), SkinUI::kHitClient);   // button
    EXPECT_EQ(window.Hit(720, 10), SkinUI::kHitClient);   // option
    EXPECT_EQ(window.Hit(640, 10), SkinUI::kHitClient);   // text
    EXPECT_EQ(window.Hit(500, 30), SkinUI::kHitClient);   // bottom is exclusive
}

TEST(WindowFrame, HiddenButtonsLetTheCaptionDrag) {
    LaidOutWindow window(kTitleBarLayout);
    window.manager.FindControl(std::wstring(L"closebtn"))->SetVisible(false);
    EXPECT_EQ(window.Hit(970, 10), SkinUI::kHitCaption);
}

TEST(WindowFrame, CaptionSidesAreDistancesFromTheEdges) {
    LaidOutWindow window(
        L"<Window size=\"400,300\" caption=\"50,10,60,40\"><VerticalLayout /></Window>");
    EXPECT_EQ(window.Hit(49, 20), SkinUI::kHitClient);
    EXPECT_EQ(window.Hit(50, 20), SkinUI::kHitCaption);
    EXPECT_EQ(window.Hit(339, 20), SkinUI::kHitCaption);
    EXPECT_EQ(window.Hit(340, 20), SkinUI::kHitClient);
    EXPECT_EQ(window.Hit(100, 9), SkinUI::kHitClient);
    EXPECT_EQ(window.Hit(100, 39), SkinUI::kHitCaption);
}

TEST(WindowFrame, WithoutCaptionOrSizeboxEverythingIsClient) {
    LaidOutWindow window(L"<Window size=\"300,200\"><VerticalLayout /></Window>");
    for (int y : {0, 1, 10, 199}) {
        for (int x : {0, 1, 150, 299}) EXPECT_EQ(window.Hit(x, y), SkinUI::kHitClient);
    }
}

TEST(WindowFrame, CaptionWithoutAnyControlIsClient) {
    SkinUI::CWindowManagerUI empty;
    EXPECT_EQ(SkinUI::HitTestFrame(TPoint{10, 10}, TRect{0, 0, 100, 100}, TRect{},
                                   TRect{0, 0, 0, 30}, false, empty),
              SkinUI::kHitClient);
}

TEST(WindowFrame, CentringStaysInsideTheWorkArea) {
    const TRect work{0, 0, 1600, 960};
    // Centre on the reference, integer halves.
    TPoint p = SkinUI::CenteredOrigin(TRect{0, 0, 301, 201}, TRect{100, 100, 501, 401}, work);
    EXPECT_EQ(p.x, 300 - 150);
    EXPECT_EQ(p.y, 250 - 100);
    // Off the right and bottom edges: pushed back in.
    p = SkinUI::CenteredOrigin(TRect{0, 0, 400, 300}, TRect{1500, 900, 1700, 1000}, work);
    EXPECT_EQ(p.x, 1200);
    EXPECT_EQ(p.y, 660);
    // Off the left and top.
    p = SkinUI::CenteredOrigin(TRect{0, 0, 400, 300}, TRect{-100, -50, 100, 50}, work);
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.y, 0);
    // Larger than the work area: the left and top edges stay visible.
    p = SkinUI::CenteredOrigin(TRect{0, 0, 2000, 1200}, work, work);
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.y, 0);
    // A work area that does not start at the origin (a second monitor).
    p = SkinUI::CenteredOrigin(TRect{0, 0, 200, 100}, TRect{1600, 0, 1700, 50},
                               TRect{1600, 0, 3200, 1000});
    EXPECT_EQ(p.x, 1600);
}

TEST(WindowFrame, MaxAndRestoreButtonsSwapOnlyWhenBothExist) {
    LaidOutWindow both(
        L"<Window size=\"300,200\"><HorizontalLayout>"
        L"<Button name=\"maxbtn\" /><Button name=\"restorebtn\" visible=\"false\" />"
        L"</HorizontalLayout></Window>");
    auto* maxButton = both.manager.FindControl(std::wstring(L"maxbtn"));
    auto* restoreButton = both.manager.FindControl(std::wstring(L"restorebtn"));
    ASSERT_TRUE(SkinUI::SwapMaxRestoreButtons(both.manager, false));  // just maximised
    EXPECT_FALSE(maxButton->IsVisible());
    EXPECT_TRUE(restoreButton->IsVisible());
    ASSERT_TRUE(SkinUI::SwapMaxRestoreButtons(both.manager, true));  // just restored
    EXPECT_TRUE(maxButton->IsVisible());
    EXPECT_FALSE(restoreButton->IsVisible());

    LaidOutWindow onlyMax(
        L"<Window size=\"300,200\"><HorizontalLayout><Button name=\"maxbtn\" />"
        L"</HorizontalLayout></Window>");
    EXPECT_FALSE(SkinUI::SwapMaxRestoreButtons(onlyMax.manager, false));
    EXPECT_TRUE(onlyMax.manager.FindControl(std::wstring(L"maxbtn"))->IsVisible());
}

}  // namespace
