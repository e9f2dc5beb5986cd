// Controls that hold children: the plain container (each child gets the
// whole inner rectangle) and the vertical and horizontal layouts (children
// stacked, fixed sizes first, the rest split equally). Owns its children.
// UI thread only.
#pragma once

#include <memory>
#include <vector>

#include "ui/controls/Control.h"

namespace SkinUI {

class CContainerUI : public CControlUI, public IContainerUI {
public:
    std::wstring_view GetClass() const override { return L"ContainerUI"; }
    IContainerUI* GetContainer() override { return this; }
    void SetAttribute(std::wstring_view name, const wchar_t* value) override;

    int GetCount() const override { return static_cast<int>(items_.size()); }
    CControlUI* GetItemAt(int index) const override;
    bool Add(std::unique_ptr<CControlUI> control) override;
    bool Remove(CControlUI* control) override;
    void RemoveAll() override;
    int GetItemIndex(const CControlUI* control) const;

    const TRect& GetInset() const { return inset_; }
    void SetInset(const TRect& inset);

    void SetManager(CWindowManagerUI* manager, CControlUI* parent) override;
    void SetPos(const TRect& rect) override;
    void DoPaint(ICanvas& canvas, const TRect& paint) override;
    CControlUI* FindControl(const std::function<bool(CControlUI*)>& match,
                            bool onlyVisible) override;

protected:
    // The rectangle inside the inset in which children are laid out.
    TRect InnerRect() const;
    // A floating child at its fixed place relative to this control.
    void SetFloatPos(CControlUI& child) const;
    // Stacks the visible, non-floating children inside |inner|.
    void LayoutLinear(const TRect& inner, bool vertical);

    std::vector<std::unique_ptr<CControlUI>> items_;
    TRect inset_;
};

class CVerticalLayoutUI : public CContainerUI {
public:
    std::wstring_view GetClass() const override { return L"VerticalLayoutUI"; }
    void SetPos(const TRect& rect) override;
};

class CHorizontalLayoutUI : public CContainerUI {
public:
    std::wstring_view GetClass() const override { return L"HorizontalLayoutUI"; }
    void SetPos(const TRect& rect) override;
};

}  // namespace SkinUI
