// The manager painting a real window: the first paint's "windowinit", the
// tree drawn through the back buffer (read back with WM_PRINTCLIENT),
// invalidation of what changed, relayout on resize and window opacity.
#include <gtest/gtest.h>
#include <windows.h>

#include "support/UiTestHost_win.h"
#include "ui/paint/GdiCanvas_win.h"
#include "ui/controls/Label.h"

namespace {

using testsupport::UiTestHost;

const wchar_t kPanel[] =
    LR"(<Window size="200,100">
  <HorizontalLayout bkcolor="#FF102030">
    <Control name="left" width="50" bkcolor="#FFFF0000" />
    <Label name="text" bkcolor="#80FFFFFF" text="x" />
    <Control name="right" width="30" bkcolor="#FF0000FF" />
  </HorizontalLayout>
</Window>)";

uint32_t Rgb(uint32_t pixel) {
    return pixel & 0xFFFFFF;
}

// What the window shows, painted through WM_PRINTCLIENT into a DIB.
struct Snapshot {
    explicit Snapshot(HWND hwnd) {
        RECT r{};
        GetClientRect(hwnd, &r);
        EXPECT_TRUE(surface.Resize(r.right, r.bottom));
        surface.Fill(0xFF00FF00);
        SendMessageW(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(surface.GetDC()), PRF_CLIENT);
    }
    SkinUI::CDibSurface surface;
};

TEST(WindowPaint, TheFirstPaintSendsWindowInitOnceAndDrawsTheTree) {
    UiTestHost host(kPanel);
    RedrawWindow(host.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    UiTestHost::Drain();
    int inits = 0;
    for (const auto& e : host.events) inits += e.rfind("windowinit:", 0) == 0;
    EXPECT_EQ(inits, 1);

    Snapshot shot(host.hwnd());
    EXPECT_EQ(Rgb(shot.surface.Pixel(10, 50)), 0xFF0000u);
    EXPECT_EQ(Rgb(shot.surface.Pixel(190, 50)), 0x0000FFu);
    // Half white over the dark layout background, blended.
    const uint32_t middle = Rgb(shot.surface.Pixel(100, 10));
    EXPECT_NEAR(static_cast<int>((middle >> 16) & 0xFF), 0x10 / 2 + 0x80, 3);
    EXPECT_NEAR(static_cast<int>(middle & 0xFF), 0x30 / 2 + 0x80, 3);
    EXPECT_EQ(host.Find(L"text")->GetPos(), (SkinUI::TRect{50, 0, 170, 100}));
}

TEST(WindowPaint, AChangedControlInvalidatesItsOwnRectangle) {
    UiTestHost host(kPanel);
    UpdateWindow(host.hwnd());
    ValidateRect(host.hwnd(), nullptr);
    host.Find(L"right")->SetText(L"changed");
    RECT dirty{};
    ASSERT_TRUE(GetUpdateRect(host.hwnd(), &dirty, FALSE));
    EXPECT_EQ(dirty.left, 170);
    EXPECT_EQ(dirty.right, 200);
    EXPECT_EQ(dirty.top, 0);
    EXPECT_EQ(dirty.bottom, 100);
    host.Find(L"left")->SetText(L"too");
    ASSERT_TRUE(GetUpdateRect(host.hwnd(), &dirty, FALSE));
    EXPECT_EQ(dirty.left, 0) << "the union of both";
    EXPECT_EQ(dirty.right, 200);
}

TEST(WindowPaint, ResizingLaysTheTreeOutAgain) {
    UiTestHost host(kPanel);
    SetWindowPos(host.hwnd(), nullptr, 0, 0, 300, 80, SWP_NOMOVE | SWP_NOZORDER);
    UiTestHost::Drain();
    Snapshot shot(host.hwnd());
    EXPECT_EQ(host.Find(L"right")->GetPos(), (SkinUI::TRect{270, 0, 300, 80}));
    EXPECT_EQ(Rgb(shot.surface.Pixel(290, 70)), 0x0000FFu);
    EXPECT_EQ(Rgb(shot.surface.Pixel(10, 70)), 0xFF0000u);
}

TEST(WindowPaint, OpacityBelowFullMakesTheWindowLayered) {
    UiTestHost host(kPanel);
    host.manager().SetOpacity(128);
    EXPECT_NE(GetWindowLongPtrW(host.hwnd(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(host.hwnd(), nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 128);
    EXPECT_NE(flags & LWA_ALPHA, 0u);
    host.manager().SetOpacity(400);  // clamped to 255: opaque again
    EXPECT_EQ(GetWindowLongPtrW(host.hwnd(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);
}

}  // namespace
