// String values under a full registry key path such as
// "HKEY_CURRENT_USER\Software\Brindlewood\QAMBlauncher": the path's portable
// reading and the small store interface through which the boss key and the
// plug-in check reach the registry (Registry_win.h implements it; tests
// hand in a fake). Any thread; a store adds no locking of its own.
#pragma once

#include <string>

// The four predefined keys a path may start with.
enum class RegistryRoot { ClassesRoot, CurrentUser, LocalMachine, Users };

// Splits |path| into its root and the subkey below it. The path must start
// with one of "HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER",
// "HKEY_LOCAL_MACHINE", "HKEY_USERS" followed by a "\" or the end (the
// subkey is then empty: the root itself). Anything else fails.
bool SplitRegistryPath(const std::wstring& path, RegistryRoot& root, std::wstring& subkey);

class RegistryStore {
public:
    virtual ~RegistryStore() = default;

    // The text of the value (an empty name is the key's default value);
    // false, with empty text, when the path, the key or the value is
    // missing or the value is longer than the reader takes.
    virtual bool ReadString(const std::wstring& keyPath, const std::wstring& valueName,
                            std::wstring& text) = 0;
    // Stores |text| as REG_SZ, creating the key when needed.
    virtual bool WriteString(const std::wstring& keyPath, const std::wstring& valueName,
                             const std::wstring& text) = 0;
};
