#include <windows.h>

#include "common/win/UniqueHandle_win.h"
#include "update/PackageFileSystem.h"

namespace {

class WinInputFile : public PackageInputFile {
public:
    explicit WinInputFile(UniqueHandle file) : file_(std::move(file)) {}

    uint32_t ReadAt(uint64_t offset, void* buffer, uint32_t size) override {
        LARGE_INTEGER position;
        position.QuadPart = static_cast<LONGLONG>(offset);
        if (!SetFilePointerEx(file_.get(), position, nullptr, FILE_BEGIN)) return 0;
        uint32_t total = 0;
        auto* out = static_cast<char*>(buffer);
        // ReadFile may hand back less than asked before the end of the file.
        while (total < size) {
            DWORD got = 0;
            if (!ReadFile(file_.get(), out + total, size - total, &got, nullptr) || got == 0) break;
            total += got;
        }
        return total;
    }

    uint64_t Size() override {
        LARGE_INTEGER size;
        if (!GetFileSizeEx(file_.get(), &size)) return 0;
        return static_cast<uint64_t>(size.QuadPart);
    }

private:
    UniqueHandle file_;
};

class WinOutputFile : public PackageOutputFile {
public:
    explicit WinOutputFile(UniqueHandle file) : file_(std::move(file)) {}

    uint32_t Write(const void* data, uint32_t size) override {
        DWORD written = 0;  // what a failed call managed to write is still counted
        WriteFile(file_.get(), data, size, &written, nullptr);
        return written;
    }

private:
    UniqueHandle file_;
};

class WinPackageFileSystem : public PackageFileSystem {
public:
    std::unique_ptr<PackageInputFile> OpenForReading(const std::string& path) override {
        UniqueHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return nullptr;
        return std::make_unique<WinInputFile>(std::move(file));
    }

    bool Exists(const std::string& path, uint32_t* error) override {
        WIN32_FIND_DATAA data;
        UniqueFindHandle search(FindFirstFileA(path.c_str(), &data));
        if (!search) {
            *error = GetLastError();
            return false;
        }
        return true;
    }

    void CreateFolder(const std::string& path) override { CreateDirectoryA(path.c_str(), nullptr); }

    std::unique_ptr<PackageOutputFile> CreateNew(const std::string& path,
                                                 uint32_t* error) override {
        UniqueHandle file(
            CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        if (!file) {
            *error = GetLastError();
            return nullptr;
        }
        return std::make_unique<WinOutputFile>(std::move(file));
    }
};

}  // namespace

PackageFileSystem& PackageFileSystem::Default() {
    static WinPackageFileSystem fileSystem;
    return fileSystem;
}
