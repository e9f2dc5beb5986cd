#include "game/UIBossKey_win.h"

#include <string>

#include "ui/controls/Button.h"

UIBossKey::UIBossKey(CGame* owner) : owner_(owner) {}

UIBossKey::~UIBossKey() = default;

void UIBossKey::InitWindow() {
    close_ = dynamic_cast<SkinUI::CButtonUI*>(manager_.FindControl(std::wstring(L"close")));
}

LRESULT UIBossKey::OnClose(UINT, WPARAM, LPARAM, bool& handled) {
    handled = true;
    ShowWindow(false, true);
    return 0;
}

void UIBossKey::Notify(SkinUI::TControlNotify& msg) {
    if (msg.type == L"click" && msg.sender != nullptr && msg.sender == close_) {
        PostMessage(WM_CLOSE);
        return;
    }
    WindowImplBase::Notify(msg);
}

intptr_t UIBossKey::MessageHandler(unsigned message, uintptr_t wParam, intptr_t, bool& handled) {
    if (message == WM_KEYDOWN && wParam == VK_ESCAPE) handled = true;
    return 0;
}
