#include <cstdio>
#include <filesystem>
#include <memory>

#include "ui/skin/SkinPlatform.h"
#include "ui/skin/SkinText.h"

namespace SkinUI {

namespace {

struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};

class PosixSkinFileSystem : public ISkinFileSystem {
public:
    SkinFileStatus ReadFile(const std::wstring& path, uint64_t maxSize,
                            std::vector<uint8_t>& bytes) override {
        bytes.clear();
        std::error_code error;
        const std::filesystem::path file(path);
        if (!std::filesystem::is_regular_file(file, error)) return SkinFileStatus::kOpenFailed;
        std::unique_ptr<FILE, FileCloser> stream(std::fopen(file.c_str(), "rb"));
        if (!stream) return SkinFileStatus::kOpenFailed;
        const uintmax_t size = std::filesystem::file_size(file, error);
        if (error) return SkinFileStatus::kOpenFailed;
        if (size > maxSize) return SkinFileStatus::kTooLarge;
        bytes.resize(static_cast<size_t>(size));
        if (size != 0 && std::fread(bytes.data(), 1, bytes.size(), stream.get()) != bytes.size()) {
            bytes.clear();
            return SkinFileStatus::kReadFailed;
        }
        return SkinFileStatus::kOk;
    }
};

}  // namespace

ISkinFileSystem& PlatformSkinFileSystem() {
    static PosixSkinFileSystem* fileSystem = new PosixSkinFileSystem;
    return *fileSystem;
}

bool FindModuleResource(const std::wstring&, const std::wstring&, const uint8_t*& data,
                        size_t& size) {
    data = nullptr;
    size = 0;
    return false;
}

// Without a system code page the bytes are read as Latin-1: every byte is
// the code point of the same value, so nothing is lost or refused.
std::wstring AnsiToWide(const uint8_t* data, size_t size) {
    std::wstring out;
    out.reserve(size);
    for (size_t i = 0; i < size; ++i) out += static_cast<wchar_t>(data[i]);
    return out;
}

}  // namespace SkinUI
