#include "game/Registry.h"

#include <gtest/gtest.h>

namespace {

TEST(SplitRegistryPath, EachRootLeadsItsPath) {
    const struct {
        const wchar_t* path;
        RegistryRoot root;
        const wchar_t* subkey;
    } kSplit[] = {
        {L"HKEY_CURRENT_USER\\Software\\Brindlewood\\QAMBlauncher", RegistryRoot::CurrentUser,
         L"Software\\Brindlewood\\QAMBlauncher"},
        {L"HKEY_CLASSES_ROOT\\TypeLib\\{32B34856}\\1.0\\0\\win64", RegistryRoot::ClassesRoot,
         L"TypeLib\\{32B34856}\\1.0\\0\\win64"},
        {L"HKEY_LOCAL_MACHINE\\Software", RegistryRoot::LocalMachine, L"Software"},
        {L"HKEY_USERS\\.DEFAULT", RegistryRoot::Users, L".DEFAULT"},
        // A later root name is part of the subkey, not a second root.
        {L"HKEY_CURRENT_USER\\Software\\HKEY_CLASSES_ROOT", RegistryRoot::CurrentUser,
         L"Software\\HKEY_CLASSES_ROOT"},
        // The root alone, with or without its separator, is the root itself.
        {L"HKEY_CURRENT_USER", RegistryRoot::CurrentUser, L""},
        {L"HKEY_USERS\\", RegistryRoot::Users, L""},
    };
    for (const auto& c : kSplit) {
        RegistryRoot root = RegistryRoot::Users;
        std::wstring subkey = L"stale";
        ASSERT_TRUE(SplitRegistryPath(c.path, root, subkey))
            << testing::PrintToString(std::wstring(c.path));
        EXPECT_EQ(root, c.root);
        EXPECT_EQ(subkey, c.subkey);
    }
}

TEST(SplitRegistryPath, OtherRootsAndMisplacedNamesFail) {
    for (const wchar_t* path :
         {L"", L"HKCU\\Software\\Brindlewood", L"hkey_current_user\\Software",
          L"Software\\HKEY_CURRENT_USER\\x", L"\\HKEY_CURRENT_USER\\Software",
          L"HKEY_CURRENT_USERS\\Software", L"HKEY_USERSX", L"HKEY_CURRENT_USER/Software",
          L"HKEY_CURRENT_CONFIG\\Software", L"HKEY_"}) {
        RegistryRoot root;
        std::wstring subkey = L"stale";
        EXPECT_FALSE(SplitRegistryPath(path, root, subkey))
            << testing::PrintToString(std::wstring(path));
        EXPECT_EQ(subkey, L"");
    }
}

}  // namespace
