// The per-window manager of the skinned UI framework. Its static members hold
// the process-wide resource state: the module whose resources hold the skin,
// the resource folder and the open skin package. Main thread only.
#pragma once

#include <string>

namespace SkinUI {

class CWindowManagerUI {
public:
    // The module handle (an HINSTANCE) whose resources are searched.
    static void SetInstance(void* instance);
    static void* GetInstance();

    // Always ends in '\' or '/' once set; a path ending in neither gets '\'.
    static void SetResourcePath(const std::wstring& path);
    static const std::wstring& GetResourcePath();

    // Runs the message loop until WM_QUIT; every message is offered to the
    // framework's pre-translation before it is translated and dispatched.
    static void MessageLoop();

    // Frees the cached skin package and images at the end of the process.
    static void Term();
};

}  // namespace SkinUI
