// Notification records that controls send to their window through the
// window's manager. UI thread only.
#pragma once

#include <cstdint>
#include <string>

#include "ui/paint/Geometry.h"

namespace SkinUI {

class CControlUI;

struct TControlNotify {
    std::wstring type;  // "click", "selectchanged", "itemselect", "windowinit", ...
    std::wstring virtualWnd;
    CControlUI* sender = nullptr;
    uint32_t timestamp = 0;  // milliseconds
    TPoint mouse;            // last known mouse position, client coordinates
    uint32_t wParam = 0;
    uint32_t lParam = 0;
};

class INotifyUI {
public:
    virtual ~INotifyUI() = default;
    virtual void Notify(TControlNotify& msg) = 0;
};

}  // namespace SkinUI
