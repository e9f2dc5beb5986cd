// What the X server shows of a window's client area, read back for pixel
// checks. With LAUNCHER_SCREENSHOT_DIR set (a Unix folder) each capture is
// also saved there as <name>.bmp, for a person to look at.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "ui/paint/GdiCanvas_win.h"
#include "ui/paint/Geometry.h"

namespace testsupport {

int Luma(uint32_t pixel);

struct ScreenCapture {
    // Repaints |hwnd| and its children first.
    ScreenCapture(HWND hwnd, const std::string& name);
    void Save(const std::string& dir, const std::string& name) const;
    // Pixels in |r| darker than |luma|.
    int CountDark(const SkinUI::TRect& r, int luma) const;
    int CountBright(const SkinUI::TRect& r, int luma) const {
        return r.Width() * r.Height() - CountDark(r, luma + 1);
    }
    SkinUI::CDibSurface surface;
};

}  // namespace testsupport
