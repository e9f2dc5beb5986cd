// Hooks through which windows see messages before the framework handles
// them. UI thread only.
#pragma once

#include <windows.h>

namespace SkinUI {

// Offered a window's messages before its manager handles them (pre-message
// filters, registered by the window base) and, from the message loop, the
// messages of top-level windows (message filters).
class IMessageFilterUI {
public:
    virtual ~IMessageFilterUI() = default;
    // Sets |handled| to consume the message; the result is then returned.
    virtual LRESULT MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) = 0;
};

// Offered each message of the loop first; true consumes it (accelerators).
class ITranslateAccelerator {
public:
    virtual ~ITranslateAccelerator() = default;
    virtual bool TranslateAccelerator(const MSG* msg) = 0;
};

}  // namespace SkinUI
