// The application controller: runs the self-update, then gets the player a
// game address (from the command line, from the login-key service, or by
// the main page) and hands it to the game session. Lives on start-up's
// stack for the whole run. Main thread only, except OnEnd, which runs on
// the login request's worker and only posts its result back.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "update/HttpClient.h"
#include "update/UIUpdateCallback.h"

class UIMain;
class UIUpdate;

class CApp : public UIUpdateCallback, public HttpClientCallback {
public:
    // To the hidden window: the login-key service's address, a heap
    // std::string posted by OnEnd. The game window posts the other one,
    // kLoginHostReachedMessage, when its page reaches the login host.
    static constexpr UINT kLoginUrlMessage = WM_USER + 1;

    CApp(const CApp&) = delete;
    CApp& operator=(const CApp&) = delete;

    // Builds both windows as objects; nothing is created yet.
    CApp();
    ~CApp();

    // The hidden window, then the update and main windows, both centred and
    // hidden. False when any of them could not be made (logged, except for
    // the hidden window).
    bool Initialize();
    // The self-update, or with "-disable_update_self" straight on to the
    // login. Always true.
    bool Start();
    // Ends the login request and closes the windows; the loop has ended.
    void Uninitialize();

    // UIUpdateCallback: the launcher keeps running, whatever the update did.
    void OnUpdateEnd(bool success) override;
    // The login road the command line names.
    void TryAutoLogin();
    // HttpClientCallback, on the login request's worker: the reply's address
    // goes to the main thread as kLoginUrlMessage.
    void OnEnd(HttpClient* client, uint32_t tag, uint32_t success) override;
    // kLoginUrlMessage: a decoded "http..." address goes to the game
    // session, anything else shows the main page.
    void OnLoginUrl(std::unique_ptr<std::string> address);

    // The hidden message window, null outside Initialize..Uninitialize.
    HWND GetHWND() const { return hwnd_; }
    UIUpdate* GetUpdateWindow() const { return updateWindow_.get(); }
    UIMain* GetMainWindow() const { return mainWindow_.get(); }

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void ShowMainPage();

    std::unique_ptr<UIUpdate> updateWindow_;
    std::unique_ptr<UIMain> mainWindow_;
    HWND hwnd_ = nullptr;
    HttpClient loginClient_;
};
