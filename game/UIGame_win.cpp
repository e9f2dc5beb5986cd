#include "game/UIGame_win.h"

#include <shellapi.h>

#include <string_view>

#include "LauncherConfig.h"
#include "app/CommandLine.h"
#include "app/Game_win.h"
#include "app/Globals_win.h"
#include "common/qlogger/QLogger.h"
#include "common/win/ModulePath_win.h"
#include "common/win/UniqueHandle_win.h"
#include "game/GameWindow.h"
#include "game/UIBossKey_win.h"
#include "game/UIChangeServer_win.h"
#include "ui/controls/Button.h"
#include "ui/controls/Label.h"
#include "ui/window/WindowFrame.h"

namespace {

constexpr wchar_t kAboutBlank[] = L"about:blank";
// DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_SCROLL_NO |
// DOCHOSTUIFLAG_ENABLE_FORMS_AUTOCOMPLETE
constexpr DWORD kHostFlags = 0x400C;
constexpr wchar_t kRelaunchOptions[] = L"-disable_update_self";

template <class T>
T* Find(SkinUI::CWindowManagerUI& manager, const wchar_t* name) {
    return dynamic_cast<T*>(manager.FindControl(std::wstring(name)));
}

void OpenInUsersBrowser(const wchar_t* host) {
    const std::wstring page = std::wstring(L"http://") + host + L"/";
    ShellExecuteW(nullptr, L"open", page.c_str(), nullptr, nullptr, SW_SHOW);
}

}  // namespace

bool StartProcess(const std::wstring& executable, const std::wstring& commandLine) {
    std::wstring writable = commandLine;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(executable.c_str(), writable.data(), nullptr, nullptr, FALSE,
                        NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup, &process)) {
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

UIGame::UIGame(CGame* owner) : owner_(owner) {}

UIGame::~UIGame() = default;

void UIGame::InitWindow() {
    browser_ = Find<SkinUI::CWebBrowserUI>(manager_, L"ie");
    close_ = Find<SkinUI::CButtonUI>(manager_, L"close");
    minimize_ = Find<SkinUI::CButtonUI>(manager_, L"minimize");
    maximize_ = Find<SkinUI::CButtonUI>(manager_, L"maximize");
    restore_ = Find<SkinUI::CButtonUI>(manager_, L"restore");
    hide_ = Find<SkinUI::CButtonUI>(manager_, L"hide");
    userName_ = Find<SkinUI::CLabelUI>(manager_, L"username");
    changeServer_ = Find<SkinUI::CButtonUI>(manager_, L"changeserver");
    refresh_ = Find<SkinUI::CButtonUI>(manager_, L"refresh");
    website_ = Find<SkinUI::CButtonUI>(manager_, L"website");
    bbs_ = Find<SkinUI::CButtonUI>(manager_, L"bbs");
    bossKey_ = Find<SkinUI::CButtonUI>(manager_, L"bosskey");
    // Until the window first maximises, the one of the pair that fits a
    // restored window.
    ShowMaximizedButtons(false);
    if (browser_ == nullptr) return;
    browser_->SetWebBrowserEventHandler(this);
    if (IWebBrowser2* web = browser_->GetWebBrowser2()) {
        BSTR blank = SysAllocString(kAboutBlank);
        web->Navigate(blank, nullptr, nullptr, nullptr, nullptr);
        SysFreeString(blank);
    }
}

void UIGame::OnWindowInit() {
    if (browser_ != nullptr) browser_->SetVisible(false);
    SendMessage(WM_SYSCOMMAND, SC_MAXIMIZE, 0);
}

void UIGame::Notify(SkinUI::TControlNotify& msg) {
    if (msg.type == L"windowinit") {
        OnWindowInit();
    } else if (msg.type == L"click" && msg.sender != nullptr) {
        SkinUI::CControlUI* sender = msg.sender;
        if (sender == close_) {
            SendMessage(WM_CLOSE, SC_CLOSE, 0);
            return;
        }
        if (sender == minimize_) {
            SendMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
            return;
        }
        if (sender == maximize_) {
            ShowMaximizedButtons(true);
            SendMessage(WM_SYSCOMMAND, SC_MAXIMIZE, 0);
            return;
        }
        if (sender == restore_) {
            ShowMaximizedButtons(false);
            SendMessage(WM_SYSCOMMAND, SC_RESTORE, 0);
            return;
        }
        if (sender == hide_) {
            ToggleVisible();
            return;
        }
        if (sender == changeServer_) {
            const SkinUI::TRect& button = changeServer_->GetPos();
            if (owner_ != nullptr && owner_->GetChangeServerWindow() != nullptr) {
                owner_->GetChangeServerWindow()->TogglePopup(POINT{button.right, button.bottom});
            }
            return;
        }
        if (sender == refresh_) {
            if (browser_ != nullptr && browser_->GetWebBrowser2() != nullptr) {
                browser_->GetWebBrowser2()->Refresh();
            }
        } else if (sender == website_) {
            OpenInUsersBrowser(LAUNCHER_PORTAL_HOST);
        } else if (sender == bbs_) {
            OpenInUsersBrowser(LAUNCHER_FORUM_HOST);
        } else if (sender == bossKey_) {
            if (owner_ != nullptr && owner_->GetBossKeyWindow() != nullptr) {
                UIBossKey* dialog = owner_->GetBossKeyWindow();
                dialog->CenterWindow();
                dialog->ShowModal();
            }
        }
    }
    WindowImplBase::Notify(msg);
}

LRESULT UIGame::MessageHandler(UINT message, WPARAM wParam, LPARAM, bool& handled) {
    if (message == WM_KEYDOWN && wParam == VK_ESCAPE) handled = true;
    return 0;
}

void UIGame::OpenGameUrl(const std::wstring& url) {
    CommandLineOption& option = CommandLineOptions[L"-LoginUrl:"];
    option.value = L"?" + url;
    option.hasValue = true;
    VARIANT address;
    VariantInit(&address);
    address.vt = VT_BSTR;
    address.bstrVal = SysAllocStringLen(url.data(), static_cast<UINT>(url.size()));
    Navigate2(&address);
    VariantClear(&address);
}

void UIGame::Navigate2(VARIANT* url, VARIANT*, VARIANT*, VARIANT*, VARIANT*) {
    QLogger::LogW(QLOG_NORMAL, L"%ls, %ls", L"UIGame::Navigate2", SkinUI::EventUrl(url));
    if (browser_ == nullptr || browser_->GetWebBrowser2() == nullptr) return;
    IWebBrowser2* web = browser_->GetWebBrowser2();
    web->Stop();
    web->Navigate2(url, nullptr, nullptr, nullptr, nullptr);
}

void UIGame::ToggleVisible() {
    if (IsWindowVisible(hwnd_)) {
        ShowWindow(false, true);
        return;
    }
    // A hidden window keeps its maximised style; showing it "normally"
    // would restore it.
    if (GetWindowLongW(hwnd_, GWL_STYLE) & WS_MAXIMIZE) {
        ::ShowWindow(hwnd_, SW_MAXIMIZE);
    } else {
        ShowWindow(true, true);
    }
    SetForegroundWindow(hwnd_);
}

void UIGame::SetRevealed(bool revealed) {
    SetOpacity(revealed ? 255 : 0);
    LONG_PTR style = GetWindowLongPtrW(hwnd_, GWL_EXSTYLE);
    if (revealed) {
        style = (style & ~static_cast<LONG_PTR>(WS_EX_TOOLWINDOW)) | WS_EX_APPWINDOW;
    } else {
        style = (style & ~static_cast<LONG_PTR>(WS_EX_APPWINDOW)) | WS_EX_TOOLWINDOW;
    }
    SetWindowLongPtrW(hwnd_, GWL_EXSTYLE, style);
}

void UIGame::ShowUserName() {
    if (userName_ != nullptr && owner_ != nullptr) {
        userName_->SetText(owner_->GetServerList().userName);
    }
}

void UIGame::RestartLauncher() {
    const std::wstring path = ModulePath();
    // Whether the new launcher started or not, this one ends: the player
    // closed the game.
    StartProcess(path.c_str(), kRelaunchOptions);
    ShowWindow(false, true);
    ExitProcess(kRelaunchExitCode);
}

LRESULT UIGame::OnClose(UINT, WPARAM, LPARAM, bool& handled) {
    handled = true;
    RestartLauncher();
}

LRESULT UIGame::OnDestroy(UINT, WPARAM, LPARAM, bool& handled) {
    handled = false;
    PostQuitMessage(0);
    return 0;
}

LRESULT UIGame::OnNcCalcSize(UINT, WPARAM, LPARAM, bool&) {
    // The whole window is client area, maximised too: the maximised size
    // comes from OnGetMinMaxInfo.
    return 0;
}

LRESULT UIGame::OnNcHitTest(UINT, WPARAM, LPARAM lParam, bool&) {
    // Class names compared exactly: only "ButtonUI", "OptionUI" and "TextUI"
    // keep the caption from dragging.
    return HitTestFrameAt(lParam, SkinUI::ClassNameMatch::kExact);
}

LRESULT UIGame::OnGetMinMaxInfo(UINT, WPARAM, LPARAM lParam, bool& handled) {
    // The layout's minimum tracking size is the manager's to set after this.
    handled = false;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (!GetMonitorInfoW(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTOPRIMARY), &monitor)) return 0;
    const auto rect = [](const RECT& r) { return SkinUI::TRect{r.left, r.top, r.right, r.bottom}; };
    const MaximizedPlacement placement =
        MaximizedPlacementFor(rect(monitor.rcMonitor), rect(monitor.rcWork));
    auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
    info->ptMaxPosition = POINT{placement.position.x, placement.position.y};
    info->ptMaxSize = POINT{placement.size.cx, placement.size.cy};
    return 0;
}

LRESULT UIGame::OnSize(UINT, WPARAM wParam, LPARAM, bool& handled) {
    handled = false;
    const SkinUI::TSize round = manager_.GetWindowAttributes().roundCorner;
    if (wParam == SIZE_MINIMIZED || (round.cx == 0 && round.cy == 0)) return 0;
    RECT r{};
    GetWindowRect(hwnd_, &r);
    OffsetRect(&r, -r.left, -r.top);
    r.right += 1;
    r.bottom += 1;
    // Only the two top corners are round: a square piece covers the bottom
    // ones of the rounded rectangle.
    UniqueRegion region(CreateRectRgn(r.left, r.top + round.cx, r.right, r.bottom));
    UniqueRegion rounded(
        CreateRoundRectRgn(r.left, r.top, r.right, r.bottom - round.cx, round.cx, round.cy));
    if (!region || !rounded ||
        CombineRgn(region.get(), region.get(), rounded.get(), RGN_OR) == ERROR) {
        QLogger::Log(QLOG_ERROR, "UIGame::OnSize: the window region failed:%lu", GetLastError());
        return 0;
    }
    // On success the window owns the region.
    if (SetWindowRgn(hwnd_, region.get(), TRUE) != 0) region.release();
    return 0;
}

LRESULT UIGame::OnSysCommand(UINT message, WPARAM wParam, LPARAM lParam, bool&) {
    // Compared whole: a close with other low bits goes the default way, which
    // turns it into WM_CLOSE and so reaches the same relaunch.
    if (wParam == SC_CLOSE) RestartLauncher();
    const bool wasZoomed = IsZoomed(hwnd_) != FALSE;
    const HWND hwnd = hwnd_;
    const LRESULT result = CWindowWnd::HandleMessage(message, wParam, lParam);
    if (IsWindow(hwnd)) {
        const bool zoomed = IsZoomed(hwnd) != FALSE;
        if (zoomed != wasZoomed) ShowMaximizedButtons(zoomed);
    }
    return result;
}

void UIGame::ShowMaximizedButtons(bool maximized) {
    if (maximize_ != nullptr) maximize_->SetVisible(!maximized);
    if (restore_ != nullptr) restore_->SetVisible(maximized);
}

bool UIGame::IsTopLevel(IDispatch* browser) const {
    return browser_ != nullptr && browser_->IsTopLevel(browser);
}

void UIGame::BeforeNavigate2(IDispatch*, VARIANT*& url, VARIANT*&, VARIANT*&, VARIANT*&, VARIANT*&,
                             VARIANT_BOOL*&) {
    QLogger::LogW(QLOG_NORMAL, L"%ls, %ls", L"UIGame::BeforeNavigate2", SkinUI::EventUrl(url));
}

void UIGame::NavigateError(IDispatch*, VARIANT*& url, VARIANT*&, VARIANT*&, VARIANT_BOOL*&) {
    QLogger::LogW(QLOG_NORMAL, L"%ls, %ls", L"UIGame::NavigateError", SkinUI::EventUrl(url));
}

void UIGame::NewWindow3(IDispatch**, VARIANT_BOOL*&, DWORD, BSTR, BSTR url) {
    QLogger::LogW(QLOG_NORMAL, L"%ls, %ls", L"UIGame::NewWindow3", url != nullptr ? url : L"");
}

void UIGame::NavigateComplete2(IDispatch* browser, VARIANT*& url) {
    const wchar_t* address = SkinUI::EventUrl(url);
    QLogger::LogW(QLOG_NORMAL, L"%ls, %ls", L"UIGame::NavigateComplete2", address);
    if (IsTopLevel(browser) && std::wstring_view(address) != kAboutBlank) {
        browser_->SetVisible(true);
    }
}

void UIGame::DocumentComplete(IDispatch* browser, VARIANT*& url) {
    const wchar_t* address = SkinUI::EventUrl(url);
    QLogger::LogW(QLOG_NORMAL, L"%ls, %ls", L"UIGame::DocumentComplete", address);
    if (!IsTopLevel(browser)) return;
    // Every completed page of the login host: the server list may have
    // changed with it.
    if (IsLoginHostPage(address) && !::PostMessageW(g_hAppWnd, kLoginHostReachedMessage, 0, 0)) {
        QLogger::Log(QLOG_ERROR, "%s: PostMessage 0x%x failed:%lu", "UIGame::DocumentComplete",
                     kLoginHostReachedMessage, GetLastError());
    }
    if (std::wstring_view(address) == kAboutBlank) browser_->GetWebBrowser2()->Refresh();
}

HRESULT UIGame::GetHostInfo(DOCHOSTUIINFO* info) {
    if (info != nullptr) info->dwFlags |= kHostFlags;
    return S_OK;
}
