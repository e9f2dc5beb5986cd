// The combo box and the list element classes. The combo owns its items as
// children (they are not laid out inside the closed box) and draws the
// selected item's text in the box; the drop-down list window is the window
// manager's. UI thread only.
#pragma once

#include <cstdint>

#include "ui/controls/Container.h"
#include "ui/controls/Label.h"

namespace SkinUI {

class CListLabelElementUI : public CLabelUI {
public:
    std::wstring_view GetClass() const override { return L"ListLabelElementUI"; }
    void SetAttribute(std::wstring_view name, const wchar_t* value) override;

    uintptr_t GetTag() const { return tag_; }
    void SetTag(uintptr_t tag) { tag_ = tag; }
    bool IsSelected() const { return selected_; }
    void SetSelected(bool selected);

protected:
    uintptr_t tag_ = 0;
    bool selected_ = false;
};

class CComboUI : public CContainerUI {
public:
    std::wstring_view GetClass() const override { return L"ComboUI"; }
    void SetAttribute(std::wstring_view name, const wchar_t* value) override;

    void SetNormalImage(const std::wstring& image);
    void SetHotImage(const std::wstring& image);
    void SetPushedImage(const std::wstring& image);
    void SetDisabledImage(const std::wstring& image);
    const TRect& GetTextPadding() const { return textPadding_; }
    void SetTextPadding(const TRect& padding);

    // Adds a list label item; returns its index.
    int AddItem(const std::wstring& text, uintptr_t tag = 0);
    int GetCurSel() const { return curSel_; }
    // Selects item |index| (-1: none). Sends "itemselect" with the new index
    // in wParam and the old in lParam. False for an index out of range or
    // the current one.
    bool SelectItem(int index, bool notify = true);
    // The text of the selected item, or empty.
    std::wstring GetSelectedText() const;

    bool Remove(CControlUI* control) override;
    void RemoveAll() override;
    void SetPos(const TRect& rect) override;
    void DoPaint(ICanvas& canvas, const TRect& paint) override;
    void DoEvent(TEventUI& event) override;
    // Opens the list: sends "dropdown".
    bool Activate() override;
    bool TakesFocus() const override { return true; }
    bool TakesMouse() const override { return true; }
    // Its items live in its list, not in the tab order.
    bool TabsIntoChildren() const override { return false; }
    // Up and Down select the neighbouring item, F4 and Space open the list.
    bool OnFocusedKey(UIKey key) override;
    // The items are not on screen in the closed box: only the box is hit.
    CControlUI* FindControl(const std::function<bool(CControlUI*)>& match,
                            bool onlyVisible) override;

protected:
    void PaintStatusImage(ICanvas& canvas) override;
    void PaintText(ICanvas& canvas) override;

    TImageDrawInfo normalImage_;
    TImageDrawInfo hotImage_;
    TImageDrawInfo pushedImage_;
    TImageDrawInfo disabledImage_;
    TRect textPadding_;
    int curSel_ = -1;
    TPressState press_;
};

}  // namespace SkinUI
