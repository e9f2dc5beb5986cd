#include "ui/controls/ControlFactory.h"

#include "common/AsciiCase.h"
#include "ui/controls/ActiveX.h"
#include "ui/controls/Button.h"
#include "ui/controls/Combo.h"
#include "ui/controls/Container.h"
#include "ui/controls/Label.h"
#include "ui/controls/Progress.h"

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
    {L"Combo", Make<CComboUI>},
    {L"Progress", Make<CProgressUI>},
    {L"ActiveX", Make<CActiveXUI>},
    {L"WebBrowser", CreateWebBrowserControl},
    {L"ListLabelElement", Make<CListLabelElementUI>},
};

}  // namespace

std::unique_ptr<CControlUI> CreateControlByName(std::wstring_view element) {
    for (const auto& entry : kFactories) {
        if (EqualsIgnoringAsciiCase(entry.element, element)) return entry.create();
    }
    return nullptr;
}

std::vector<std::wstring_view> KnownControlElements() {
    std::vector<std::wstring_view> names;
    for (const auto& entry : kFactories) names.push_back(entry.element);
    return names;
}

}  // namespace SkinUI
