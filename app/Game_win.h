// The game session controller: owns the in-game windows and the tray icon.
// Main thread only.
#pragma once

#include <windows.h>

class CGame {
public:
    CGame(const CGame&) = delete;
    CGame& operator=(const CGame&) = delete;

    CGame();
    ~CGame();

    bool Initialize();
    bool Start();
    void Uninitialize();

    // The hidden message window, null outside Initialize..Uninitialize.
    HWND GetHWND() const { return hwnd_; }

private:
    HWND hwnd_ = nullptr;
};
