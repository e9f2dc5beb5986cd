#include "app/Game_win.h"

#include <cwchar>

#include "app/Globals_win.h"
#include "common/qlogger/QLogger.h"
#include "game/UIBossKey_win.h"
#include "game/UIChangeServer_win.h"
#include "game/UIGame_win.h"
#include "update/UILoading_win.h"

namespace {

constexpr wchar_t kWindowClass[] = L"LauncherGameWindowClass";
constexpr wchar_t kWindowTitle[] = L"QuambarLauncher";
constexpr wchar_t kTrayTip[] = L"Torvessa";
// WS_VISIBLE | WS_OVERLAPPEDWINDOW; WS_EX_APPWINDOW | WS_EX_STATICEDGE.
constexpr DWORD kTopLevelStyle = 0x10CF0000;
constexpr DWORD kTopLevelExStyle = 0x60000;
// WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_CAPTION |
// WS_SYSMENU; WS_EX_WINDOWEDGE.
constexpr DWORD kBossKeyStyle = 0x96C80000;
// WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN.
constexpr DWORD kChangeServerStyle = 0x56000000;
constexpr DWORD kDialogExStyle = 0x100;

}  // namespace

CGame::CGame() {
    QLogger::LogW(QLOG_NORMAL, L"CGame::CGame");
    loadingWindow_ = std::make_unique<UILoading>(this);
    gameWindow_ = std::make_unique<UIGame>(this);
    bossKeyWindow_ = std::make_unique<UIBossKey>(this);
    changeServerWindow_ = std::make_unique<UIChangeServer>(this);
}

CGame::~CGame() {
    QLogger::LogW(QLOG_NORMAL, L"CGame::~CGame");
    gameWindow_.reset();
    loadingWindow_.reset();
    bossKeyWindow_.reset();
    changeServerWindow_.reset();
}

bool CGame::Initialize() {
    QLogger::LogW(QLOG_NORMAL, L"CGame::Initialize");
    hwnd_ = CreateControllerWindow(kWindowClass, &CGame::WindowProc, this);
    if (hwnd_ == nullptr) return false;

    if (!loadingWindow_->Create(nullptr, kWindowTitle, kTopLevelStyle, kTopLevelExStyle)) {
        return LogCreateFailure(L"%ls:Create UILoading failed:%d", L"CGame::Initialize");
    }
    loadingWindow_->CenterWindow();
    loadingWindow_->ShowWindow(false, true);

    if (!gameWindow_->Create(nullptr, kWindowTitle, kTopLevelStyle, kTopLevelExStyle)) {
        return LogCreateFailure(L"%ls:Create UIGame failed:%d", L"CGame::Initialize");
    }
    gameWindow_->SetIcon(kGameIconResource);
    gameWindow_->CenterWindow();
    gameWindow_->ShowWindow(false, true);

    if (!bossKeyWindow_->Create(*gameWindow_, kWindowTitle, kBossKeyStyle, kDialogExStyle)) {
        return LogCreateFailure(L"%ls:Create UIBossKey failed:%d", L"CGame::Initialize");
    }
    bossKeyWindow_->CenterWindow();
    bossKeyWindow_->ShowWindow(false, true);

    if (!changeServerWindow_->Create(*gameWindow_, kWindowTitle, kChangeServerStyle,
                                     kDialogExStyle)) {
        return LogCreateFailure(L"%ls:Create UIChangeServer failed:%d", L"CGame::Initialize");
    }
    changeServerWindow_->ShowWindow(false, true);

    trayIcon_ = NOTIFYICONDATAW{};
    trayIcon_.cbSize = sizeof(trayIcon_);
    trayIcon_.hWnd = hwnd_;
    trayIcon_.uID = 0;
    trayIcon_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    trayIcon_.uCallbackMessage = kTrayMessage;
    trayIcon_.hIcon = LoadIconW(LauncherInstance(), MAKEINTRESOURCEW(kGameIconResource));
    wcsncpy(trayIcon_.szTip, kTrayTip, std::size(trayIcon_.szTip) - 1);
    // Without a notification area the game plays on all the same.
    Shell_NotifyIconW(NIM_ADD, &trayIcon_);
    trayIconAdded_ = true;
    return true;
}

bool CGame::Start() {
    QLogger::LogW(QLOG_NORMAL, L"CGame::Start");
    return true;
}

void CGame::Uninitialize() {
    QLogger::LogW(QLOG_NORMAL, L"CGame::Uninitialize");
    gameWindow_->Close(1);
    loadingWindow_->Close(1);
    bossKeyWindow_->Close(1);
    if (trayIconAdded_) {
        Shell_NotifyIconW(NIM_DELETE, &trayIcon_);
        trayIconAdded_ = false;
    }
    if (hwnd_ != nullptr) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
        hwnd_ = nullptr;
    }
}

LRESULT CALLBACK CGame::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* game = reinterpret_cast<CGame*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (game == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
    switch (message) {
        case kGameAddressMessage:
            game->StartGame(*TakePostedWideString(lParam));
            return 0;
        case kServerListMessage:
            game->OnServerList(*TakePostedString(lParam));
            return 0;
        case kTrayMessage:
            game->OnTrayNotify(static_cast<UINT>(lParam));
            return 0;
        default:
            return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

void CGame::StartGame(const std::wstring& address) {
    loadingWindow_->ShowWindow(true, true);
    gameWindow_->ShowWindow(true, true);
    // Shown but see-through and out of the taskbar: it loads unseen until
    // the loading window reveals it.
    gameWindow_->SetRevealed(false);
    gameWindow_->OpenGameUrl(address);
}

void CGame::OnServerList(const std::string& json) {
    serverList_.ParseJson(json);  // a failed parse leaves the list empty, shown so
    gameWindow_->ShowUserName();
    changeServerWindow_->FillServerList();
}

void CGame::OnTrayNotify(UINT mouseMessage) {
    if (mouseMessage == WM_LBUTTONDBLCLK) gameWindow_->ToggleVisible();
}

const ServerEntry* CGame::SelectServer(size_t position) {
    if (position >= serverList_.servers.size()) return nullptr;
    const ServerEntry& entry = serverList_.servers[position];
    serverList_.currentServerNumber = entry.number;
    serverList_.currentServerName = entry.name;
    gameWindow_->ShowUserName();
    changeServerWindow_->FillServerList();
    return &entry;
}
