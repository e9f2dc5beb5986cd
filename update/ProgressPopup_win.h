// What the launcher's two small progress popups share, the self-update
// window and the client loading window: the skin package of the
// executable, a progress bar "progress" from 0 to 100 and a hidden close
// button "close" that closes the window, a drag area over the whole
// window, Escape swallowed, and closing that ends the UI thread's message
// loop (which ends the launcher; the window itself stays until its owner
// deletes it). UI thread only.
#pragma once

#include <windows.h>

#include "ui/window/WindowImplBase_win.h"

namespace SkinUI {
class CButtonUI;
class CProgressUI;
}  // namespace SkinUI

class ProgressPopup : public SkinUI::WindowImplBase {
public:
    LPCWSTR GetSkinFolder() override { return L"Skin"; }
    UINT GetResourceType() override;
    LPCWSTR GetResourceID() override;
    void InitWindow() override;
    LRESULT OnClose(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    LRESULT OnNcHitTest(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    void Notify(SkinUI::TControlNotify& msg) override;
    LRESULT MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    // The window's own addition, run on "windowinit"; nothing by default.
    virtual void OnWindowInit();

protected:
    SkinUI::CButtonUI* closeButton_ = nullptr;
    SkinUI::CProgressUI* progress_ = nullptr;
};
