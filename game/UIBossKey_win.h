// The boss-key dialog: an owned popup of the game window, shown centred and
// modal from the game window's "bosskey" button and hidden (never
// destroyed) when it closes. It edits the stored hotkey (a Ctrl + key the
// player presses into the field), switches it on and off, and toggles the
// game window on its WM_HOTKEY; what each of those decides is
// BossKeySettings'. Created hidden, so the stored hotkey is registered at
// session start when enabled; deleted by the game session controller.
// UI thread only.
#pragma once

#include <windows.h>

#include "game/BossKeySettings.h"
#include "game/WindowHotKey_win.h"
#include "ui/window/WindowImplBase_win.h"

class CGame;

namespace SkinUI {
class CButtonUI;
class CEditUI;
class COptionUI;
}  // namespace SkinUI

class UIBossKey : public SkinUI::WindowImplBase {
public:
    // |owner| is not owned and must outlive the dialog; the dialog uses its
    // key-name table and its game window.
    explicit UIBossKey(CGame* owner);
    // Drops the hotkey.
    ~UIBossKey() override;

    LPCWSTR GetWindowClassName() const override { return L"UIBossKey"; }
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    LPCWSTR GetSkinFolder() override { return L"Skin"; }
    LPCWSTR GetSkinFile() override { return L"bosskey.xml"; }
    UINT GetResourceType() override { return SkinUI::SKIN_ZIPRESOURCE; }
    LPCWSTR GetResourceID() override { return L"129"; }

    void InitWindow() override;
    // Hides the dialog; it lives as long as the session.
    LRESULT OnClose(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    LRESULT OnNcHitTest(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    void Notify(SkinUI::TControlNotify& msg) override;
    // The key capture of the field; Escape never closes the dialog.
    LRESULT MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

private:
    // The stored values into the field and the switch; a stored and
    // enabled hotkey is registered on the way (through "selectchanged").
    void LoadSettings();
    bool Enabled() const;
    std::wstring FieldText() const;

    CGame* owner_;
    WindowHotKey hotKey_;
    BossKeySettings settings_;
    SkinUI::CButtonUI* close_ = nullptr;
    SkinUI::CEditUI* field_ = nullptr;
    SkinUI::CButtonUI* ok_ = nullptr;
    SkinUI::COptionUI* enable_ = nullptr;
};
