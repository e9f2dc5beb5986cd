// Time from CreateWindowEx to the end of the first paint for the update and
// the game window's skins, against the floor measured in the same run: a
// plain Win32 window of the same size that paints one solid fill. Needs a
// display (Xvfb under Wine).
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "ui/controls/Control.h"
#include "ui/skin/ModuleInstance_win.h"
#include "ui/window/WindowImplBase_win.h"

namespace {

constexpr int kRounds = 15;

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void Drain() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

class CBenchWindow : public SkinUI::WindowImplBase {
public:
    explicit CBenchWindow(const wchar_t* layout) : layout_(layout) {}
    LPCWSTR GetWindowClassName() const override { return L"WindowCreateBench"; }
    LPCWSTR GetSkinFolder() override { return L"Skin"; }
    LPCWSTR GetSkinFile() override { return layout_; }
    UINT GetResourceType() override { return SkinUI::SKIN_ZIPRESOURCE; }
    LPCWSTR GetResourceID() override { return L"129"; }

private:
    const wchar_t* layout_;
};

LRESULT CALLBACK PlainProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        FillRect(dc, &ps.rcPaint, static_cast<HBRUSH>(GetStockObject(DKGRAY_BRUSH)));
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// One skinned window: create, show, first paint (UpdateWindow paints now).
double TimeSkinned(const wchar_t* layout, SIZE& size) {
    CBenchWindow window(layout);
    const auto start = Clock::now();
    HWND hwnd = window.Create(nullptr, L"QuambarLauncher", WS_POPUP, 0);
    if (hwnd == nullptr) return -1;
    window.ShowWindow(true, false);
    UpdateWindow(hwnd);
    const double ms = Milliseconds(Clock::now() - start);
    RECT rc{};
    GetWindowRect(hwnd, &rc);
    size = SIZE{rc.right - rc.left, rc.bottom - rc.top};
    DestroyWindow(hwnd);
    Drain();
    return ms;
}

double TimePlain(SIZE size) {
    const auto start = Clock::now();
    HWND hwnd =
        CreateWindowExW(0, L"WindowCreateBenchPlain", L"QuambarLauncher", WS_POPUP, 0, 0, size.cx,
                        size.cy, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (hwnd == nullptr) return -1;
    ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    UpdateWindow(hwnd);
    const double ms = Milliseconds(Clock::now() - start);
    DestroyWindow(hwnd);
    Drain();
    return ms;
}

}  // namespace

int main() {
    SkinUI::SetModuleInstance(GetModuleHandleW(nullptr));
    WNDCLASSW wc{};
    wc.lpfnWndProc = PlainProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = L"WindowCreateBenchPlain";
    RegisterClassW(&wc);

    int failures = 0;
    for (const wchar_t* layout : {L"update.xml", L"game.xml"}) {
        SIZE size{};
        const double first = TimeSkinned(layout, size);  // opens the package too
        std::vector<double> skinned, plain;
        for (int i = 0; i < kRounds; ++i) {
            skinned.push_back(TimeSkinned(layout, size));
            plain.push_back(TimePlain(size));
        }
        if (first < 0 || *std::min_element(skinned.begin(), skinned.end()) < 0 ||
            *std::min_element(plain.begin(), plain.end()) < 0) {
            std::printf("%ls: a window could not be created\n", layout);
            ++failures;
            continue;
        }
        const double skinnedMs = Median(skinned);
        const double plainMs = Median(plain);
        std::printf(
            "%-11ls %ldx%ld  first %.2f ms, median %.2f ms; plain window %.2f ms; ratio %.1f\n",
            layout, size.cx, size.cy, first, skinnedMs, plainMs, skinnedMs / plainMs);
    }
    SkinUI::CWindowManagerUI::Term();
    return failures == 0 ? 0 : 1;
}
