#include "support/UiTestHost_win.h"

#include <gtest/gtest.h>

#include "ui/skin/ModuleInstance_win.h"
#include "ui/window/WindowHost_win.h"

namespace testsupport {

namespace {
constexpr wchar_t kClass[] = L"SkinUITestHost";
}

UiTestHost::UiTestHost(const std::wstring& layout, int x, int y) {
    static const bool registered = [] {
        WNDCLASSW wc{};
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = &UiTestHost::Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = kClass;
        return RegisterClassW(&wc) != 0;
    }();
    EXPECT_TRUE(registered);
    SkinUI::SetModuleInstance(GetModuleHandleW(nullptr));
    hwnd_ = CreateWindowExW(0, kClass, L"QuambarLauncher", WS_POPUP | WS_CLIPCHILDREN, x, y, 10, 10,
                            nullptr, nullptr, GetModuleHandleW(nullptr), this);
    EXPECT_NE(hwnd_, nullptr);
    SkinUI::CWindowHostWin::Attach(manager_, hwnd_);
    SkinUI::CLayoutBuilder builder;
    auto root = builder.Create(layout, L"", nullptr, &manager_);
    EXPECT_NE(root, nullptr) << "layout: "
                             << std::string(builder.GetLastError().begin(),
                                            builder.GetLastError().end());
    manager_.AttachDialog(std::move(root));
    manager_.AddNotifier(this);
    const SkinUI::TSize size = manager_.GetWindowAttributes().initSize;
    SetWindowPos(hwnd_, HWND_TOPMOST, x, y, size.cx, size.cy, SWP_SHOWWINDOW);
    UpdateWindow(hwnd_);
    Drain();
}

UiTestHost::~UiTestHost() {
    manager_.RemoveNotifier(this);
    if (IsWindow(hwnd_)) {
        // Without a window manager Wine waits two seconds for an X window
        // being hidden to be withdrawn; one destroyed while still marked
        // visible goes at once.
        SetWindowLongPtrW(hwnd_, GWL_STYLE, GetWindowLongPtrW(hwnd_, GWL_STYLE) & ~WS_VISIBLE);
        DestroyWindow(hwnd_);
    }
    Drain();
}

void UiTestHost::Notify(SkinUI::TControlNotify& msg) {
    std::string line(msg.type.begin(), msg.type.end());
    line += ":";
    if (msg.sender != nullptr) {
        const std::wstring& name = msg.sender->GetName();
        line += std::string(name.begin(), name.end());
    }
    if (msg.type == L"itemselect" || msg.type == L"timer") {
        line.append(1, ':').append(std::to_string(static_cast<int32_t>(msg.wParam)));
    }
    if (msg.type == L"itemselect") {
        line.append(1, ':').append(std::to_string(static_cast<int32_t>(msg.lParam)));
    }
    events.push_back(line);
}

void UiTestHost::Drain() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (SkinUI::CWindowHostWin::TranslateMessage(&msg)) continue;
        ::TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void UiTestHost::Post(UINT message, WPARAM wParam, int x, int y) {
    PostMessageW(hwnd_, message, wParam, MAKELPARAM(x, y));
    Drain();
}

void UiTestHost::Click(int x, int y) {
    Post(WM_MOUSEMOVE, 0, x, y);
    Post(WM_LBUTTONDOWN, MK_LBUTTON, x, y);
    Post(WM_LBUTTONUP, 0, x, y);
}

void UiTestHost::Key(WPARAM key) {
    PostMessageW(hwnd_, WM_KEYDOWN, key, 1);
    PostMessageW(hwnd_, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
    Drain();
}

LRESULT CALLBACK UiTestHost::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* host = reinterpret_cast<UiTestHost*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    SkinUI::CWindowHostWin* window =
        host != nullptr ? SkinUI::CWindowHostWin::Of(host->manager_) : nullptr;
    if (window != nullptr && window->GetPaintWindow() == hwnd) {
        LRESULT result = 0;
        if (window->MessageHandler(message, wParam, lParam, result)) return result;
    }
    if (message == WM_NCDESTROY) SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace testsupport
