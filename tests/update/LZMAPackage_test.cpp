#include "update/LZMAPackage.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/qlogger/QLogger.h"
#include "support/RecordingAppender.h"
#include "support/SampleData.h"
#include "tools/lzmapack/PackageWriter.h"
#include "update/FakePackageFileSystem.h"
#include "update/Lzma86.h"

namespace {

constexpr const char* kPackagePath = "C:\\Game\\launcherqamb.exe.lzma";

using testsupport::RecordingAppender;

std::string Packed(const std::string& data, bool x86 = true, bool endMarker = false) {
    lzmapack::Options options;
    options.x86 = x86;
    options.endMarker = endMarker;
    std::string packed, error;
    EXPECT_TRUE(lzmapack::EncodeLzma86(data, options, &packed, &error)) << error;
    return packed;
}

std::string PackageOf(const std::vector<lzmapack::InputFile>& files, bool x86 = true,
                      bool endMarker = false) {
    lzmapack::Options options;
    options.x86 = x86;
    options.endMarker = endMarker;
    std::string package, error;
    EXPECT_TRUE(lzmapack::BuildPackage(files, options, &package, &error)) << error;
    return package;
}

void PutU32(std::string* bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) (*bytes)[at + i] = static_cast<char>(value >> (8 * i));
}

class LZMAPackageTest : public testing::Test {
protected:
    void SetUp() override {
        QLogger::Shutdown();
        QLogger::AddAppender(std::make_unique<RecordingAppender>(&lines_));
        fs_.folders.insert("C:\\Game");
    }
    void TearDown() override { QLogger::Shutdown(); }

    // The one error line a failed extraction logs.
    std::string OnlyLine() const {
        return lines_.size() == 1 ? lines_[0] : "<" + std::to_string(lines_.size()) + " lines>";
    }

    FakePackageFileSystem fs_;
    std::vector<std::string> lines_;
};

// --- What the writer writes, the reader reads back byte-exact ---

struct RoundTripCase {
    bool x86;
    bool endMarker;
};

class LZMAPackageRoundTrip : public LZMAPackageTest,
                             public testing::WithParamInterface<RoundTripCase> {};

TEST_P(LZMAPackageRoundTrip, EveryEntryComesBackByteExact) {
    const std::vector<lzmapack::InputFile> files = {
        {"LauncherQAMB.exe", sampledata::ExecutableLike(300000, 7)},
        {"empty.txt", ""},
        {"tiny.bin", "\xE8\x01\x02"},  // shorter than a branch: left as it is
        {"Skin\\readme.txt", std::string(5000, 'x') + "tail"},
    };
    fs_.files[kPackagePath] = PackageOf(files, GetParam().x86, GetParam().endMarker);

    LZMAPackage package(kPackagePath, fs_);
    ASSERT_TRUE(package.Open());
    ASSERT_EQ(package.entries().size(), files.size());
    // Entries are read by position, so any order works.
    for (size_t i = files.size(); i-- > 0;) {
        EXPECT_EQ(package.entries()[i].name, files[i].name);
        std::unique_ptr<uint8_t[]> data;
        uint32_t size = 0;
        ASSERT_TRUE(package.ExtractFile(files[i].name, &data, &size)) << files[i].name;
        ASSERT_EQ(size, files[i].data.size());
        EXPECT_EQ(std::string(reinterpret_cast<char*>(data.get()), size), files[i].data)
            << files[i].name;
    }
    EXPECT_TRUE(lines_.empty());
}

INSTANTIATE_TEST_SUITE_P(FilterAndEndMarker, LZMAPackageRoundTrip,
                         testing::Values(RoundTripCase{true, false}, RoundTripCase{true, true},
                                         RoundTripCase{false, false}, RoundTripCase{false, true}));

// --- Opening and the index ---

TEST_F(LZMAPackageTest, ZeroLengthPackageOpensEmptyAndFindsNothing) {
    fs_.files[kPackagePath] = "";
    LZMAPackage package(kPackagePath, fs_);
    ASSERT_TRUE(package.Open());
    EXPECT_TRUE(package.entries().empty());
    std::unique_ptr<uint8_t[]> data;
    uint32_t size = 0;
    EXPECT_FALSE(package.ExtractFile("LauncherQAMB.exe", &data, &size));
    EXPECT_EQ(OnlyLine(), "Error  |LZMAPackage::ExtractFile, failed to FindFile, LauncherQAMB.exe");
}

TEST_F(LZMAPackageTest, MissingFileFailsWithoutOpening) {
    LZMAPackage package("C:\\Game\\absent.lzma", fs_);
    EXPECT_FALSE(package.Open());
    EXPECT_FALSE(package.opened());
    EXPECT_EQ(fs_.openFiles, 0);
}

TEST_F(LZMAPackageTest, NameCutByEndOfFileKeepsEarlierEntriesAndTheFileOpen) {
    std::string bytes = PackageOf({{"first.dll", "one"}, {"LauncherQAMB.exe", "two"}});
    const size_t secondHeader = bytes.find("LauncherQAMB.exe") - 32;
    bytes.resize(secondHeader + 32 + 5);  // header whole, name cut
    fs_.files[kPackagePath] = bytes;

    LZMAPackage package(kPackagePath, fs_);
    EXPECT_FALSE(package.Open());
    ASSERT_EQ(package.entries().size(), 1u);
    EXPECT_EQ(package.entries()[0].name, "first.dll");
    EXPECT_TRUE(package.opened());
    EXPECT_EQ(fs_.openFiles, 1);
    EXPECT_TRUE(package.Open());  // already open

    // The entry that was read can still be extracted.
    std::unique_ptr<uint8_t[]> data;
    uint32_t size = 0;
    ASSERT_TRUE(package.ExtractFile("first.dll", &data, &size));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(data.get()), size), "one");

    package.Close();
    EXPECT_FALSE(package.opened());
    EXPECT_TRUE(package.entries().empty());
    EXPECT_EQ(fs_.openFiles, 0);
}

TEST_F(LZMAPackageTest, TrailingBytesShorterThanAHeaderEndTheChain) {
    fs_.files[kPackagePath] = PackageOf({{"a", "1"}, {"b", "2"}}) + std::string(31, '\x7F');
    LZMAPackage package(kPackagePath, fs_);
    EXPECT_TRUE(package.Open());
    EXPECT_EQ(package.entries().size(), 2u);
}

TEST_F(LZMAPackageTest, LongNamesAreCutAt259Characters) {
    // A name of 300 bytes with no NUL inside the 260 that are read.
    std::string bytes(32, '\0');
    const std::string name(300, 'n');
    PutU32(&bytes, 0, 32 + 300);
    bytes[12] = static_cast<char>(300 & 0xFF);
    bytes[13] = static_cast<char>(300 >> 8);
    bytes += name;
    fs_.files[kPackagePath] = bytes;

    LZMAPackage package(kPackagePath, fs_);
    EXPECT_TRUE(package.Open());
    ASSERT_EQ(package.entries().size(), 1u);
    EXPECT_EQ(package.entries()[0].name, std::string(259, 'n'));
    EXPECT_EQ(package.entries()[0].nameLength, 300);
}

TEST_F(LZMAPackageTest, NextHeaderThatDoesNotMoveForwardEndsTheIndex) {
    const std::string good = PackageOf({{"a.txt", "alpha"}});
    struct Case {
        const char* what;
        uint32_t dataOffset;
        uint32_t packedSize;
    };
    // The second entry's next position: itself, behind it, inside its own
    // header, and past 4 GiB (wrapping round to the start).
    const uint32_t second = static_cast<uint32_t>(good.size());
    const Case cases[] = {{"self", second, 0},
                          {"back", 0, 0},
                          {"inside", second + 8, 0},
                          {"wrap", 0xFFFFFFF0u, 0x10u + second}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string bytes = good;
        std::string error;
        ASSERT_TRUE(lzmapack::AppendEntry(&bytes, "b.txt", "", 0, &error));
        PutU32(&bytes, second, c.dataOffset);
        PutU32(&bytes, second + 4, c.packedSize);
        fs_.files[kPackagePath] = bytes;

        LZMAPackage package(kPackagePath, fs_);
        EXPECT_FALSE(package.Open());
        ASSERT_EQ(package.entries().size(), 2u);
        EXPECT_EQ(package.entries()[1].name, "b.txt");
        ASSERT_EQ(lines_.size(), 1u);
        EXPECT_NE(lines_[0].find("LZMAPackage::ReadIndex, bad next entry offset"),
                  std::string::npos);
        lines_.clear();
    }
}

TEST_F(LZMAPackageTest, LookupIgnoresAsciiCaseAndTakesTheFirstMatch) {
    fs_.files[kPackagePath] =
        PackageOf({{"LauncherQAMB.exe", "new"}, {"launcherqamb.EXE", "shadowed"}});
    LZMAPackage package(kPackagePath, fs_);
    ASSERT_TRUE(package.Open());
    EXPECT_EQ(package.FindFile("LAUNCHERQAMB.EXE"), 0);
    EXPECT_EQ(package.FindFile("launcherqamb.exe"), 0);
    EXPECT_EQ(package.FindFile("LauncherQAMB.ex"), -1);
    EXPECT_EQ(package.FindFile("LauncherQAMB.exe "), -1);

    ASSERT_TRUE(package.ExtractFileToDisk("LAUNCHERQAMB.EXE", "C:\\Game"));
    EXPECT_EQ(fs_.files["C:\\Game\\LAUNCHERQAMB.EXE"], "new");
}

// --- Extraction failures: one line each, nothing written ---

TEST_F(LZMAPackageTest, SizeThatDisagreesWithThePackedDataFailsToUnpack) {
    std::string beyond4GiB = Packed("abc");
    beyond4GiB[6 + 4] = 1;  // stored size 2^32 + 3, which no header size can equal
    const struct {
        const char* what;
        std::string packed;
        uint32_t headerSize;
    } cases[] = {{"header one larger", Packed("0123456789"), 11},
                 {"stored size past 4 GiB", beyond4GiB, 3},
                 {"shorter than the Lzma86 header", std::string(13, '\0'), 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string bytes, error;
        ASSERT_TRUE(
            lzmapack::AppendEntry(&bytes, "LauncherQAMB.exe", c.packed, c.headerSize, &error));
        fs_.files[kPackagePath] = bytes;
        LZMAPackage package(kPackagePath, fs_);
        ASSERT_TRUE(package.Open());
        EXPECT_FALSE(package.ExtractFileToDisk("LauncherQAMB.exe", "C:\\Game\\qmtemp"));
        EXPECT_EQ(OnlyLine(),
                  "Error  |LZMAPackage::ExtractFile, failed to unpack, LauncherQAMB.exe");
        EXPECT_EQ(fs_.files.size(), 1u);
        EXPECT_TRUE(fs_.createdFolders.empty());
        lines_.clear();
    }
}

TEST_F(LZMAPackageTest, AnEntryAnnouncingMoreThanTheCapIsRefusedBeforeAllocating) {
    std::string bytes, error;
    const uint32_t announced = LZMAPackage::kMaxUnpackedSize + 1;
    ASSERT_TRUE(lzmapack::AppendEntry(&bytes, "LauncherQAMB.exe", Packed("abc"), announced, &error));
    fs_.files[kPackagePath] = bytes;
    LZMAPackage package(kPackagePath, fs_);
    ASSERT_TRUE(package.Open());
    EXPECT_FALSE(package.ExtractFileToDisk("LauncherQAMB.exe", "C:\\Game"));
    EXPECT_EQ(OnlyLine(), "Error  |LZMAPackage::ExtractFile, entry too large(" +
                              std::to_string(announced) + " > " +
                              std::to_string(LZMAPackage::kMaxUnpackedSize) +
                              "), LauncherQAMB.exe");
    EXPECT_EQ(fs_.files.size(), 1u);
}

// A package arrives over plain HTTP: its names must not reach outside the
// target folder, however they are spelt.
TEST_F(LZMAPackageTest, NamesReachingOutsideTheFolderAreRefusedAndNothingIsWritten) {
    const char* const hostile[] = {
        "..\\..\\x",     "..",           "a\\..\\..\\x", "a/../../x",    "\\x",
        "/x",            "\\\\host\\share\\x", "C:x",        "C:\\Windows\\x", "x.exe:stream",
        "... \\x",       ". .\\x",
    };
    for (const char* name : hostile) {
        SCOPED_TRACE(name);
        fs_.files = {{kPackagePath, PackageOf({{name, "payload"}})}};
        LZMAPackage package(kPackagePath, fs_);
        ASSERT_TRUE(package.Open());
        ASSERT_EQ(package.FindFile(name), 0);
        EXPECT_FALSE(package.ExtractFileToDisk(name, "C:\\Game\\qmtemp"));
        EXPECT_EQ(OnlyLine(),
                  std::string("Error  |LZMAPackage::ExtractFileToDisk, refused a name outside the "
                              "folder, ") +
                      name);
        EXPECT_EQ(fs_.files.size(), 1u);
        EXPECT_TRUE(fs_.createdFolders.empty());
        lines_.clear();
    }

    // Names below the folder, with their own folders, still arrive.
    fs_.files = {{kPackagePath, PackageOf({{"Skin\\..dat\\a..b.txt", "payload"}})}};
    LZMAPackage package(kPackagePath, fs_);
    ASSERT_TRUE(package.Open());
    ASSERT_TRUE(package.ExtractFileToDisk("Skin\\..dat\\a..b.txt", "C:\\Game"));
    EXPECT_EQ(fs_.files["C:\\Game\\Skin\\..dat\\a..b.txt"], "payload");
}

TEST_F(LZMAPackageTest, PackedDataPastEndOfFileFailsToRead) {
    std::string bytes = PackageOf({{"LauncherQAMB.exe", sampledata::ExecutableLike(4000)}});
    const uint32_t packedSize = static_cast<uint32_t>(bytes.size() - 32 - 17);
    bytes.resize(bytes.size() - 100);
    fs_.files[kPackagePath] = bytes;
    LZMAPackage package(kPackagePath, fs_);
    ASSERT_TRUE(package.Open());
    EXPECT_FALSE(package.ExtractFileToDisk("LauncherQAMB.exe", "C:\\Game"));
    EXPECT_EQ(OnlyLine(), "Error  |LZMAPackage::ExtractFile, failed to ReadFile(" +
                              std::to_string(packedSize) +
                              " != " + std::to_string(packedSize - 100) + "), LauncherQAMB.exe");

    // A header claiming nearly 4 GiB is refused the same way, not allocated.
    lines_.clear();
    PutU32(&fs_.files[kPackagePath], 4, 0xFFFFFF00u);
    LZMAPackage huge(kPackagePath, fs_);
    huge.Open();
    EXPECT_FALSE(huge.ExtractFileToDisk("LauncherQAMB.exe", "C:\\Game"));
    EXPECT_NE(OnlyLine().find("failed to ReadFile(-256 != "), std::string::npos) << OnlyLine();
}

TEST_F(LZMAPackageTest, DamagedStreamsFailToDecode) {
    const std::string data = sampledata::ExecutableLike(20000, 5);
    struct Case {
        const char* what;
        std::string packed;
    };
    std::vector<Case> cases;
    std::string filter2 = Packed(data);
    filter2[0] = 2;
    cases.push_back({"filter byte 2", filter2});
    std::string cut = Packed(data);
    cut.resize(cut.size() / 2);
    cases.push_back({"stream cut in half", cut});
    std::string flipped = Packed(data);
    for (size_t i = 40; i < flipped.size(); i += 97) flipped[i] = static_cast<char>(~flipped[i]);
    cases.push_back({"bytes flipped", flipped});
    std::string badProps = Packed(data);
    badProps[1] = static_cast<char>(225);  // lc/lp/pb byte out of range
    cases.push_back({"properties", badProps});
    // A stream whose end marker comes before the announced size: the
    // launcher would otherwise install a truncated executable as a success.
    std::string early = Packed(data, true, true);
    early[6] = static_cast<char>(static_cast<uint8_t>(early[6]) + 1);
    cases.push_back({"end marker before the announced size", early});

    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        uint64_t stored = 0;
        ASSERT_TRUE(Lzma86GetUnpackSize(reinterpret_cast<const uint8_t*>(c.packed.data()),
                                        c.packed.size(), &stored));
        std::string bytes, error;
        ASSERT_TRUE(lzmapack::AppendEntry(&bytes, "LauncherQAMB.exe", c.packed,
                                          static_cast<uint32_t>(stored), &error));
        fs_.files[kPackagePath] = bytes;
        LZMAPackage package(kPackagePath, fs_);
        ASSERT_TRUE(package.Open());
        EXPECT_FALSE(package.ExtractFileToDisk("LauncherQAMB.exe", "C:\\Game\\qmtemp"));
        EXPECT_EQ(OnlyLine(),
                  "Error  |LZMAPackage::ExtractFile, failed to Lzma86_Decode, LauncherQAMB.exe");
        EXPECT_EQ(fs_.files.count("C:\\Game\\qmtemp\\LauncherQAMB.exe"), 0u);
        lines_.clear();
    }
}

TEST(Lzma86DecodeTest, BytesAfterAFullOutputAreIgnored) {
    // Packed data may run on past what the stream needs; a full output ends it.
    const std::string data = sampledata::ExecutableLike(10000, 9);
    for (bool endMarker : {false, true}) {
        std::string packed = Packed(data, true, endMarker) + std::string(100, '\x5A');
        std::string out(data.size(), '\0');
        size_t size = out.size();
        EXPECT_EQ(Lzma86Decode(reinterpret_cast<uint8_t*>(out.data()), &size,
                               reinterpret_cast<const uint8_t*>(packed.data()), packed.size()),
                  Lzma86Result::kOk);
        EXPECT_EQ(size, data.size());
        EXPECT_EQ(out, data);
    }
}

TEST(Lzma86DecodeTest, SurvivesHostileHeadersAndTinyInputs) {
    const std::string data = "branch-free text, twice: branch-free text";
    lzmapack::Options options;
    options.x86 = false;
    std::string packed, error;
    ASSERT_TRUE(lzmapack::EncodeLzma86(data, options, &packed, &error));

    // A dictionary size of 4 GiB in the header is used only up to the output.
    packed[2] = packed[3] = packed[4] = packed[5] = static_cast<char>(0xFF);
    std::string out(data.size(), '\0');
    size_t size = out.size();
    EXPECT_EQ(Lzma86Decode(reinterpret_cast<uint8_t*>(out.data()), &size,
                           reinterpret_cast<const uint8_t*>(packed.data()), packed.size()),
              Lzma86Result::kOk);
    EXPECT_EQ(out, data);

    size = 1;
    uint8_t one = 0;
    EXPECT_EQ(Lzma86Decode(&one, &size, reinterpret_cast<const uint8_t*>(packed.data()), 13),
              Lzma86Result::kInputTooShort);
    EXPECT_EQ(size, 0u);
}

// --- Writing to disk ---

TEST_F(LZMAPackageTest, TrailingBackslashOnTheFolderMakesNoDifference) {
    fs_.files[kPackagePath] = PackageOf({{"LauncherQAMB.exe", "payload"}});
    fs_.folders.insert("C:\\Game\\qmtemp");
    LZMAPackage package(kPackagePath, fs_);
    ASSERT_TRUE(package.Open());
    ASSERT_TRUE(package.ExtractFileToDisk("LauncherQAMB.exe", "C:\\Game\\qmtemp"));
    ASSERT_TRUE(package.ExtractFileToDisk("LauncherQAMB.exe", "C:\\Game\\qmtemp\\"));
    EXPECT_EQ(fs_.files.size(), 2u);
    EXPECT_EQ(fs_.files["C:\\Game\\qmtemp\\LauncherQAMB.exe"], "payload");
    EXPECT_TRUE(fs_.createdFolders.empty());
    EXPECT_TRUE(lines_.empty());
}

TEST_F(LZMAPackageTest, MissingParentFoldersAreMadeFromTheLeft) {
    fs_.files[kPackagePath] = PackageOf({{"LauncherQAMB.exe", "payload"}});
    LZMAPackage package(kPackagePath, fs_);
    ASSERT_TRUE(package.Open());
    ASSERT_TRUE(package.ExtractFileToDisk("LauncherQAMB.exe", "C:\\Game\\a\\b\\qmtemp"));
    EXPECT_EQ(fs_.files["C:\\Game\\a\\b\\qmtemp\\LauncherQAMB.exe"], "payload");
    const std::vector<std::string> expected = {"C:\\", "C:\\Game\\", "C:\\Game\\a\\",
                                               "C:\\Game\\a\\b\\", "C:\\Game\\a\\b\\qmtemp\\"};
    EXPECT_EQ(fs_.createdFolders, expected);
}

TEST_F(LZMAPackageTest, DiskFailuresAreLoggedWithTheTargetAndCode) {
    fs_.files[kPackagePath] = PackageOf({{"LauncherQAMB.exe", std::string(1000, 'z')}});
    LZMAPackage package(kPackagePath, fs_);
    ASSERT_TRUE(package.Open());

    fs_.refuseFolders = true;
    EXPECT_FALSE(package.ExtractFileToDisk("LauncherQAMB.exe", "C:\\Game\\qmtemp"));
    EXPECT_EQ(OnlyLine(),
              "Error  |LZMAPackage::ExtractFileToDisk, failed to FindFirstFileA, "
              "C:\\Game\\qmtemp\\LauncherQAMB.exe, code(2)");
    fs_.refuseFolders = false;

    lines_.clear();
    fs_.refuseCreate = true;
    EXPECT_FALSE(package.ExtractFileToDisk("LauncherQAMB.exe", "C:\\Game"));
    EXPECT_EQ(OnlyLine(),
              "Error  |LZMAPackage::ExtractFileToDisk, failed to CreateFileA, "
              "C:\\Game\\LauncherQAMB.exe, code(5)");
    fs_.refuseCreate = false;

    // A full disk: the bytes that fit stay, the failure says how many.
    lines_.clear();
    fs_.writeLimit = 600;
    EXPECT_FALSE(package.ExtractFileToDisk("LauncherQAMB.exe", "C:\\Game"));
    EXPECT_EQ(OnlyLine(),
              "Error  |LZMAPackage::ExtractFileToDisk, failed to WriteFile, "
              "C:\\Game\\LauncherQAMB.exe, size(1000 != 600)");
    EXPECT_EQ(fs_.files["C:\\Game\\LauncherQAMB.exe"], std::string(600, 'z'));
}

}  // namespace
