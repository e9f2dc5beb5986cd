#include "app/App_win.h"

#include "LauncherConfig.h"
#include "app/CommandLine.h"
#include "app/Globals_win.h"
#include "app/Login.h"
#include "app/UIMain_win.h"
#include "common/PatchEventReporter.h"
#include "common/UrlDecode.h"
#include "common/qlogger/QLogger.h"
#include "common/win/AnsiText_win.h"
#include "game/UIGame_win.h"
#include "update/UIUpdate_win.h"

namespace {

constexpr wchar_t kWindowClass[] = L"LauncherAppWindowClass";
constexpr wchar_t kWindowTitle[] = L"QuambarLauncher";
// WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_CAPTION |
// WS_SYSMENU; WS_EX_WINDOWEDGE. The skin sets the size.
constexpr DWORD kWindowStyle = 0x96C80000;
constexpr DWORD kWindowExStyle = 0x100;
// The update's end as the statistics know it.
constexpr int kUpdateEndedAction = 4;
constexpr int kUpdateEndedResult = 1;

}  // namespace

CApp::CApp() {
    QLogger::LogW(QLOG_NORMAL, L"CApp::CApp");
    updateWindow_ = std::make_unique<UIUpdate>(this);
    mainWindow_ = std::make_unique<UIMain>(this);
    updateWindow_->SetCallback(this);
    loginClient_.SetCallback(this);
}

CApp::~CApp() {
    QLogger::LogW(QLOG_NORMAL, L"CApp::~CApp");
    updateWindow_.reset();
    mainWindow_.reset();
    // The login client goes last, with the object: its worker may still be
    // ending and must not find the windows half gone first.
}

bool CApp::Initialize() {
    QLogger::LogW(QLOG_NORMAL, L"CApp::Initialize");
    hwnd_ = CreateControllerWindow(kWindowClass, &CApp::WindowProc, this);
    if (hwnd_ == nullptr) return false;

    if (!updateWindow_->Create(nullptr, kWindowTitle, kWindowStyle, kWindowExStyle)) {
        return LogCreateFailure(L"%ls:Create UIUpdate failed:%d", L"CApp::Initialize");
    }
    updateWindow_->CenterWindow();
    updateWindow_->ShowWindow(false, true);

    if (!mainWindow_->Create(nullptr, kWindowTitle, kWindowStyle, kWindowExStyle)) {
        return LogCreateFailure(L"%ls:Create UIMain failed:%d", L"CApp::Initialize");
    }
    mainWindow_->CenterWindow();
    mainWindow_->ShowWindow(false, true);
    return true;
}

bool CApp::Start() {
    QLogger::LogW(QLOG_NORMAL, L"CApp::Start");
    if (FindOption(L"-disable_update_self") == nullptr) {
        updateWindow_->ShowWindow(true, true);
        updateWindow_->Start();
    } else {
        // Before the loop runs: what this posts waits in the queue for it.
        static_cast<UIUpdateCallback*>(this)->OnUpdateEnd(false);
    }
    return true;
}

void CApp::OnUpdateEnd(bool /*success*/) {
    QLogger::LogW(QLOG_NORMAL, L"CApp::OnUpdateEnd");
    if (PatchEventReporter* reporter = PatchEventReporter::Instance()) {
        reporter->Report(kUpdateEndedAction, kUpdateEndedResult);
    }
    updateWindow_->ShowWindow(false, true);
    TryAutoLogin();
}

void CApp::TryAutoLogin() {
    QLogger::LogW(QLOG_NORMAL, L"CApp::TryAutoLogin");
    const LoginChoice choice = ChooseLogin(FindOption(L"-LoginUrl:"));
    switch (choice.route) {
        case LoginRoute::kMainPage:
            ShowMainPage();
            return;
        case LoginRoute::kGameAddress: {
            // The main page stays hidden: the portal has logged the player in.
            const std::wstring address = FromAnsi(UrlDecode(ToAnsi(choice.text)));
            PostOwnedString(g_hGameWnd, kGameAddressMessage, address, "CApp::TryAutoLogin");
            return;
        }
        case LoginRoute::kLoginKey: {
            std::wstring url;
            if (!BuildLoginKeyUrl(choice.text, LAUNCHER_LOGIN_KEY_DOMAIN, &url)) {
                // A key that cannot make a safe address is no key: log in by hand.
                QLogger::LogW(QLOG_WARNING, L"%ls: login key refused: %ls", L"CApp::TryAutoLogin",
                              choice.text.c_str());
                ShowMainPage();
                return;
            }
            loginClient_.SetUrl(url);
            loginClient_.Start();
            return;
        }
    }
}

void CApp::OnEnd(HttpClient* client, uint32_t /*tag*/, uint32_t success) {
    const std::string& body = client->GetContent();
    QLogger::LogW(QLOG_NORMAL, L"%ls, %ls, code=%d\ncontent=%ls", L"CApp::OnEnd",
                  client->GetUrl().c_str(), static_cast<int>(success), FromAnsi(body).c_str());
    const std::string address = LoginAddressFromReply(body);
    if (PatchEventReporter* reporter = PatchEventReporter::Instance()) {
        reporter->SetParameters(FromAnsi(address));
    }
    auto* posted = new std::string(address);
    if (!::PostMessageW(hwnd_, kLoginUrlMessage, success, reinterpret_cast<LPARAM>(posted))) {
        delete posted;
        QLogger::Log(QLOG_ERROR, "%s: PostMessage 0x%x failed:%lu", "CApp::OnEnd",
                     kLoginUrlMessage, GetLastError());
    }
}

void CApp::OnLoginUrl(std::unique_ptr<std::string> address) {
    const std::string decoded = UrlDecode(*address);
    address.reset();
    if (IsGameAddress(decoded)) {
        PostOwnedString(g_hGameWnd, kGameAddressMessage, FromAnsi(decoded), "CApp::OnLoginUrl");
    } else {
        ShowMainPage();
    }
}

void CApp::ShowMainPage() { mainWindow_->ShowWindow(true, true); }

void CApp::Uninitialize() {
    QLogger::LogW(QLOG_NORMAL, L"CApp::Uninitialize");
    loginClient_.Stop();
    updateWindow_->Close(1);
    mainWindow_->Close(1);
    if (hwnd_ != nullptr) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
        hwnd_ = nullptr;
    }
}

LRESULT CALLBACK CApp::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* app = reinterpret_cast<CApp*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (app == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
    switch (message) {
        case kLoginUrlMessage:
            app->OnLoginUrl(TakePostedString(lParam));
            return 0;
        case kLoginHostReachedMessage:
            app->mainWindow_->RequestServerList();
            return 0;
        default:
            return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}
