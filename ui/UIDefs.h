// Geometry and the attribute value syntax shared by the controls, the
// builder and the window manager. Portable; any thread.
#pragma once

#include <cstdint>
#include <string>

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

// Decimal integer with optional sign; leading blanks allowed. Text that is
// not a number gives 0, like the layouts expect of a missing number.
int ParseInt(const wchar_t* text);

// Up to |count| decimal numbers each separated by one character (usually
// ','), blanks allowed before a number; missing numbers count as 0.
void ParseNumberList(const wchar_t* text, int* out, int count);
// Number lists of geometry: each number held to +-kMaxLength.
TRect ParseRect(const wchar_t* text);
TSize ParseSize(const wchar_t* text);

// AARRGGBB after an optional '#'. Bad digits stop the number where they are.
uint32_t ParseColor(const wchar_t* text);

// Hexadecimal with an optional "0x" or '#'.
uint32_t ParseHex(const wchar_t* text);

// Exactly "true" is true.
bool ParseBool(const wchar_t* text);

}  // namespace SkinUI
