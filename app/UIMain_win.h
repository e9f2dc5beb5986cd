// The launcher's main page window: a skinned frame around the web portal's
// login and server-selection page. When that page navigates to the game's
// start address, the window stops the navigation, hides itself and hands
// the address to the game session (g_hGameWnd, kGameAddressMessage). A
// second browser that is never shown loads the select-server page on
// request and hands its body text on as the server list
// (kServerListMessage). Closing the window ends the message loop. Created
// and owned by the application controller. UI thread only.
#pragma once

#include <windows.h>

#include "ui/controls/WebBrowser_win.h"
#include "ui/window/WindowImplBase_win.h"

class CApp;

namespace SkinUI {
class CButtonUI;
}

class UIMain : public SkinUI::WindowImplBase, public SkinUI::CWebBrowserEventHandler {
public:
    // |owner| is not owned and may be none (tests stand in for it).
    explicit UIMain(CApp* owner);
    ~UIMain() override;

    // The portal browser shows and hides with the window.
    void ShowWindow(bool show = true, bool takeFocus = true) override;

    LPCWSTR GetWindowClassName() const override { return L"UIMain"; }
    LPCWSTR GetSkinFolder() override { return L"Skin"; }
    LPCWSTR GetSkinFile() override { return L"main.xml"; }
    UINT GetResourceType() override { return SkinUI::SKIN_ZIPRESOURCE; }
    LPCWSTR GetResourceID() override { return L"129"; }

    void InitWindow() override;
    void Notify(SkinUI::TControlNotify& msg) override;
    LRESULT OnClose(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    LRESULT OnNcHitTest(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    // Escape is taken and ignored: the main page never closes by it.
    LRESULT MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

    // At the window's first layout ("windowinit"): the first portal page.
    virtual void OnWindowInit();

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

    // Loads the select-server page into the hidden browser; the list
    // arrives in NavigateComplete2. Works while the window is hidden.
    void RequestServerList();

private:
    void HandServerListOn();

    CApp* owner_;
    SkinUI::CButtonUI* closeButton_ = nullptr;
    SkinUI::CWebBrowserUI* browser_ = nullptr;
    SkinUI::CWebBrowserUI* serverBrowser_ = nullptr;
};
