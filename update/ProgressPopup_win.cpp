#include "update/ProgressPopup_win.h"

#include <windowsx.h>

#include <string>

#include "ui/controls/Button.h"
#include "ui/controls/Progress.h"
#include "update/PopupFrame.h"

UINT ProgressPopup::GetResourceType() {
    return SkinUI::SKIN_ZIPRESOURCE;
}

LPCWSTR ProgressPopup::GetResourceID() {
    return MAKEINTRESOURCEW(129);
}

void ProgressPopup::InitWindow() {
    closeButton_ = dynamic_cast<SkinUI::CButtonUI*>(manager_.FindControl(std::wstring(L"close")));
    progress_ = dynamic_cast<SkinUI::CProgressUI*>(manager_.FindControl(std::wstring(L"progress")));
    if (progress_) {
        progress_->SetMinValue(0);
        progress_->SetMaxValue(100);
        progress_->SetValue(0);
    }
    if (closeButton_) closeButton_->SetVisible(false);
}

LRESULT ProgressPopup::OnClose(UINT, WPARAM, LPARAM, bool& handled) {
    handled = true;
    PostQuitMessage(0);
    return 0;
}

LRESULT ProgressPopup::OnNcHitTest(UINT, WPARAM, LPARAM lParam, bool&) {
    POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ScreenToClient(hwnd_, &pt);
    RECT client{};
    GetClientRect(hwnd_, &client);
    const SkinUI::TWindowAttributes& window = manager_.GetWindowAttributes();
    return HitTestPopupFrame(SkinUI::TPoint{pt.x, pt.y},
                             SkinUI::TRect{client.left, client.top, client.right, client.bottom},
                             window.sizeBox, window.caption, IsZoomed(hwnd_) != FALSE, manager_);
}

void ProgressPopup::Notify(SkinUI::TControlNotify& msg) {
    if (msg.type == L"click" && msg.sender != nullptr && msg.sender == closeButton_) {
        PostMessage(WM_CLOSE);
        return;
    }
    if (msg.type == L"windowinit") {
        OnWindowInit();
        return;
    }
    WindowImplBase::Notify(msg);
}

void ProgressPopup::OnWindowInit() {}

LRESULT ProgressPopup::MessageHandler(UINT message, WPARAM wParam, LPARAM, bool& handled) {
    // Escape would close the window, and closing it ends the launcher.
    if (message == WM_KEYDOWN && wParam == VK_ESCAPE) handled = true;
    return 0;
}
