#include <windows.h>

#include <string>

#include "app/CommandLine.h"
#include "app/Install.h"
#include "common/qlogger/QLogger.h"
#include "common/win/ModulePath_win.h"
#include "common/win/UniqueHandle_win.h"

// TODO(installation): copying into the game folder (which the plug-in
// installer names), the desktop shortcut and the pin arrive with it.
// Until then the launcher runs where it was started and nothing is pinned.
bool RelocateToGameFolder(std::wstring& newPath) {
    newPath.clear();
    return false;
}

void RestartLauncher(const std::wstring& executablePath) {
    std::wstring command = RestartCommandLine(executablePath, JoinCommandLineOptions());
    // The command line is at most 4096 characters, as it always was.
    if (command.size() > 4095) command.resize(4095);
    const size_t slash = executablePath.find_last_of(L'\\');
    const std::wstring folder =
        slash == std::wstring::npos ? std::wstring() : executablePath.substr(0, slash);

    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       folder.empty() ? nullptr : folder.c_str(), &startup, &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
}

std::wstring GetCdnKeyFromFileName() {
    return CdnKeyFromModulePath(ModulePath());
}

void RelocationRestart(const std::wstring& installedPath) {
    const std::wstring key = GetCdnKeyFromFileName();
    if (!key.empty()) {
        QLogger::LogW(QLOG_NORMAL, L"cdnkey = %ls", key.c_str());
        CommandLineOptions[L"-LoginUrl:"] = CommandLineOption{key, true};
    }
    QLogger::LogW(QLOG_NORMAL, L"start new process, %ls", installedPath.c_str());
    RestartLauncher(installedPath);
    QLogger::LogW(QLOG_NORMAL, L"Launcher Terminated");
}

long PinToTaskbar(const std::wstring&) { return E_NOTIMPL; }
