// An in-memory file system for the package reader: files and folders in
// maps, with switches for the failures a disk can give. Folders behave as on
// Windows: one is made only when its parent exists, and a trailing "\" names
// the same folder. Paths are compared as given (drive "C:" always exists).
#pragma once

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "update/PackageFileSystem.h"

class FakePackageFileSystem : public PackageFileSystem {
public:
    static constexpr uint32_t kNotFound = 2;      // ERROR_FILE_NOT_FOUND
    static constexpr uint32_t kPathNotFound = 3;  // ERROR_PATH_NOT_FOUND
    static constexpr uint32_t kAccessDenied = 5;  // ERROR_ACCESS_DENIED

    std::map<std::string, std::string> files;
    std::set<std::string> folders{"C:"};
    std::vector<std::string> createdFolders;  // every CreateFolder call, in order
    bool refuseFolders = false;               // CreateFolder makes nothing
    bool refuseCreate = false;                // CreateNew fails
    uint32_t writeLimit = UINT32_MAX;         // a full disk after this many bytes
    int openFiles = 0;

    std::unique_ptr<PackageInputFile> OpenForReading(const std::string& path) override {
        auto it = files.find(path);
        if (it == files.end()) return nullptr;
        return std::make_unique<Input>(this, &it->second);
    }

    bool Exists(const std::string& path, uint32_t* error) override {
        if (folders.count(Normal(path)) || files.count(path)) return true;
        *error = kNotFound;
        return false;
    }

    void CreateFolder(const std::string& path) override {
        createdFolders.push_back(path);
        const std::string folder = Normal(path);
        const size_t slash = folder.rfind('\\');
        if (refuseFolders || slash == std::string::npos) return;
        if (!folders.count(folder.substr(0, slash))) return;
        folders.insert(folder);
    }

    std::unique_ptr<PackageOutputFile> CreateNew(const std::string& path,
                                                 uint32_t* error) override {
        const size_t slash = path.rfind('\\');
        if (refuseCreate) {
            *error = kAccessDenied;
            return nullptr;
        }
        if (slash == std::string::npos || !folders.count(path.substr(0, slash))) {
            *error = kPathNotFound;
            return nullptr;
        }
        files[path].clear();
        return std::make_unique<Output>(this, &files[path]);
    }

private:
    static std::string Normal(std::string path) {
        while (path.size() > 1 && path.back() == '\\') path.pop_back();
        return path;
    }

    class Input : public PackageInputFile {
    public:
        Input(FakePackageFileSystem* owner, const std::string* bytes)
            : owner_(owner), bytes_(bytes) {
            ++owner_->openFiles;
        }
        ~Input() override { --owner_->openFiles; }
        uint32_t ReadAt(uint64_t offset, void* buffer, uint32_t size) override {
            if (offset >= bytes_->size()) return 0;
            const size_t n = std::min<size_t>(size, bytes_->size() - offset);
            std::memcpy(buffer, bytes_->data() + offset, n);
            return static_cast<uint32_t>(n);
        }
        uint64_t Size() override { return bytes_->size(); }

    private:
        FakePackageFileSystem* owner_;
        const std::string* bytes_;
    };

    class Output : public PackageOutputFile {
    public:
        Output(FakePackageFileSystem* owner, std::string* bytes) : owner_(owner), bytes_(bytes) {}
        uint32_t Write(const void* data, uint32_t size) override {
            const uint32_t n = std::min(size, owner_->writeLimit);
            bytes_->append(static_cast<const char*>(data), n);
            return n;
        }

    private:
        FakePackageFileSystem* owner_;
        std::string* bytes_;
    };
};
