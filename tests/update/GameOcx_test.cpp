// The plug-in installation's decisions over a scripted platform: what is
// written, what is registered, and every log line of each road.
#include "update/GameOcx.h"

#include <gtest/gtest.h>

#include <cwctype>
#include <memory>

#include "common/qlogger/QLogger.h"
#include "support/RecordingAppender.h"

namespace {

class FakePlatform : public OcxInstallPlatform {
public:
    std::wstring record;
    bool fileExists = false;
    bool hasResource = true;
    bool writeFails = false;
    bool registrationStarts = true;
    std::vector<std::wstring> written;
    std::vector<std::wstring> registered;

    std::wstring ReadRegistrationRecord() override { return record; }
    std::wstring ControlFolder() override { return L"C:\\Users\\Jane Doe\\plume\\qamb"; }
    bool FileExists(const std::wstring&) override { return fileExists; }
    bool SamePath(const std::wstring& a, const std::wstring& b) override {
        if (a.size() != b.size()) return false;
        for (size_t i = 0; i < a.size(); ++i) {
            if (towlower(a[i]) != towlower(b[i])) return false;
        }
        return true;
    }
    bool LoadControlBytes(std::vector<uint8_t>& bytes) override {
        if (hasResource) bytes = {'M', 'Z'};
        return hasResource;
    }
    bool WriteNewFile(const std::wstring& path, const std::vector<uint8_t>&, uint32_t& error) override {
        if (writeFails) {
            error = 5;
            return false;
        }
        written.push_back(path);
        return true;
    }
    bool StartRegistration(const std::wstring& path) override {
        registered.push_back(path);
        return registrationStarts;
    }
};

const std::wstring kControl = L"C:\\Users\\Jane Doe\\plume\\qamb\\plumegame.ocx";

class InstallGameOcxTest : public ::testing::Test {
protected:
    void SetUp() override {
        QLogger::Shutdown();
        QLogger::AddAppender(std::make_unique<testsupport::RecordingAppender>(&lines_));
    }
    void TearDown() override { QLogger::Shutdown(); }
    // The lines after the two that every road logs first.
    std::vector<std::string> Tail() const {
        EXPECT_GE(lines_.size(), 2u);
        if (lines_.size() >= 2) {
            EXPECT_EQ(lines_[0], "Normal |begin to register plumegame.ocx");
            EXPECT_EQ(lines_[1], "Normal |ocx path: C:\\Users\\Jane Doe\\plume\\qamb\\plumegame.ocx");
        }
        return lines_.size() < 2 ? lines_ : std::vector<std::string>(lines_.begin() + 2, lines_.end());
    }

    FakePlatform platform_;
    std::vector<std::string> lines_;
};

TEST_F(InstallGameOcxTest, RegisteredHereInAnyCaseDoesNothing) {
    platform_.fileExists = true;
    platform_.record = L"c:\\users\\JANE DOE\\plume\\qamb\\PLUMEGAME.OCX";
    EXPECT_TRUE(InstallGameOcx(platform_));
    EXPECT_EQ(Tail(), std::vector<std::string>{"Normal |ocx already registered"});
    EXPECT_TRUE(platform_.written.empty());
    EXPECT_TRUE(platform_.registered.empty());
}

TEST_F(InstallGameOcxTest, AMissingControlIsWrittenThenRegisteredEvenWithAMatchingRecord) {
    platform_.record = kControl;
    EXPECT_TRUE(InstallGameOcx(platform_));
    EXPECT_EQ(Tail(), (std::vector<std::string>{"Normal |ocx extracting...", "Normal |ocx extract succeed"}));
    EXPECT_EQ(platform_.written, std::vector<std::wstring>{kControl});
    EXPECT_EQ(platform_.registered, std::vector<std::wstring>{kControl});
}

TEST_F(InstallGameOcxTest, APresentControlRegisteredElsewhereIsRegisteredUnchanged) {
    platform_.fileExists = true;
    platform_.record = L"D:\\old\\plumegame.ocx";
    platform_.registrationStarts = false;  // elevation refused
    EXPECT_FALSE(InstallGameOcx(platform_));
    EXPECT_TRUE(Tail().empty());
    EXPECT_TRUE(platform_.written.empty());
    EXPECT_EQ(platform_.registered, std::vector<std::wstring>{kControl});
}

TEST_F(InstallGameOcxTest, ExtractionFailuresRegisterNothing) {
    platform_.hasResource = false;
    EXPECT_FALSE(InstallGameOcx(platform_));
    EXPECT_EQ(Tail(), (std::vector<std::string>{"Normal |ocx extracting...", "Error  |ocx extract failed"}));

    lines_.clear();
    platform_.hasResource = true;
    platform_.writeFails = true;
    EXPECT_FALSE(InstallGameOcx(platform_));
    EXPECT_EQ(Tail(), (std::vector<std::string>{"Normal |ocx extracting...", "Error  |ocx write failed, code[5]"}));
    EXPECT_TRUE(platform_.registered.empty());
}

TEST(DirectoryPathLevels, EachLevelOnceWithoutAnExtraSeparator) {
    const std::vector<std::wstring> levels = {L"C:", L"C:\\a", L"C:\\a\\b c", L"C:\\a\\b c/d"};
    EXPECT_EQ(DirectoryPathLevels(L"C:\\a\\b c/d"), levels);
    EXPECT_EQ(DirectoryPathLevels(L"C:\\a\\b c/d/"), levels);
    EXPECT_EQ(DirectoryPathLevels(L"C:\\a\\b c/d\\"), levels);
    // A rooted path has no empty first level to make.
    EXPECT_EQ(DirectoryPathLevels(L"\\x"), std::vector<std::wstring>{L"\\x"});
    EXPECT_TRUE(DirectoryPathLevels(L"").empty());
    EXPECT_TRUE(DirectoryPathLevels(L"C:\\" + std::wstring(257, L'a')).empty());
    EXPECT_EQ(DirectoryPathLevels(L"C:\\" + std::wstring(256, L'a')).size(), 2u);
}

TEST(Regsvr32Verb, ElevatesOnlyAKnownStandardUserOnAnElevatingSystem) {
    EXPECT_STREQ(Regsvr32Verb(6, true, false), L"runas");
    EXPECT_STREQ(Regsvr32Verb(10, true, false), L"runas");
    EXPECT_STREQ(Regsvr32Verb(6, true, true), L"open");
    EXPECT_STREQ(Regsvr32Verb(6, false, false), L"open");
    EXPECT_STREQ(Regsvr32Verb(5, true, false), L"open");
}

}  // namespace
