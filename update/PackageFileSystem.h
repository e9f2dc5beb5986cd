// What the package reader needs from the file system: a package read at
// explicit positions, folders tested and made, and one extracted file
// written. PackageFileSystem_win.cpp is the product's (ANSI file calls);
// PackageFileSystem_posix.cpp serves native tools and benchmarks, where "\"
// in a path stands for "/"; tests hand the reader an in-memory fake.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

class PackageInputFile {
public:
    PackageInputFile(const PackageInputFile&) = delete;
    PackageInputFile& operator=(const PackageInputFile&) = delete;
    PackageInputFile() = default;
    virtual ~PackageInputFile() = default;

    // Reads up to |size| bytes from |offset|; returns how many arrived
    // (fewer at the end of the file or on a read error).
    virtual uint32_t ReadAt(uint64_t offset, void* buffer, uint32_t size) = 0;
    // The file's size in bytes.
    virtual uint64_t Size() = 0;
};

class PackageOutputFile {
public:
    PackageOutputFile(const PackageOutputFile&) = delete;
    PackageOutputFile& operator=(const PackageOutputFile&) = delete;
    PackageOutputFile() = default;
    virtual ~PackageOutputFile() = default;  // closes the file

    // One write call; returns the bytes written.
    virtual uint32_t Write(const void* data, uint32_t size) = 0;
};

class PackageFileSystem {
public:
    virtual ~PackageFileSystem() = default;

    // Opens an existing file for reading, others may read too. Null on
    // failure, with the platform's last error left as the call set it.
    virtual std::unique_ptr<PackageInputFile> OpenForReading(const std::string& path) = 0;
    // True when something named |path| exists; otherwise *error is the
    // platform's error code.
    virtual bool Exists(const std::string& path, uint32_t* error) = 0;
    // Makes one folder; failures (it exists, its parent is missing) are the
    // caller's to find out later.
    virtual void CreateFolder(const std::string& path) = 0;
    // Creates |path|, replacing any file there, for writing without sharing.
    // Null on failure with *error set to the platform's error code.
    virtual std::unique_ptr<PackageOutputFile> CreateNew(const std::string& path,
                                                         uint32_t* error) = 0;

    // The platform's file system.
    static PackageFileSystem& Default();
};
