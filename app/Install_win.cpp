#include <windows.h>
#include <ole2.h>
#include <shldisp.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <string>

#include "app/CommandLine.h"
#include "app/Install.h"
#include "common/AsciiCase.h"
#include "common/qlogger/QLogger.h"
#include "common/win/ComPtr_win.h"
#include "common/win/ModulePath_win.h"
#include "common/win/UniqueHandle_win.h"
#include "update/GameOcx.h"

namespace {

constexpr const wchar_t* kRelocatedFileName = L"LauncherQAMB.exe";
constexpr const wchar_t* kShortcutFileName = L"Torvessa-微端.lnk";
constexpr UINT kPinVerbStringId = 5386;
constexpr size_t kRestartCommandBuffer = 4096;

// The folder part of a path, without its closing "\"; empty when none.
std::wstring FolderOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

// Releases the string of a BSTR-returning call.
struct BstrTraits {
    static BSTR Invalid() { return nullptr; }
    static void Close(BSTR text) { SysFreeString(text); }
};
using UniqueBstr = UniqueResource<BSTR, BstrTraits>;

struct VariantScope {
    VARIANT value;
    VariantScope() { VariantInit(&value); }
    ~VariantScope() { VariantClear(&value); }
};

}  // namespace

bool RelocateToGameFolder(std::wstring& newPath) {
    newPath.clear();
    const std::wstring folder = GetGameFolder();
    if (folder.empty()) {
        QLogger::LogW(QLOG_ERROR, L"game dir unknown, run where started");
        return false;
    }
    CreateDirectoryPath(folder);
    const std::wstring target = folder + L"\\" + kRelocatedFileName;
    // The installed copy and everything that names it live in 260-character
    // buffers; a longer target is refused rather than cut.
    if (target.size() >= MAX_PATH) {
        QLogger::LogW(QLOG_ERROR, L"game dir target too long, %ls", target.c_str());
        return false;
    }
    const std::wstring modulePath = ModulePath();
    if (EqualsIgnoringAsciiCase(modulePath, target)) return false;

    QLogger::LogW(QLOG_NORMAL, L"game dir target, %ls", target.c_str());
    const BOOL copied = CopyFileW(modulePath.c_str(), target.c_str(), FALSE);
    const DWORD error = GetLastError();
    bool relocated = false;
    if (copied) {
        newPath = target;
        QLogger::LogW(QLOG_NORMAL, L"copy to game dir succeed");
        relocated = true;
    } else if (PathFileExistsW(target.c_str())) {
        newPath = target;
        QLogger::LogW(QLOG_WARNING, L"can't copy to game dir but target exist, use target, code[%d]",
                      static_cast<int>(error));
        relocated = true;
    } else {
        QLogger::LogW(QLOG_ERROR, L"copy to game dir failed, code[%d]", static_cast<int>(error));
    }
    CreateDesktopShortcut(relocated ? target : modulePath);
    return relocated;
}

void RestartLauncher(const std::wstring& executablePath) {
    std::wstring command = RestartCommandLine(executablePath, QuoteCommandLineOptions());
    // The command travels in a buffer of 4096 characters, as it always has;
    // a longer one is refused rather than cut into other options.
    if (command.size() >= kRestartCommandBuffer) {
        QLogger::LogW(QLOG_ERROR, L"restart command too long (%d characters)",
                      static_cast<int>(command.size()));
        return;
    }
    const std::wstring folder = FolderOf(executablePath);
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

bool CreateDesktopShortcut(const std::wstring& executablePath) {
    if (FAILED(CoInitialize(nullptr))) return false;
    bool saved = false;
    wchar_t desktop[MAX_PATH] = {};
    // Without a desktop folder there is nowhere sensible to put the link.
    if (SHGetSpecialFolderPathW(nullptr, desktop, CSIDL_DESKTOPDIRECTORY, FALSE) && desktop[0]) {
        const std::wstring shortcutPath = std::wstring(desktop) + L"\\" + kShortcutFileName;
        const std::wstring workingFolder = FolderOf(executablePath);
        ComPtr<IShellLinkW> link;
        if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                       link.put_void()))) {
            DeleteFileW(shortcutPath.c_str());
            link->SetPath(executablePath.c_str());
            link->SetWorkingDirectory(workingFolder.c_str());
            link->SetIconLocation(executablePath.c_str(), 0);
            link->SetShowCmd(SW_SHOWNORMAL);
            ComPtr<IPersistFile> file;
            if (link.As(file)) saved = SUCCEEDED(file->Save(shortcutPath.c_str(), TRUE));
        }
    }
    CoUninitialize();
    return saved;
}

long InvokeShellVerb(const std::wstring& executablePath, const std::wstring& verbName) {
    CLSID ignored;
    CLSIDFromProgID(L"Shell.Application", &ignored);
    ComPtr<IShellDispatch> shell;
    const HRESULT created = CoCreateInstance(CLSID_Shell, nullptr, CLSCTX_INPROC_SERVER,
                                             IID_IShellDispatch, shell.put_void());
    if (FAILED(created)) return created;

    const size_t slash = executablePath.find_last_of(L'\\');
    const std::wstring folderText =
        slash == std::wstring::npos ? std::wstring() : executablePath.substr(0, slash);
    const std::wstring fileText =
        slash == std::wstring::npos ? executablePath : executablePath.substr(slash + 1);

    VariantScope folderName;
    folderName.value.vt = VT_BSTR;
    folderName.value.bstrVal = SysAllocString(folderText.c_str());
    ComPtr<Folder> folder;
    if (FAILED(shell->NameSpace(folderName.value, folder.put())) || !folder) return E_NOINTERFACE;
    UniqueBstr fileName(SysAllocString(fileText.c_str()));
    ComPtr<FolderItem> item;
    if (FAILED(folder->ParseName(fileName.get(), item.put())) || !item) return E_NOINTERFACE;
    ComPtr<FolderItemVerbs> verbs;
    if (FAILED(item->Verbs(verbs.put())) || !verbs) return E_NOINTERFACE;

    long count = 0;
    if (FAILED(verbs->get_Count(&count))) count = 0;
    for (long index = 0; index < count; ++index) {
        VariantScope position;
        position.value.vt = VT_I4;
        position.value.lVal = index;
        ComPtr<FolderItemVerb> verb;
        if (FAILED(verbs->Item(position.value, verb.put())) || !verb) continue;
        UniqueBstr name;
        if (FAILED(verb->get_Name(name.put())) || !name) continue;
        if (verbName == name.get()) {
            verb->DoIt();
            return S_OK;
        }
    }
    return E_FAIL;
}

long PinToTaskbar(const std::wstring& executablePath) {
    if (GetFileAttributesW(executablePath.c_str()) == INVALID_FILE_ATTRIBUTES) return 2;
    wchar_t verbName[256] = {};
    if (HMODULE shell32 = LoadLibraryW(L"Shell32.dll")) {
        LoadStringW(shell32, kPinVerbStringId, verbName, 256);
        FreeLibrary(shell32);
    }
    if (verbName[0] == 0) return CO_E_WRONGOSFORAPP;
    return InvokeShellVerb(executablePath, verbName);
}
