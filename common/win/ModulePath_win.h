// The path of a loaded module, whole however long it is: a game folder deep
// in a user profile can pass MAX_PATH, and a path cut there would name some
// other file (or none). Any thread.
#pragma once

#include <windows.h>

#include <string>

// The full path of |module| (the executable for nullptr); empty when the
// system cannot tell it.
inline std::wstring ModulePath(HMODULE module = nullptr) {
    // The longest path Windows can hold; a result that fills the buffer was
    // cut, so the buffer grows until it does not.
    constexpr DWORD kLongestPath = 32768;
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD size = static_cast<DWORD>(path.size());
        const DWORD length = GetModuleFileNameW(module, path.data(), size);
        if (length == 0) return std::wstring();
        if (length < size) {
            path.resize(length);
            return path;
        }
        if (size >= kLongestPath) return std::wstring();
        path.resize(size * 2);
    }
}

// The folder of |module|'s path up to and including its last "\".
inline std::wstring ModuleFolder(HMODULE module = nullptr) {
    const std::wstring path = ModulePath(module);
    const size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}
