#include "ui/window/DropDownList.h"

#include <algorithm>

#include "ui/controls/Combo.h"
#include "ui/controls/Label.h"
#include "ui/window/WindowManager.h"

namespace SkinUI {

CDropDownList::CDropDownList(CComboUI& combo) : combo_(&combo), hot_(combo.GetCurSel()) {}

int CDropDownList::ItemHeight() const {
    return std::clamp(combo_->GetPos().Height(), 18, 40);
}

TSize CDropDownList::Size() const {
    return TSize{std::max(combo_->GetPos().Width(), 40), combo_->GetCount() * ItemHeight() + 2};
}

int CDropDownList::ItemAt(TPoint point) const {
    if (point.y < 1 || point.x < 0 || point.x >= Size().cx) return -1;
    const int index = (point.y - 1) / ItemHeight();
    return index < combo_->GetCount() ? index : -1;
}

bool CDropDownList::HoverAt(TPoint point) {
    const int index = ItemAt(point);
    if (index < 0 || index == hot_) return false;
    hot_ = index;
    return true;
}

void CDropDownList::MoveHot(int delta) {
    const int count = combo_->GetCount();
    if (count == 0) return;
    const int from = hot_ < 0 ? (delta > 0 ? -1 : count) : hot_;
    hot_ = std::clamp(from + delta, 0, count - 1);
}

CDropDownList::Action CDropDownList::OnKey(UIKey key) {
    switch (key) {
        case UIKey::Up:
            MoveHot(-1);
            return Action::Handled;
        case UIKey::Down:
            MoveHot(1);
            return Action::Handled;
        case UIKey::Return:
            return Action::Choose;
        case UIKey::Escape:
            return Action::Cancel;
        default:
            return Action::None;
    }
}

CDropDownList::Action CDropDownList::OnButtonUp(TPoint point) {
    const int index = ItemAt(point);
    if (index < 0) return Action::None;
    hot_ = index;
    return Action::Choose;
}

void CDropDownList::Paint(ICanvas& canvas, const CWindowManagerUI& manager) const {
    const TSize size = Size();
    const TRect all{0, 0, size.cx, size.cy};
    canvas.FillRect(all, kBackground);
    const int itemHeight = ItemHeight();
    const TRect& pad = combo_->GetTextPadding();
    for (int i = 0; i < combo_->GetCount(); ++i) {
        auto* item = dynamic_cast<CLabelUI*>(combo_->GetItemAt(i));
        if (item == nullptr) continue;
        const TRect row{1, 1 + i * itemHeight, size.cx - 1, 1 + (i + 1) * itemHeight};
        if (i == hot_) canvas.FillRect(row, manager.GetWindowAttributes().selectedColor | 0xFF000000u);
        const TRect text{row.left + pad.left + 3, row.top, row.right - pad.right - 3, row.bottom};
        canvas.DrawText(item->GetText(), text, manager.GetFont(item->GetFont()),
                        item->GetEffectiveTextColor(),
                        kTextLeft | kTextVCenter | kTextSingleLine | kTextEndEllipsis);
    }
    canvas.DrawBorder(all, 1, kBorder);
}

}  // namespace SkinUI
