// A downloaded package as it arrives: the index, every entry's Lzma86 data
// and the write to disk must hold for any bytes, and a successful
// extraction must yield exactly the size its header announced.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "tests/update/FakePackageFileSystem.h"
#include "update/LZMAPackage.h"

namespace {

// Larger announced sizes are refused or allocated by the reader as asked;
// the fuzzer's allocation limit would report them as faults, so such
// entries are listed but not extracted.
constexpr uint32_t kMaxUnpackedSize = 4u << 20;
constexpr size_t kMaxEntriesExtracted = 8;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FakePackageFileSystem fs;
    fs.files["C:\\p.lzma"] = std::string(reinterpret_cast<const char*>(data), size);
    LZMAPackage package("C:\\p.lzma", fs);
    package.Open();

    size_t extracted = 0;
    for (const LZMAPackageEntry& entry : package.entries()) {
        if (entry.name.size() > 259) std::abort();
        if (entry.unpackedSize > kMaxUnpackedSize || entry.name.empty()) continue;
        if (++extracted > kMaxEntriesExtracted) break;
        std::unique_ptr<uint8_t[]> out;
        uint32_t outSize = 0;
        if (package.ExtractFile(entry.name, &out, &outSize)) {
            // The first entry of that name is the one extracted.
            const LZMAPackageEntry& found =
                package.entries()[static_cast<size_t>(package.FindFile(entry.name))];
            if (outSize != found.unpackedSize) std::abort();
        }
        package.ExtractFileToDisk(entry.name, "C:\\out\\dir");
    }
    package.Close();
    if (fs.openFiles != 0) std::abort();
    return 0;
}
