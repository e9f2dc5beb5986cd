// Rectangles, sizes and points in window client coordinates, and the bounds
// that keep layout arithmetic from overflowing. Portable; any thread.
#pragma once

namespace SkinUI {

struct TRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool IsNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    bool operator==(const TRect&) const = default;
};

struct TSize {
    int cx = 0;
    int cy = 0;
    bool operator==(const TSize&) const = default;
};

struct TPoint {
    int x = 0;
    int y = 0;
};

// The overlap of two rectangles; false (and an empty |out|) when none.
bool IntersectRect(const TRect& a, const TRect& b, TRect& out);

// Layout numbers that are lengths or offsets are held to +-kMaxLength, and
// computed coordinates to +-kMaxCoord, so that no sum of them overflows.
inline constexpr int kMaxLength = 9999999;
inline constexpr int kMaxCoord = 1 << 30;
int ClampCoord(long long value);
// Each side held to +-kMaxLength.
TRect ClampLengths(const TRect& rect);

}  // namespace SkinUI
