#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

#include "common/qlogger/QLogger.h"
#include "common/win/UniqueHandle_win.h"
#include "update/GameOcx.h"

namespace {

constexpr int kControlResourceId = 132;
constexpr const wchar_t* kControlResourceType = L"ZIPRES";
// A 64-bit registration records the type library under "win64".
constexpr const wchar_t* kRegistrationKey =
    L"TypeLib\\{32B34856-4FE5-44C6-888B-3C111AB18606}\\1.0\\0\\win64";
constexpr const wchar_t* kGameFolderTail = L"\\plume\\qamb";

std::wstring QuotedRegsvr32Arguments(const std::wstring& path) { return L" /s \"" + path + L"\""; }

class WindowsOcxInstallPlatform final : public OcxInstallPlatform {
public:
    std::wstring ReadRegistrationRecord() override {
        UniqueRegKey key;
        if (RegOpenKeyExW(HKEY_CLASSES_ROOT, kRegistrationKey, 0, KEY_READ, key.put()) != ERROR_SUCCESS) {
            return {};
        }
        DWORD type = 0;
        DWORD bytes = 0;
        if (RegQueryValueExW(key.get(), nullptr, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS ||
            (type != REG_SZ && type != REG_EXPAND_SZ) || bytes == 0) {
            return {};
        }
        std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
        if (RegQueryValueExW(key.get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value.data()),
                             &bytes) != ERROR_SUCCESS) {
            return {};
        }
        // The stored text may or may not carry its closing zero.
        value.resize(wcsnlen(value.c_str(), bytes / sizeof(wchar_t)));
        return value;
    }

    std::wstring ControlFolder() override {
        wchar_t folder[MAX_PATH] = {};
        const DWORD length = GetCurrentDirectoryW(MAX_PATH, folder);
        return length < MAX_PATH ? std::wstring(folder, length) : std::wstring();
    }

    bool FileExists(const std::wstring& path) override { return PathFileExistsW(path.c_str()) != FALSE; }

    bool SamePath(const std::wstring& a, const std::wstring& b) override {
        return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                    static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
    }

    bool LoadControlBytes(std::vector<uint8_t>& bytes) override { return LoadControlResource(bytes); }

    bool WriteNewFile(const std::wstring& path, const std::vector<uint8_t>& bytes, uint32_t& error) override {
        UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        if (!file) {
            error = GetLastError();
            return false;
        }
        DWORD written = 0;
        const BOOL ok = WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        error = GetLastError();
        file.reset();
        if (!ok || written != bytes.size()) {
            // A short control would fail to load in the page; leave none,
            // so that the next start writes it again.
            DeleteFileW(path.c_str());
            return false;
        }
        return true;
    }

    bool StartRegistration(const std::wstring& path) override { return RegisterOcxFile(path); }
};

}  // namespace

std::wstring GetGameFolder() {
    wchar_t profile[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathW(nullptr, profile, CSIDL_PROFILE, FALSE) || profile[0] == 0) return {};
    return std::wstring(profile) + kGameFolderTail;
}

bool CreateDirectoryPath(const std::wstring& path) {
    if (path.empty() || path.size() >= MAX_PATH) return false;
    for (const std::wstring& level : DirectoryPathLevels(path)) {
        if (!PathFileExistsW(level.c_str()) && !CreateDirectoryW(level.c_str(), nullptr)) return false;
    }
    return true;
}

bool RegisterGameOcx() {
    WindowsOcxInstallPlatform platform;
    return InstallGameOcx(platform);
}

bool LoadControlResource(std::vector<uint8_t>& bytes) {
    const HMODULE self = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(self, MAKEINTRESOURCEW(kControlResourceId), kControlResourceType);
    if (!found) return false;
    // Resources of a loaded image need no freeing; the call stays for the
    // platforms where it did.
    HGLOBAL loaded = LoadResource(self, found);
    if (!loaded) return false;
    const DWORD size = SizeofResource(self, found);
    const void* data = LockResource(loaded);
    bool ok = false;
    if (size > 0 && data) {
        const auto* first = static_cast<const uint8_t*>(data);
        bytes.assign(first, first + size);
        ok = true;
    }
    FreeResource(loaded);
    return ok;
}

bool RegisterOcxFile(const std::wstring& path) {
    bool member = false;
    if (IsUserAdmin(member) && member) {
        std::wstring command = L"regsvr32.exe" + QuotedRegsvr32Arguments(path);
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &process)) {
            return false;
        }
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return true;
    }
    return RunRegsvr32Elevated(QuotedRegsvr32Arguments(path));
}

bool IsUserAdmin(bool& member) {
    SID_IDENTIFIER_AUTHORITY authority = SECURITY_NT_AUTHORITY;
    PSID administrators = nullptr;
    BOOL isMember = FALSE;
    bool ok = AllocateAndInitializeSid(&authority, 2, SECURITY_BUILTIN_DOMAIN_RID,
                                       DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0, &administrators) &&
              CheckTokenMembership(nullptr, administrators, &isMember);
    if (!ok) ok = GetLastError() == 0;
    member = isMember != FALSE;
    if (administrators) FreeSid(administrators);
    return ok;
}

bool RunRegsvr32Elevated(const std::wstring& arguments) {
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    const bool known = GetVersionExW(&version) != FALSE;
#pragma GCC diagnostic pop
    bool member = false;
    const bool adminTestMade = IsUserAdmin(member);
    const wchar_t* verb = Regsvr32Verb(known ? version.dwMajorVersion : 0, adminTestMade, member);

    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
    info.lpVerb = verb;
    info.lpFile = L"regsvr32.exe";
    info.lpParameters = arguments.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExW(&info) || !info.hProcess) return false;
    CloseHandle(info.hProcess);
    return true;
}
