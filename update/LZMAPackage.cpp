#include "update/LZMAPackage.h"

#include <cstring>
#include <new>
#include <string_view>

#include "common/AsciiCase.h"
#include "common/qlogger/QLogger.h"
#include "update/Lzma86.h"

namespace {

uint32_t ReadU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

LZMAPackageEntry ParseHeader(const uint8_t (&header)[LZMAPackageEntry::kHeaderSize]) {
    LZMAPackageEntry entry;
    entry.dataOffset = ReadU32(header);
    entry.packedSize = ReadU32(header + 4);
    entry.unpackedSize = ReadU32(header + 8);
    entry.nameLength = static_cast<uint16_t>(header[12] | header[13] << 8);
    std::memcpy(entry.reserved, header + 14, sizeof(entry.reserved));
    return entry;
}

// A package comes over plain HTTP, so an entry's name is outside input: it
// may only name a file at or below the target folder. Refused: rooted names
// ("\x", "/x", "\\server\x"), anything with a colon (a drive, "C:x", or an
// alternate data stream), and a component of dots and blanks alone, which
// Windows reads as "." or ".." once it strips trailing dots and blanks.
bool StaysInsideTheFolder(const std::string& name) {
    if (name.empty() || name[0] == '\\' || name[0] == '/') return false;
    if (name.find(':') != std::string::npos) return false;
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = name.find_first_of("\\/", start);
        if (end == std::string::npos) end = name.size();
        const std::string_view part(name.data() + start, end - start);
        if (!part.empty() && part.find_first_not_of(". ") == std::string_view::npos) return false;
        start = end + 1;
    }
    return true;
}

}  // namespace

LZMAPackage::LZMAPackage(const std::string& path, PackageFileSystem& fileSystem)
    : path_(path), fileSystem_(fileSystem) {}

LZMAPackage::~LZMAPackage() {
    Close();
}

bool LZMAPackage::Open() {
    if (opened_) return true;
    file_ = fileSystem_.OpenForReading(path_);
    if (!file_) return false;  // the caller logs the platform's error
    opened_ = true;
    return ReadIndex();
}

bool LZMAPackage::ReadIndex() {
    entries_.clear();
    if (!file_) return false;

    uint8_t header[LZMAPackageEntry::kHeaderSize];
    uint64_t position = 0;
    if (file_->ReadAt(position, header, sizeof(header)) < sizeof(header)) return true;
    for (;;) {
        LZMAPackageEntry entry = ParseHeader(header);

        char name[kNameBufferSize] = {};
        const uint32_t nameBytes =
            entry.nameLength < kNameBufferSize ? entry.nameLength : kNameBufferSize;
        if (file_->ReadAt(position + LZMAPackageEntry::kHeaderSize, name, nameBytes) < nameBytes) {
            return false;
        }
        name[kNameBufferSize - 1] = '\0';
        entry.name = name;
        entries_.push_back(std::move(entry));

        // A next header at or before this one would make the chain go round
        // for ever (a damaged or hostile package); the chain ends there.
        const uint64_t next =
            static_cast<uint64_t>(entries_.back().dataOffset) + entries_.back().packedSize;
        if (next > UINT32_MAX || next < position + LZMAPackageEntry::kHeaderSize) {
            QLogger::Log(QLOG_ERROR, "LZMAPackage::ReadIndex, bad next entry offset(%u + %u), %s",
                         entries_.back().dataOffset, entries_.back().packedSize,
                         entries_.back().name.c_str());
            return false;
        }
        position = next;
        if (file_->ReadAt(position, header, sizeof(header)) < sizeof(header)) return true;
    }
}

int LZMAPackage::FindFile(const std::string& name) const {
    for (size_t i = 0; i < entries_.size(); ++i) {
        if (EqualsIgnoringAsciiCase(entries_[i].name, name)) return static_cast<int>(i);
    }
    return -1;
}

bool LZMAPackage::ExtractFile(const std::string& name, std::unique_ptr<uint8_t[]>* out,
                              uint32_t* outSize) {
    const int index = FindFile(name);
    if (index < 0 || !file_) {
        QLogger::Log(QLOG_ERROR, "LZMAPackage::ExtractFile, failed to FindFile, %s", name.c_str());
        return false;
    }
    const LZMAPackageEntry& entry = entries_[static_cast<size_t>(index)];

    // Checked before anything is allocated for it: the header's size is the
    // package's word, and the package comes from outside.
    if (entry.unpackedSize > kMaxUnpackedSize) {
        QLogger::Log(QLOG_ERROR, "LZMAPackage::ExtractFile, entry too large(%u > %u), %s",
                     entry.unpackedSize, kMaxUnpackedSize, name.c_str());
        return false;
    }

    // A header may announce far more packed data than the file holds; the
    // read would come up short anyway, so do not allocate for it first.
    const uint64_t fileSize = file_->Size();
    if (static_cast<uint64_t>(entry.dataOffset) + entry.packedSize > fileSize) {
        const uint64_t available = fileSize > entry.dataOffset ? fileSize - entry.dataOffset : 0;
        QLogger::Log(QLOG_ERROR, "LZMAPackage::ExtractFile, failed to ReadFile(%d != %d), %s",
                     static_cast<int>(entry.packedSize), static_cast<int>(available), name.c_str());
        return false;
    }

    std::unique_ptr<uint8_t[]> packed(new (std::nothrow)
                                          uint8_t[entry.packedSize ? entry.packedSize : 1]);
    if (!packed) {
        QLogger::Log(QLOG_ERROR, "LZMAPackage::ExtractFile, failed to T_ALLOC1(%d), %s",
                     static_cast<int>(entry.packedSize), name.c_str());
        return false;
    }
    const uint32_t got = file_->ReadAt(entry.dataOffset, packed.get(), entry.packedSize);
    if (got < entry.packedSize) {
        QLogger::Log(QLOG_ERROR, "LZMAPackage::ExtractFile, failed to ReadFile(%d != %d), %s",
                     static_cast<int>(entry.packedSize), static_cast<int>(got), name.c_str());
        return false;
    }

    uint64_t storedSize = 0;
    if (!Lzma86GetUnpackSize(packed.get(), entry.packedSize, &storedSize) ||
        storedSize != entry.unpackedSize) {
        QLogger::Log(QLOG_ERROR, "LZMAPackage::ExtractFile, failed to unpack, %s", name.c_str());
        return false;
    }

    std::unique_ptr<uint8_t[]> unpacked(new (std::nothrow)
                                            uint8_t[entry.unpackedSize ? entry.unpackedSize : 1]);
    if (!unpacked) {
        QLogger::Log(QLOG_ERROR, "LZMAPackage::ExtractFile, failed to T_ALLOC2(%d), %s",
                     static_cast<int>(entry.unpackedSize), name.c_str());
        return false;
    }
    size_t produced = entry.unpackedSize;
    const Lzma86Result result =
        Lzma86Decode(unpacked.get(), &produced, packed.get(), entry.packedSize);
    packed.reset();
    if (result != Lzma86Result::kOk) {
        QLogger::Log(QLOG_ERROR, "LZMAPackage::ExtractFile, failed to Lzma86_Decode, %s",
                     name.c_str());
        return false;
    }
    *out = std::move(unpacked);
    *outSize = static_cast<uint32_t>(produced);
    return true;
}

bool LZMAPackage::ExtractFileToDisk(const std::string& name, const std::string& folder) {
    if (!StaysInsideTheFolder(name)) {
        QLogger::Log(QLOG_ERROR,
                     "LZMAPackage::ExtractFileToDisk, refused a name outside the folder, %s",
                     name.c_str());
        return false;
    }
    std::unique_ptr<uint8_t[]> data;
    uint32_t size = 0;
    if (!ExtractFile(name, &data, &size)) return false;

    std::string target = folder;
    if (target.empty() || target.back() != '\\') target += '\\';
    target += name;
    const std::string dir = target.substr(0, target.rfind('\\'));

    uint32_t error = 0;
    if (!fileSystem_.Exists(dir, &error)) {
        for (size_t slash = target.find('\\'); slash != std::string::npos;
             slash = target.find('\\', slash + 1)) {
            fileSystem_.CreateFolder(target.substr(0, slash + 1));
        }
        if (!fileSystem_.Exists(dir, &error)) {
            QLogger::Log(QLOG_ERROR,
                         "LZMAPackage::ExtractFileToDisk, failed to FindFirstFileA, %s, code(%d)",
                         target.c_str(), static_cast<int>(error));
            return false;
        }
    }

    std::unique_ptr<PackageOutputFile> file = fileSystem_.CreateNew(target, &error);
    if (!file) {
        QLogger::Log(QLOG_ERROR,
                     "LZMAPackage::ExtractFileToDisk, failed to CreateFileA, %s, code(%d)",
                     target.c_str(), static_cast<int>(error));
        return false;
    }
    const uint32_t written = file->Write(data.get(), size);
    file.reset();
    if (written != size) {
        QLogger::Log(QLOG_ERROR,
                     "LZMAPackage::ExtractFileToDisk, failed to WriteFile, %s, size(%d != %d)",
                     target.c_str(), static_cast<int>(size), static_cast<int>(written));
        return false;
    }
    return true;
}

void LZMAPackage::Close() {
    file_.reset();
    entries_.clear();
    opened_ = false;
}
