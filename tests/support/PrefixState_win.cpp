#include "support/PrefixState_win.h"

#include <shlobj.h>
#include <tlhelp32.h>

#include "support/WinTestSupport_win.h"
#include "tools/plugin/PlumeGame.h"

namespace testsupport {

namespace {

// Wine puts a user's profile at ProfilesDirectory + "\" + user name; moving
// that value moves the profile, the desktop and every folder under them.
constexpr const wchar_t* kProfileListKey = L"Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
constexpr const wchar_t* kProfilesValue = L"ProfilesDirectory";
constexpr const wchar_t* kMutexName = L"LauncherQAMB-tests-prefix-user-state";
constexpr const wchar_t* kTestProfilesMarker = L"launcher test profiles";

std::wstring TypeLibKey() { return std::wstring(L"TypeLib\\") + kPlumeGameTypeLibText; }
std::wstring ClassKey() { return std::wstring(L"CLSID\\") + kPlumeGameClsidText; }

bool ReadString(HKEY root, const wchar_t* key, const wchar_t* name, std::wstring& value, DWORD* type) {
    wchar_t buffer[1024] = {};
    DWORD bytes = sizeof buffer - sizeof(wchar_t);
    DWORD kind = 0;
    if (RegGetValueW(root, key, name, RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, &kind,
                     buffer, &bytes) != ERROR_SUCCESS) {
        return false;
    }
    value = buffer;
    if (type) *type = kind;
    return true;
}

bool WriteString(HKEY root, const wchar_t* key, const wchar_t* name, const std::wstring& value,
                 DWORD type) {
    HKEY handle = nullptr;
    if (RegCreateKeyExW(root, key, 0, nullptr, 0, KEY_WRITE, nullptr, &handle, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const LSTATUS status = RegSetValueExW(handle, name, 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(handle);
    return status == ERROR_SUCCESS;
}

bool Regsvr32Running() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return false;
    PROCESSENTRY32W entry = {sizeof entry};
    bool found = false;
    for (BOOL more = Process32FirstW(snapshot, &entry); more && !found;
         more = Process32NextW(snapshot, &entry)) {
        found = _wcsicmp(entry.szExeFile, L"regsvr32.exe") == 0;
    }
    CloseHandle(snapshot);
    return found;
}

}  // namespace

PrefixUserState::PrefixUserState() {
    mutex_ = CreateMutexW(nullptr, FALSE, kMutexName);
    if (!mutex_) return;
    const DWORD waited = WaitForSingleObject(mutex_, 10 * 60 * 1000);
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) return;

    if (!ReadString(HKEY_LOCAL_MACHINE, kProfileListKey, kProfilesValue, savedProfiles_, &savedType_)) {
        return;
    }
    // A test that died holding the state left its folder in the value.
    if (savedProfiles_.find(kTestProfilesMarker) != std::wstring::npos) {
        savedProfiles_ = L"C:\\users";
        savedType_ = REG_EXPAND_SZ;
    }
    static int counter = 0;
    profilesRoot_ = L"C:\\users\\" + std::wstring(kTestProfilesMarker) + L" " +
                    std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(counter++);
    DeleteTree(profilesRoot_);
    if (!CreateDirectoryW(profilesRoot_.c_str(), nullptr)) return;
    if (!WriteString(HKEY_LOCAL_MACHINE, kProfileListKey, kProfilesValue, profilesRoot_, REG_SZ)) return;

    // The shell answers only for a profile folder that exists.
    wchar_t user[256] = {};
    DWORD length = 256;
    if (!GetUserNameW(user, &length)) return;
    const std::wstring expected = profilesRoot_ + L"\\" + user;
    CreateDirectoryW(expected.c_str(), nullptr);
    wchar_t profile[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathW(nullptr, profile, CSIDL_PROFILE, FALSE) || expected != profile) return;
    profile_ = profile;
    CreateDirectoryW(Desktop().c_str(), nullptr);
    RemovePluginRegistration();
    ok_ = true;
}

PrefixUserState::~PrefixUserState() {
    WaitForNoRegsvr32();
    if (!savedProfiles_.empty()) {
        WriteString(HKEY_LOCAL_MACHINE, kProfileListKey, kProfilesValue, savedProfiles_, savedType_);
    }
    if (!profilesRoot_.empty()) DeleteTree(profilesRoot_);
    RemovePluginRegistration();
    if (mutex_) {
        ReleaseMutex(mutex_);
        CloseHandle(mutex_);
    }
}

std::wstring ReadPluginRecord() {
    std::wstring value;
    ReadString(HKEY_CLASSES_ROOT, (TypeLibKey() + L"\\1.0\\0\\win64").c_str(), nullptr, value, nullptr);
    return value;
}

bool WritePluginRecord(const std::wstring& path) {
    return WriteString(HKEY_CLASSES_ROOT, (TypeLibKey() + L"\\1.0\\0\\win64").c_str(), nullptr, path, REG_SZ);
}

bool PluginClassRegistered() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, ClassKey().c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

void RemovePluginClass() { RegDeleteTreeW(HKEY_CLASSES_ROOT, ClassKey().c_str()); }

void RemovePluginRegistration() {
    RemovePluginClass();
    for (const std::wstring& key : {TypeLibKey(), std::wstring(kPlumeGameProgId), std::wstring(kPlumeGameIndependentProgId)}) {
        RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str());
    }
}

bool WaitForNoRegsvr32(DWORD timeoutMs) { return WaitFor([] { return !Regsvr32Running(); }, timeoutMs); }

std::vector<std::string> WaitForLog(const std::wstring& folder, const std::string& lastLine, DWORD timeoutMs) {
    std::vector<std::string> lines;
    const bool found = WaitFor(
        [&] {
            CloseLauncherMainPages();
            WIN32_FIND_DATAW data;
            HANDLE search = FindFirstFileW((folder + L"\\log\\launcher_tavro_*.log").c_str(), &data);
            if (search == INVALID_HANDLE_VALUE) return false;
            FindClose(search);
            lines = ReadLines(folder + L"\\log\\" + data.cFileName);
            for (const auto& line : lines) {
                if (line.find(lastLine) != std::string::npos) return true;
            }
            return false;
        },
        timeoutMs);
    if (!found) lines.clear();
    return lines;
}

}  // namespace testsupport
