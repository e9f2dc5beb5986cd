// A launcher's run as far as the self-update goes, for the Wine tests and
// the start-up benchmark, until the application controller that owns
// UIUpdate is wired into LauncherQAMB.exe. The road is the controller's:
// start-up parses the options and opens the launcher's log, the owner
// creates the update window hidden and centred, shows it and starts it
// (or, with "-disable_update_self", ends the update at once), and the
// update either ends the process through the replacement script or calls
// OnUpdateEnd, after which the owner hides the window and goes on. Here
// "going on" is the end: once the downloader is idle and everything it
// posted has been handled, the loop ends, so that a second end would still
// be seen in the log.
//
//   update_host [launcher options...] [--first-paint-report=PATH]
//
// With --first-paint-report the host paints the shown window at once,
// writes testsupport::WriteFirstPaintReport to PATH and ends.
#include <windows.h>

#include <memory>
#include <string>

#include "app/CommandLine.h"
#include "common/qlogger/QLogger.h"
#include "common/win/ModulePath_win.h"
#include "support/FirstPaintReport_win.h"
#include "support/HostLog_win.h"
#include "ui/skin/ModuleInstance_win.h"
#include "ui/window/WindowHost_win.h"
#include "ui/window/WindowManager.h"
#include "update/UIUpdate_win.h"

namespace {

constexpr wchar_t kReportOption[] = L"--first-paint-report";
constexpr UINT kQuitWhenIdle = WM_APP + 1;
constexpr UINT kIdlePollMs = 20;

std::wstring OwnFolder() {
    return ModuleFolder();
}

class UpdateHost : public UIUpdateCallback {
public:
    UpdateHost() : updateWindow_(std::make_unique<UIUpdate>(nullptr)) {
        updateWindow_->SetCallback(this);
    }

    bool Initialize() {
        QLogger::LogW(QLOG_NORMAL, L"UpdateHost::Initialize");
        if (!updateWindow_->Create(nullptr, L"QuambarLauncher", 0x96C80000, WS_EX_WINDOWEDGE,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT)) {
            QLogger::LogW(QLOG_ERROR, L"%ls:Create UIUpdate failed:%d", L"UpdateHost::Initialize",
                          static_cast<int>(GetLastError()));
            return false;
        }
        updateWindow_->CenterWindow();
        // Created visible, as the controller creates it, then hidden: under
        // Wine without a window manager the hide waits for the X server to
        // report the window withdrawn. The benchmark reports that wait apart.
        const ULONGLONG hideStart = GetTickCount64();
        updateWindow_->ShowWindow(false, true);
        hideMs_ = GetTickCount64() - hideStart;
        return true;
    }

    bool Start(const std::wstring& reportPath) {
        QLogger::LogW(QLOG_NORMAL, L"UpdateHost::Start");
        if (FindOption(L"-disable_update_self")) {
            static_cast<UIUpdateCallback*>(this)->OnUpdateEnd(false);
            return true;
        }
        updateWindow_->ShowWindow(true, true);
        updateWindow_->Start();
        if (!reportPath.empty()) {
            UpdateWindow(updateWindow_->GetHWND());
            const std::string extra = "hide_ms=" + std::to_string(hideMs_);
            if (!testsupport::WriteFirstPaintReport(reportPath, extra)) return false;
            PostQuitMessage(0);
        }
        return true;
    }

    void OnUpdateEnd(bool success) override {
        ++ends_;
        QLogger::LogW(QLOG_NORMAL, L"UpdateHost::OnUpdateEnd:%d:%d", success ? 1 : 0, ends_);
        updateWindow_->ShowWindow(false, true);
        QLogger::LogW(QLOG_NORMAL, L"UpdateHost::TryAutoLogin");
        if (!polling_) {
            polling_ = true;
            host_ = this;
            SetTimer(nullptr, 0, kIdlePollMs, &UpdateHost::PollIdle);
        }
    }

    void Uninitialize() { updateWindow_->Close(1); }

private:
    // Ends the loop once the downloader has unregistered and every message
    // it posted before that has been handled (posted messages keep order).
    static void CALLBACK PollIdle(HWND, UINT, UINT_PTR timer, DWORD) {
        if (host_->updateWindow_->IsDownloading()) return;
        KillTimer(nullptr, timer);
        PostThreadMessageW(GetCurrentThreadId(), kQuitWhenIdle, 0, 0);
    }

    static UpdateHost* host_;
    std::unique_ptr<UIUpdate> updateWindow_;
    ULONGLONG hideMs_ = 0;
    int ends_ = 0;
    bool polling_ = false;
};

UpdateHost* UpdateHost::host_ = nullptr;

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    const wchar_t* commandLine = GetCommandLineW();
    ParseCommandLine(commandLine);
    std::wstring reportPath;
    if (CommandLineOption* report = FindOption(kReportOption)) {
        reportPath = report->value;
        CommandLineOptions.erase(kReportOption);
    }

    testsupport::OpenHostLog(commandLine);

    SkinUI::SetModuleInstance(instance);
    SkinUI::CWindowManagerUI::SetResourcePath(OwnFolder() + L"skin");
    {
        UpdateHost host;
        if (host.Initialize() && host.Start(reportPath)) {
            MSG msg;
            while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
                if (msg.hwnd == nullptr && msg.message == kQuitWhenIdle) {
                    PostQuitMessage(0);
                    continue;
                }
                if (!SkinUI::CWindowHostWin::TranslateMessage(&msg)) {
                    TranslateMessage(&msg);
                    DispatchMessageW(&msg);
                }
            }
        }
        host.Uninitialize();
    }
    SkinUI::CWindowManagerUI::Term();
    QLogger::LogW(QLOG_NORMAL, L"Launcher Terminated");
    return 0;
}
