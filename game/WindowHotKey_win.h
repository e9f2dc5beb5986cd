// The global hotkey of one window and identifier, over RegisterHotKey.
// The window's own thread only (WM_HOTKEY arrives in its queue).
#pragma once

#include <windows.h>

#include "game/BossKeySettings.h"

class WindowHotKey : public HotKeyService {
public:
    WindowHotKey(const WindowHotKey&) = delete;
    WindowHotKey& operator=(const WindowHotKey&) = delete;

    // |window| may be set later, once it exists.
    explicit WindowHotKey(int id, HWND window = nullptr) : id_(id), window_(window) {}

    void SetWindow(HWND window) { window_ = window; }

    // Logs a refusal (another program may hold the combination).
    bool Register(uint32_t modifiers, uint16_t code) override;
    void Unregister() override;

private:
    const int id_;
    HWND window_;
};
