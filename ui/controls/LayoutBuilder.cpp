#include "ui/controls/LayoutBuilder.h"

#include <cwchar>

#include "common/AsciiCase.h"
#include "common/qlogger/QLogger.h"
#include "ui/controls/ControlFactory.h"
#include "ui/controls/ImageDrawInfo.h"
#include "ui/skin/ResourceId.h"
#include "ui/window/WindowManager.h"

namespace SkinUI {

namespace {

// Includes that include themselves would otherwise recurse until the
// stack runs out.
constexpr int kMaxIncludeDepth = 16;
// A layout asking for more copies than this is broken, not generous.
constexpr int kMaxIncludeCount = 1000;

bool IsResourceElement(const wchar_t* name) {
    return EqualsIgnoringAsciiCase(name, L"Image") || EqualsIgnoringAsciiCase(name, L"Font") ||
           EqualsIgnoringAsciiCase(name, L"Default") ||
           EqualsIgnoringAsciiCase(name, L"MultiLanguage");
}

const wchar_t* Attr(const CSkinMarkupNode& node, const wchar_t* name) {
    return node.GetAttributeValue(name);
}

}  // namespace

CLayoutBuilder::CLayoutBuilder(ISkinFileSource* files)
    : files_(files != nullptr ? *files : CWindowManagerUI::GetSkinFileSource()) {}

bool CLayoutBuilder::Fail(const std::wstring& error) {
    error_ = error;
    QLogger::LogW(QLOG_ERROR, L"%ls: %ls", L"CLayoutBuilder::Create", error.c_str());
    return false;
}

bool CLayoutBuilder::Load(const std::wstring& layout, const std::wstring& type) {
    type_ = type;
    bool loaded = false;
    uint16_t id = 0;
    if (!layout.empty() && layout[0] == L'<') {
        loaded = markup_.Load(layout.c_str());
    } else if (!type.empty() && ParseResourceNumber(layout, id)) {
        std::vector<uint8_t> bytes;
        std::wstring error;
        if (!files_.ReadSkinResource(layout, type, bytes, error)) {
            return Fail(layout + L": " + error);
        }
        loaded = markup_.LoadFromMem(bytes.data(), bytes.size(), XMLFILE_ENCODING_UTF8);
    } else {
        loaded = markup_.LoadFromFile(layout, files_, XMLFILE_ENCODING_UTF8);
    }
    if (!loaded) {
        return Fail(layout.substr(0, 64) + L": " + markup_.GetLastErrorMessage() + L" at " +
                    markup_.GetLastErrorLocation());
    }
    return true;
}

CSkinMarkupNode CLayoutBuilder::Begin(const std::wstring& layout, const std::wstring& type,
                                      IDialogBuilderCallback* callback, CWindowManagerUI* manager) {
    error_.clear();
    callback_ = callback;
    if (!Load(layout, type)) return {};
    CSkinMarkupNode root = markup_.GetRoot();
    if (!root.IsValid()) {
        Fail(L"the layout has no root element");
        return {};
    }
    RegisterResources(root, manager);
    return root;
}

std::unique_ptr<CControlUI> CLayoutBuilder::Create(const std::wstring& layout,
                                                   const std::wstring& type,
                                                   IDialogBuilderCallback* callback,
                                                   CWindowManagerUI* manager) {
    CSkinMarkupNode root = Begin(layout, type, callback, manager);
    if (!root.IsValid()) return nullptr;
    std::vector<std::unique_ptr<CControlUI>> top;
    if (!BuildChildren(root, nullptr, manager, &top)) return nullptr;
    if (top.empty()) {
        Fail(L"the layout has no controls");
        return nullptr;
    }
    if (top.size() > 1) {
        // Without a parent only one tree can be handed back.
        QLogger::LogW(QLOG_WARNING, L"%ls: %d top-level controls after the first dropped",
                      L"CLayoutBuilder::Create", static_cast<int>(top.size() - 1));
    }
    return std::move(top.front());
}

CControlUI* CLayoutBuilder::Create(const std::wstring& layout, const std::wstring& type,
                                   IDialogBuilderCallback* callback, CWindowManagerUI* manager,
                                   CControlUI* parent) {
    if (parent == nullptr) {
        Fail(L"no parent to build into");
        return nullptr;
    }
    IContainerUI* container = parent->GetContainer();
    if (container == nullptr) {
        Fail(L"the parent is not a container");
        return nullptr;
    }
    CSkinMarkupNode root = Begin(layout, type, callback, manager);
    if (!root.IsValid()) return nullptr;
    const int before = container->GetCount();
    const bool built = BuildChildren(root, parent, manager, nullptr);
    if (!built || container->GetCount() == before) {
        if (built) Fail(L"the layout has no controls");
        while (container->GetCount() > before) {
            container->Remove(container->GetItemAt(container->GetCount() - 1));
        }
        return nullptr;
    }
    if (manager != nullptr) {
        for (int i = before; i < container->GetCount(); ++i) {
            VisitTree(*container->GetItemAt(i), [manager](CControlUI& control) {
                manager->RegisterName(&control);
                return true;
            });
        }
    }
    return container->GetItemAt(before);
}

void CLayoutBuilder::RegisterResources(CSkinMarkupNode root, CWindowManagerUI* manager) {
    if (manager == nullptr) return;
    for (CSkinMarkupNode node = root.GetChild(); node.IsValid(); node = node.GetSibling()) {
        const wchar_t* name = node.GetName();
        if (EqualsIgnoringAsciiCase(name, L"Image")) {
            const wchar_t* file = Attr(node, L"name");
            if (file == nullptr || *file == L'\0') continue;
            const wchar_t* restype = Attr(node, L"restype");
            manager->AddImage(file, restype ? restype : L"", ParseHex(Attr(node, L"mask")));
        } else if (EqualsIgnoringAsciiCase(name, L"Font")) {
            const wchar_t* id = Attr(node, L"id");
            const wchar_t* face = Attr(node, L"name");
            if (id == nullptr || face == nullptr || *face == L'\0') continue;
            TFontInfo font;
            font.name = face;
            if (const wchar_t* size = Attr(node, L"size")) font.size = ParseInt(size);
            font.bold = ParseBool(Attr(node, L"bold"));
            font.underline = ParseBool(Attr(node, L"underline"));
            font.italic = ParseBool(Attr(node, L"italic"));
            manager->AddFont(ParseInt(id), font, ParseBool(Attr(node, L"default")));
        } else if (EqualsIgnoringAsciiCase(name, L"Default")) {
            const wchar_t* element = Attr(node, L"name");
            const wchar_t* value = Attr(node, L"value");
            if (element != nullptr && value != nullptr) {
                manager->AddDefaultAttributeList(element, value);
            }
        } else if (EqualsIgnoringAsciiCase(name, L"MultiLanguage")) {
            const wchar_t* id = Attr(node, L"id");
            const wchar_t* value = Attr(node, L"value");
            if (id != nullptr && value != nullptr) {
                manager->AddMultiLanguageString(ParseInt(id), value);
            }
        }
    }
    if (EqualsIgnoringAsciiCase(root.GetName(), L"Window")) {
        for (int i = 0; i < root.GetAttributeCount(); ++i) {
            manager->ApplyWindowAttribute(root.GetAttributeName(i), root.GetAttributeValue(i));
        }
    }
}

bool CLayoutBuilder::BuildInclude(CSkinMarkupNode node, CControlUI* parent,
                                  CWindowManagerUI* manager) {
    const wchar_t* source = Attr(node, L"source");
    if (source == nullptr || *source == L'\0') return true;
    if (parent == nullptr) {
        QLogger::LogW(QLOG_WARNING, L"%ls: Include %ls at the top level has no parent",
                      L"CLayoutBuilder::Create", source);
        return true;
    }
    if (includeDepth_ >= kMaxIncludeDepth) return Fail(L"Include nested too deeply");
    const wchar_t* countText = Attr(node, L"count");
    const int count = countText ? ParseInt(countText) : 1;
    if (count > kMaxIncludeCount) return Fail(L"Include count too large");
    for (int i = 0; i < count; ++i) {
        CLayoutBuilder inner(&files_);
        inner.includeDepth_ = includeDepth_ + 1;
        // A numbered source is a resource only when this layout was one.
        if (inner.Create(source, type_, callback_, manager, parent) == nullptr) {
            return Fail(L"Include " + std::wstring(source) + L": " + inner.GetLastError());
        }
    }
    return true;
}

bool CLayoutBuilder::BuildChildren(CSkinMarkupNode node, CControlUI* parent,
                                   CWindowManagerUI* manager,
                                   std::vector<std::unique_ptr<CControlUI>>* top) {
    for (CSkinMarkupNode child = node.GetChild(); child.IsValid(); child = child.GetSibling()) {
        const wchar_t* name = child.GetName();
        if (IsResourceElement(name)) continue;
        if (EqualsIgnoringAsciiCase(name, L"Include")) {
            if (!BuildInclude(child, parent, manager)) return false;
            continue;
        }
        std::unique_ptr<CControlUI> control = CreateControlByName(name);
        if (!control && callback_ != nullptr) control = callback_->CreateControl(name);
        if (!control) continue;  // unknown: skipped with its subtree

        // Attached before its children are built into it, so that they join
        // a control that has its window: a child that acts on its window
        // while the layout is built (an ActiveX host) never sees it go.
        control->SetManager(manager, parent);
        if (child.HasChildren() && !BuildChildren(child, control.get(), manager, nullptr)) {
            return false;
        }
        CControlUI* built = control.get();
        if (parent != nullptr) {
            IContainerUI* container = parent->GetContainer();
            if (container == nullptr) {
                return Fail(std::wstring(L"element ") + name +
                            L" inside a control that holds none");
            }
            if (!container->Add(std::move(control))) continue;
        } else {
            top->push_back(std::move(control));
        }

        built->SetManager(manager, parent);
        if (manager != nullptr) {
            if (const wchar_t* defaults = manager->GetDefaultAttributeList(name)) {
                built->ApplyAttributeList(defaults);
            }
        }
        for (int i = 0; i < child.GetAttributeCount(); ++i) {
            built->SetAttribute(child.GetAttributeName(i), child.GetAttributeValue(i));
        }
    }
    return true;
}

}  // namespace SkinUI
