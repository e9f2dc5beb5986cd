// The skin package: a ZIP archive of layouts and images, read from memory.
// Members are found by name ignoring letter case and are inflated with zlib
// on each read. Reads do not change the package; one thread at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace SkinUI {

class CSkinPackage {
public:
    CSkinPackage(const CSkinPackage&) = delete;
    CSkinPackage& operator=(const CSkinPackage&) = delete;

    // Members larger than this, or empty, are refused.
    static constexpr uint64_t kMaxMemberSize = 4194304;

    CSkinPackage() = default;

    // Reads the archive's directory. |data| must outlive the package (the
    // process-wide copy of the resource); OpenCopy keeps its own bytes.
    bool Open(const uint8_t* data, size_t size);
    bool OpenCopy(std::vector<uint8_t> bytes);
    void Close();
    bool IsOpen() const { return data_ != nullptr; }

    // The member's bytes, or false with "Could not find ziped file",
    // "File is empty", "File too large" or "Could not unzip file".
    bool Read(const std::wstring& name, std::vector<uint8_t>& bytes, std::wstring& error) const;

    size_t GetMemberCount() const { return members_.size(); }
    const std::wstring& GetMemberName(size_t index) const { return members_[index].name; }

private:
    struct Member {
        std::wstring name;
        uint16_t flags = 0;
        uint16_t method = 0;
        uint32_t crc = 0;
        uint64_t compressedSize = 0;
        uint64_t size = 0;
        uint64_t localHeader = 0;
    };

    bool ReadDirectory();
    const Member* Find(const std::wstring& name) const;
    bool Extract(const Member& member, std::vector<uint8_t>& bytes) const;

    std::vector<uint8_t> owned_;
    const uint8_t* data_ = nullptr;
    size_t size_ = 0;
    std::vector<Member> members_;
};

}  // namespace SkinUI
