// The GDI canvas drawing into a real 32-bit DIB section, read back pixel by
// pixel: blending, nine-part corners, fading, tiling, holes, clipping, the
// colour key and text.
#include "ui/paint/GdiCanvas_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <vector>

#include "ui/skin/ModuleInstance_win.h"
#include "ui/window/WindowManager.h"

namespace {

using SkinUI::CDibSurface;
using SkinUI::CGdiCanvas;
using SkinUI::CGdiResourceCache;
using SkinUI::TImageData;
using SkinUI::TImageDraw;
using SkinUI::TRect;

int Channel(uint32_t pixel, int shift) {
    return static_cast<int>((pixel >> shift) & 0xFF);
}

// Red, green and blue each within |tolerance| (GDI rounds blends its own way).
::testing::AssertionResult Near(uint32_t actual, uint32_t expected, int tolerance = 2) {
    for (int shift : {16, 8, 0}) {
        if (std::abs(Channel(actual, shift) - Channel(expected, shift)) > tolerance) {
            return ::testing::AssertionFailure()
                   << std::hex << "pixel 0x" << actual << " is not near 0x" << expected;
        }
    }
    return ::testing::AssertionSuccess();
}

TImageData Solid(int width, int height, uint32_t premultiplied) {
    TImageData image;
    image.width = width;
    image.height = height;
    image.pixels.assign(static_cast<size_t>(width * height), premultiplied);
    image.hasAlpha = (premultiplied >> 24) != 0xFF;
    return image;
}

// An image whose corners (|corner| pixels wide) are red, its edges green
// and its middle blue, so the nine parts can be told apart after drawing.
TImageData NinePart(int size, int corner) {
    TImageData image = Solid(size, size, 0xFF0000FF);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const bool edgeX = x < corner || x >= size - corner;
            const bool edgeY = y < corner || y >= size - corner;
            uint32_t& p = image.pixels[static_cast<size_t>(y * size + x)];
            if (edgeX && edgeY)
                p = 0xFFFF0000;
            else if (edgeX || edgeY)
                p = 0xFF00FF00;
        }
    }
    return image;
}

class GdiCanvasTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(surface.Resize(64, 64));
        surface.Fill(0xFF000000);
    }
    CDibSurface surface;
    CGdiResourceCache cache;
};

TEST_F(GdiCanvasTest, FillsBlendWithTheirAlphaAndRespectTheClip) {
    surface.Fill(0xFFFFFFFF);
    {
        CGdiCanvas canvas(surface.GetDC(), cache);
        canvas.FillRect({0, 0, 32, 32}, 0xFF0000FF);   // opaque blue
        canvas.FillRect({32, 0, 64, 32}, 0x80FF0000);  // half red over white
        canvas.FillRect({0, 32, 32, 64}, 0x00FF0000);  // fully transparent: nothing
        canvas.PushClip({40, 40, 50, 50});
        canvas.FillRect({32, 32, 64, 64}, 0xFF00FF00);
        canvas.PopClip();
        canvas.FillRect({60, 60, 64, 64}, 0xFF123456);  // clip popped again
    }
    EXPECT_TRUE(Near(surface.Pixel(5, 5), 0x0000FF));
    EXPECT_TRUE(Near(surface.Pixel(40, 10), 0xFF7F7F));
    EXPECT_TRUE(Near(surface.Pixel(5, 40), 0xFFFFFF));
    EXPECT_TRUE(Near(surface.Pixel(45, 45), 0x00FF00));
    EXPECT_TRUE(Near(surface.Pixel(35, 35), 0xFFFFFF)) << "outside the clip";
    EXPECT_TRUE(Near(surface.Pixel(62, 62), 0x123456));
}

TEST_F(GdiCanvasTest, PremultipliedImagesBlendOverWhatIsThereAndFadeScalesThem) {
    surface.Fill(0xFFFFFFFF);
    // Half-transparent red, premultiplied: 0x80 alpha, red 0x80.
    const TImageData half = Solid(8, 8, 0x80800000);
    const TImageData opaque = Solid(8, 8, 0xFF0000FF);
    {
        CGdiCanvas canvas(surface.GetDC(), cache);
        TImageDraw draw;
        draw.source = {0, 0, 8, 8};
        draw.dest = {0, 0, 16, 16};
        canvas.DrawImage(half, draw);
        draw.dest = {16, 0, 32, 16};
        draw.fade = 128;
        canvas.DrawImage(opaque, draw);
        draw.fade = 0;  // fully faded: nothing at all
        draw.dest = {32, 0, 48, 16};
        canvas.DrawImage(opaque, draw);
    }
    // red = 0x80 + white * (1 - 0x80/255), green and blue = white * (1 - 0.5)
    EXPECT_TRUE(Near(surface.Pixel(8, 8), 0xFF7F7F, 3));
    EXPECT_TRUE(Near(surface.Pixel(24, 8), 0x7F7FFF, 3));
    EXPECT_TRUE(Near(surface.Pixel(40, 8), 0xFFFFFF));
}

TEST_F(GdiCanvasTest, NinePartCornersStayUnscaledWhileTheMiddleStretches) {
    const TImageData image = NinePart(12, 3);
    {
        CGdiCanvas canvas(surface.GetDC(), cache);
        TImageDraw draw;
        draw.source = {0, 0, 12, 12};
        draw.dest = {4, 4, 60, 60};  // 56 wide: the middle stretches from 6 to 50
        draw.corner = {3, 3, 3, 3};
        canvas.DrawImage(image, draw);
    }
    // Corners: exactly 3 pixels red at each end, then edge green.
    EXPECT_TRUE(Near(surface.Pixel(4, 4), 0xFF0000));
    EXPECT_TRUE(Near(surface.Pixel(6, 6), 0xFF0000));
    EXPECT_TRUE(Near(surface.Pixel(7, 4), 0x00FF00));
    EXPECT_TRUE(Near(surface.Pixel(56, 4), 0x00FF00));
    EXPECT_TRUE(Near(surface.Pixel(57, 4), 0xFF0000));
    EXPECT_TRUE(Near(surface.Pixel(59, 59), 0xFF0000));
    EXPECT_TRUE(Near(surface.Pixel(4, 30), 0x00FF00));
    EXPECT_TRUE(Near(surface.Pixel(7, 7), 0x0000FF));
    EXPECT_TRUE(Near(surface.Pixel(32, 32), 0x0000FF));
    EXPECT_TRUE(Near(surface.Pixel(56, 56), 0x0000FF));
    EXPECT_TRUE(Near(surface.Pixel(3, 3), 0x000000)) << "outside the destination";
}

TEST_F(GdiCanvasTest, HoleLeavesTheMiddleAndTilingRepeatsIt) {
    const TImageData image = NinePart(12, 3);
    // A 2-pixel stripe pattern to see tiling: columns alternate red/blue.
    TImageData stripes = Solid(4, 4, 0xFF0000FF);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 2; ++x) stripes.pixels[static_cast<size_t>(y * 4 + x)] = 0xFFFF0000;
    }
    {
        CGdiCanvas canvas(surface.GetDC(), cache);
        TImageDraw draw;
        draw.source = {0, 0, 12, 12};
        draw.dest = {0, 0, 32, 32};
        draw.corner = {3, 3, 3, 3};
        draw.hole = true;
        canvas.DrawImage(image, draw);

        TImageDraw tiled;
        tiled.source = {0, 0, 4, 4};
        tiled.dest = {0, 40, 14, 44};
        tiled.xtiled = true;
        canvas.DrawImage(stripes, tiled);
    }
    EXPECT_TRUE(Near(surface.Pixel(16, 16), 0x000000)) << "the hole shows the background";
    EXPECT_TRUE(Near(surface.Pixel(16, 1), 0x00FF00));
    // Tiles at their own size: red 0-1, blue 2-3, red 4-5 ... and the last
    // tile (12-13) is cut, showing the start of the image (red).
    EXPECT_TRUE(Near(surface.Pixel(1, 41), 0xFF0000));
    EXPECT_TRUE(Near(surface.Pixel(2, 41), 0x0000FF));
    EXPECT_TRUE(Near(surface.Pixel(5, 41), 0xFF0000));
    EXPECT_TRUE(Near(surface.Pixel(10, 41), 0x0000FF));
    EXPECT_TRUE(Near(surface.Pixel(13, 41), 0xFF0000));
    EXPECT_TRUE(Near(surface.Pixel(14, 41), 0x000000));
}

TEST_F(GdiCanvasTest, ColourKeyedArtFromThePackageShowsWhatIsBehindItsKey) {
    // The close button's art keys its corner with opaque magenta; decoded
    // with the layout's mask the corner must leave the background alone.
    SkinUI::SetModuleInstance(GetModuleHandleW(nullptr));
    ASSERT_TRUE(SkinUI::CWindowManagerUI::LoadSkinPackageFromResource(129));
    SkinUI::CWindowManagerUI manager;
    const TImageData* keyed = manager.GetImage(L"bosskey_close.png", L"", 0xFFFF00FFu);
    ASSERT_NE(keyed, nullptr);
    ASSERT_EQ(keyed->width, 28);
    surface.Fill(0xFF204060);
    {
        CGdiCanvas canvas(surface.GetDC(), cache);
        TImageDraw draw;
        draw.source = {0, 0, 28, 28};
        draw.dest = {0, 0, 28, 28};
        canvas.DrawImage(*keyed, draw);
    }
    EXPECT_TRUE(Near(surface.Pixel(0, 0), 0x204060)) << "the magenta key shows through";
    int magenta = 0;
    for (int y = 0; y < 28; ++y) {
        for (int x = 0; x < 28; ++x) magenta += (surface.Pixel(x, y) & 0xFFFFFF) == 0xFF00FF;
    }
    EXPECT_EQ(magenta, 0);
    EXPECT_FALSE(Near(surface.Pixel(14, 14), 0x204060)) << "the button itself is drawn";
}

TEST_F(GdiCanvasTest, TextDrawsInItsColourWithinItsRectangleIncludingChinese) {
    surface.Fill(0xFF000000);
    const SkinUI::TFontInfo font{L"Tahoma", 14};
    {
        CGdiCanvas canvas(surface.GetDC(), cache);
        // Alpha byte 0: text colours ignore it.
        canvas.DrawText(L"\u6362\u670D", {0, 0, 64, 30}, font, 0x00FFFFFF,
                        SkinUI::kTextCenter | SkinUI::kTextVCenter | SkinUI::kTextSingleLine);
        canvas.PushClip({0, 32, 64, 64});
        canvas.DrawText(L"WWWWWWWWWWWW", {0, 20, 64, 50}, font, 0xFFFFFF00,
                        SkinUI::kTextSingleLine);
        canvas.PopClip();
    }
    int white = 0;
    int yellowAboveClip = 0;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            const uint32_t p = surface.Pixel(x, y) & 0xFFFFFF;
            if (y < 30 && Channel(p, 16) > 200 && Channel(p, 8) > 200 && Channel(p, 0) > 200) {
                ++white;
            }
            if (y < 32 && Channel(p, 16) > 100 && Channel(p, 0) < 60) ++yellowAboveClip;
        }
    }
    EXPECT_GT(white, 20) << "the CJK glyphs drew nothing: is a CJK font visible to Wine?";
    EXPECT_EQ(yellowAboveClip, 0);
}

TEST_F(GdiCanvasTest, BordersDrawOnlyTheirEdges) {
    {
        CGdiCanvas canvas(surface.GetDC(), cache);
        canvas.DrawBorder({10, 10, 30, 30}, 2, 0x00FF0000);  // border alpha has no effect
        canvas.DrawRoundBorder({34, 10, 60, 36}, 1, 8, 8, 0xFF00FF00);
    }
    EXPECT_TRUE(Near(surface.Pixel(10, 20), 0xFF0000));
    EXPECT_TRUE(Near(surface.Pixel(11, 20), 0xFF0000));
    EXPECT_TRUE(Near(surface.Pixel(12, 20), 0x000000));
    EXPECT_TRUE(Near(surface.Pixel(29, 29), 0xFF0000));
    EXPECT_TRUE(Near(surface.Pixel(47, 10), 0x00FF00));
    EXPECT_TRUE(Near(surface.Pixel(34, 10), 0x000000)) << "a round corner is cut";
    EXPECT_TRUE(Near(surface.Pixel(47, 22), 0x000000));
}

}  // namespace
