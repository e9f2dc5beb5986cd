// Hooks through which windows see messages before the framework handles
// them. Types are kept platform-neutral (an HWND message's wParam/lParam as
// integers) so the portable manager header can name them. UI thread only.
#pragma once

#include <cstdint>

namespace SkinUI {

// Offered a window's messages before its manager handles them (pre-message
// filters, registered by the window base) and, from the message loop, the
// messages of top-level windows (message filters).
class IMessageFilterUI {
public:
    virtual ~IMessageFilterUI() = default;
    // Sets |handled| to consume the message; the result is then returned.
    virtual intptr_t MessageHandler(unsigned message, uintptr_t wParam, intptr_t lParam,
                                    bool& handled) = 0;
};

// Offered each message of the loop first; true consumes it (accelerators).
class ITranslateAccelerator {
public:
    virtual ~ITranslateAccelerator() = default;
    virtual bool TranslateAccelerator(const void* msg) = 0;  // a MSG*
};

}  // namespace SkinUI
