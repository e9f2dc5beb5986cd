// The skin viewer's command line: arguments split at NUL bytes, each byte
// one character. Success must give one layout and well-formed settings.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/skinview/SkinViewOptions.h"

namespace {
void Check(bool condition) {
    if (!condition) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::wstring> args(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            args.emplace_back();
        } else {
            args.back() += static_cast<wchar_t>(data[i]);
        }
    }
    skinview::TSkinViewOptions options;
    std::wstring error;
    if (skinview::ParseSkinViewOptions(args, options, error)) {
        Check(error.empty());
        Check(!options.layout.empty());
        Check(!options.className.empty());
        for (const auto& setting : options.settings) {
            Check(!setting.control.empty() && !setting.attribute.empty());
        }
    } else {
        Check(!error.empty());
    }
    return 0;
}
