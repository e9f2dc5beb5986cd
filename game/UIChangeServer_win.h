// The change-server popup: a child window of the game window that hangs
// below the title bar's "changeserver" button and shows the session's
// current server and the list of all servers. Created hidden and deleted
// by the game session controller, from whose server list it fills itself.
// "换服" moves the game page to the chosen server; "注销" starts a launcher
// that logs the player out and ends this one. UI thread only.
#pragma once

#include <windows.h>

#include "ui/window/WindowImplBase_win.h"

class CGame;

namespace SkinUI {
class CButtonUI;
class CComboUI;
class CLabelUI;
}  // namespace SkinUI

class UIChangeServer : public SkinUI::WindowImplBase {
public:
    // |owner| is not owned and may be none (then the lists stay empty).
    explicit UIChangeServer(CGame* owner);
    ~UIChangeServer() override;

    LPCWSTR GetWindowClassName() const override { return L"UIChangeServer"; }
    LPCWSTR GetSkinFolder() override { return L"Skin"; }
    LPCWSTR GetSkinFile() override { return L"changeserver.xml"; }
    UINT GetResourceType() override { return SkinUI::SKIN_ZIPRESOURCE; }
    LPCWSTR GetResourceID() override { return L"129"; }

    void InitWindow() override;
    void Notify(SkinUI::TControlNotify& msg) override;
    // Escape is swallowed, as in the game window.
    LRESULT MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

    // Hides a shown popup; shows a hidden one with its top-right corner at
    // |point| (the game window's client coordinates).
    void TogglePopup(POINT point);
    // Shows the owner's server list: the current server, every server in
    // the list, the current one selected.
    void FillServerList();

private:
    // Makes the combo's selection the current server and opens its page;
    // nothing without a selection.
    void ChangeToSelectedServer();

    CGame* owner_;
    SkinUI::CLabelUI* currentServer_ = nullptr;
    SkinUI::CComboUI* serverList_ = nullptr;
    SkinUI::CLabelUI* selected_ = nullptr;
    SkinUI::CButtonUI* logout_ = nullptr;
    SkinUI::CButtonUI* changeServer_ = nullptr;
};
