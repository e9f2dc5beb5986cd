// ICanvas on a GDI device context, for painting the control tree into a
// window's 32-bit back buffer. Images are premultiplied and drawn with
// AlphaBlend; fonts and image bitmaps are kept in a cache that outlives
// the canvas (one per window). UI thread only.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <tuple>

#include "common/win/UniqueHandle_win.h"
#include "ui/paint/Canvas.h"

namespace SkinUI {

// GDI objects made from the window's images and fonts, created on first
// use and kept until the cache goes. Images are keyed by their address:
// the window manager keeps every loaded image for the window's lifetime.
class CGdiResourceCache {
public:
    CGdiResourceCache(const CGdiResourceCache&) = delete;
    CGdiResourceCache& operator=(const CGdiResourceCache&) = delete;
    CGdiResourceCache() = default;

    // A 32-bit top-down DIB section holding |image|'s pixels; nullptr when
    // it cannot be made (the drawing is then skipped).
    HBITMAP GetBitmap(const TImageData& image);
    // The font for |font| (size in pixels of character height).
    HFONT GetFont(const TFontInfo& font);
    void Clear();

private:
    std::map<const TImageData*, UniqueGdiObject> bitmaps_;
    std::map<std::tuple<std::wstring, int, bool, bool, bool>, UniqueGdiObject> fonts_;
};

// A 32-bit top-down DIB section with its own memory DC: the back buffer a
// window paints into, or a surface for tests to read pixels from.
class CDibSurface {
public:
    CDibSurface(const CDibSurface&) = delete;
    CDibSurface& operator=(const CDibSurface&) = delete;
    CDibSurface() = default;
    ~CDibSurface();

    // Keeps the surface when the size already fits; false on failure.
    bool Resize(int width, int height);
    HDC GetDC() const { return dc_.get(); }
    int Width() const { return width_; }
    int Height() const { return height_; }
    // 0xAARRGGBB as stored (BGRA bytes); 0 outside the surface.
    uint32_t Pixel(int x, int y) const;
    void Fill(uint32_t argb);

private:
    UniqueMemoryDc dc_;
    UniqueGdiObject bitmap_;
    HGDIOBJ oldBitmap_ = nullptr;
    uint32_t* bits_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

class CGdiCanvas : public ICanvas {
public:
    CGdiCanvas(const CGdiCanvas&) = delete;
    CGdiCanvas& operator=(const CGdiCanvas&) = delete;
    CGdiCanvas(HDC dc, CGdiResourceCache& cache);
    // Puts back every clip still pushed.
    ~CGdiCanvas() override;

    void FillRect(const TRect& rect, uint32_t color) override;
    void DrawImage(const TImageData& image, const TImageDraw& draw) override;
    void DrawText(const std::wstring& text, const TRect& rect, const TFontInfo& font,
                  uint32_t color, unsigned style) override;
    void DrawBorder(const TRect& rect, int size, uint32_t color) override;
    void DrawRoundBorder(const TRect& rect, int size, int cx, int cy, uint32_t color) override;
    void PushClip(const TRect& rect) override;
    void PopClip() override;

private:
    // One AlphaBlend of |src| (image pixels) into |dst|; empty parts skip.
    void Blend(HDC source, const TRect& dst, const TRect& src, uint8_t fade);
    // Repeats |src| at its own size across |dst| in the tiled directions,
    // stretching in the others; the last tiles are cut to fit.
    void Tile(HDC source, const TRect& dst, const TRect& src, uint8_t fade, bool xtiled,
              bool ytiled);

    HDC dc_;
    CGdiResourceCache& cache_;
    UniqueMemoryDc sourceDc_;
    int clipDepth_ = 0;
};

}  // namespace SkinUI
