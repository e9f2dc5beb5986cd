#include "game/UIChangeServer_win.h"

#include <string>

#include "app/Game_win.h"
#include "common/win/ModulePath_win.h"
#include "game/UIGame_win.h"
#include "ui/controls/Button.h"
#include "ui/controls/Combo.h"
#include "ui/controls/Label.h"

UIChangeServer::UIChangeServer(CGame* owner) : owner_(owner) {}

UIChangeServer::~UIChangeServer() = default;

namespace {

// The launcher started to log the player out skips its self-update.
constexpr wchar_t kLogoutCommandLine[] = L"-logout -disable_update_self";
// This process ends with it once the log-out launcher is on its way.
constexpr UINT kLogoutExitCode = 3;

}  // namespace

void UIChangeServer::InitWindow() {
    logout_ = dynamic_cast<SkinUI::CButtonUI*>(manager_.FindControl(std::wstring(L"logout")));
    changeServer_ =
        dynamic_cast<SkinUI::CButtonUI*>(manager_.FindControl(std::wstring(L"changeserver")));
    currentServer_ =
        dynamic_cast<SkinUI::CLabelUI*>(manager_.FindControl(std::wstring(L"currentserver")));
    serverList_ =
        dynamic_cast<SkinUI::CComboUI*>(manager_.FindControl(std::wstring(L"serverlist")));
    selected_ =
        dynamic_cast<SkinUI::CLabelUI*>(manager_.FindControl(std::wstring(L"serverlist_selected")));
}

void UIChangeServer::Notify(SkinUI::TControlNotify& msg) {
    if (msg.type == L"click" && msg.sender != nullptr && msg.sender == logout_) {
        // Whether the new launcher started or not, this session is over.
        StartProcess(ModulePath(), kLogoutCommandLine);
        ShowWindow(false, true);
        ExitProcess(kLogoutExitCode);
    }
    if (msg.type == L"click" && msg.sender != nullptr && msg.sender == changeServer_) {
        ChangeToSelectedServer();
        return;
    }
    if (msg.type == L"itemselect" && msg.sender == serverList_ && serverList_ != nullptr &&
        selected_ != nullptr) {
        selected_->SetText(serverList_->GetSelectedText());
        return;
    }
    WindowImplBase::Notify(msg);
}

LRESULT UIChangeServer::MessageHandler(UINT message, WPARAM wParam, LPARAM, bool& handled) {
    if (message == WM_KEYDOWN && wParam == VK_ESCAPE) handled = true;
    return 0;
}

void UIChangeServer::TogglePopup(POINT point) {
    if (IsWindowVisible(hwnd_)) {
        ShowWindow(false, true);
        return;
    }
    ShowWindow(true, true);
    RECT client{};
    GetClientRect(hwnd_, &client);
    SetWindowPos(hwnd_, nullptr, point.x - client.right, point.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void UIChangeServer::FillServerList() {
    if (owner_ == nullptr) return;
    const ServerListInfo& list = owner_->GetServerList();
    if (currentServer_ != nullptr) currentServer_->SetText(list.currentServerName);
    if (serverList_ == nullptr) return;
    serverList_->RemoveAll();
    for (size_t i = 0; i < list.servers.size(); ++i) {
        const ServerEntry& server = list.servers[i];
        const int index = serverList_->AddItem(server.name, i);
        if (server.number == list.currentServerNumber) serverList_->SelectItem(index, true);
    }
}

void UIChangeServer::ChangeToSelectedServer() {
    if (owner_ == nullptr || serverList_ == nullptr || serverList_->GetCurSel() < 0) return;
    const ServerEntry* chosen = owner_->SelectServer(static_cast<size_t>(serverList_->GetCurSel()));
    if (chosen == nullptr) return;
    if (UIGame* game = owner_->GetGameWindow()) game->OpenGameUrl(chosen->url);
}
