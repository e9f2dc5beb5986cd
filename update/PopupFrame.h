// The hit test of the launcher's small popups (the self-update window and
// the loading window): the window base's resize borders, then a caption
// rectangle taken as absolute client coordinates in which every control
// drags the window except those that take input themselves. Portable; UI
// thread only (it reads the control tree).
#pragma once

#include "ui/paint/Geometry.h"
#include "ui/window/WindowFrame.h"

namespace SkinUI {
class CWindowManagerUI;
}

// |point| and |client| in client coordinates; |caption| left and top
// inclusive, right and bottom exclusive. Buttons, options, sliders and
// edits (class names compared without regard to case) never drag.
SkinUI::FrameHit HitTestPopupFrame(SkinUI::TPoint point, const SkinUI::TRect& client,
                                   const SkinUI::TRect& sizeBox, const SkinUI::TRect& caption,
                                   bool maximized, const SkinUI::CWindowManagerUI& manager);
