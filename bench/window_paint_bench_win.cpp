// Cost of one full repaint of each launcher window's control tree through
// the GDI canvas into its back buffer, against the floor it cannot beat in
// the same run: one AlphaBlend of a window-sized image into the same
// buffer (every window covers itself with at least its background art).
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "ui/controls/LayoutBuilder.h"
#include "ui/paint/GdiCanvas_win.h"
#include "ui/skin/ModuleInstance_win.h"
#include "ui/window/WindowManager.h"

namespace {

constexpr int kRounds = 25;
constexpr const wchar_t* kLayouts[] = {L"main.xml",        L"update.xml", L"reggamedll.xml",
                                       L"loading.xml",     L"game.xml",   L"bosskey.xml",
                                       L"changeserver.xml"};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

template <class F>
double TimeMedian(F&& work) {
    std::vector<double> samples;
    for (int round = 0; round < kRounds; ++round) {
        const auto start = std::chrono::steady_clock::now();
        work();
        GdiFlush();
        samples.push_back(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return Median(samples);
}

}  // namespace

int main() {
    SkinUI::SetModuleInstance(GetModuleHandleW(nullptr));
    if (!SkinUI::CWindowManagerUI::LoadSkinPackageFromResource(129)) {
        std::fprintf(stderr, "window_paint_bench: no skin package\n");
        return 1;
    }
    std::printf("%-18s %8s %10s %10s %7s\n", "layout", "size", "paint ms", "floor ms", "ratio");
    double worst = 0;
    for (const wchar_t* layout : kLayouts) {
        SkinUI::CWindowManagerUI manager;
        SkinUI::CLayoutBuilder builder;
        if (!manager.AttachDialog(builder.Create(layout, L"", nullptr, &manager))) {
            std::fprintf(stderr, "window_paint_bench: %ls does not build\n", layout);
            return 1;
        }
        const SkinUI::TSize size = manager.GetClientSize();
        SkinUI::CDibSurface buffer;
        if (!buffer.Resize(size.cx, size.cy)) return 1;
        SkinUI::CGdiResourceCache cache;
        const SkinUI::TRect all{0, 0, size.cx, size.cy};
        const auto paint = [&] {
            SkinUI::CGdiCanvas canvas(buffer.GetDC(), cache);
            manager.Paint(canvas, all);
        };
        paint();  // images decoded and turned into bitmaps once, as in a window

        SkinUI::TImageData art;
        art.width = size.cx;
        art.height = size.cy;
        art.pixels.assign(static_cast<size_t>(size.cx) * static_cast<size_t>(size.cy), 0xFF203040u);
        SkinUI::TImageDraw draw;
        draw.dest = all;
        draw.source = all;
        const auto floor = [&] {
            SkinUI::CGdiCanvas canvas(buffer.GetDC(), cache);
            canvas.DrawImage(art, draw);
        };
        floor();

        const double paintSeconds = TimeMedian(paint);
        const double floorSeconds = TimeMedian(floor);
        const double ratio = floorSeconds > 0 ? paintSeconds / floorSeconds : 0;
        worst = std::max(worst, ratio);
        std::printf("%-18ls %4dx%-4d %10.3f %10.3f %7.2f\n", layout, size.cx, size.cy,
                    paintSeconds * 1000, floorSeconds * 1000, ratio);
    }
    std::printf("window_paint_bench: worst ratio %.2f (full repaint / one window-sized blend)\n",
                worst);
    return 0;
}
