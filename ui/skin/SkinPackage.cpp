#include "ui/skin/SkinPackage.h"

#include <zlib.h>

#include <algorithm>
#include <climits>

#include "common/AsciiCase.h"
#include "common/qlogger/QLogger.h"
#include "ui/skin/SkinText.h"

namespace SkinUI {

namespace {

constexpr uint32_t kEndOfDirectorySignature = 0x06054b50;
constexpr uint32_t kDirectoryEntrySignature = 0x02014b50;
constexpr uint32_t kLocalHeaderSignature = 0x04034b50;
constexpr size_t kEndOfDirectorySize = 22;
constexpr size_t kDirectoryEntrySize = 46;
constexpr size_t kLocalHeaderSize = 30;
constexpr size_t kMaxCommentSize = 0xFFFF;
constexpr uint16_t kFlagEncrypted = 0x0001;
constexpr uint16_t kFlagUtf8Name = 0x0800;
constexpr uint16_t kMethodStored = 0;
constexpr uint16_t kMethodDeflated = 8;

uint16_t Read16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
uint32_t Read32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

}  // namespace

bool CSkinPackage::Open(const uint8_t* data, size_t size) {
    Close();
    if (data == nullptr) return false;
    data_ = data;
    size_ = size;
    if (!ReadDirectory()) {
        Close();
        return false;
    }
    return true;
}

bool CSkinPackage::OpenCopy(std::vector<uint8_t> bytes) {
    Close();
    owned_ = std::move(bytes);
    data_ = owned_.data();
    size_ = owned_.size();
    if (!ReadDirectory()) {
        Close();
        return false;
    }
    return true;
}

void CSkinPackage::Close() {
    owned_.clear();
    owned_.shrink_to_fit();
    data_ = nullptr;
    size_ = 0;
    members_.clear();
}

bool CSkinPackage::ReadDirectory() {
    if (size_ < kEndOfDirectorySize) {
        QLogger::Log(QLOG_ERROR, "CSkinPackage::ReadDirectory: %llu bytes are no zip archive",
                     static_cast<unsigned long long>(size_));
        return false;
    }
    // The end record sits at the very end unless an archive comment follows
    // it; search backwards over at most the largest comment.
    size_t end = size_ - kEndOfDirectorySize;
    const size_t lowest = end > kMaxCommentSize ? end - kMaxCommentSize : 0;
    for (;;) {
        if (Read32(data_ + end) == kEndOfDirectorySignature &&
            end + kEndOfDirectorySize + Read16(data_ + end + 20) <= size_) {
            break;
        }
        if (end == lowest) {
            QLogger::Log(QLOG_ERROR, "CSkinPackage::ReadDirectory: no end of central directory");
            return false;
        }
        --end;
    }
    const uint16_t count = Read16(data_ + end + 10);
    const uint64_t directorySize = Read32(data_ + end + 12);
    const uint64_t directoryOffset = Read32(data_ + end + 16);
    if (directoryOffset + directorySize > end) {
        QLogger::Log(QLOG_ERROR, "CSkinPackage::ReadDirectory: central directory out of range");
        return false;
    }
    size_t pos = static_cast<size_t>(directoryOffset);
    const size_t limit = static_cast<size_t>(directoryOffset + directorySize);
    members_.reserve(count);
    for (uint16_t i = 0; i < count; ++i) {
        if (limit - pos < kDirectoryEntrySize || Read32(data_ + pos) != kDirectoryEntrySignature) {
            QLogger::Log(QLOG_ERROR, "CSkinPackage::ReadDirectory: entry %u is damaged", i);
            return false;
        }
        const uint8_t* entry = data_ + pos;
        const size_t nameLength = Read16(entry + 28);
        const size_t extraLength = Read16(entry + 30);
        const size_t commentLength = Read16(entry + 32);
        const size_t total = kDirectoryEntrySize + nameLength + extraLength + commentLength;
        if (limit - pos < total) {
            QLogger::Log(QLOG_ERROR, "CSkinPackage::ReadDirectory: entry %u is damaged", i);
            return false;
        }
        Member member;
        member.flags = Read16(entry + 8);
        member.method = Read16(entry + 10);
        member.crc = Read32(entry + 16);
        member.compressedSize = Read32(entry + 20);
        member.size = Read32(entry + 24);
        member.localHeader = Read32(entry + 42);
        const uint8_t* name = entry + kDirectoryEntrySize;
        // Names are UTF-8 when flagged; otherwise the archive's code page,
        // read here as Latin-1 (the skin's names are plain ASCII).
        if (member.flags & kFlagUtf8Name) {
            member.name = Utf8ToWide(name, nameLength);
        } else {
            member.name.assign(name, name + nameLength);
        }
        members_.push_back(std::move(member));
        pos += total;
    }
    return true;
}

const CSkinPackage::Member* CSkinPackage::Find(const std::wstring& name) const {
    for (const Member& member : members_) {
        if (EqualsIgnoringAsciiCase(member.name, name)) return &member;
    }
    return nullptr;
}

bool CSkinPackage::Read(const std::wstring& name, std::vector<uint8_t>& bytes,
                        std::wstring& error) const {
    bytes.clear();
    if (!IsOpen()) {
        error = L"Error opening zip file";
        return false;
    }
    const Member* member = Find(name);
    if (member == nullptr) {
        error = L"Could not find ziped file";
        return false;
    }
    if (member->size == 0) {
        error = L"File is empty";
        return false;
    }
    if (member->size > kMaxMemberSize) {
        error = L"File too large";
        return false;
    }
    if (!Extract(*member, bytes)) {
        bytes.clear();
        error = L"Could not unzip file";
        return false;
    }
    return true;
}

bool CSkinPackage::Extract(const Member& member, std::vector<uint8_t>& bytes) const {
    if (member.flags & kFlagEncrypted) {
        QLogger::LogW(QLOG_ERROR, L"CSkinPackage::Extract: %ls is encrypted", member.name.c_str());
        return false;
    }
    if (member.localHeader > size_ || size_ - member.localHeader < kLocalHeaderSize ||
        Read32(data_ + member.localHeader) != kLocalHeaderSignature) {
        QLogger::LogW(QLOG_ERROR, L"CSkinPackage::Extract: %ls has no local header",
                      member.name.c_str());
        return false;
    }
    const uint8_t* header = data_ + member.localHeader;
    const uint64_t start =
        member.localHeader + kLocalHeaderSize + Read16(header + 26) + Read16(header + 28);
    if (start > size_ || size_ - start < member.compressedSize) {
        QLogger::LogW(QLOG_ERROR, L"CSkinPackage::Extract: %ls runs past the archive",
                      member.name.c_str());
        return false;
    }
    const uint8_t* source = data_ + start;
    bytes.resize(static_cast<size_t>(member.size));
    bool complete = true;
    if (member.method == kMethodStored) {
        if (member.compressedSize != member.size) {
            QLogger::LogW(QLOG_ERROR, L"CSkinPackage::Extract: %ls has inconsistent sizes",
                          member.name.c_str());
            return false;
        }
        std::copy(source, source + member.size, bytes.begin());
    } else if (member.method == kMethodDeflated) {
        z_stream stream{};
        if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) {
            QLogger::Log(QLOG_ERROR, "CSkinPackage::Extract: inflateInit2 failed");
            return false;
        }
        stream.next_in = const_cast<Bytef*>(source);
        stream.avail_in = static_cast<uInt>(std::min<uint64_t>(member.compressedSize, UINT_MAX));
        stream.next_out = bytes.data();
        stream.avail_out = static_cast<uInt>(bytes.size());
        const int result = inflate(&stream, Z_FINISH);
        const bool full = stream.avail_out == 0;
        inflateEnd(&stream);
        // A stream that still has data once the member's declared size is
        // reached is taken as it stands, as older skin tools wrote such
        // archives; one that ends short or is corrupt is refused.
        if (result == Z_STREAM_END) {
            complete = full;
        } else if ((result == Z_OK || result == Z_BUF_ERROR) && full) {
            complete = false;
        } else {
            QLogger::LogW(QLOG_ERROR, L"CSkinPackage::Extract: %ls does not inflate (%d)",
                          member.name.c_str(), result);
            return false;
        }
        if (result == Z_STREAM_END && !full) {
            QLogger::LogW(QLOG_ERROR, L"CSkinPackage::Extract: %ls is shorter than declared",
                          member.name.c_str());
            return false;
        }
    } else {
        QLogger::LogW(QLOG_ERROR, L"CSkinPackage::Extract: %ls uses method %u", member.name.c_str(),
                      static_cast<unsigned>(member.method));
        return false;
    }
    if (complete) {
        const uLong crc = crc32(0L, bytes.data(), static_cast<uInt>(bytes.size()));
        if (crc != member.crc) {
            QLogger::LogW(QLOG_ERROR, L"CSkinPackage::Extract: %ls fails its checksum",
                          member.name.c_str());
            return false;
        }
    }
    return true;
}

}  // namespace SkinUI
