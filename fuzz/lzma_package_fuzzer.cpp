// A downloaded package as it arrives: the index, every entry's Lzma86 data
// and the write to disk must hold for any bytes, a successful extraction
// must yield exactly the size its header announced, and nothing may be
// written outside the target folder.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "tests/update/FakePackageFileSystem.h"
#include "update/LZMAPackage.h"

namespace {

constexpr size_t kMaxEntriesExtracted = 8;
constexpr const char* kTarget = "C:\\out\\dir\\";

// Whether |path| resolves, as Windows would read it, to a place at or below
// kTarget: components lose trailing dots and blanks, "." stays, ".." climbs,
// and a colon after the drive names another drive or a stream.
bool ResolvesInsideTarget(const std::string& path) {
    const std::string prefix = kTarget;
    if (path.compare(0, prefix.size(), prefix) != 0) return false;
    if (path.find(':', 2) != std::string::npos) return false;
    int depth = 0;
    size_t start = prefix.size();
    while (start <= path.size()) {
        size_t end = path.find_first_of("\\/", start);
        if (end == std::string::npos) end = path.size();
        std::string part = path.substr(start, end - start);
        while (!part.empty() && (part.back() == '.' || part.back() == ' ')) part.pop_back();
        const std::string raw = path.substr(start, end - start);
        if (raw == ".." || (part.empty() && raw.size() >= 2 && raw[0] == '.' && raw[1] == '.')) {
            if (--depth < 0) return false;
        } else if (!part.empty()) {
            ++depth;
        }
        start = end + 1;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FakePackageFileSystem fs;
    fs.files["C:\\p.lzma"] = std::string(reinterpret_cast<const char*>(data), size);
    LZMAPackage package("C:\\p.lzma", fs);
    package.Open();

    size_t extracted = 0;
    for (const LZMAPackageEntry& entry : package.entries()) {
        if (entry.name.size() > 259) std::abort();
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
    for (const auto& [path, bytes] : fs.files) {
        if (path != "C:\\p.lzma" && !ResolvesInsideTarget(path)) std::abort();
    }
    package.Close();
    if (fs.openFiles != 0) std::abort();
    return 0;
}
