// Builds a control tree from a layout: registers the layout's resources
// and window attributes with the window's manager, then creates the
// controls children-first and applies their attributes. UI thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ui/controls/Control.h"
#include "ui/skin/SkinMarkup.h"

namespace SkinUI {

class CWindowManagerUI;

// How the window offers controls the framework does not know itself.
class IDialogBuilderCallback {
public:
    virtual ~IDialogBuilderCallback() = default;
    // A new control for |element|, or none (the element is then skipped
    // with everything inside it).
    virtual std::unique_ptr<CControlUI> CreateControl(const wchar_t* element) = 0;
};

class CLayoutBuilder {
public:
    CLayoutBuilder(const CLayoutBuilder&) = delete;
    CLayoutBuilder& operator=(const CLayoutBuilder&) = delete;

    // |files| serves layout names (package members or files) and numbered
    // layout resources; null means the process-wide skin source.
    explicit CLayoutBuilder(ISkinFileSource* files = nullptr);

    // |layout| is a text starting with '<', a resource number (up to
    // 65535) when |type| is given, or a file name. Returns the first
    // control built at the top level, or none on any failure.
    std::unique_ptr<CControlUI> Create(const std::wstring& layout, const std::wstring& type,
                                       IDialogBuilderCallback* callback, CWindowManagerUI* manager);
    // The same, built into |parent| (which must be a container and owns
    // what is built); returns the first control added. On failure nothing
    // stays added to |parent|.
    CControlUI* Create(const std::wstring& layout, const std::wstring& type,
                       IDialogBuilderCallback* callback, CWindowManagerUI* manager,
                       CControlUI* parent);

    CSkinMarkup& GetMarkup() { return markup_; }
    // Why the last Create failed ("" when it did not).
    const std::wstring& GetLastError() const { return error_; }

private:
    bool Load(const std::wstring& layout, const std::wstring& type);
    // Loads the layout and registers its resource elements; the root element,
    // or an invalid node after recording why.
    CSkinMarkupNode Begin(const std::wstring& layout, const std::wstring& type,
                          IDialogBuilderCallback* callback, CWindowManagerUI* manager);
    void RegisterResources(CSkinMarkupNode root, CWindowManagerUI* manager);
    // Builds the children of |node|. Top-level controls (|parent| null)
    // are collected in |top|; others go into |parent|.
    bool BuildChildren(CSkinMarkupNode node, CControlUI* parent, CWindowManagerUI* manager,
                       std::vector<std::unique_ptr<CControlUI>>* top);
    bool BuildInclude(CSkinMarkupNode node, CControlUI* parent, CWindowManagerUI* manager);
    bool Fail(const std::wstring& error);

    ISkinFileSource& files_;
    IDialogBuilderCallback* callback_ = nullptr;
    CSkinMarkup markup_;
    std::wstring type_;
    std::wstring error_;
    int includeDepth_ = 0;
};

}  // namespace SkinUI
