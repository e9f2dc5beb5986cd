// The floor of the start-up figure: the smallest Win32 program that shows a
// window the size of the update window and paints it once, reporting as the
// launcher's road does (testsupport::WriteFirstPaintReport).
//   minimal_window --first-paint-report=PATH
#include <windows.h>

#include <cwchar>
#include <string>

#include "support/FirstPaintReport_win.h"

namespace {

LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(hwnd, &paint);
        RECT rc{};
        GetClientRect(hwnd, &rc);
        FillRect(dc, &rc, static_cast<HBRUSH>(GetStockObject(DKGRAY_BRUSH)));
        EndPaint(hwnd, &paint);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int) {
    const wchar_t* option = wcsstr(commandLine, L"--first-paint-report=");
    if (!option) return 2;
    std::wstring path = option + wcslen(L"--first-paint-report=");
    if (!path.empty() && path.front() == L'"') path = path.substr(1, path.find(L'"', 1) - 1);

    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.lpszClassName = L"MinimalWindow";
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    if (!RegisterClassW(&wc)) return 3;
    HWND hwnd = CreateWindowExW(WS_EX_WINDOWEDGE, wc.lpszClassName, L"QuambarLauncher", WS_POPUP,
                                CW_USEDEFAULT, CW_USEDEFAULT, 590, 116, nullptr, nullptr, instance,
                                nullptr);
    if (!hwnd) return 4;
    ShowWindow(hwnd, SW_SHOWNORMAL);
    UpdateWindow(hwnd);
    if (!testsupport::WriteFirstPaintReport(path)) return 5;
    DestroyWindow(hwnd);
    return 0;
}
