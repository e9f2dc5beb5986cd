#include "support/ScreenCapture_win.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "support/UiTestHost_win.h"
#include "support/WinTestSupport_win.h"

namespace testsupport {

int Luma(uint32_t p) {
    return static_cast<int>((((p >> 16) & 0xFF) * 3 + ((p >> 8) & 0xFF) * 6 + (p & 0xFF)) / 10);
}

ScreenCapture::ScreenCapture(HWND hwnd, const std::string& name) {
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    UiTestHost::Drain();
    RECT r{};
    GetClientRect(hwnd, &r);
    POINT origin{0, 0};
    ClientToScreen(hwnd, &origin);
    EXPECT_TRUE(surface.Resize(r.right, r.bottom));
    HDC screen = GetDC(nullptr);
    BitBlt(surface.GetDC(), 0, 0, r.right, r.bottom, screen, origin.x, origin.y, SRCCOPY);
    ReleaseDC(nullptr, screen);
    if (const char* dir = std::getenv("LAUNCHER_SCREENSHOT_DIR")) Save(dir, name);
}

void ScreenCapture::Save(const std::string& dir, const std::string& name) const {
    const int w = surface.Width();
    const int h = surface.Height();
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    info.biSize = sizeof(info);
    info.biWidth = w;
    info.biHeight = -h;
    info.biPlanes = 1;
    info.biBitCount = 32;
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + static_cast<DWORD>(w * h * 4);
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof(file));
    bytes.append(reinterpret_cast<const char*>(&info), sizeof(info));
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const uint32_t p = surface.Pixel(x, y) | 0xFF000000u;
            bytes.append(reinterpret_cast<const char*>(&p), 4);
        }
    }
    EXPECT_TRUE(WriteFileBytes(FromUnixPath(dir + "/" + name + ".bmp"), bytes));
}

int ScreenCapture::CountDark(const SkinUI::TRect& r, int luma) const {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y) {
        for (int x = r.left; x < r.right; ++x) n += Luma(surface.Pixel(x, y)) < luma;
    }
    return n;
}

}  // namespace testsupport
