#include "tools/skinview/SkinViewOptions.h"

#include <cwchar>
#include <cwctype>

#include "common/AsciiCase.h"

namespace skinview {

namespace {

// A decimal integer with an optional '-', the whole text, within +-1e6.
bool ParseCoordinate(const std::wstring& text, int& out) {
    size_t i = 0;
    const bool negative = !text.empty() && text[0] == L'-';
    if (negative) i = 1;
    if (i == text.size()) return false;
    long value = 0;
    for (; i < text.size(); ++i) {
        if (!std::iswdigit(text[i])) return false;
        value = value * 10 + (text[i] - L'0');
        if (value > 1000000) return false;
    }
    out = static_cast<int>(negative ? -value : value);
    return true;
}

bool ParseSetting(const std::wstring& text, TControlSetting& setting) {
    const size_t equals = text.find(L'=');
    if (equals == std::wstring::npos || equals == 0) return false;
    const size_t colon = text.find(L':', equals + 1);
    if (colon == std::wstring::npos || colon == equals + 1) return false;
    setting.control = text.substr(0, equals);
    setting.attribute = text.substr(equals + 1, colon - equals - 1);
    setting.value = text.substr(colon + 1);
    return true;
}

std::wstring Normalised(const std::wstring& path) {
    std::wstring out = path;
    for (wchar_t& c : out) c = c == L'/' ? L'\\' : AsciiLower(c);
    return out;
}

// |path| below |folder| (Windows rules: case and separator kind ignored).
bool RelativeTo(const std::wstring& path, std::wstring folder, std::wstring& relative) {
    if (!folder.empty() && folder.back() != L'\\' && folder.back() != L'/') folder += L'\\';
    if (path.size() <= folder.size()) return false;
    if (Normalised(path.substr(0, folder.size())) != Normalised(folder)) return false;
    relative = path.substr(folder.size());
    return true;
}

}  // namespace

bool ParseSkinViewOptions(const std::vector<std::wstring>& args, TSkinViewOptions& options,
                          std::wstring& error) {
    options = TSkinViewOptions{};
    error.clear();
    for (size_t i = 0; i < args.size(); ++i) {
        const std::wstring& arg = args[i];
        const bool takesValue = arg == L"--file" || arg == L"--resdir" || arg == L"--set" ||
                                arg == L"--at" || arg == L"--class";
        if (takesValue && i + 1 >= args.size()) {
            error = arg + L" needs a value";
            return false;
        }
        if (arg == L"--file") {
            options.file = args[++i];
        } else if (arg == L"--resdir") {
            options.resourceDir = args[++i];
        } else if (arg == L"--class") {
            options.className = args[++i];
            if (options.className.empty()) {
                error = L"--class needs a name";
                return false;
            }
        } else if (arg == L"--set") {
            TControlSetting setting;
            if (!ParseSetting(args[++i], setting)) {
                error = L"--set wants NAME=ATTRIBUTE:VALUE, not \"" + args[i] + L"\"";
                return false;
            }
            options.settings.push_back(setting);
        } else if (arg == L"--at") {
            const std::wstring& value = args[++i];
            const size_t comma = value.find(L',');
            if (comma == std::wstring::npos ||
                !ParseCoordinate(value.substr(0, comma), options.x) ||
                !ParseCoordinate(value.substr(comma + 1), options.y)) {
                error = L"--at wants X,Y, not \"" + value + L"\"";
                return false;
            }
            options.hasPosition = true;
        } else if (arg == L"--swallow-escape") {
            options.swallowEscape = true;
        } else if (arg.size() > 1 && arg[0] == L'-') {
            error = L"unknown option " + arg;
            return false;
        } else if (options.layout.empty() && !arg.empty()) {
            options.layout = arg;
        } else {
            error = L"more than one layout: " + arg;
            return false;
        }
    }
    if (options.layout.empty() == options.file.empty()) {
        error = options.layout.empty() ? L"no layout given" : L"a layout and --file both given";
        return false;
    }
    if (!options.file.empty()) {
        if (options.resourceDir.empty()) options.resourceDir = FolderOf(options.file);
        // The framework reads layouts by name inside its resource folder.
        if (!RelativeTo(options.file, options.resourceDir, options.layout)) {
            error = L"--file must lie inside --resdir";
            return false;
        }
    }
    return true;
}

std::wstring FolderOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? L"" : path.substr(0, slash + 1);
}

}  // namespace skinview
