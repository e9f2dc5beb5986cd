// The application controller: runs the self-update and the login and hands
// the game address to the game session. Main thread only.
#pragma once

#include <windows.h>

class CApp {
public:
    CApp(const CApp&) = delete;
    CApp& operator=(const CApp&) = delete;

    CApp();
    ~CApp();

    bool Initialize();
    bool Start();
    void Uninitialize();

    // The hidden message window, null outside Initialize..Uninitialize.
    HWND GetHWND() const { return hwnd_; }

private:
    HWND hwnd_ = nullptr;
};
