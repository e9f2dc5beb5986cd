#include "game/Registry_win.h"

#include <cwchar>

#include "common/win/UniqueHandle_win.h"

namespace {

constexpr DWORD kReadBufferBytes = 1024;
// Two bytes short of the buffer: the last character stays a null even when
// the stored value has none of its own.
constexpr DWORD kReadOfferBytes = kReadBufferBytes - 2;

class WinRegistryStore : public RegistryStore {
public:
    bool ReadString(const std::wstring& keyPath, const std::wstring& valueName,
                    std::wstring& text) override {
        return RegReadString(keyPath, valueName, text);
    }
    bool WriteString(const std::wstring& keyPath, const std::wstring& valueName,
                     const std::wstring& text) override {
        return RegWriteString(keyPath, valueName, text);
    }
};

}  // namespace

HKEY RegistryRootKey(RegistryRoot root) {
    switch (root) {
        case RegistryRoot::ClassesRoot:
            return HKEY_CLASSES_ROOT;
        case RegistryRoot::CurrentUser:
            return HKEY_CURRENT_USER;
        case RegistryRoot::LocalMachine:
            return HKEY_LOCAL_MACHINE;
        case RegistryRoot::Users:
            return HKEY_USERS;
    }
    return nullptr;
}

bool RegReadString(const std::wstring& keyPath, const std::wstring& valueName, std::wstring& text) {
    text.clear();
    RegistryRoot root;
    std::wstring subkey;
    if (!SplitRegistryPath(keyPath, root, subkey)) return false;
    UniqueRegKey key;
    if (RegOpenKeyExW(RegistryRootKey(root), subkey.c_str(), 0, KEY_READ, key.put()) !=
        ERROR_SUCCESS) {
        return false;
    }
    wchar_t buffer[kReadBufferBytes / sizeof(wchar_t)] = {};
    DWORD size = kReadOfferBytes;
    if (RegQueryValueExW(key.get(), valueName.c_str(), nullptr, nullptr,
                         reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS) {
        return false;
    }
    text.assign(buffer, wcsnlen(buffer, kReadBufferBytes / sizeof(wchar_t)));
    return true;
}

bool RegWriteString(const std::wstring& keyPath, const std::wstring& valueName,
                    const std::wstring& text) {
    RegistryRoot root;
    std::wstring subkey;
    if (!SplitRegistryPath(keyPath, root, subkey)) return false;
    // A value is limited far below this; the check keeps the byte count a DWORD.
    if (text.size() >= MAXDWORD / sizeof(wchar_t) - 1) return false;
    const HKEY rootKey = RegistryRootKey(root);
    HKEY created = nullptr;
    if (RegCreateKeyW(rootKey, subkey.c_str(), &created) != ERROR_SUCCESS) return false;
    // For an empty subkey the root's own predefined handle comes back;
    // that one is not ours to close.
    UniqueRegKey key(created == rootKey ? nullptr : created);
    const DWORD bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(created, valueName.c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(text.c_str()), bytes) == ERROR_SUCCESS;
}

RegistryStore& PlatformRegistry() {
    static WinRegistryStore* store = new WinRegistryStore;
    return *store;
}
