#include "ui/controls/Button.h"

#include "ui/window/WindowManager.h"

namespace SkinUI {

namespace {

const TAttribute<CButtonUI> kButtonAttributes[] = {
    {L"normalimage", [](CButtonUI& c, const wchar_t* v) { c.SetNormalImage(v); }},
    {L"hotimage", [](CButtonUI& c, const wchar_t* v) { c.SetHotImage(v); }},
    {L"pushedimage", [](CButtonUI& c, const wchar_t* v) { c.SetPushedImage(v); }},
    {L"focusedimage", [](CButtonUI& c, const wchar_t* v) { c.SetFocusedImage(v); }},
    {L"disabledimage", [](CButtonUI& c, const wchar_t* v) { c.SetDisabledImage(v); }},
};

const TAttribute<COptionUI> kOptionAttributes[] = {
    {L"group", [](COptionUI& c, const wchar_t* v) { c.SetGroup(v); }},
    {L"selected", [](COptionUI& c, const wchar_t* v) { c.SetSelected(ParseBool(v), false); }},
    {L"selectedimage", [](COptionUI& c, const wchar_t* v) { c.SetSelectedImage(v); }},
};

}  // namespace

CButtonUI::CButtonUI() {
    textStyle_ = kTextCenter | kTextVCenter | kTextSingleLine;
}

void CButtonUI::SetAttribute(std::wstring_view name, const wchar_t* value) {
    if (value == nullptr) return;
    if (!ApplyAttribute(kButtonAttributes, *this, name, value)) CLabelUI::SetAttribute(name, value);
}

void CButtonUI::SetNormalImage(const std::wstring& image) {
    normalImage_.SetAttribute(image);
    Invalidate();
}

void CButtonUI::SetHotImage(const std::wstring& image) {
    hotImage_.SetAttribute(image);
    Invalidate();
}

void CButtonUI::SetPushedImage(const std::wstring& image) {
    pushedImage_.SetAttribute(image);
    Invalidate();
}

void CButtonUI::SetFocusedImage(const std::wstring& image) {
    focusedImage_.SetAttribute(image);
    Invalidate();
}

void CButtonUI::SetDisabledImage(const std::wstring& image) {
    disabledImage_.SetAttribute(image);
    Invalidate();
}

void CButtonUI::DoEvent(TEventUI& event) {
    switch (press_.Track(event, IsEnabled(), pos_)) {
        case TPressState::kUnchanged:
            return;
        case TPressState::kChanged:
            Invalidate();
            return;
        case TPressState::kClicked:
            Invalidate();
            Activate();
            return;
        case TPressState::kNotAPressEvent:
            break;
    }
    switch (event.type) {
        case UIEvent::SetFocus:
            focused_ = true;
            break;
        case UIEvent::KillFocus:
            focused_ = false;
            break;
        default:
            return;
    }
    Invalidate();
}

bool CButtonUI::Activate() {
    if (!CControlUI::Activate()) return false;
    Notify(L"click");
    return true;
}

bool CButtonUI::OnFocusedKey(UIKey key) {
    if (key != UIKey::Space) return false;
    Activate();
    return true;
}

void CButtonUI::PaintStatusImage(ICanvas& canvas) {
    // The most specific state image that draws wins; the normal image is
    // the fallback for every state whose own image is missing or broken.
    if (!IsEnabled() && DrawImage(canvas, disabledImage_)) return;
    if (IsEnabled()) {
        if (press_.pushed && DrawImage(canvas, pushedImage_)) return;
        if (press_.hot && DrawImage(canvas, hotImage_)) return;
        if (focused_ && DrawImage(canvas, focusedImage_)) return;
    }
    DrawImage(canvas, normalImage_);
}

void COptionUI::SetAttribute(std::wstring_view name, const wchar_t* value) {
    if (value == nullptr) return;
    if (!ApplyAttribute(kOptionAttributes, *this, name, value))
        CButtonUI::SetAttribute(name, value);
}

void COptionUI::SetSelectedImage(const std::wstring& image) {
    selectedImage_.SetAttribute(image);
    Invalidate();
}

void COptionUI::SetSelected(bool selected, bool notify) {
    if (selected_ == selected) return;
    selected_ = selected;
    Invalidate();
    if (!group_.empty()) {
        if (!selected_) return;
        if (manager_ != nullptr && manager_->GetRoot() != nullptr) {
            VisitTree(*manager_->GetRoot(), [this](CControlUI& control) {
                auto* other = dynamic_cast<COptionUI*>(&control);
                if (other != nullptr && other != this && other->GetGroup() == group_) {
                    other->SetSelected(false, false);
                }
                return true;
            });
        }
    }
    if (notify) Notify(L"selectchanged");
}

bool COptionUI::Activate() {
    if (!CButtonUI::Activate()) return false;
    SetSelected(group_.empty() ? !selected_ : true);
    return true;
}

void COptionUI::PaintStatusImage(ICanvas& canvas) {
    if (selected_ && DrawImage(canvas, selectedImage_)) return;
    CButtonUI::PaintStatusImage(canvas);
}

}  // namespace SkinUI
