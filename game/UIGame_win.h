// The game window: a skinned, resizable top-level window with its own title
// bar (the player's name, the change-server button, refresh, website,
// forum, boss key, hide, minimise, maximise or restore, close) over the
// browser that shows the game page. It opens maximised and stays concealed
// (see-through, out of the taskbar) until the loading window reveals it.
// When a top-level page of the login host completes it asks the
// application controller (g_hAppWnd) for the server list. Closing it in
// any way starts a fresh launcher and ends this process with exit code 33;
// destroying it ends the message loop.
//
// Created, shown and deleted by the game session controller, which it
// reaches through its owner for the server list and the two tool windows.
// UI thread only.
#pragma once

#include <windows.h>

#include <string>

#include "ui/controls/WebBrowser_win.h"
#include "ui/window/WindowImplBase_win.h"

class CGame;

namespace SkinUI {
class CButtonUI;
class CLabelUI;
}  // namespace SkinUI

// Sent to the application controller's hidden window when the game page
// reaches the login host; wParam and lParam 0.
constexpr UINT kLoginHostReachedMessage = WM_USER + 4;
// What the game window's relaunch ends this process with.
constexpr UINT kRelaunchExitCode = 33;

// Starts |executable| with |commandLine| as its whole command line (so its
// first argument is the first option), normal priority, shown normally, no
// handles inherited; the process and thread handles are closed at once.
// False when it could not be started.
bool StartProcess(const std::wstring& executable, const std::wstring& commandLine);

class UIGame : public SkinUI::WindowImplBase, public SkinUI::CWebBrowserEventHandler {
public:
    // |owner| is not owned and may be none (tests of the window alone).
    explicit UIGame(CGame* owner);
    ~UIGame() override;

    LPCWSTR GetWindowClassName() const override { return L"UIGame"; }
    LPCWSTR GetSkinFolder() override { return L"Skin"; }
    LPCWSTR GetSkinFile() override { return L"game.xml"; }
    UINT GetResourceType() override { return SkinUI::SKIN_ZIPRESOURCE; }
    LPCWSTR GetResourceID() override { return L"129"; }

    void InitWindow() override;
    LRESULT OnClose(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    LRESULT OnDestroy(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    LRESULT OnNcCalcSize(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    LRESULT OnNcHitTest(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    LRESULT OnGetMinMaxInfo(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    LRESULT OnSize(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    LRESULT OnSysCommand(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    // At the first layout ("windowinit"): the browser hidden, the window
    // maximised, so that it opens blank until a real page is there.
    virtual void OnWindowInit();

    void Notify(SkinUI::TControlNotify& msg) override;
    // Escape is swallowed: the window base would close the window by it.
    LRESULT MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

    // Puts the game page into the browser and remembers it as "-LoginUrl:"
    // ("?" and the address) in the option table.
    void OpenGameUrl(const std::wstring& url);
    // Stops the browser and navigates it to |url|; the other arguments are
    // the browser's and not used.
    void Navigate2(VARIANT* url, VARIANT* flags = nullptr, VARIANT* targetFrameName = nullptr,
                   VARIANT* postData = nullptr, VARIANT* headers = nullptr);
    // Hides a visible window; shows a hidden one again (maximised if it was)
    // and brings it to the foreground.
    void ToggleVisible();
    // True: opaque and in the taskbar. False: fully see-through and out of
    // the taskbar, while it keeps loading.
    void SetRevealed(bool revealed);
    // The title bar shows the user name of the session's server list.
    void ShowUserName();
    // Starts this executable again with "-disable_update_self", hides the
    // window and ends the process with kRelaunchExitCode. Does not return.
    [[noreturn]] void RestartLauncher();

    void BeforeNavigate2(IDispatch* browser, VARIANT*& url, VARIANT*& flags,
                         VARIANT*& targetFrameName, VARIANT*& postData, VARIANT*& headers,
                         VARIANT_BOOL*& cancel) override;
    void NavigateError(IDispatch* browser, VARIANT*& url, VARIANT*& targetFrameName,
                       VARIANT*& statusCode, VARIANT_BOOL*& cancel) override;
    void NavigateComplete2(IDispatch* browser, VARIANT*& url) override;
    void DocumentComplete(IDispatch* browser, VARIANT*& url) override;
    void NewWindow3(IDispatch** newBrowser, VARIANT_BOOL*& cancel, DWORD flags, BSTR urlContext,
                    BSTR url) override;
    // No 3D border, no scroll bars, form autocompletion.
    HRESULT GetHostInfo(DOCHOSTUIINFO* info) override;

private:
    // The event's browser is the game browser itself, not a frame in it.
    bool IsTopLevel(IDispatch* browser) const;
    // "maximize" shows exactly when the window is not maximised, "restore"
    // exactly when it is.
    void ShowMaximizedButtons(bool maximized);

    CGame* owner_;
    SkinUI::CWebBrowserUI* browser_ = nullptr;
    SkinUI::CButtonUI* close_ = nullptr;
    SkinUI::CButtonUI* minimize_ = nullptr;
    SkinUI::CButtonUI* maximize_ = nullptr;
    SkinUI::CButtonUI* restore_ = nullptr;
    SkinUI::CButtonUI* hide_ = nullptr;
    SkinUI::CLabelUI* userName_ = nullptr;
    SkinUI::CButtonUI* changeServer_ = nullptr;
    SkinUI::CButtonUI* refresh_ = nullptr;
    SkinUI::CButtonUI* website_ = nullptr;
    SkinUI::CButtonUI* bbs_ = nullptr;
    SkinUI::CButtonUI* bossKey_ = nullptr;
};
