#include "update/ExeVersion_win.h"

#include <windows.h>

#include <cwchar>
#include <vector>

#include "common/win/AnsiText_win.h"

bool ReadExecutableVersion(const std::wstring& path, std::string* version) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0) return false;
    std::vector<unsigned char> block(size);
    if (!GetFileVersionInfoW(path.c_str(), 0, size, block.data())) return false;

    struct Translation {
        WORD language;
        WORD codePage;
    };
    Translation* translations = nullptr;
    UINT translationBytes = 0;
    if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                        reinterpret_cast<void**>(&translations), &translationBytes) ||
        translationBytes < sizeof(Translation)) {
        return false;
    }
    wchar_t query[64];
    std::swprintf(query, 64, L"\\StringFileInfo\\%04x%04x\\FileVersion",
                  translations[0].language, translations[0].codePage);
    wchar_t* text = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block.data(), query, reinterpret_cast<void**>(&text), &length) ||
        text == nullptr || length == 0) {
        return false;
    }
    // The length counts the terminating NUL when there is one.
    *version = ToAnsi(std::wstring(text, wcsnlen(text, length)));
    return !version->empty();
}
