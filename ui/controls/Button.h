// Buttons and their selectable kin: state images chosen by hot, pushed,
// focused and disabled state; options with a selected image and a group in
// which one option at a time is selected. UI thread only.
#pragma once

#include "ui/controls/Label.h"

namespace SkinUI {

class CButtonUI : public CLabelUI {
public:
    CButtonUI();
    std::wstring_view GetClass() const override { return L"ButtonUI"; }
    void SetAttribute(std::wstring_view name, const wchar_t* value) override;

    void SetNormalImage(const std::wstring& image);
    void SetHotImage(const std::wstring& image);
    void SetPushedImage(const std::wstring& image);
    void SetFocusedImage(const std::wstring& image);
    void SetDisabledImage(const std::wstring& image);

    bool IsHot() const { return press_.hot; }
    bool IsPushed() const { return press_.pushed; }
    bool IsFocused() const { return focused_; }

    void DoEvent(TEventUI& event) override;
    // Sends "click" when visible and enabled.
    bool Activate() override;
    bool TakesFocus() const override { return true; }
    bool TakesMouse() const override { return true; }
    // Space clicks.
    bool OnFocusedKey(UIKey key) override;

protected:
    void PaintStatusImage(ICanvas& canvas) override;

    TImageDrawInfo normalImage_;
    TImageDrawInfo hotImage_;
    TImageDrawInfo pushedImage_;
    TImageDrawInfo focusedImage_;
    TImageDrawInfo disabledImage_;
    TPressState press_;
    bool focused_ = false;
};

class COptionUI : public CButtonUI {
public:
    std::wstring_view GetClass() const override { return L"OptionUI"; }
    void SetAttribute(std::wstring_view name, const wchar_t* value) override;

    const std::wstring& GetGroup() const { return group_; }
    void SetGroup(const std::wstring& group) { group_ = group; }
    void SetSelectedImage(const std::wstring& image);
    bool IsSelected() const { return selected_; }
    // Selecting an option of a group first unselects the others of that
    // group; a grouped option notifies "selectchanged" only when it becomes
    // selected, an ungrouped one on every change.
    void SetSelected(bool selected, bool notify = true);

    bool Activate() override;

protected:
    void PaintStatusImage(ICanvas& canvas) override;

    std::wstring group_;
    TImageDrawInfo selectedImage_;
    bool selected_ = false;
};

}  // namespace SkinUI
