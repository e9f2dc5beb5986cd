// What the game window decides apart from its window: which pages belong to
// the login host, and where a maximised game window goes. Portable; any
// thread.
#pragma once

#include <string_view>

#include "ui/paint/Geometry.h"

// A page of the login host: the address holds "http://" and the login
// host's name anywhere, in any ASCII letter case.
bool IsLoginHostPage(std::wstring_view url);

struct MaximizedPlacement {
    SkinUI::TPoint position;  // relative to the monitor's top-left corner
    SkinUI::TSize size;
};

// A maximised game window covers the work area of its monitor (both in
// screen coordinates), not the taskbar, wherever the taskbar stands.
MaximizedPlacement MaximizedPlacementFor(const SkinUI::TRect& monitor, const SkinUI::TRect& work);
