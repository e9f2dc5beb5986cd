// What the controls paint through. The Windows build draws with GDI; the
// native tests hand the controls a recording canvas. UI thread only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ui/paint/Geometry.h"

namespace SkinUI {

// A decoded skin image: premultiplied 0xAARRGGBB pixels, top-down rows.
struct TImageData {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    bool hasAlpha = false;
};

// A font registered by a layout's "Font" element (or the window default).
struct TFontInfo {
    std::wstring name;
    int size = 12;
    bool bold = false;
    bool underline = false;
    bool italic = false;
};

// Text placement flags, a small portable subset of what GDI's DrawText takes.
enum TextStyle : unsigned {
    kTextLeft = 0x0,
    kTextCenter = 0x1,
    kTextRight = 0x2,
    kTextTop = 0x0,
    kTextVCenter = 0x4,
    kTextBottom = 0x8,
    kTextSingleLine = 0x20,
    kTextEndEllipsis = 0x8000,
};

// One image drawing: |dest| in window coordinates, |source| already clipped
// to the image, |corner| the nine-part widths.
struct TImageDraw {
    TRect dest;
    TRect source;
    TRect corner;
    uint8_t fade = 255;
    bool hole = false;
    bool xtiled = false;
    bool ytiled = false;
};

class ICanvas {
public:
    virtual ~ICanvas() = default;
    // |color| is 0xAARRGGBB; the alpha byte blends.
    virtual void FillRect(const TRect& rect, uint32_t color) = 0;
    virtual void DrawImage(const TImageData& image, const TImageDraw& draw) = 0;
    // |color| 0xAARRGGBB; only red, green and blue are used for text.
    virtual void DrawText(const std::wstring& text, const TRect& rect, const TFontInfo& font,
                          uint32_t color, unsigned style) = 0;
    virtual void DrawBorder(const TRect& rect, int size, uint32_t color) = 0;
    virtual void DrawRoundBorder(const TRect& rect, int size, int cx, int cy, uint32_t color) = 0;
    // Clips later drawing to |rect| intersected with the current clip.
    virtual void PushClip(const TRect& rect) = 0;
    virtual void PopClip() = 0;
};

}  // namespace SkinUI
