#include "game/GameWindow.h"

#include <string>

#include "LauncherConfig.h"
#include "common/AsciiCase.h"

bool IsLoginHostPage(std::wstring_view url) {
    // The host name is a deployment value; lowered once like the address.
    static const std::wstring prefix = AsciiLowerCopy(std::wstring(L"http://") + LAUNCHER_LOGIN_HOST);
    return AsciiLowerCopy(url).find(prefix) != std::wstring::npos;
}

MaximizedPlacement MaximizedPlacementFor(const SkinUI::TRect& monitor, const SkinUI::TRect& work) {
    // The size is the work area's own: a taskbar at the left or the top moves
    // the window's corner, and the window must not reach past the far edge
    // by as much.
    return MaximizedPlacement{
        SkinUI::TPoint{work.left - monitor.left, work.top - monitor.top},
        SkinUI::TSize{work.right - work.left, work.bottom - work.top}};
}
