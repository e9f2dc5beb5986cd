// Arguments as a shell would hand them over, split at NUL bytes: parsing
// and joining must hold for any text, and joining must keep every name.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/Install.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::wstring> arguments(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            arguments.emplace_back();
        } else {
            arguments.back() += static_cast<wchar_t>(data[i]);
        }
    }
    CommandLineOptionTable table;
    ParseArguments(table, arguments, L"C:\\Games\\LauncherQAMB.exe");
    const std::wstring joined = JoinOptions(table);
    for (const auto& [name, option] : table) {
        if (joined.find(name) == std::wstring::npos) std::abort();
        if (!option.hasValue && !option.value.empty()) std::abort();
    }
    CdnKeyFromModulePath(arguments.back());
    return 0;
}
