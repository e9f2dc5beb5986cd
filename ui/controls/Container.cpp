#include "ui/controls/Container.h"

#include <algorithm>

#include "ui/window/WindowManager.h"

namespace SkinUI {

namespace {

const TAttribute<CContainerUI> kContainerAttributes[] = {
    {L"inset", [](CContainerUI& c, const wchar_t* v) { c.SetInset(ParseRect(v)); }},
};

void RegisterTree(CWindowManagerUI& manager, CControlUI& control) {
    VisitTree(control, [&manager](CControlUI& c) {
        manager.RegisterName(&c);
        return true;
    });
}

void ForgetTree(CWindowManagerUI& manager, CControlUI& control) {
    VisitTree(control, [&manager](CControlUI& c) {
        manager.ForgetControl(&c);
        return true;
    });
}

}  // namespace

void CContainerUI::SetAttribute(std::wstring_view name, const wchar_t* value) {
    if (value == nullptr) return;
    if (!ApplyAttribute(kContainerAttributes, *this, name, value)) {
        CControlUI::SetAttribute(name, value);
    }
}

CControlUI* CContainerUI::GetItemAt(int index) const {
    if (index < 0 || index >= GetCount()) return nullptr;
    return items_[static_cast<size_t>(index)].get();
}

int CContainerUI::GetItemIndex(const CControlUI* control) const {
    for (size_t i = 0; i < items_.size(); ++i) {
        if (items_[i].get() == control) return static_cast<int>(i);
    }
    return -1;
}

bool CContainerUI::Add(std::unique_ptr<CControlUI> control) {
    if (!control) return false;
    control->SetManager(manager_, this);
    if (manager_ != nullptr) RegisterTree(*manager_, *control);
    items_.push_back(std::move(control));
    NeedParentUpdate();
    return true;
}

bool CContainerUI::Remove(CControlUI* control) {
    const int index = GetItemIndex(control);
    if (index < 0) return false;
    if (manager_ != nullptr) ForgetTree(*manager_, *control);
    items_.erase(items_.begin() + index);
    NeedParentUpdate();
    return true;
}

void CContainerUI::RemoveAll() {
    if (manager_ != nullptr) {
        for (auto& item : items_) ForgetTree(*manager_, *item);
    }
    items_.clear();
    NeedParentUpdate();
}

void CContainerUI::SetInset(const TRect& inset) {
    inset_ = ClampLengths(inset);
    NeedParentUpdate();
}

void CContainerUI::SetManager(CWindowManagerUI* manager, CControlUI* parent) {
    CControlUI::SetManager(manager, parent);
    for (auto& item : items_) item->SetManager(manager, this);
}

TRect CContainerUI::InnerRect() const {
    TRect inner{pos_.left + inset_.left, pos_.top + inset_.top, pos_.right - inset_.right,
                pos_.bottom - inset_.bottom};
    if (inner.right < inner.left) inner.right = inner.left;
    if (inner.bottom < inner.top) inner.bottom = inner.top;
    return inner;
}

void CContainerUI::SetFloatPos(CControlUI& child) const {
    const TPoint xy = child.GetFixedXY();
    const int left = pos_.left + xy.x;
    const int top = pos_.top + xy.y;
    child.SetPos(TRect{left, top, left + child.GetFixedWidth(), top + child.GetFixedHeight()});
}

void CContainerUI::SetPos(const TRect& rect) {
    CControlUI::SetPos(rect);
    const TRect inner = InnerRect();
    for (auto& item : items_) {
        if (!item->IsVisible()) continue;
        if (item->IsFloat()) {
            SetFloatPos(*item);
        } else {
            item->SetPos(inner);
        }
    }
}

void CContainerUI::LayoutLinear(const TRect& inner, bool vertical) {
    // Along the stacking axis: fixed sizes first, then an equal share of
    // what is left for the others, the last of them taking the remainder.
    auto fixedAlong = [vertical](const CControlUI& c) {
        return vertical ? c.GetFixedHeight() : c.GetFixedWidth();
    };
    auto paddingAlong = [vertical](const CControlUI& c) {
        const TRect& p = c.GetPadding();
        return vertical ? p.top + p.bottom : p.left + p.right;
    };
    long long used = 0;
    int flexible = 0;
    for (auto& item : items_) {
        if (!item->IsVisible() || item->IsFloat()) continue;
        used += paddingAlong(*item);
        if (fixedAlong(*item) > 0) {
            used += fixedAlong(*item);
        } else {
            ++flexible;
        }
    }
    const long long length = vertical ? inner.Height() : inner.Width();
    const long long remaining = std::max<long long>(length - used, 0);
    const int share = flexible > 0 ? static_cast<int>(remaining / flexible) : 0;
    const int lastShare =
        flexible > 0 ? static_cast<int>(remaining - static_cast<long long>(share) * (flexible - 1))
                     : 0;

    // 64-bit: a long run of children may add up past what an int holds.
    long long cursor = vertical ? inner.top : inner.left;
    int flexSeen = 0;
    for (auto& item : items_) {
        if (!item->IsVisible()) continue;
        if (item->IsFloat()) {
            SetFloatPos(*item);
            continue;
        }
        const TRect& pad = item->GetPadding();
        int along = fixedAlong(*item);
        if (along <= 0) along = ++flexSeen == flexible ? lastShare : share;
        int across = vertical ? item->GetFixedWidth() : item->GetFixedHeight();
        if (across <= 0) {
            across = ClampCoord(vertical ? 1LL * inner.Width() - pad.left - pad.right
                                         : 1LL * inner.Height() - pad.top - pad.bottom);
        }
        int width = vertical ? across : along;
        int height = vertical ? along : across;
        width = std::min(std::max(width, item->GetMinWidth()), item->GetMaxWidth());
        height = std::min(std::max(height, item->GetMinHeight()), item->GetMaxHeight());
        width = std::max(width, 0);
        height = std::max(height, 0);
        TRect r;
        if (vertical) {
            cursor += pad.top;
            r = TRect{inner.left + pad.left, ClampCoord(cursor), inner.left + pad.left + width,
                      ClampCoord(cursor + height)};
            cursor += height + pad.bottom;
        } else {
            cursor += pad.left;
            r = TRect{ClampCoord(cursor), inner.top + pad.top, ClampCoord(cursor + width),
                      inner.top + pad.top + height};
            cursor += width + pad.right;
        }
        item->SetPos(r);
    }
}

void CContainerUI::DoPaint(ICanvas& canvas, const TRect& paint) {
    TRect visible;
    if (!IntersectRect(paint, pos_, visible)) return;
    canvas.PushClip(visible);
    PaintOwnLayers(canvas);
    TRect inner;
    const bool innerVisible = IntersectRect(visible, InnerRect(), inner);
    for (auto& item : items_) {
        if (!item->IsVisible()) continue;
        // Floating children may use the inset area; the flow stays inside.
        if (item->IsFloat()) {
            item->DoPaint(canvas, visible);
        } else if (innerVisible) {
            canvas.PushClip(inner);
            item->DoPaint(canvas, inner);
            canvas.PopClip();
        }
    }
    PaintBorder(canvas);
    canvas.PopClip();
}

CControlUI* CContainerUI::FindControl(const std::function<bool(CControlUI*)>& match,
                                      bool onlyVisible) {
    if (onlyVisible && !visible_) return nullptr;
    // Later children paint over earlier ones, so they are found first.
    for (auto it = items_.rbegin(); it != items_.rend(); ++it) {
        if (CControlUI* found = (*it)->FindControl(match, onlyVisible)) return found;
    }
    return match(this) ? this : nullptr;
}

void CVerticalLayoutUI::SetPos(const TRect& rect) {
    CControlUI::SetPos(rect);
    LayoutLinear(InnerRect(), true);
}

void CHorizontalLayoutUI::SetPos(const TRect& rect) {
    CControlUI::SetPos(rect);
    LayoutLinear(InnerRect(), false);
}

}  // namespace SkinUI
