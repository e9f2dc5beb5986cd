// The package reader on real Windows files: the ANSI file calls, sharing,
// replacing a file and the errors the platform gives. Which names are
// refused is the native test's (LZMAPackage_test.cpp).
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "common/qlogger/QLogger.h"
#include "support/RecordingAppender.h"
#include "support/SampleData.h"
#include "support/WinTestSupport_win.h"
#include "tools/lzmapack/PackageWriter.h"
#include "update/LZMAPackage.h"

namespace {

using testsupport::ReadFileBytes;
using testsupport::ScratchDir;
using testsupport::WriteFileBytes;

std::string Ansi(const std::wstring& text) {
    const int n = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, out.data(), n, nullptr, nullptr);
    out.resize(static_cast<size_t>(n - 1));
    return out;
}

using testsupport::RecordingAppender;

class LZMAPackageWinTest : public testing::Test {
protected:
    void SetUp() override {
        QLogger::Shutdown();
        QLogger::AddAppender(std::make_unique<RecordingAppender>(&lines_));
        exe_ = sampledata::ExecutableLike(1 << 20, 11);
        lzmapack::Options options;
        options.preset = 1;  // each test packs anew; the reader does not care how hard
        std::string package, error;
        ASSERT_TRUE(
            lzmapack::BuildPackage({{"plumegame.ocx", "not this one"}, {"LauncherQAMB.exe", exe_}},
                                   options, &package, &error))
            << error;
        packagePath_ = dir_.Join(L"launcherqamb.exe.lzma");
        ASSERT_TRUE(WriteFileBytes(packagePath_, package));
    }
    void TearDown() override { QLogger::Shutdown(); }

    ScratchDir dir_;
    std::wstring packagePath_;
    std::string exe_;
    std::vector<std::string> lines_;
};

// Missing folders on the real file system are PackageFileSystem_test's.
TEST_F(LZMAPackageWinTest, ReplacesAnOldFileWholeAndClosesThePackage) {
    LZMAPackage package(Ansi(packagePath_));
    ASSERT_TRUE(package.Open());
    ASSERT_EQ(package.entries().size(), 2u);

    // An older, longer file in the way is replaced whole; a trailing "\"
    // names the same folder.
    const std::wstring temp = dir_.Join(L"qmtemp");
    CreateDirectoryW(temp.c_str(), nullptr);
    ASSERT_TRUE(WriteFileBytes(temp + L"\\LauncherQAMB.exe", std::string(4 << 20, 'o')));
    ASSERT_TRUE(package.ExtractFileToDisk("launcherqamb.EXE", Ansi(temp) + "\\"));
    EXPECT_TRUE(ReadFileBytes(temp + L"\\launcherqamb.EXE") == exe_);
    EXPECT_TRUE(lines_.empty());
    package.Close();

    // Closed means closed: the package can be deleted now.
    EXPECT_TRUE(DeleteFileW(packagePath_.c_str()));
}

TEST_F(LZMAPackageWinTest, OpenPackageMayBeReadButNotReplacedByOthers) {
    LZMAPackage package(Ansi(packagePath_));
    ASSERT_TRUE(package.Open());
    HANDLE writer =
        CreateFileW(packagePath_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(writer, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    if (writer != INVALID_HANDLE_VALUE) CloseHandle(writer);
    HANDLE reader = CreateFileW(packagePath_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(reader, INVALID_HANDLE_VALUE);
    if (reader != INVALID_HANDLE_VALUE) CloseHandle(reader);
    EXPECT_FALSE(DeleteFileW(packagePath_.c_str()));
}

TEST_F(LZMAPackageWinTest, MissingPackageLeavesTheWindowsErrorForTheCaller) {
    LZMAPackage package(Ansi(dir_.Join(L"absent.lzma")));
    SetLastError(0);
    EXPECT_FALSE(package.Open());
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(package.opened());
}

TEST_F(LZMAPackageWinTest, FolderThatCannotBeMadeOrFileThatCannotBeCreatedIsReported) {
    LZMAPackage package(Ansi(packagePath_));
    ASSERT_TRUE(package.Open());

    // A file where a folder should be: no folder can be made below it.
    ASSERT_TRUE(WriteFileBytes(dir_.Join(L"blocker"), "x"));
    const std::string blocked = Ansi(dir_.Join(L"blocker\\sub"));
    EXPECT_FALSE(package.ExtractFileToDisk("LauncherQAMB.exe", blocked));
    ASSERT_EQ(lines_.size(), 1u);
    EXPECT_EQ(lines_[0].rfind("Error  |LZMAPackage::ExtractFileToDisk, failed to FindFirstFileA, " +
                                  blocked + "\\LauncherQAMB.exe, code(",
                              0),
              0u)
        << lines_[0];

    // A folder where the file should be: it cannot be created.
    lines_.clear();
    const std::wstring target = dir_.Join(L"LauncherQAMB.exe");
    ASSERT_TRUE(CreateDirectoryW(target.c_str(), nullptr));
    EXPECT_FALSE(package.ExtractFileToDisk("LauncherQAMB.exe", Ansi(dir_.path())));
    ASSERT_EQ(lines_.size(), 1u);
    EXPECT_EQ(lines_[0], "Error  |LZMAPackage::ExtractFileToDisk, failed to CreateFileA, " +
                             Ansi(target) + ", code(" + std::to_string(ERROR_ACCESS_DENIED) + ")");
}

}  // namespace
