// The further container classes a layout may name: tab and tile layouts,
// the child layout (a layout file built inside), lists and trees. The
// launcher's own layouts use none of them. UI thread only.
#pragma once

#include "ui/Container.h"
#include "ui/Label.h"

namespace SkinUI {

// Shows one child at a time: the selected one gets the inner rectangle.
class CTabLayoutUI : public CContainerUI {
public:
    std::wstring_view GetClass() const override { return L"TabLayoutUI"; }
    void SetAttribute(std::wstring_view name, const wchar_t* value) override;
    bool Add(std::unique_ptr<CControlUI> control) override;
    int GetCurSel() const { return curSel_; }
    // Sends "tabselect" (new, old); false for an index out of range.
    bool SelectItem(int index);

protected:
    int curSel_ = 0;
};

// A grid: |columns| cells per row, each |itemSize| (or an equal share of
// the width and as tall as wide).
class CTileLayoutUI : public CContainerUI {
public:
    std::wstring_view GetClass() const override { return L"TileLayoutUI"; }
    void SetAttribute(std::wstring_view name, const wchar_t* value) override;
    int GetColumns() const { return columns_; }
    void SetColumns(int columns);
    void SetItemSize(TSize size);
    void SetPos(const TRect& rect) override;

protected:
    int columns_ = 1;
    TSize itemSize_;
};

// A layout file built into this container ("xmlfile"); the builder reads it.
class CChildLayoutUI : public CContainerUI {
public:
    std::wstring_view GetClass() const override { return L"ChildLayoutUI"; }
    void SetAttribute(std::wstring_view name, const wchar_t* value) override;
    const std::wstring& GetChildLayoutXML() const { return xmlFile_; }

protected:
    std::wstring xmlFile_;
};

class CListUI : public CVerticalLayoutUI {
public:
    std::wstring_view GetClass() const override { return L"ListUI"; }
};

class CListHeaderUI : public CHorizontalLayoutUI {
public:
    std::wstring_view GetClass() const override { return L"ListHeaderUI"; }
};

class CListHeaderItemUI : public CLabelUI {
public:
    std::wstring_view GetClass() const override { return L"ListHeaderItemUI"; }
};

class CListContainerElementUI : public CHorizontalLayoutUI {
public:
    std::wstring_view GetClass() const override { return L"ListContainerElementUI"; }
};

class CTreeViewUI : public CListUI {
public:
    std::wstring_view GetClass() const override { return L"TreeViewUI"; }
};

class CTreeNodeUI : public CListContainerElementUI {
public:
    std::wstring_view GetClass() const override { return L"TreeNodeUI"; }
};

}  // namespace SkinUI
