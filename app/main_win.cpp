// Process entry: options, log, the relocation road or the normal run, and
// teardown in a fixed order.
#include <ole2.h>
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>

#include "app/App_win.h"
#include "app/CommandLine.h"
#include "app/Game_win.h"
#include "app/Globals_win.h"
#include "app/Install.h"
#include "app/OleStartup_win.h"
#include "common/PatchEventReporter.h"
#include "common/qlogger/QLogger.h"
#include "common/win/ModulePath_win.h"
#include "ui/skin/ModuleInstance_win.h"
#include "ui/window/WindowHost_win.h"
#include "ui/window/WindowManager.h"
#include "update/GameOcx.h"

namespace {

constexpr const wchar_t* kDebugWaitMarker = L"dbgbreak.txt";
constexpr const char* kLogFilePattern = "log/launcher_tavro_%d.log";
constexpr const char* kLogLayout = "%d - {%tid}{%c}{%t} - %m%n";
constexpr const char* kLogCategory = "file";
constexpr const wchar_t* kResourceFolder = L"skin";
constexpr int kSkinPackageResource = 129;  // ZIPRES, embedded by the build
constexpr const wchar_t* kLoginUrlOption = L"-LoginUrl:";
constexpr const wchar_t* kLoginAddressMarker = L"?url=";

// The login address a portal hands over as "-LoginUrl:=...?url=<address>".
std::wstring LoginAddressFromOptions() {
    const CommandLineOption* option = FindOption(kLoginUrlOption);
    if (!option) return {};
    const size_t marker = option->value.find(kLoginAddressMarker);
    if (marker == std::wstring::npos) return {};
    return option->value.substr(marker + wcslen(kLoginAddressMarker));
}

void OpenLog() {
    char path[MAX_PATH];
    std::snprintf(path, sizeof path, kLogFilePattern, static_cast<int>(GetCurrentProcessId()));
    QLogger::AddFileAppender(path, kLogLayout, kLogCategory);
}

// The normal road once OLE is up: framework, reporter, controllers, loop.
void RunLauncher(HINSTANCE instance) {
    PinToTaskbar(ModulePath(instance));

    SkinUI::SetModuleInstance(instance);
    // The skin source, once for every window of the process.
    SkinUI::CWindowManagerUI::SetResourcePath(ModuleFolder() + kResourceFolder);
    SkinUI::CWindowManagerUI::LoadSkinPackageFromResource(kSkinPackageResource);  // logs a failure

    const std::wstring loginAddress = LoginAddressFromOptions();
    auto reporter = std::make_unique<PatchEventReporter>();
    if (!loginAddress.empty()) reporter->SetParameters(loginAddress);
    reporter->Start();

    {
        auto app = std::make_unique<CApp>();
        auto game = std::make_unique<CGame>();
        if (app->Initialize() && game->Initialize()) {
            g_hAppWnd = app->GetHWND();
            g_hGameWnd = game->GetHWND();
            if (app->Start() && game->Start()) SkinUI::CWindowHostWin::MessageLoop();
        }
        game->Uninitialize();
        app->Uninitialize();
        game.reset();
        app.reset();
    }

    reporter->Stop();
    SkinUI::CWindowManagerUI::Term();
    QLogger::LogW(QLOG_NORMAL, L"Launcher Terminated");
    OleUninitialize();
    reporter.reset();
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    if (GetFileAttributesW(kDebugWaitMarker) != INVALID_FILE_ATTRIBUTES) {
        MessageBoxW(nullptr, L"please attach debugger", L"wait for debug", MB_OK);
    }

    const wchar_t* commandLine = GetCommandLineW();
    ParseCommandLine(commandLine);
    const bool stayWhereStarted = FindOption(L"-disable_move_self") != nullptr;

    OpenLog();
    QLogger::LogW(QLOG_NORMAL, L"Launcher initialized");
    QLogger::LogW(QLOG_NORMAL, L"cmdline: %ls", commandLine);

    if (!stayWhereStarted) {
        std::wstring installedPath;
        if (RelocateToGameFolder(installedPath)) {
            RelocationRestart(installedPath);
            return 0;
        }
    }

    RegisterGameOcx();

    if (const int failed = StartOle()) return failed;

    RunLauncher(instance);
    return 0;
}
