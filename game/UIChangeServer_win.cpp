#include "game/UIChangeServer_win.h"

#include <string>

#include "app/Game_win.h"
#include "ui/controls/Combo.h"
#include "ui/controls/Label.h"

UIChangeServer::UIChangeServer(CGame* owner) : owner_(owner) {}

UIChangeServer::~UIChangeServer() = default;

void UIChangeServer::InitWindow() {
    currentServer_ =
        dynamic_cast<SkinUI::CLabelUI*>(manager_.FindControl(std::wstring(L"currentserver")));
    serverList_ = dynamic_cast<SkinUI::CComboUI*>(manager_.FindControl(std::wstring(L"serverlist")));
    selected_ =
        dynamic_cast<SkinUI::CLabelUI*>(manager_.FindControl(std::wstring(L"serverlist_selected")));
}

void UIChangeServer::Notify(SkinUI::TControlNotify& msg) {
    if (msg.type == L"itemselect" && msg.sender == serverList_ && serverList_ != nullptr &&
        selected_ != nullptr) {
        selected_->SetText(serverList_->GetSelectedText());
        return;
    }
    WindowImplBase::Notify(msg);
}

intptr_t UIChangeServer::MessageHandler(unsigned message, uintptr_t wParam, intptr_t,
                                        bool& handled) {
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
