#include "ui/window/WindowFrame.h"

#include <string_view>

#include "common/AsciiCase.h"
#include "ui/controls/Control.h"
#include "ui/window/WindowManager.h"

namespace SkinUI {

namespace {

// Controls that take a press themselves instead of letting it drag.
bool TakesClicks(std::wstring_view className, ClassNameMatch match,
                 std::span<const std::wstring_view> clickClasses) {
    for (std::wstring_view clicked : clickClasses) {
        if (match == ClassNameMatch::kExact ? className == clicked
                                            : EqualsIgnoringAsciiCase(className, clicked)) {
            return true;
        }
    }
    return false;
}

}  // namespace

FrameHit HitTestFrame(TPoint point, const TRect& client, const TRect& sizeBox, const TRect& caption,
                      bool maximized, const CWindowManagerUI& manager, ClassNameMatch match,
                      std::span<const std::wstring_view> clickClasses) {
    if (!maximized) {
        const bool left = point.x < client.left + sizeBox.left;
        const bool right = point.x >= client.right - sizeBox.right;
        if (point.y < client.top + sizeBox.top) {
            if (left) return kHitTopLeft;
            if (right) return kHitTopRight;
            return kHitTop;
        }
        if (point.y >= client.bottom - sizeBox.bottom) {
            if (left) return kHitBottomLeft;
            if (right) return kHitBottomRight;
            return kHitBottom;
        }
        if (left) return kHitLeft;
        if (right) return kHitRight;
    }
    if (point.x >= client.left + caption.left && point.x < client.right - caption.right &&
        point.y >= caption.top && point.y < caption.bottom) {
        const CControlUI* control = manager.FindControl(point);
        if (control != nullptr && !TakesClicks(control->GetClass(), match, clickClasses)) return kHitCaption;
    }
    return kHitClient;
}

TPoint CenteredOrigin(const TRect& window, const TRect& reference, const TRect& workArea) {
    const int width = window.Width();
    const int height = window.Height();
    TPoint origin{(reference.left + reference.right) / 2 - width / 2,
                  (reference.top + reference.bottom) / 2 - height / 2};
    if (origin.x < workArea.left) {
        origin.x = workArea.left;
    } else if (origin.x + width > workArea.right) {
        origin.x = workArea.right - width;
    }
    if (origin.y < workArea.top) {
        origin.y = workArea.top;
    } else if (origin.y + height > workArea.bottom) {
        origin.y = workArea.bottom - height;
    }
    return origin;
}

bool SwapMaxRestoreButtons(CWindowManagerUI& manager, bool wasMaximized) {
    CControlUI* maxButton = manager.FindControl(std::wstring(L"maxbtn"));
    CControlUI* restoreButton = manager.FindControl(std::wstring(L"restorebtn"));
    if (maxButton == nullptr || restoreButton == nullptr) return false;
    maxButton->SetVisible(wasMaximized);
    restoreButton->SetVisible(!wasMaximized);
    return true;
}

}  // namespace SkinUI
