#include "ui/ControlFactory.h"

#include "ui/ActiveX.h"
#include "ui/Button.h"
#include "ui/Combo.h"
#include "ui/Container.h"
#include "ui/Label.h"
#include "ui/Layouts.h"
#include "ui/Progress.h"

namespace SkinUI {

namespace {

struct TFactoryEntry {
    std::wstring_view element;
    std::unique_ptr<CControlUI> (*create)();
};

template <class T>
std::unique_ptr<CControlUI> Make() {
    return std::make_unique<T>();
}

constexpr TFactoryEntry kFactories[] = {
    {L"Control", Make<CControlUI>},
    {L"Container", Make<CContainerUI>},
    {L"VerticalLayout", Make<CVerticalLayoutUI>},
    {L"HorizontalLayout", Make<CHorizontalLayoutUI>},
    {L"Button", Make<CButtonUI>},
    {L"Label", Make<CLabelUI>},
    {L"Text", Make<CTextUI>},
    {L"Edit", Make<CEditUI>},
    {L"Option", Make<COptionUI>},
    {L"CheckBox", Make<CCheckBoxUI>},
    {L"Combo", Make<CComboUI>},
    {L"Progress", Make<CProgressUI>},
    {L"Slider", Make<CSliderUI>},
    {L"ScrollBar", Make<CScrollBarUI>},
    {L"RichEdit", Make<CRichEditUI>},
    {L"DateTime", Make<CDateTimeUI>},
    {L"ActiveX", Make<CActiveXUI>},
    {L"WebBrowser", Make<CWebBrowserUI>},
    {L"TabLayout", Make<CTabLayoutUI>},
    {L"TileLayout", Make<CTileLayoutUI>},
    {L"ChildLayout", Make<CChildLayoutUI>},
    {L"List", Make<CListUI>},
    {L"ListHeader", Make<CListHeaderUI>},
    {L"ListHeaderItem", Make<CListHeaderItemUI>},
    {L"ListTextElement", Make<CListTextElementUI>},
    {L"ListLabelElement", Make<CListLabelElementUI>},
    {L"ListContainerElement", Make<CListContainerElementUI>},
    {L"TreeView", Make<CTreeViewUI>},
    {L"TreeNode", Make<CTreeNodeUI>},
};

bool SameNoCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        wchar_t x = a[i];
        wchar_t y = b[i];
        if (x >= L'A' && x <= L'Z') x = static_cast<wchar_t>(x - L'A' + L'a');
        if (y >= L'A' && y <= L'Z') y = static_cast<wchar_t>(y - L'A' + L'a');
        if (x != y) return false;
    }
    return true;
}

}  // namespace

std::unique_ptr<CControlUI> CreateControlByName(std::wstring_view element) {
    for (const auto& entry : kFactories) {
        if (SameNoCase(entry.element, element)) return entry.create();
    }
    return nullptr;
}

std::vector<std::wstring_view> KnownControlElements() {
    std::vector<std::wstring_view> names;
    for (const auto& entry : kFactories) names.push_back(entry.element);
    return names;
}

}  // namespace SkinUI
