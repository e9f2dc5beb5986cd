#include "update/PopupFrame.h"

#include <string>
#include <string_view>

#include "common/AsciiCase.h"
#include "ui/controls/Control.h"
#include "ui/window/WindowManager.h"

namespace {

bool TakesInput(std::wstring_view className) {
    for (const wchar_t* taker : {L"ButtonUI", L"OptionUI", L"SliderUI", L"EditUI", L"RichEditUI"}) {
        if (EqualsIgnoringAsciiCase(className, taker)) return true;
    }
    return false;
}

}  // namespace

SkinUI::FrameHit HitTestPopupFrame(SkinUI::TPoint point, const SkinUI::TRect& client,
                                   const SkinUI::TRect& sizeBox, const SkinUI::TRect& caption,
                                   bool maximized, const SkinUI::CWindowManagerUI& manager) {
    // The borders are the window base's; an empty caption leaves only them.
    const SkinUI::FrameHit border =
        SkinUI::HitTestFrame(point, client, sizeBox, SkinUI::TRect{}, maximized, manager);
    if (border != SkinUI::kHitClient) return border;
    if (point.x >= caption.left && point.x < caption.right && point.y >= caption.top &&
        point.y < caption.bottom) {
        const SkinUI::CControlUI* control = manager.FindControl(point);
        if (control != nullptr && !TakesInput(control->GetClass())) return SkinUI::kHitCaption;
    }
    return SkinUI::kHitClient;
}
