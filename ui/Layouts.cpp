#include "ui/Layouts.h"

#include <algorithm>

namespace SkinUI {

namespace {

const TAttribute<CTabLayoutUI> kTabAttributes[] = {
    {L"selectedid", [](CTabLayoutUI& c, const wchar_t* v) { c.SelectItem(ParseInt(v)); }},
};

const TAttribute<CTileLayoutUI> kTileAttributes[] = {
    {L"columns", [](CTileLayoutUI& c, const wchar_t* v) { c.SetColumns(ParseInt(v)); }},
    {L"itemsize", [](CTileLayoutUI& c, const wchar_t* v) { c.SetItemSize(ParseSize(v)); }},
};

}  // namespace

void CTabLayoutUI::SetAttribute(std::wstring_view name, const wchar_t* value) {
    if (value == nullptr) return;
    if (!ApplyAttribute(kTabAttributes, *this, name, value))
        CContainerUI::SetAttribute(name, value);
}

bool CTabLayoutUI::Add(std::unique_ptr<CControlUI> control) {
    if (!control) return false;
    control->SetVisible(GetCount() == curSel_);
    return CContainerUI::Add(std::move(control));
}

bool CTabLayoutUI::SelectItem(int index) {
    if (index < 0 || index >= GetCount()) {
        // Before the children exist (the attribute is applied after them
        // only when they come first) remember the choice for Add.
        if (GetCount() == 0 && index >= 0) curSel_ = index;
        return false;
    }
    const int old = curSel_;
    curSel_ = index;
    for (int i = 0; i < GetCount(); ++i) GetItemAt(i)->SetVisible(i == index);
    NeedParentUpdate();
    if (old != index)
        Notify(L"tabselect", static_cast<uint32_t>(index), static_cast<uint32_t>(old));
    return true;
}

void CTileLayoutUI::SetAttribute(std::wstring_view name, const wchar_t* value) {
    if (value == nullptr) return;
    if (!ApplyAttribute(kTileAttributes, *this, name, value))
        CContainerUI::SetAttribute(name, value);
}

void CTileLayoutUI::SetColumns(int columns) {
    columns_ = std::clamp(columns, 1, kMaxLength);
    NeedParentUpdate();
}

void CTileLayoutUI::SetItemSize(TSize size) {
    itemSize_ = TSize{std::clamp(size.cx, 0, kMaxLength), std::clamp(size.cy, 0, kMaxLength)};
    NeedParentUpdate();
}

void CTileLayoutUI::SetPos(const TRect& rect) {
    CControlUI::SetPos(rect);
    const TRect inner = InnerRect();
    const int cellWidth = itemSize_.cx > 0 ? itemSize_.cx : inner.Width() / columns_;
    const int cellHeight = itemSize_.cy > 0 ? itemSize_.cy : cellWidth;
    int index = 0;
    for (auto& item : items_) {
        if (!item->IsVisible()) continue;
        if (item->IsFloat()) {
            SetFloatPos(*item);
            continue;
        }
        const long long x = inner.left + 1LL * (index % columns_) * cellWidth;
        const long long y = inner.top + 1LL * (index / columns_) * cellHeight;
        item->SetPos(TRect{ClampCoord(x), ClampCoord(y), ClampCoord(x + cellWidth),
                           ClampCoord(y + cellHeight)});
        ++index;
    }
}

void CChildLayoutUI::SetAttribute(std::wstring_view name, const wchar_t* value) {
    if (value == nullptr) return;
    if (name == L"xmlfile") {
        xmlFile_ = value;
        return;
    }
    CContainerUI::SetAttribute(name, value);
}

}  // namespace SkinUI
