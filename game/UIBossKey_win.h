// The boss-key dialog: an owned popup of the game window, shown centred and
// modal from the game window's "bosskey" button and hidden (never
// destroyed) when it closes. Created hidden and deleted by the game session
// controller. What it edits and registers (the hotkey field, OK, the enable
// switch, WM_HOTKEY) is decided by BossKeySettings and not wired here yet.
// UI thread only.
#pragma once

#include <windows.h>

#include "ui/window/WindowImplBase_win.h"

class CGame;

namespace SkinUI {
class CButtonUI;
}

class UIBossKey : public SkinUI::WindowImplBase {
public:
    // |owner| is not owned.
    explicit UIBossKey(CGame* owner);
    ~UIBossKey() override;

    LPCWSTR GetWindowClassName() const override { return L"UIBossKey"; }
    LPCWSTR GetSkinFolder() override { return L"Skin"; }
    LPCWSTR GetSkinFile() override { return L"bosskey.xml"; }
    UINT GetResourceType() override { return SkinUI::SKIN_ZIPRESOURCE; }
    LPCWSTR GetResourceID() override { return L"129"; }

    void InitWindow() override;
    // Hides the dialog; it lives as long as the session.
    LRESULT OnClose(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    void Notify(SkinUI::TControlNotify& msg) override;
    // Escape never closes the dialog.
    intptr_t MessageHandler(unsigned message, uintptr_t wParam, intptr_t lParam,
                            bool& handled) override;

private:
    CGame* owner_;
    SkinUI::CButtonUI* close_ = nullptr;
};
