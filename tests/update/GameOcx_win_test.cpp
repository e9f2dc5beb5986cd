// The plug-in installation: the real launcher's start-up writing out and
// registering the control in its working folder (regsvr32 and the stand-in
// control's own registration, for real), and the folder and
// administrator helpers in this process.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/PrefixState_win.h"
#include "support/WinTestSupport_win.h"
#include "update/GameOcx.h"

namespace {

using testsupport::FileExists;
using testsupport::ReadFileBytes;
using testsupport::ScratchDir;

bool Has(const std::vector<std::string>& lines, const std::string& text) {
    for (const auto& line : lines) {
        if (line.find(text) != std::string::npos) return true;
    }
    return false;
}

std::string BuiltControl() {
    return ReadFileBytes(testsupport::FromUnixPath(LAUNCHER_PLUGIN_DIR "/plumegame.ocx"));
}

class OcxRegistration : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(state_.ok());
        control_ = dir_.Join(L"plumegame.ocx");
    }
    // One launcher start in the working folder; its log.
    std::vector<std::string> StartLauncher() {
        const auto run = testsupport::RunProcess(
            L"\"" + testsupport::LauncherExePath() + L"\" -disable_move_self", dir_.path());
        EXPECT_TRUE(run.finished);
        return testsupport::ReadLines(dir_.Join(L"log\\launcher_tavro_" + std::to_wstring(run.processId) + L".log"));
    }
    // Registration runs on after the launcher; this waits for its record.
    bool RegisteredHere() {
        return testsupport::WaitFor([&] { return testsupport::ReadPluginRecord() == control_; }) &&
               testsupport::WaitForNoRegsvr32();
    }

    ScratchDir dir_;
    testsupport::PrefixUserState state_;
    std::wstring control_;
};

TEST_F(OcxRegistration, FirstStartWritesAndRegistersSecondStartLeavesItAlone) {
    const auto first = StartLauncher();
    EXPECT_TRUE(Has(first, "{Normal } - begin to register plumegame.ocx"));
    EXPECT_TRUE(Has(first, "{Normal } - ocx path: " + std::string(control_.begin(), control_.end())));
    EXPECT_TRUE(Has(first, "{Normal } - ocx extracting..."));
    EXPECT_TRUE(Has(first, "{Normal } - ocx extract succeed"));
    EXPECT_EQ(ReadFileBytes(control_), BuiltControl());
    ASSERT_TRUE(RegisteredHere());
    EXPECT_TRUE(testsupport::PluginClassRegistered());

    // Were regsvr32 started again, the control would write its class anew.
    // The record counts in any letter case.
    testsupport::RemovePluginClass();
    std::wstring shouted = control_;
    for (auto& c : shouted) c = static_cast<wchar_t>(towupper(c));
    ASSERT_TRUE(testsupport::WritePluginRecord(shouted));
    const auto second = StartLauncher();
    EXPECT_TRUE(Has(second, "{Normal } - ocx already registered"));
    EXPECT_FALSE(Has(second, "ocx extracting"));
    ASSERT_TRUE(testsupport::WaitForNoRegsvr32());
    EXPECT_FALSE(testsupport::PluginClassRegistered());
    EXPECT_EQ(testsupport::ReadPluginRecord(), shouted);
}

TEST(OcxInstallHelpers, CreateDirectoryPathMakesEveryMissingLevel) {
    ScratchDir dir;
    const std::wstring deep = dir.Join(L"a\\b c/d\\e");
    EXPECT_TRUE(CreateDirectoryPath(deep));
    EXPECT_TRUE(FileExists(dir.Join(L"a\\b c\\d\\e")));
    // Existing levels are fine, a closing "/" too.
    EXPECT_TRUE(CreateDirectoryPath(dir.Join(L"a\\b c\\f/")));
    EXPECT_TRUE(FileExists(dir.Join(L"a\\b c\\f")));
    // A file in the way ends the walk.
    ASSERT_TRUE(testsupport::WriteFileBytes(dir.Join(L"file"), "x"));
    EXPECT_FALSE(CreateDirectoryPath(dir.Join(L"file\\g")));
    // Too long for the system's buffers: nothing is made at all.
    const std::wstring tooLong = dir.Join(L"long\\" + std::wstring(260, L'x'));
    EXPECT_FALSE(CreateDirectoryPath(tooLong));
    EXPECT_FALSE(FileExists(dir.Join(L"long")));
}

// That the control travels whole in the launcher is the first start's test.
TEST(OcxInstallHelpers, WineUsersAreAdministrators) {
    bool member = false;
    EXPECT_TRUE(IsUserAdmin(member));
    EXPECT_TRUE(member);
}

}  // namespace
