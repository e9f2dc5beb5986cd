#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "update/PackageFileSystem.h"

namespace {

// Package paths are built with "\"; here the separator is "/".
std::string ToPosixPath(std::string path) {
    for (char& c : path) {
        if (c == '\\') c = '/';
    }
    return path;
}

class PosixInputFile : public PackageInputFile {
public:
    explicit PosixInputFile(int fd) : fd_(fd) {}
    ~PosixInputFile() override { close(fd_); }

    uint32_t ReadAt(uint64_t offset, void* buffer, uint32_t size) override {
        uint32_t total = 0;
        auto* out = static_cast<char*>(buffer);
        while (total < size) {
            const ssize_t got =
                pread(fd_, out + total, size - total, static_cast<off_t>(offset + total));
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) break;
            total += static_cast<uint32_t>(got);
        }
        return total;
    }

    uint64_t Size() override {
        struct stat info;
        if (fstat(fd_, &info) != 0) return 0;
        return static_cast<uint64_t>(info.st_size);
    }

private:
    int fd_;
};

class PosixOutputFile : public PackageOutputFile {
public:
    explicit PosixOutputFile(int fd) : fd_(fd) {}
    ~PosixOutputFile() override { close(fd_); }

    uint32_t Write(const void* data, uint32_t size) override {
        uint32_t total = 0;
        const auto* in = static_cast<const char*>(data);
        while (total < size) {
            const ssize_t put = write(fd_, in + total, size - total);
            if (put < 0 && errno == EINTR) continue;
            if (put <= 0) break;
            total += static_cast<uint32_t>(put);
        }
        return total;
    }

private:
    int fd_;
};

class PosixPackageFileSystem : public PackageFileSystem {
public:
    std::unique_ptr<PackageInputFile> OpenForReading(const std::string& path) override {
        const int fd = open(ToPosixPath(path).c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) return nullptr;
        return std::make_unique<PosixInputFile>(fd);
    }

    bool Exists(const std::string& path, uint32_t* error) override {
        struct stat info;
        if (stat(ToPosixPath(path).c_str(), &info) != 0) {
            *error = static_cast<uint32_t>(errno);
            return false;
        }
        return true;
    }

    void CreateFolder(const std::string& path) override { mkdir(ToPosixPath(path).c_str(), 0755); }

    std::unique_ptr<PackageOutputFile> CreateNew(const std::string& path,
                                                 uint32_t* error) override {
        const int fd =
            open(ToPosixPath(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0) {
            *error = static_cast<uint32_t>(errno);
            return nullptr;
        }
        return std::make_unique<PosixOutputFile>(fd);
    }
};

}  // namespace

PackageFileSystem& PackageFileSystem::Default() {
    static PosixPackageFileSystem fileSystem;
    return fileSystem;
}
