// The registry's string values over Win32, by full key path (Registry.h).
// Any thread.
#pragma once

#include <windows.h>

#include <string>

#include "game/Registry.h"

// The predefined key of a root.
HKEY RegistryRootKey(RegistryRoot root);

// Reads at most 1022 bytes of the value into a zeroed 1024-byte buffer, so
// the text always ends in a null character, and keeps the text up to the
// first one. The value's type is not checked. False, with empty text, for a
// bad path, a missing key or value, or a longer value.
bool RegReadString(const std::wstring& keyPath, const std::wstring& valueName, std::wstring& text);

// Writes |text| with its null character as REG_SZ; the key is created
// first when it does not exist.
bool RegWriteString(const std::wstring& keyPath, const std::wstring& valueName,
                    const std::wstring& text);

// The process's store over the two functions above.
RegistryStore& PlatformRegistry();
