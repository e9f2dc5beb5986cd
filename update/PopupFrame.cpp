#include "update/PopupFrame.h"

#include <cwctype>
#include <string_view>

#include "ui/Control.h"
#include "ui/WindowManager.h"

namespace {

bool SameNoCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::towlower(a[i]) != std::towlower(b[i])) return false;
    }
    return true;
}

bool TakesInput(std::wstring_view className) {
    for (std::wstring_view name : {L"ButtonUI", L"OptionUI", L"SliderUI", L"EditUI", L"RichEditUI"}) {
        if (SameNoCase(className, name)) return true;
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
