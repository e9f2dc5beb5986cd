// The module path helper beyond MAX_PATH, on a real module: a copy of this
// test program in a folder deeper than 260 characters, loaded as a module
// (Wine starts no process from so deep a path, but loads one).
#include "common/win/ModulePath_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "support/WinTestSupport_win.h"

namespace {

TEST(ModulePath, IsWholeBeyondMaxPath) {
    testsupport::ScratchDir dir;
    std::wstring folder = dir.path();
    while (folder.size() <= MAX_PATH + 20) {
        folder += L"\\" + std::wstring(60, L'd');
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr)) << GetLastError();
    }
    const std::wstring copy = folder + L"\\win_tests.exe";
    ASSERT_TRUE(CopyFileW(ModulePath().c_str(), copy.c_str(), FALSE)) << GetLastError();
    HMODULE module = LoadLibraryExW(copy.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
    ASSERT_NE(module, nullptr) << GetLastError();
    EXPECT_EQ(ModulePath(module), copy);
    EXPECT_EQ(ModuleFolder(module), folder + L"\\");
    FreeLibrary(module);
    DeleteFileW(copy.c_str());
}

}  // namespace
