#include <gtest/gtest.h>

#include <map>

#include "support/SkinTestData.h"
#include "ui/skin/SkinMarkup.h"
#include "ui/skin/SkinPackage.h"
#include "ui/skin/SkinPlatform.h"
#include "ui/window/WindowManager.h"

namespace {

using SkinUI::CWindowManagerUI;
using SkinUI::SkinFileStatus;
using testsupport::Bytes;
using testsupport::MakeZip;

class FakeFileSystem : public SkinUI::ISkinFileSystem {
public:
    SkinFileStatus ReadFile(const std::wstring& path, uint64_t maxSize,
                            std::vector<uint8_t>& bytes) override {
        reads.push_back(path);
        limits.push_back(maxSize);
        const auto status = statuses.find(path);
        if (status != statuses.end()) return status->second;
        const auto file = files.find(path);
        if (file == files.end()) return SkinFileStatus::kOpenFailed;
        if (file->second.size() > maxSize) return SkinFileStatus::kTooLarge;
        bytes = Bytes(file->second);
        return SkinFileStatus::kOk;
    }
    std::map<std::wstring, std::string> files;
    std::map<std::wstring, SkinFileStatus> statuses;
    std::vector<std::wstring> reads;
    std::vector<uint64_t> limits;
};

class WindowManagerResourcesTest : public testing::Test {
protected:
    void SetUp() override {
        CWindowManagerUI::Term();
        CWindowManagerUI::SetSkinFileSystem(&fileSystem_);
        CWindowManagerUI::SetResourcePath(L"C:\\Games\\skin");
    }
    void TearDown() override {
        CWindowManagerUI::Term();
        CWindowManagerUI::SetSkinFileSystem(nullptr);
        CWindowManagerUI::SetResourcePath(L"");
    }

    std::wstring Read(const std::wstring& name, std::string* bytes = nullptr) {
        std::vector<uint8_t> data;
        std::wstring error;
        if (CWindowManagerUI::GetSkinFileSource().ReadSkinFile(name, data, error)) {
            if (bytes != nullptr) bytes->assign(data.begin(), data.end());
            return L"ok";
        }
        return error;
    }

    FakeFileSystem fileSystem_;
};

TEST_F(WindowManagerResourcesTest, ResourcePathAlwaysEndsInSeparator) {
    EXPECT_EQ(CWindowManagerUI::GetResourcePath(), L"C:\\Games\\skin\\");
    CWindowManagerUI::SetResourcePath(L"/opt/game/skin/");
    EXPECT_EQ(CWindowManagerUI::GetResourcePath(), L"/opt/game/skin/");
    CWindowManagerUI::SetResourcePath(L"D:\\skin\\");
    EXPECT_EQ(CWindowManagerUI::GetResourcePath(), L"D:\\skin\\");
}

TEST_F(WindowManagerResourcesTest, WithoutPackageFilesComeFromTheResourceFolder) {
    fileSystem_.files[L"C:\\Games\\skin\\main.xml"] = "<Window/>";
    fileSystem_.files[L"C:\\Games\\skin\\empty.xml"] = "";
    fileSystem_.statuses[L"C:\\Games\\skin\\locked.xml"] = SkinFileStatus::kReadFailed;
    fileSystem_.files[L"C:\\Games\\skin\\big.png"] = std::string(4194305, 'x');
    std::string bytes;
    EXPECT_EQ(Read(L"main.xml", &bytes), L"ok");
    EXPECT_EQ(bytes, "<Window/>");
    EXPECT_EQ(fileSystem_.limits.back(), 4194304u);
    EXPECT_EQ(Read(L"missing.xml"), L"Error opening file");
    EXPECT_EQ(Read(L"empty.xml"), L"File is empty");
    EXPECT_EQ(Read(L"big.png"), L"File too large");
    EXPECT_EQ(Read(L"locked.xml"), L"Could not read file");
    EXPECT_EQ(CWindowManagerUI::GetResourceZip(), L"");
}

TEST_F(WindowManagerResourcesTest, FirstMemoryPackageStaysForEveryWindow) {
    std::vector<uint8_t> first = Bytes(MakeZip({{"main.xml", "<Window first=\"1\"/>", true}}));
    const std::vector<uint8_t> second =
        Bytes(MakeZip({{"main.xml", "<Window second=\"1\"/>", true}, {"game.xml", "<x/>", true}}));
    EXPECT_TRUE(CWindowManagerUI::IsCachedResourceZip());
    ASSERT_TRUE(CWindowManagerUI::SetResourceZip(first.data(), first.size()));
    // The package keeps its own copy: the caller's bytes may go away.
    std::fill(first.begin(), first.end(), 0);
    first.clear();
    EXPECT_EQ(CWindowManagerUI::GetResourceZip(), L"membuffer");
    const SkinUI::CSkinPackage* handle = CWindowManagerUI::GetResourceZipHandle();
    ASSERT_NE(handle, nullptr);

    ASSERT_TRUE(CWindowManagerUI::SetResourceZip(second.data(), second.size()));
    EXPECT_EQ(CWindowManagerUI::GetResourceZipHandle(), handle);
    std::string bytes;
    EXPECT_EQ(Read(L"MAIN.xml", &bytes), L"ok");
    EXPECT_EQ(bytes, "<Window first=\"1\"/>");
    EXPECT_EQ(Read(L"game.xml"), L"Could not find ziped file");
    EXPECT_TRUE(fileSystem_.reads.empty());  // the disk is not consulted

    // The markup loader reads through the same source.
    SkinUI::CSkinMarkup markup;
    ASSERT_TRUE(markup.LoadFromFile(L"main.xml", CWindowManagerUI::GetSkinFileSource()));
    EXPECT_TRUE(markup.GetRoot().HasAttribute(L"first"));

    CWindowManagerUI::Term();
    EXPECT_EQ(CWindowManagerUI::GetResourceZipHandle(), nullptr);
    EXPECT_EQ(CWindowManagerUI::GetResourceZip(), L"");
}

TEST_F(WindowManagerResourcesTest, DamagedMemoryPackageFailsEveryRead) {
    const std::vector<uint8_t> noise = Bytes(std::string(100, 'n'));
    EXPECT_FALSE(CWindowManagerUI::SetResourceZip(noise.data(), noise.size()));
    EXPECT_EQ(CWindowManagerUI::GetResourceZip(), L"membuffer");
    EXPECT_EQ(Read(L"main.xml"), L"Error opening zip file");
}

TEST_F(WindowManagerResourcesTest, ZipFileInTheResourceFolder) {
    fileSystem_.files[L"C:\\Games\\skin\\skin.zip"] =
        MakeZip({{"Main.xml", "<Window/>", true}, {"void.png", "", false}});
    CWindowManagerUI::SetResourceZip(L"skin.zip", true);
    EXPECT_EQ(Read(L"main.xml"), L"ok");
    EXPECT_EQ(Read(L"main.xml"), L"ok");
    EXPECT_EQ(Read(L"void.png"), L"File is empty");
    EXPECT_EQ(fileSystem_.reads.size(), 1u);         // opened once and kept
    EXPECT_GT(fileSystem_.limits.back(), 4194304u);  // archives may be larger than members

    fileSystem_.reads.clear();
    CWindowManagerUI::SetResourceZip(L"skin.zip", false);
    EXPECT_FALSE(CWindowManagerUI::IsCachedResourceZip());
    EXPECT_EQ(Read(L"main.xml"), L"ok");
    EXPECT_EQ(Read(L"main.xml"), L"ok");
    EXPECT_EQ(fileSystem_.reads.size(), 2u);  // opened around every read
    EXPECT_EQ(CWindowManagerUI::GetResourceZipHandle(), nullptr);

    CWindowManagerUI::SetResourceZip(L"other.zip", true);
    EXPECT_EQ(Read(L"main.xml"), L"Error opening zip file");
    fileSystem_.files[L"C:\\Games\\skin\\other.zip"] = "not a zip at all, but long enough to look";
    EXPECT_EQ(Read(L"main.xml"), L"Error opening zip file");
}

}  // namespace
