// The boss key's global hotkey on Wine: registration holds the combination
// against other windows, and a real key press arrives as WM_HOTKEY.
#include "game/WindowHotKey_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "game/HotKey.h"

namespace {

// A plain top-level window that keeps the WM_HOTKEY messages it receives.
class HotKeyWindow {
public:
    HotKeyWindow() {
        static const ATOM atom = [] {
            WNDCLASSW wc = {};
            wc.lpfnWndProc = Proc;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = L"WindowHotKeyTest";
            return RegisterClassW(&wc);
        }();
        hwnd_ = CreateWindowExW(0, MAKEINTATOM(atom), L"hotkey", WS_POPUP, 0, 0, 10, 10, nullptr,
                                nullptr, GetModuleHandleW(nullptr), this);
    }
    ~HotKeyWindow() { DestroyWindow(hwnd_); }

    HWND hwnd() const { return hwnd_; }
    std::vector<std::pair<WPARAM, LPARAM>> hotKeys;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE) {
            auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
            SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* self = reinterpret_cast<HotKeyWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (message == WM_HOTKEY && self) {
            self->hotKeys.emplace_back(wParam, lParam);
            return 0;
        }
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    HWND hwnd_ = nullptr;
};

// Pumps until |done| or the bound passes.
template <class Pred>
bool PumpUntil(Pred done, DWORD timeoutMs = 5000) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    return true;
}

void PressCtrlWith(WORD key) {
    INPUT inputs[4] = {};
    const WORD keys[4] = {VK_CONTROL, key, key, VK_CONTROL};
    for (int i = 0; i < 4; ++i) {
        inputs[i].type = INPUT_KEYBOARD;
        inputs[i].ki.wVk = keys[i];
        inputs[i].ki.dwFlags = i < 2 ? 0 : KEYEVENTF_KEYUP;
    }
    ASSERT_EQ(SendInput(4, inputs, sizeof(INPUT)), 4u);
}

TEST(WindowHotKey, HoldsTheCombinationUntilUnregistered) {
    HotKeyWindow dialog, other;
    ASSERT_NE(dialog.hwnd(), nullptr);
    WindowHotKey hotKey(kBossKeyHotKeyId, dialog.hwnd());
    ASSERT_TRUE(hotKey.Register(kHotKeyModControl | kHotKeyModShift, VK_F9));
    EXPECT_FALSE(RegisterHotKey(other.hwnd(), 7, MOD_CONTROL | MOD_SHIFT, VK_F9));
    // A refusal comes back as false (and is logged).
    EXPECT_FALSE(hotKey.Register(kHotKeyModControl | kHotKeyModShift, VK_F9));
    hotKey.Unregister();
    EXPECT_TRUE(RegisterHotKey(other.hwnd(), 7, MOD_CONTROL | MOD_SHIFT, VK_F9));
    UnregisterHotKey(other.hwnd(), 7);
    // Unregistering with nothing registered is harmless.
    hotKey.Unregister();
}

TEST(WindowHotKey, AKeyPressArrivesAsWmHotKeyWithItsIdentifier) {
    HotKeyWindow dialog;
    WindowHotKey hotKey(kBossKeyHotKeyId, dialog.hwnd());
    ASSERT_TRUE(hotKey.Register(kHotKeyModControl, VK_F11));
    PressCtrlWith(VK_F11);
    ASSERT_TRUE(PumpUntil([&] { return !dialog.hotKeys.empty(); }));
    EXPECT_EQ(dialog.hotKeys[0].first, static_cast<WPARAM>(kBossKeyHotKeyId));
    EXPECT_EQ(dialog.hotKeys[0].second, MAKELPARAM(MOD_CONTROL, VK_F11));
    hotKey.Unregister();
}

}  // namespace
