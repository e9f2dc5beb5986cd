#include "ui/controls/Label.h"

#include <algorithm>
#include <cwchar>

#include "ui/window/WindowManager.h"

namespace SkinUI {

namespace {

const TAttribute<CLabelUI> kLabelAttributes[] = {
    {L"textcolor", [](CLabelUI& c, const wchar_t* v) { c.SetTextColor(ParseColor(v)); }},
    {L"disabledtextcolor",
     [](CLabelUI& c, const wchar_t* v) { c.SetDisabledTextColor(ParseColor(v)); }},
    {L"align", [](CLabelUI& c, const wchar_t* v) { c.SetAlign(v); }},
    {L"font", [](CLabelUI& c, const wchar_t* v) { c.SetFont(ParseInt(v)); }},
    {L"textpadding", [](CLabelUI& c, const wchar_t* v) { c.SetTextPadding(ParseRect(v)); }},
};

const TAttribute<CEditUI> kEditAttributes[] = {
    {L"readonly", [](CEditUI& c, const wchar_t* v) { c.SetReadOnly(ParseBool(v)); }},
    {L"password", [](CEditUI& c, const wchar_t* v) { c.SetPassword(ParseBool(v)); }},
    {L"maxchar", [](CEditUI& c, const wchar_t* v) { c.SetMaxChar(ParseInt(v)); }},
};

constexpr unsigned kHorizontalMask = kTextCenter | kTextRight;
constexpr unsigned kVerticalMask = kTextVCenter | kTextBottom;

}  // namespace

void CLabelUI::SetAttribute(std::wstring_view name, const wchar_t* value) {
    if (value == nullptr) return;
    if (!ApplyAttribute(kLabelAttributes, *this, name, value))
        CControlUI::SetAttribute(name, value);
}

void CLabelUI::SetTextColor(uint32_t color) {
    textColor_ = color;
    Invalidate();
}

void CLabelUI::SetDisabledTextColor(uint32_t color) {
    disabledTextColor_ = color;
    Invalidate();
}

uint32_t CLabelUI::GetEffectiveTextColor() const {
    uint32_t color = 0;
    if (IsEnabled()) {
        color = textColor_ ? *textColor_
                           : (manager_ ? manager_->GetWindowAttributes().defaultFontColor : 0);
    } else {
        color = disabledTextColor_
                    ? *disabledTextColor_
                    : (manager_ ? manager_->GetWindowAttributes().disabledFontColor : 0xFFA7A6AA);
    }
    return color | 0xFF000000u;
}

void CLabelUI::SetAlign(const wchar_t* value) {
    const std::wstring_view text(value);
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t end = std::min(text.find_first_of(L" ,", pos), text.size());
        const std::wstring_view word = text.substr(pos, end - pos);
        if (word == L"left") {
            textStyle_ = (textStyle_ & ~kHorizontalMask) | kTextLeft;
        } else if (word == L"center") {
            textStyle_ = (textStyle_ & ~kHorizontalMask) | kTextCenter;
        } else if (word == L"right") {
            textStyle_ = (textStyle_ & ~kHorizontalMask) | kTextRight;
        } else if (word == L"top") {
            textStyle_ = (textStyle_ & ~kVerticalMask) | kTextTop;
        } else if (word == L"vcenter") {
            textStyle_ = (textStyle_ & ~kVerticalMask) | kTextVCenter;
        } else if (word == L"bottom") {
            textStyle_ = (textStyle_ & ~kVerticalMask) | kTextBottom;
        }
        pos = end + 1;
    }
    Invalidate();
}

void CLabelUI::SetFont(int id) {
    font_ = id;
    Invalidate();
}

void CLabelUI::SetTextPadding(const TRect& padding) {
    textPadding_ = ClampLengths(padding);
    Invalidate();
}

void CLabelUI::PaintText(ICanvas& canvas) {
    const std::wstring text = DisplayText();
    if (text.empty()) return;
    const TRect rect{pos_.left + textPadding_.left, pos_.top + textPadding_.top,
                     pos_.right - textPadding_.right, pos_.bottom - textPadding_.bottom};
    if (rect.IsEmpty()) return;
    static const TFontInfo kNoWindowFont{L"Tahoma", 12};
    const TFontInfo& font = manager_ ? manager_->GetFont(font_) : kNoWindowFont;
    canvas.DrawText(text, rect, font, GetEffectiveTextColor(), textStyle_);
}

void CEditUI::SetAttribute(std::wstring_view name, const wchar_t* value) {
    if (value == nullptr) return;
    if (!ApplyAttribute(kEditAttributes, *this, name, value)) CLabelUI::SetAttribute(name, value);
}

void CEditUI::SetPassword(bool value) {
    password_ = value;
    Invalidate();
}

void CEditUI::SetMaxChar(int value) {
    maxChar_ = std::max(value, 0);
    if (text_.size() > static_cast<size_t>(maxChar_)) SetText(text_);
}

void CEditUI::SetText(const std::wstring& text) {
    const std::wstring cut = text.substr(0, static_cast<size_t>(maxChar_));
    if (cut == text_) return;
    CLabelUI::SetText(cut);
    // While the field is being typed in, its native window shows the text.
    if (manager_ != nullptr) manager_->ControlTextChanged(this);
}

std::wstring CEditUI::DisplayText() const {
    return password_ ? std::wstring(text_.size(), L'*') : text_;
}

}  // namespace SkinUI
