// The frame decisions of a captionless skinned window: which part of the
// window a point hits, where a centred window goes, how the maximise and
// restore buttons swap. Portable; the window base feeds them what Win32
// reports. UI thread only (they read the control tree).
#pragma once

#include <span>
#include <string_view>

#include "ui/paint/Geometry.h"

namespace SkinUI {

class CWindowManagerUI;

// Values equal to the Win32 WM_NCHITTEST codes, so the window base returns
// them as they are.
enum FrameHit : int {
    kHitClient = 1,
    kHitCaption = 2,
    kHitLeft = 10,
    kHitRight = 11,
    kHitTop = 12,
    kHitTopLeft = 13,
    kHitTopRight = 14,
    kHitBottom = 15,
    kHitBottomLeft = 16,
    kHitBottomRight = 17,
};

// How the class names of controls that take clicks are compared.
enum class ClassNameMatch { kIgnoringCase, kExact };

// The controls a caption does not drag by in most windows.
inline constexpr std::wstring_view kCaptionClickClasses[] = {L"ButtonUI", L"OptionUI", L"TextUI"};

// |point| and |client| are client coordinates. The resize borders come from
// the layout's "sizebox" and count only while the window is not maximised.
// The caption's left and right are distances from the client's edges, its
// top and bottom plain coordinates; a point there drags the window unless
// the control under it is of one of |clickClasses| (they take clicks), or
// no control is there at all.
FrameHit HitTestFrame(TPoint point, const TRect& client, const TRect& sizeBox, const TRect& caption,
                      bool maximized, const CWindowManagerUI& manager,
                      ClassNameMatch match = ClassNameMatch::kIgnoringCase,
                      std::span<const std::wstring_view> clickClasses = kCaptionClickClasses);

// The top-left corner that puts |window|'s centre on |reference|'s centre,
// then pushed inside |workArea| (left and top edges win when the window is
// larger than the work area).
TPoint CenteredOrigin(const TRect& window, const TRect& reference, const TRect& workArea);

// After a system command changed the maximised state: "maxbtn" shows
// exactly when the window was maximised before, "restorebtn" exactly when
// it was not. Nothing happens unless the tree holds both. True when changed.
bool SwapMaxRestoreButtons(CWindowManagerUI& manager, bool wasMaximized);

}  // namespace SkinUI
