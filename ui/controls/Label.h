// Text controls: the label (colours, alignment, font, text margin), the
// plain text control and the edit field. The native edit window that takes the keyboard while an edit
// field has the focus is the window's platform side. UI thread only.
#pragma once

#include <optional>

#include "ui/controls/Control.h"

namespace SkinUI {

class CLabelUI : public CControlUI {
public:
    CLabelUI() = default;
    std::wstring_view GetClass() const override { return L"LabelUI"; }
    void SetAttribute(std::wstring_view name, const wchar_t* value) override;

    void SetTextColor(uint32_t color);
    void SetDisabledTextColor(uint32_t color);
    // The colour text is drawn in now: the control's own or the window's
    // default, opaque (the alpha byte of a text colour has no effect).
    uint32_t GetEffectiveTextColor() const;
    unsigned GetTextStyle() const { return textStyle_; }
    // "left", "center", "right", "top", "vcenter", "bottom", blank-separated.
    void SetAlign(const wchar_t* value);
    int GetFont() const { return font_; }
    void SetFont(int id);
    const TRect& GetTextPadding() const { return textPadding_; }
    void SetTextPadding(const TRect& padding);

protected:
    void PaintText(ICanvas& canvas) override;
    // The text as drawn (an edit field masks passwords).
    virtual std::wstring DisplayText() const { return text_; }

    std::optional<uint32_t> textColor_;
    std::optional<uint32_t> disabledTextColor_;
    unsigned textStyle_ = kTextLeft | kTextVCenter | kTextSingleLine;
    int font_ = -1;
    TRect textPadding_;
};

// A label over which a caption does not drag the window (the window base's
// hit test names its class).
class CTextUI : public CLabelUI {
public:
    std::wstring_view GetClass() const override { return L"TextUI"; }
};

class CEditUI : public CLabelUI {
public:
    std::wstring_view GetClass() const override { return L"EditUI"; }
    void SetAttribute(std::wstring_view name, const wchar_t* value) override;

    bool IsReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value) { readOnly_ = value; }
    bool IsPassword() const { return password_; }
    void SetPassword(bool value);
    int GetMaxChar() const { return maxChar_; }
    void SetMaxChar(int value);
    // Text longer than the maximum is cut to it.
    void SetText(const std::wstring& text) override;
    bool TakesFocus() const override { return true; }
    bool TakesMouse() const override { return true; }

protected:
    std::wstring DisplayText() const override;

    bool readOnly_ = false;
    bool password_ = false;
    int maxChar_ = 255;
};

}  // namespace SkinUI
