// What the X server shows of a rectangle of the screen, read back through
// GDI, for tests that look at another process's window.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

struct ScreenImage {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // 0xRRGGBB, top row first

    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    // Writes a 32-bit BMP; false when the file cannot be written.
    bool SaveBmp(const std::wstring& path) const;
};

// The screen's pixels in |rect| (screen coordinates).
ScreenImage CaptureScreen(const RECT& rect);

// |hwnd|'s client area on the screen.
RECT ClientRectOnScreen(HWND hwnd);

}  // namespace testsupport
