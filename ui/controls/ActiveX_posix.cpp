// Native builds have no COM: nothing can be hosted, and a "WebBrowser"
// element is an ActiveX host of the WebBrowser class that never gets an
// object, which is all a layout needs of it there.
#include "ui/controls/ActiveX.h"

namespace SkinUI {

namespace {

class CWebBrowserPlaceUI : public CActiveXUI {
public:
    CWebBrowserPlaceUI() { clsid_ = kWebBrowserClsid; }
    // The class name a layout's browser has everywhere.
    std::wstring_view GetClass() const override { return L"WebBrowserUI"; }
};

}  // namespace

std::unique_ptr<IActiveXHostUI> CActiveXUI::MakeHost() {
    return nullptr;
}

std::unique_ptr<CControlUI> CreateWebBrowserControl() {
    return std::make_unique<CWebBrowserPlaceUI>();
}

}  // namespace SkinUI
