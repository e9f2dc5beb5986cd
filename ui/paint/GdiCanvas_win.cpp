#include "ui/paint/GdiCanvas_win.h"

#include <algorithm>
#include <cstring>

#include "common/qlogger/QLogger.h"

namespace SkinUI {

namespace {

// Selects an object into a DC for the scope and puts the old one back.
class SelectScope {
public:
    SelectScope(const SelectScope&) = delete;
    SelectScope& operator=(const SelectScope&) = delete;
    SelectScope(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    ~SelectScope() {
        if (old_ != nullptr && old_ != HGDI_ERROR) SelectObject(dc_, old_);
    }

private:
    HDC dc_;
    HGDIOBJ old_;
};

BITMAPINFO TopDownInfo(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows, as the images are
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

HBITMAP CreateDib(int width, int height, uint32_t** bits) {
    BITMAPINFO info = TopDownInfo(width, height);
    void* pixels = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (bitmap == nullptr || pixels == nullptr) {
        QLogger::Log(QLOG_ERROR, "%s: CreateDIBSection %dx%d failed:%lu", "SkinUI::CreateDib",
                     width, height, GetLastError());
        if (bitmap != nullptr) DeleteObject(bitmap);
        return nullptr;
    }
    *bits = static_cast<uint32_t*>(pixels);
    return bitmap;
}

COLORREF ToColorRef(uint32_t argb) {
    return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}

// One of the three spans of a nine-part image along one axis: the fixed
// start, the stretched (or tiled) middle, the fixed end.
struct TSpan {
    int dst0, dst1, src0, src1;
};

// Splits [dst0,dst1) and [src0,src1) at the corner widths. When the
// destination is too small for both corners they are cut, never scaled.
void SplitSpans(int dst0, int dst1, int src0, int src1, int head, int tail, TSpan out[3]) {
    const int srcLen = src1 - src0;
    const int dstLen = dst1 - dst0;
    head = std::clamp(head, 0, srcLen);
    tail = std::clamp(tail, 0, srcLen - head);
    const int dstHead = std::min(head, dstLen);
    const int dstTail = std::min(tail, dstLen - dstHead);
    out[0] = {dst0, dst0 + dstHead, src0, src0 + dstHead};
    out[1] = {dst0 + dstHead, dst1 - dstTail, src0 + head, src1 - tail};
    out[2] = {dst1 - dstTail, dst1, src1 - dstTail, src1};
}

}  // namespace

// ---- CGdiResourceCache -----------------------------------------------------

HBITMAP CGdiResourceCache::GetBitmap(const TImageData& image) {
    const auto it = bitmaps_.find(&image);
    if (it != bitmaps_.end()) return static_cast<HBITMAP>(it->second.get());
    const size_t count = static_cast<size_t>(image.width) * static_cast<size_t>(image.height);
    if (image.width <= 0 || image.height <= 0 || image.pixels.size() < count) return nullptr;
    uint32_t* bits = nullptr;
    HBITMAP bitmap = CreateDib(image.width, image.height, &bits);
    if (bitmap == nullptr) return nullptr;
    // Premultiplied 0xAARRGGBB words are BGRA bytes in memory: what
    // AlphaBlend with AC_SRC_ALPHA expects.
    std::memcpy(bits, image.pixels.data(), count * sizeof(uint32_t));
    GdiFlush();
    bitmaps_.emplace(&image, UniqueGdiObject(bitmap));
    return bitmap;
}

HFONT CGdiResourceCache::GetFont(const TFontInfo& font) {
    const auto key = std::make_tuple(font.name, font.size, font.bold, font.underline, font.italic);
    const auto it = fonts_.find(key);
    if (it != fonts_.end()) return static_cast<HFONT>(it->second.get());
    const std::wstring face = font.name.empty() ? std::wstring(L"Tahoma") : font.name;
    HFONT handle =
        CreateFontW(-std::clamp(font.size, 1, 500), 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL,
                    font.italic ? TRUE : FALSE, font.underline ? TRUE : FALSE, FALSE,
                    DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                    DEFAULT_PITCH | FF_DONTCARE, face.substr(0, LF_FACESIZE - 1).c_str());
    if (handle == nullptr) {
        QLogger::LogW(QLOG_ERROR, L"%ls: CreateFontW %ls failed:%lu", L"CGdiResourceCache::GetFont",
                      face.c_str(), GetLastError());
        return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    }
    fonts_.emplace(key, UniqueGdiObject(handle));
    return handle;
}

void CGdiResourceCache::Clear() {
    bitmaps_.clear();
    fonts_.clear();
}

// ---- CDibSurface -------------------------------------------------------------

CDibSurface::~CDibSurface() {
    if (dc_ && oldBitmap_ != nullptr) SelectObject(dc_.get(), oldBitmap_);
}

bool CDibSurface::Resize(int width, int height) {
    width = std::max(width, 1);
    height = std::max(height, 1);
    if (dc_ && width_ == width && height_ == height) return true;
    if (!dc_) {
        dc_.reset(CreateCompatibleDC(nullptr));
        if (!dc_) {
            QLogger::Log(QLOG_ERROR, "%s: CreateCompatibleDC failed:%lu", "CDibSurface::Resize",
                         GetLastError());
            return false;
        }
    }
    uint32_t* bits = nullptr;
    HBITMAP bitmap = CreateDib(width, height, &bits);
    if (bitmap == nullptr) return false;
    HGDIOBJ previous = SelectObject(dc_.get(), bitmap);
    if (oldBitmap_ == nullptr) oldBitmap_ = previous;
    bitmap_.reset(bitmap);  // the earlier buffer, now deselected, goes
    bits_ = bits;
    width_ = width;
    height_ = height;
    return true;
}

uint32_t CDibSurface::Pixel(int x, int y) const {
    if (bits_ == nullptr || x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    GdiFlush();
    return bits_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)];
}

void CDibSurface::Fill(uint32_t argb) {
    if (bits_ == nullptr) return;
    GdiFlush();
    std::fill(bits_, bits_ + static_cast<size_t>(width_) * static_cast<size_t>(height_), argb);
}

// ---- CGdiCanvas ----------------------------------------------------------------

CGdiCanvas::CGdiCanvas(HDC dc, CGdiResourceCache& cache)
    : dc_(dc), cache_(cache), sourceDc_(CreateCompatibleDC(dc)) {
    SetBkMode(dc_, TRANSPARENT);
}

CGdiCanvas::~CGdiCanvas() {
    while (clipDepth_ > 0) PopClip();
}

void CGdiCanvas::FillRect(const TRect& rect, uint32_t color) {
    if (rect.IsEmpty()) return;
    const uint8_t alpha = static_cast<uint8_t>(color >> 24);
    if (alpha == 0) return;
    const RECT r{rect.left, rect.top, rect.right, rect.bottom};
    if (alpha == 255) {
        UniqueGdiObject brush(CreateSolidBrush(ToColorRef(color)));
        if (brush) ::FillRect(dc_, &r, static_cast<HBRUSH>(brush.get()));
        return;
    }
    // A one-pixel opaque source stretched over the rectangle with a constant
    // alpha blends the colour over what is there.
    uint32_t* bits = nullptr;
    UniqueGdiObject pixel(CreateDib(1, 1, &bits));
    if (!pixel || !sourceDc_) return;
    *bits = color | 0xFF000000u;
    GdiFlush();
    SelectScope select(sourceDc_.get(), pixel.get());
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, alpha, 0};
    AlphaBlend(dc_, rect.left, rect.top, rect.Width(), rect.Height(), sourceDc_.get(), 0, 0, 1, 1,
               blend);
}

void CGdiCanvas::Blend(HDC source, const TRect& dst, const TRect& src, uint8_t fade) {
    if (dst.IsEmpty() || src.IsEmpty()) return;
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, fade, AC_SRC_ALPHA};
    AlphaBlend(dc_, dst.left, dst.top, dst.Width(), dst.Height(), source, src.left, src.top,
               src.Width(), src.Height(), blend);
}

void CGdiCanvas::Tile(HDC source, const TRect& dst, const TRect& src, uint8_t fade, bool xtiled,
                      bool ytiled) {
    if (dst.IsEmpty() || src.IsEmpty()) return;
    const int stepX = xtiled ? src.Width() : dst.Width();
    const int stepY = ytiled ? src.Height() : dst.Height();
    for (int y = dst.top; y < dst.bottom; y += stepY) {
        const int h = std::min(stepY, dst.bottom - y);
        for (int x = dst.left; x < dst.right; x += stepX) {
            const int w = std::min(stepX, dst.right - x);
            const TRect part{x, y, x + w, y + h};
            // A cut tile shows the start of the source, unscaled.
            TRect from = src;
            if (xtiled) from.right = src.left + w;
            if (ytiled) from.bottom = src.top + h;
            Blend(source, part, from, fade);
        }
    }
}

void CGdiCanvas::DrawImage(const TImageData& image, const TImageDraw& draw) {
    if (draw.dest.IsEmpty() || draw.fade == 0 || !sourceDc_) return;
    TRect source = draw.source;
    source.left = std::clamp(source.left, 0, image.width);
    source.right = std::clamp(source.right, 0, image.width);
    source.top = std::clamp(source.top, 0, image.height);
    source.bottom = std::clamp(source.bottom, 0, image.height);
    if (source.IsEmpty()) return;
    HBITMAP bitmap = cache_.GetBitmap(image);
    if (bitmap == nullptr) return;
    SelectScope select(sourceDc_.get(), bitmap);

    TSpan xs[3];
    TSpan ys[3];
    SplitSpans(draw.dest.left, draw.dest.right, source.left, source.right, draw.corner.left,
               draw.corner.right, xs);
    SplitSpans(draw.dest.top, draw.dest.bottom, source.top, source.bottom, draw.corner.top,
               draw.corner.bottom, ys);
    for (int iy = 0; iy < 3; ++iy) {
        for (int ix = 0; ix < 3; ++ix) {
            if (draw.hole && ix == 1 && iy == 1) continue;
            const TRect dst{xs[ix].dst0, ys[iy].dst0, xs[ix].dst1, ys[iy].dst1};
            const TRect src{xs[ix].src0, ys[iy].src0, xs[ix].src1, ys[iy].src1};
            const bool tileX = draw.xtiled && ix == 1;
            const bool tileY = draw.ytiled && iy == 1;
            if (tileX || tileY) {
                Tile(sourceDc_.get(), dst, src, draw.fade, tileX, tileY);
            } else {
                Blend(sourceDc_.get(), dst, src, draw.fade);
            }
        }
    }
}

void CGdiCanvas::DrawText(const std::wstring& text, const TRect& rect, const TFontInfo& font,
                          uint32_t color, unsigned style) {
    if (text.empty() || rect.IsEmpty()) return;
    SelectScope select(dc_, cache_.GetFont(font));
    SetTextColor(dc_, ToColorRef(color));
    SetBkMode(dc_, TRANSPARENT);
    UINT format = DT_NOPREFIX;
    if (style & kTextCenter) format |= DT_CENTER;
    if (style & kTextRight) format |= DT_RIGHT;
    if (style & kTextEndEllipsis) format |= DT_END_ELLIPSIS;
    RECT r{rect.left, rect.top, rect.right, rect.bottom};
    const int length = static_cast<int>(std::min<size_t>(text.size(), 0x7FFFFFFF));
    if (style & kTextSingleLine) {
        format |= DT_SINGLELINE;
        if (style & kTextVCenter) format |= DT_VCENTER;
        if (style & kTextBottom) format |= DT_BOTTOM;
    } else {
        format |= DT_WORDBREAK | DT_EDITCONTROL;
        // GDI centres vertically only single lines: measure and place.
        if (style & (kTextVCenter | kTextBottom)) {
            RECT measure = r;
            ::DrawTextW(dc_, text.c_str(), length, &measure, format | DT_CALCRECT);
            const int free = rect.Height() - (measure.bottom - measure.top);
            if (free > 0) r.top += (style & kTextBottom) ? free : free / 2;
        }
    }
    ::DrawTextW(dc_, text.c_str(), length, &r, format);
}

void CGdiCanvas::DrawBorder(const TRect& rect, int size, uint32_t color) {
    if (size <= 0 || rect.IsEmpty()) return;
    size = std::min({size, (rect.Width() + 1) / 2, (rect.Height() + 1) / 2});
    const uint32_t opaque = color | 0xFF000000u;
    FillRect({rect.left, rect.top, rect.right, rect.top + size}, opaque);
    FillRect({rect.left, rect.bottom - size, rect.right, rect.bottom}, opaque);
    FillRect({rect.left, rect.top + size, rect.left + size, rect.bottom - size}, opaque);
    FillRect({rect.right - size, rect.top + size, rect.right, rect.bottom - size}, opaque);
}

void CGdiCanvas::DrawRoundBorder(const TRect& rect, int size, int cx, int cy, uint32_t color) {
    if (size <= 0 || rect.IsEmpty()) return;
    UniqueGdiObject pen(CreatePen(PS_INSIDEFRAME, size, ToColorRef(color)));
    if (!pen) return;
    SelectScope selectPen(dc_, pen.get());
    SelectScope selectBrush(dc_, GetStockObject(NULL_BRUSH));
    RoundRect(dc_, rect.left, rect.top, rect.right, rect.bottom, cx, cy);
}

void CGdiCanvas::PushClip(const TRect& rect) {
    if (SaveDC(dc_) == 0) return;
    ++clipDepth_;
    IntersectClipRect(dc_, rect.left, rect.top, rect.right, rect.bottom);
}

void CGdiCanvas::PopClip() {
    if (clipDepth_ == 0) return;
    --clipDepth_;
    RestoreDC(dc_, -1);
}

}  // namespace SkinUI
