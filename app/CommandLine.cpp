#include "app/CommandLine.h"

#include "common/AsciiCase.h"

CommandLineOptionTable CommandLineOptions;

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

}  // namespace

void ParseArguments(CommandLineOptionTable& table, const std::vector<std::wstring>& arguments,
                    const std::wstring& modulePath) {
    for (size_t i = 0; i < arguments.size(); ++i) {
        // Started with an application name, the first argument may already be
        // an option; only the module's own path is dropped.
        if (i == 0 && EqualsIgnoringAsciiCase(arguments[0], modulePath)) continue;

        const std::wstring& argument = arguments[i];
        size_t begin = 0;
        while (begin < argument.size() && IsBlank(argument[begin])) ++begin;
        size_t end = argument.size();
        while (end > begin + 1 && IsBlank(argument[end - 1])) --end;
        const std::wstring text = argument.substr(begin, end - begin);

        CommandLineOption option;
        std::wstring name = text;
        const size_t equals = text.find(L'=');
        if (equals != std::wstring::npos) {
            name = text.substr(0, equals);
            option.value = text.substr(equals + 1);
            option.hasValue = true;
        }
        table[name] = option;
    }
}

std::wstring JoinOptions(const CommandLineOptionTable& table) {
    std::wstring joined;
    for (const auto& [name, option] : table) {
        joined += name;
        if (option.hasValue) {
            joined += L'=';
            joined += option.value;
        }
        joined += L' ';
    }
    if (!joined.empty()) joined.pop_back();
    return joined;
}

std::wstring QuoteOptions(const CommandLineOptionTable& table) {
    std::wstring quoted;
    for (const auto& [name, option] : table) {
        const std::wstring text = option.hasValue ? name + L'=' + option.value : name;
        if (!quoted.empty()) quoted += L' ';
        quoted += L'"';
        // The shell's rules: backslashes are literal unless a quote follows;
        // before a quote (an escaped one or the closing one) each counts
        // twice.
        size_t backslashes = 0;
        for (const wchar_t c : text) {
            if (c == L'\\') {
                ++backslashes;
            } else if (c == L'"') {
                quoted.append(backslashes + 1, L'\\');
                backslashes = 0;
            } else {
                backslashes = 0;
            }
            quoted += c;
        }
        quoted.append(backslashes, L'\\');
        quoted += L'"';
    }
    return quoted;
}

CommandLineOption* FindOption(const std::wstring& name) {
    const auto found = CommandLineOptions.find(name);
    return found == CommandLineOptions.end() ? nullptr : &found->second;
}

std::wstring JoinCommandLineOptions() { return JoinOptions(CommandLineOptions); }

std::wstring QuoteCommandLineOptions() { return QuoteOptions(CommandLineOptions); }
