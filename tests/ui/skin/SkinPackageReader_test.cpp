#include "ui/skin/SkinPackage.h"

#include <gtest/gtest.h>

#include "support/SkinTestData.h"

namespace {

using SkinUI::CSkinPackage;
using testsupport::Bytes;
using testsupport::MakeZip;
using testsupport::ZipEntry;

std::string ReadMember(const CSkinPackage& package, const std::wstring& name,
                       std::wstring* error = nullptr) {
    std::vector<uint8_t> bytes;
    std::wstring message;
    if (!package.Read(name, bytes, message)) {
        if (error != nullptr) *error = message;
        return "<failed>";
    }
    return std::string(bytes.begin(), bytes.end());
}

std::wstring ReadError(const CSkinPackage& package, const std::wstring& name) {
    std::wstring error;
    EXPECT_EQ(ReadMember(package, name, &error), "<failed>") << "read " << name.size();
    return error;
}

TEST(SkinZipReaderTest, ReadsStoredAndDeflatedMembersIgnoringCase) {
    const std::string layout = "<Window size=\"590,116\"/>" + std::string(500, ' ');
    const std::vector<uint8_t> zip = Bytes(MakeZip({
        {"MAIN.XML", layout, true},
        {"update_bg.png", "\x89PNG stored bytes", false},
    }));
    CSkinPackage package;
    ASSERT_TRUE(package.Open(zip.data(), zip.size()));
    ASSERT_EQ(package.GetMemberCount(), 2u);
    EXPECT_EQ(package.GetMemberName(0), L"MAIN.XML");
    EXPECT_EQ(ReadMember(package, L"main.xml"), layout);
    EXPECT_EQ(ReadMember(package, L"Main.Xml"), layout);
    EXPECT_EQ(ReadMember(package, L"UPDATE_BG.PNG"), "\x89PNG stored bytes");
    EXPECT_EQ(ReadError(package, L"main.xm"), L"Could not find ziped file");
    EXPECT_EQ(ReadError(package, L"skin/main.xml"), L"Could not find ziped file");
}

TEST(SkinZipReaderTest, RefusesEmptyAndOversizedMembers) {
    const std::string limit(CSkinPackage::kMaxMemberSize, 'a');
    const std::vector<uint8_t> zip = Bytes(MakeZip({
        {"empty.xml", "", false},
        {"limit.png", limit, true},
        {"large.png", limit + "b", true},
        {"large_stored.png", limit + "b", false},
    }));
    CSkinPackage package;
    ASSERT_TRUE(package.Open(zip.data(), zip.size()));
    EXPECT_EQ(ReadError(package, L"empty.xml"), L"File is empty");
    EXPECT_EQ(ReadMember(package, L"limit.png").size(), CSkinPackage::kMaxMemberSize);
    EXPECT_EQ(ReadError(package, L"large.png"), L"File too large");
    EXPECT_EQ(ReadError(package, L"large_stored.png"), L"File too large");
}

TEST(SkinZipReaderTest, DamagedMembersCannotBeUnzipped) {
    const std::string text(2000, 'x');
    ZipEntry badCrc{"crc.xml", text, true};
    badCrc.badCrc = true;
    ZipEntry storedBadCrc{"crc_stored.xml", text, false};
    storedBadCrc.badCrc = true;
    ZipEntry longer{"longer.xml", text, true};
    longer.declaredSize = 3000;  // the stream ends before the declared size
    ZipEntry storedSizes{"stored_sizes.xml", text, false};
    storedSizes.declaredSize = 1000;
    ZipEntry unknownMethod{"bzip.xml", text, false};
    unknownMethod.method = 12;
    ZipEntry shorter{"shorter.xml", text, true};
    shorter.declaredSize = 100;  // more data follows: taken as it stands

    std::string archive = MakeZip({badCrc,
                                   storedBadCrc,
                                   longer,
                                   storedSizes,
                                   unknownMethod,
                                   shorter,
                                   {"garbage.xml", text, true}});
    // Overwrite the deflated stream of the last member with noise.
    const size_t garbage = archive.find("garbage.xml") + 11;
    for (size_t i = 0; i < 8; ++i) archive[garbage + i] = static_cast<char>(0xFF);
    const std::vector<uint8_t> zip = Bytes(archive);
    CSkinPackage package;
    ASSERT_TRUE(package.Open(zip.data(), zip.size()));
    for (const wchar_t* name : {L"crc.xml", L"crc_stored.xml", L"longer.xml", L"stored_sizes.xml",
                                L"bzip.xml", L"garbage.xml"}) {
        EXPECT_EQ(ReadError(package, name), L"Could not unzip file")
            << testing::PrintToString(std::wstring(name));
    }
    EXPECT_EQ(ReadMember(package, L"shorter.xml"), text.substr(0, 100));
}

TEST(SkinZipReaderTest, RefusesWhatIsNoArchive) {
    const std::string good = MakeZip({{"main.xml", "<Window/>", true}});
    CSkinPackage package;
    const std::vector<uint8_t> noise = Bytes(std::string(300, 'z'));
    EXPECT_FALSE(package.Open(noise.data(), noise.size()));
    EXPECT_FALSE(package.Open(nullptr, 0));
    EXPECT_FALSE(package.IsOpen());
    EXPECT_EQ(ReadError(package, L"main.xml"), L"Error opening zip file");

    // Every cut of a good archive is refused or reads correctly: never more.
    for (size_t cut = 0; cut < good.size(); ++cut) {
        const std::vector<uint8_t> part = Bytes(good.substr(0, cut));
        if (package.Open(part.data(), part.size())) {
            const std::string read = ReadMember(package, L"main.xml");
            EXPECT_TRUE(read == "<Window/>" || read == "<failed>") << cut;
        }
    }

    // A local header offset past the end of the archive.
    std::string moved = good;
    const size_t directory = moved.find("PK\x01\x02");
    moved[directory + 45] = '\x7F';
    const std::vector<uint8_t> bad = Bytes(moved);
    ASSERT_TRUE(package.Open(bad.data(), bad.size()));
    EXPECT_EQ(ReadError(package, L"main.xml"), L"Could not unzip file");
}

TEST(SkinZipReaderTest, FindsTheDirectoryBehindAnArchiveComment) {
    std::string zip = MakeZip({{"main.xml", "<Window/>", true}});
    const std::string comment = "built by the skin tool PK\x05\x06, which is not the end record";
    zip[zip.size() - 2] = static_cast<char>(comment.size());
    zip += comment;
    const std::vector<uint8_t> bytes = Bytes(zip);
    CSkinPackage package;
    ASSERT_TRUE(package.Open(bytes.data(), bytes.size()));
    EXPECT_EQ(ReadMember(package, L"main.xml"), "<Window/>");
}

}  // namespace
