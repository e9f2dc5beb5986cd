#include "ui/controls/Combo.h"

#include "ui/window/WindowManager.h"

namespace SkinUI {

namespace {

const TAttribute<CListLabelElementUI> kListElementAttributes[] = {
    {L"tag",
     [](CListLabelElementUI& c, const wchar_t* v) {
         c.SetTag(static_cast<uintptr_t>(static_cast<unsigned>(ParseInt(v))));
     }},
    {L"selected", [](CListLabelElementUI& c, const wchar_t* v) { c.SetSelected(ParseBool(v)); }},
};

const TAttribute<CComboUI> kComboAttributes[] = {
    {L"normalimage", [](CComboUI& c, const wchar_t* v) { c.SetNormalImage(v); }},
    {L"hotimage", [](CComboUI& c, const wchar_t* v) { c.SetHotImage(v); }},
    {L"pushedimage", [](CComboUI& c, const wchar_t* v) { c.SetPushedImage(v); }},
    {L"disabledimage", [](CComboUI& c, const wchar_t* v) { c.SetDisabledImage(v); }},
    {L"textpadding", [](CComboUI& c, const wchar_t* v) { c.SetTextPadding(ParseRect(v)); }},
};

}  // namespace

void CListLabelElementUI::SetAttribute(std::wstring_view name, const wchar_t* value) {
    if (value == nullptr) return;
    if (!ApplyAttribute(kListElementAttributes, *this, name, value)) {
        CLabelUI::SetAttribute(name, value);
    }
}

void CListLabelElementUI::SetSelected(bool selected) {
    selected_ = selected;
    Invalidate();
}

void CComboUI::SetAttribute(std::wstring_view name, const wchar_t* value) {
    if (value == nullptr) return;
    if (!ApplyAttribute(kComboAttributes, *this, name, value)) {
        CContainerUI::SetAttribute(name, value);
    }
}

void CComboUI::SetNormalImage(const std::wstring& image) {
    normalImage_.SetAttribute(image);
    Invalidate();
}

void CComboUI::SetHotImage(const std::wstring& image) {
    hotImage_.SetAttribute(image);
    Invalidate();
}

void CComboUI::SetPushedImage(const std::wstring& image) {
    pushedImage_.SetAttribute(image);
    Invalidate();
}

void CComboUI::SetDisabledImage(const std::wstring& image) {
    disabledImage_.SetAttribute(image);
    Invalidate();
}

void CComboUI::SetTextPadding(const TRect& padding) {
    textPadding_ = ClampLengths(padding);
    Invalidate();
}

int CComboUI::AddItem(const std::wstring& text, uintptr_t tag) {
    auto item = std::make_unique<CListLabelElementUI>();
    item->SetText(text);
    item->SetTag(tag);
    Add(std::move(item));
    return GetCount() - 1;
}

bool CComboUI::SelectItem(int index, bool notify) {
    if (index == curSel_ || index < -1 || index >= GetCount()) return false;
    const int old = curSel_;
    if (auto* previous = dynamic_cast<CListLabelElementUI*>(GetItemAt(old))) {
        previous->SetSelected(false);
    }
    curSel_ = index;
    if (auto* current = dynamic_cast<CListLabelElementUI*>(GetItemAt(index))) {
        current->SetSelected(true);
    }
    Invalidate();
    if (notify) {
        Notify(L"itemselect", static_cast<uint32_t>(index), static_cast<uint32_t>(old));
    }
    return true;
}

std::wstring CComboUI::GetSelectedText() const {
    const CControlUI* item = GetItemAt(curSel_);
    return item != nullptr ? item->GetText() : std::wstring();
}

bool CComboUI::Remove(CControlUI* control) {
    const int index = GetItemIndex(control);
    if (!CContainerUI::Remove(control)) return false;
    // Keep the selection on the same item, or drop it with its item.
    if (index == curSel_) {
        curSel_ = -1;
    } else if (index < curSel_) {
        --curSel_;
    }
    Invalidate();
    return true;
}

void CComboUI::RemoveAll() {
    CContainerUI::RemoveAll();
    curSel_ = -1;
}

void CComboUI::SetPos(const TRect& rect) {
    CControlUI::SetPos(rect);
}

void CComboUI::DoPaint(ICanvas& canvas, const TRect& paint) {
    CControlUI::DoPaint(canvas, paint);
}

void CComboUI::DoEvent(TEventUI& event) {
    const auto result = press_.Track(event, IsEnabled(), pos_);
    if (result == TPressState::kClicked) Activate();
    if (result == TPressState::kChanged || result == TPressState::kClicked) Invalidate();
}

bool CComboUI::Activate() {
    if (!CControlUI::Activate()) return false;
    Notify(L"dropdown");
    // The notification's handler may have hidden or disabled the box.
    if (manager_ != nullptr && IsVisible() && IsEnabled()) manager_->ShowDropDown(this);
    return true;
}

bool CComboUI::OnFocusedKey(UIKey key) {
    switch (key) {
        case UIKey::Up:
            if (curSel_ > 0) SelectItem(curSel_ - 1);
            return true;
        case UIKey::Down:
            if (curSel_ + 1 < GetCount()) SelectItem(curSel_ + 1);
            return true;
        case UIKey::F4:
        case UIKey::Space:
            Activate();
            return true;
        default:
            return false;
    }
}

CControlUI* CComboUI::FindControl(const std::function<bool(CControlUI*)>& match, bool onlyVisible) {
    if (onlyVisible) return CControlUI::FindControl(match, onlyVisible);
    return CContainerUI::FindControl(match, onlyVisible);
}

void CComboUI::PaintStatusImage(ICanvas& canvas) {
    if (!IsEnabled() && DrawImage(canvas, disabledImage_)) return;
    if (IsEnabled()) {
        if (press_.pushed && DrawImage(canvas, pushedImage_)) return;
        if (press_.hot && DrawImage(canvas, hotImage_)) return;
    }
    DrawImage(canvas, normalImage_);
}

void CComboUI::PaintText(ICanvas& canvas) {
    const auto* item = dynamic_cast<const CListLabelElementUI*>(GetItemAt(curSel_));
    if (item == nullptr || item->GetText().empty()) return;
    const TRect rect{pos_.left + textPadding_.left, pos_.top + textPadding_.top,
                     pos_.right - textPadding_.right, pos_.bottom - textPadding_.bottom};
    if (rect.IsEmpty() || manager_ == nullptr) return;
    canvas.DrawText(item->GetText(), rect, manager_->GetFont(item->GetFont()),
                    item->GetEffectiveTextColor(), item->GetTextStyle());
}

}  // namespace SkinUI
