// Reader of a launcher package: a chain of named entries, each packed on
// its own in the Lzma86 layout. The self-update opens the downloaded
// package, extracts the new launcher into a temporary folder and closes it.
// One object is used by one thread at a time (the UI thread in the product).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "update/PackageFileSystem.h"

// One index entry: the 32 header bytes as read, then the entry's name.
struct LZMAPackageEntry {
    static constexpr uint32_t kHeaderSize = 32;

    uint32_t dataOffset = 0;    // absolute offset of the packed data
    uint32_t packedSize = 0;    // bytes of packed data
    uint32_t unpackedSize = 0;  // bytes after decoding
    uint16_t nameLength = 0;    // bytes of name after the header, NUL included
    uint8_t reserved[18] = {};
    std::string name;  // ANSI code page, at most 259 characters
};

class LZMAPackage {
public:
    LZMAPackage(const LZMAPackage&) = delete;
    LZMAPackage& operator=(const LZMAPackage&) = delete;

    static constexpr uint32_t kNameBufferSize = 260;
    // The largest entry decoded: an order of magnitude above any launcher we
    // build, far below what a hostile header could make us allocate.
    static constexpr uint32_t kMaxUnpackedSize = 64u << 20;

    // Stores |path|; opens nothing. |fileSystem| must outlive the package.
    explicit LZMAPackage(const std::string& path,
                         PackageFileSystem& fileSystem = PackageFileSystem::Default());
    ~LZMAPackage();

    // Opens the file and reads its index. True at once when already open.
    // False when the file cannot be opened (the platform's last error left
    // for the caller) or the index cannot be read to its end; in the latter
    // case the file stays open with the entries read so far until Close.
    bool Open();
    bool ReadIndex();

    // The first entry whose name equals |name| regardless of ASCII case, or -1.
    int FindFile(const std::string& name) const;

    // Decodes one entry into a new buffer that the caller owns; entries
    // announcing more than kMaxUnpackedSize bytes are refused.
    bool ExtractFile(const std::string& name, std::unique_ptr<uint8_t[]>* out, uint32_t* outSize);
    // Decodes one entry into |folder| under its own name, making missing
    // folders. A name that would land outside |folder| ("..", rooted, a
    // drive) is refused before anything is decoded or written.
    bool ExtractFileToDisk(const std::string& name, const std::string& folder);

    void Close();

    const std::vector<LZMAPackageEntry>& entries() const { return entries_; }
    const std::string& path() const { return path_; }
    bool opened() const { return opened_; }

private:
    std::vector<LZMAPackageEntry> entries_;
    std::string path_;
    std::unique_ptr<PackageInputFile> file_;
    bool opened_ = false;
    PackageFileSystem& fileSystem_;
};
