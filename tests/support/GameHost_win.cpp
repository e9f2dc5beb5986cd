// A launcher's run as far as the game session goes, for the end-to-end
// tests, until the application controller that hands CGame its game
// address is wired into LauncherQAMB.exe. The road is start-up's: options,
// the launcher's log, OLE, the framework's resources, CGame created,
// initialised and started, the message loop, teardown in order. Where the
// application controller would post the game address, the host posts the
// one its option names to the game session's hidden window itself:
//
//   game_host [launcher options...] [--game-address=URL]
#include <ole2.h>
#include <windows.h>

#include <memory>
#include <string>

#include "app/CommandLine.h"
#include "app/Game_win.h"
#include "app/Globals_win.h"
#include "common/qlogger/QLogger.h"
#include "common/win/ModulePath_win.h"
#include "support/HostLog_win.h"
#include "ui/skin/ModuleInstance_win.h"
#include "ui/window/WindowHost_win.h"
#include "ui/window/WindowManager.h"

namespace {

constexpr wchar_t kAddressOption[] = L"--game-address";

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    const wchar_t* commandLine = GetCommandLineW();
    ParseCommandLine(commandLine);
    std::wstring address;
    if (CommandLineOption* option = FindOption(kAddressOption)) {
        address = option->value;
        CommandLineOptions.erase(kAddressOption);
    }

    testsupport::OpenHostLog(commandLine);
    if (FAILED(OleInitialize(nullptr))) return 1;

    SkinUI::SetModuleInstance(instance);
    SkinUI::CWindowManagerUI::SetResourcePath(ModuleFolder() + L"skin");
    {
        auto game = std::make_unique<CGame>();
        if (game->Initialize()) {
            g_hGameWnd = game->GetHWND();
            if (game->Start()) {
                if (!address.empty()) {
                    PostOwnedString(g_hGameWnd, kGameAddressMessage, address, "GameHost");
                }
                SkinUI::CWindowHostWin::MessageLoop();
            }
        }
        game->Uninitialize();
    }
    SkinUI::CWindowManagerUI::Term();
    QLogger::LogW(QLOG_NORMAL, L"Launcher Terminated");
    OleUninitialize();
    return 0;
}
