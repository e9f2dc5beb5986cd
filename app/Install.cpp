#include "app/Install.h"

#include "app/CommandLine.h"
#include "common/AsciiCase.h"

std::wstring CdnKeyFromModulePath(const std::wstring& modulePath) {
    const size_t slash = modulePath.find_last_of(L'\\');
    const std::wstring fileName =
        slash == std::wstring::npos ? modulePath : modulePath.substr(slash + 1);
    const size_t underscore = fileName.find(L'_');
    const size_t dot = fileName.find_last_of(L'.');
    if (underscore == std::wstring::npos || dot == std::wstring::npos || dot < underscore) {
        return {};
    }
    if (!EqualsIgnoringAsciiCase(fileName.substr(dot + 1), L"exe")) return {};
    return fileName.substr(underscore + 1, dot - underscore - 1);
}

std::wstring RestartCommandLine(const std::wstring& executablePath,
                                const std::wstring& quotedOptions) {
    const std::wstring quotedPath = L"\"" + executablePath + L"\"";
    if (quotedOptions.empty()) return quotedPath;
    return quotedPath + L" " + quotedOptions + L" -disable_update_self";
}
