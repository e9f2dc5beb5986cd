#include <windows.h>
#include <shellapi.h>

#include <vector>

#include "app/CommandLine.h"
#include "common/win/ModulePath_win.h"
#include "common/win/UniqueHandle_win.h"

void ParseCommandLine(const wchar_t* commandLine) {
    const std::wstring modulePath = ModulePath();

    int count = 0;
    // An empty command line would make CommandLineToArgvW report the module
    // path instead, which the skip rule drops anyway.
    UniqueLocalMemory argv(CommandLineToArgvW(commandLine, &count));
    if (!argv) return;
    auto** items = static_cast<wchar_t**>(argv.get());
    std::vector<std::wstring> arguments(items, items + count);
    ParseArguments(CommandLineOptions, arguments, modulePath);
}
