// The game session controller: owns the in-game windows (the loading
// window, the game window, the boss-key dialog and the change-server
// popup), the tray icon, the session's server list and the boss key's key
// names. The rest of the launcher hands it work through its hidden window
// (g_hGameWnd): a game address to open (kGameAddressMessage) and the
// server list fetched by the main page (kServerListMessage); the shell
// reports the tray icon's mouse messages there (kTrayMessage). It holds no
// game logic: it creates, shows and feeds its windows. Lives on start-up's
// stack for the whole run. Main thread only.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <string>

#include "game/KeyNameTable.h"
#include "game/ServerList.h"

class UIBossKey;
class UIChangeServer;
class UIGame;
class UILoading;

// The tray icon's callback message: wParam the icon id, lParam the mouse
// message at the icon.
constexpr UINT kTrayMessage = WM_USER + 7;
// The icon resource of the game window and the tray icon.
constexpr UINT kGameIconResource = 107;

class CGame {
public:
    CGame(const CGame&) = delete;
    CGame& operator=(const CGame&) = delete;

    // Builds the key names and the windows as objects; nothing is created.
    CGame();
    ~CGame();

    // The hidden window, then the four windows in order, all hidden, then
    // the tray icon. False (logged, except for the hidden window) when any
    // of them could not be made; the later ones are then not made.
    bool Initialize();
    bool Start();
    // Closes the windows, removes the tray icon, destroys the hidden window.
    void Uninitialize();

    // The hidden message window, null outside Initialize..Uninitialize.
    HWND GetHWND() const { return hwnd_; }

    // kGameAddressMessage: the loading window and the concealed game window
    // shown, the game window sent to |address|.
    void StartGame(const std::wstring& address);
    // kServerListMessage: the list parsed (a text that does not parse
    // empties it) and both windows refreshed.
    void OnServerList(const std::string& json);
    // kTrayMessage: a double click with the left button toggles the game
    // window; every other mouse message does nothing.
    void OnTrayNotify(UINT mouseMessage);
    // Makes the server at |position| the current one and refreshes both
    // windows; none when there is no such server.
    const ServerEntry* SelectServer(size_t position);

    UILoading* GetLoadingWindow() const { return loadingWindow_.get(); }
    UIGame* GetGameWindow() const { return gameWindow_.get(); }
    UIChangeServer* GetChangeServerWindow() const { return changeServerWindow_.get(); }
    UIBossKey* GetBossKeyWindow() const { return bossKeyWindow_.get(); }
    const KeyNameTable& GetKeyNames() const { return keyNames_; }
    const ServerListInfo& GetServerList() const { return serverList_; }

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    std::unique_ptr<UILoading> loadingWindow_;
    std::unique_ptr<UIGame> gameWindow_;
    std::unique_ptr<UIChangeServer> changeServerWindow_;
    std::unique_ptr<UIBossKey> bossKeyWindow_;
    HWND hwnd_ = nullptr;
    NOTIFYICONDATAW trayIcon_{};
    bool trayIconAdded_ = false;
    KeyNameTable keyNames_;
    ServerListInfo serverList_;
};
