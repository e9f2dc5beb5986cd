// The skin package inside the executables: LauncherQAMB.exe and the test
// program carry the zip of skin/ byte for byte as ZIPRES 129, beside the
// launcher's icon 107, found the way the window base finds it.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "common/win/UniqueHandle_win.h"
#include "support/WinTestSupport_win.h"

namespace {

// The bytes of resource type/id in |module|; false when it is absent.
bool ResourceBytes(HMODULE module, LPCWSTR type, WORD id, std::string* out) {
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), type);
    if (!found) return false;
    const DWORD size = SizeofResource(module, found);
    HGLOBAL loaded = LoadResource(module, found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data || size == 0) return false;
    out->assign(static_cast<const char*>(data), size);
    return true;
}

std::string PackageOnDisk() {
    return testsupport::ReadFileBytes(testsupport::FromUnixPath(LAUNCHER_SKIN_PACKAGE));
}

TEST(SkinResource, LauncherCarriesThePackageAndItsIcon) {
    UniqueModule exe(LoadLibraryExW(testsupport::LauncherExePath().c_str(), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    ASSERT_TRUE(exe.get() != nullptr) << GetLastError();
    const std::string onDisk = PackageOnDisk();
    ASSERT_GT(onDisk.size(), 1000u);

    std::string embedded;
    ASSERT_TRUE(ResourceBytes(exe.get(), L"ZIPRES", 129, &embedded));
    EXPECT_TRUE(embedded == onDisk)
        << "embedded " << embedded.size() << " bytes, zip " << onDisk.size();
    std::string icon;
    EXPECT_TRUE(ResourceBytes(exe.get(), MAKEINTRESOURCEW(14) /* RT_GROUP_ICON */, 107, &icon));
    // Nothing else hides under the package's type.
    std::string other;
    EXPECT_FALSE(ResourceBytes(exe.get(), L"ZIPRES", 130, &other));
}

// Window tests in this program open their skins from their own module, as
// the launcher does.
TEST(SkinResource, TestProgramCarriesThePackageToo) {
    std::string embedded;
    ASSERT_TRUE(ResourceBytes(GetModuleHandleW(nullptr), L"ZIPRES", 129, &embedded));
    EXPECT_TRUE(embedded == PackageOnDisk());
}

}  // namespace
