// The platform's own package file system (POSIX natively, Win32 under
// Wine) with real files: "\" separated targets, folders made level by level,
// reads at positions past the end.
#include "update/PackageFileSystem.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "support/SampleData.h"
#include "tools/lzmapack/PackageWriter.h"
#include "update/LZMAPackage.h"

namespace {

namespace fs = std::filesystem;

class RealFolder {
public:
    RealFolder() {
        path_ = fs::temp_directory_path() /
                ("package-fs-test-" + std::to_string(reinterpret_cast<uintptr_t>(this)));
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~RealFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    // The folder as the reader is given paths: narrow, "\" separated.
    std::string Narrow() const {
        std::string text = path_.string();
        for (char& c : text) {
            if (c == '/') c = '\\';
        }
        return text;
    }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream buffer;
    buffer << in.rdbuf();
    return std::move(buffer).str();
}

TEST(PackageFileSystemTest, PlatformFilesRoundTripThroughTheReader) {
    RealFolder folder;
    const std::string exe = sampledata::ExecutableLike(200000, 13);
    lzmapack::Options options;
    options.preset = 1;
    std::string package, error;
    ASSERT_TRUE(lzmapack::BuildPackage({{"LauncherQAMB.exe", exe}}, options, &package, &error));
    {
        std::ofstream out(folder.path() / "p.lzma", std::ios::binary);
        out.write(package.data(), static_cast<std::streamsize>(package.size()));
    }

    PackageFileSystem& platform = PackageFileSystem::Default();
    auto file = platform.OpenForReading(folder.Narrow() + "\\p.lzma");
    ASSERT_TRUE(file);
    EXPECT_EQ(file->Size(), package.size());
    char tail[8] = {};
    EXPECT_EQ(file->ReadAt(package.size() - 3, tail, sizeof(tail)), 3u);
    EXPECT_EQ(file->ReadAt(package.size() + 10, tail, sizeof(tail)), 0u);
    file.reset();

    uint32_t error32 = 0;
    EXPECT_FALSE(platform.Exists(folder.Narrow() + "\\none", &error32));
    EXPECT_NE(error32, 0u);
    EXPECT_FALSE(platform.OpenForReading(folder.Narrow() + "\\none"));

    LZMAPackage reader(folder.Narrow() + "\\p.lzma");
    ASSERT_TRUE(reader.Open());
    ASSERT_TRUE(reader.ExtractFileToDisk("LauncherQAMB.exe", folder.Narrow() + "\\x\\y\\"));
    EXPECT_TRUE(ReadAll(folder.path() / "x" / "y" / "LauncherQAMB.exe") == exe);
}

}  // namespace
