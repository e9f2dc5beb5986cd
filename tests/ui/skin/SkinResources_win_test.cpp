// The skin package as the launcher's windows open it: from a real resource
// of this executable, and files from a real resource folder.
#include <gtest/gtest.h>
#include <windows.h>

#include "support/SkinTestData.h"
#include "support/WinTestSupport_win.h"
#include "ui/skin/ModuleInstance_win.h"
#include "ui/skin/SkinImage.h"
#include "ui/skin/SkinMarkup.h"
#include "ui/skin/SkinPackage.h"
#include "ui/window/WindowManager.h"

namespace {

using SkinUI::CWindowManagerUI;

// Resource numbers of tests/ui/SkinTestResources.cmake.
constexpr int kPackageA = 901;
constexpr int kPackageB = 902;
constexpr int kEmpty = 903;
constexpr int kMissing = 905;

class SkinResourcesTest : public testing::Test {
protected:
    void SetUp() override {
        CWindowManagerUI::Term();
        SkinUI::SetModuleInstance(GetModuleHandleW(nullptr));
    }
    void TearDown() override {
        CWindowManagerUI::Term();
        CWindowManagerUI::SetResourcePath(L"");
    }

    static std::wstring Read(const std::wstring& name, std::string* bytes = nullptr) {
        std::vector<uint8_t> data;
        std::wstring error;
        if (!CWindowManagerUI::GetSkinFileSource().ReadSkinFile(name, data, error)) return error;
        if (bytes != nullptr) bytes->assign(data.begin(), data.end());
        return L"ok";
    }
};

TEST_F(SkinResourcesTest, PackageFromResourceServesLayoutsAndImages) {
    ASSERT_TRUE(CWindowManagerUI::LoadSkinPackageFromResource(kPackageA));
    EXPECT_EQ(CWindowManagerUI::GetResourceZip(), L"membuffer");

    // The member is stored as "MAIN.XML"; windows ask for "main.xml".
    SkinUI::CSkinMarkup markup;
    ASSERT_TRUE(markup.LoadFromFile(L"main.xml", CWindowManagerUI::GetSkinFileSource()))
        << testing::PrintToString(markup.GetLastErrorMessage());
    SkinUI::CSkinMarkupNode label = markup.GetRoot().GetChild(L"Label");
    ASSERT_TRUE(label.IsValid());
    EXPECT_STREQ(label.GetAttributeValue(L"text"), L"'A' package");

    SkinUI::TImageInfo image;
    ASSERT_TRUE(SkinUI::LoadSkinImage(L"DOT.PNG", 0xFFFF00FF, CWindowManagerUI::GetSkinFileSource(),
                                      image));
    ASSERT_EQ(image.width, 2);
    ASSERT_EQ(image.height, 2);
    const std::vector<uint32_t> expected = {0x00000000, 0xFF00FF00, 0x80808080, 0x00000000};
    EXPECT_EQ(image.pixels, expected);
    EXPECT_TRUE(image.hasAlpha);

    // An image that is an executable resource of its own type.
    SkinUI::TImageInfo resourceImage;
    ASSERT_TRUE(SkinUI::LoadSkinImage(L"904", 0, CWindowManagerUI::GetSkinFileSource(),
                                      resourceImage, L"PNG"));
    EXPECT_EQ(resourceImage.pixels[0], 0xFFFF00FFu);
}

TEST_F(SkinResourcesTest, SecondWindowKeepsTheFirstPackage) {
    ASSERT_TRUE(CWindowManagerUI::LoadSkinPackageFromResource(kPackageA));
    const SkinUI::CSkinPackage* first = CWindowManagerUI::GetResourceZipHandle();
    ASSERT_TRUE(CWindowManagerUI::LoadSkinPackageFromResource(kPackageB));
    EXPECT_EQ(CWindowManagerUI::GetResourceZipHandle(), first);
    EXPECT_EQ(Read(L"game.xml"), L"Could not find ziped file");  // only in package B
    std::string bytes;
    ASSERT_EQ(Read(L"main.xml", &bytes), L"ok");
    EXPECT_NE(bytes.find("&apos;A&apos; package"), std::string::npos);
}

TEST_F(SkinResourcesTest, MissingOrEmptyResourceLeavesNoPackage) {
    EXPECT_FALSE(CWindowManagerUI::LoadSkinPackageFromResource(kMissing));
    EXPECT_FALSE(CWindowManagerUI::LoadSkinPackageFromResource(kEmpty));
    EXPECT_EQ(CWindowManagerUI::GetResourceZip(), L"");
    EXPECT_EQ(CWindowManagerUI::GetResourceZipHandle(), nullptr);
    // A later window with a good package still gets it.
    EXPECT_TRUE(CWindowManagerUI::LoadSkinPackageFromResource(kPackageB));
    EXPECT_EQ(Read(L"game.xml"), L"ok");
}

TEST_F(SkinResourcesTest, FilesFromTheResourceFolderOnDisk) {
    testsupport::ScratchDir dir;
    CWindowManagerUI::SetResourcePath(dir.path());
    ASSERT_TRUE(testsupport::WriteFileBytes(dir.Join(L"main.xml"), "<Window size=\"3,4\"/>"));
    ASSERT_TRUE(testsupport::WriteFileBytes(dir.Join(L"empty.xml"), ""));
    ASSERT_TRUE(testsupport::WriteFileBytes(dir.Join(L"big.png"), std::string(4194305, 'x')));
    ASSERT_TRUE(testsupport::WriteFileBytes(dir.Join(L"limit.png"), std::string(4194304, 'x')));
    CreateDirectoryW(dir.Join(L"folder.xml").c_str(), nullptr);

    // Another reader holding the layout open does not lock the launcher out.
    HANDLE other = CreateFileW(dir.Join(L"main.xml").c_str(), GENERIC_READ, FILE_SHARE_READ,
                               nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    SkinUI::CSkinMarkup markup;
    EXPECT_TRUE(markup.LoadFromFile(L"main.xml", CWindowManagerUI::GetSkinFileSource()));
    EXPECT_STREQ(markup.GetRoot().GetAttributeValue(L"size"), L"3,4");
    CloseHandle(other);

    std::string bytes;
    EXPECT_EQ(Read(L"limit.png", &bytes), L"ok");
    EXPECT_EQ(bytes.size(), 4194304u);
    EXPECT_EQ(Read(L"missing.xml"), L"Error opening file");
    EXPECT_EQ(Read(L"folder.xml"), L"Error opening file");
    EXPECT_EQ(Read(L"empty.xml"), L"File is empty");
    EXPECT_EQ(Read(L"big.png"), L"File too large");

    // A ZIP file in the folder, as a window of type SKIN_ZIP sets it:
    // cached, it is read once and survives the file going away.
    const std::string zip = testsupport::MakeZip({{"Main.xml", "<Window size=\"5,6\"/>", true}});
    ASSERT_TRUE(testsupport::WriteFileBytes(dir.Join(L"skin.zip"), zip));
    CWindowManagerUI::SetResourceZip(L"skin.zip", true);
    ASSERT_EQ(Read(L"main.xml", &bytes), L"ok");
    EXPECT_EQ(bytes, "<Window size=\"5,6\"/>");
    ASSERT_TRUE(DeleteFileW(dir.Join(L"skin.zip").c_str()));
    EXPECT_EQ(Read(L"main.xml"), L"ok");
    CWindowManagerUI::SetResourceZip(L"skin.zip", false);
    EXPECT_EQ(Read(L"main.xml"), L"Error opening zip file");
}

}  // namespace
