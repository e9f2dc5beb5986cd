// The registry helpers on Wine's real registry, under the launcher's own
// key. Each test uses names of its own process and removes them again, so
// that runs side by side and the launcher's values stay as they were.
#include "game/Registry_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "game/BossKeySettings.h"

namespace {

const std::wstring kLauncherKey = kBossKeyRegistryPath;
const std::wstring kLauncherSubkey = L"Software\\Brindlewood\\QAMBlauncher";

std::wstring Unique(const wchar_t* what) {
    return std::wstring(what) + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(GetTickCount());
}

class RegistryTest : public testing::Test {
protected:
    void TearDown() override {
        for (const auto& name : values_) {
            RegDeleteKeyValueW(HKEY_CURRENT_USER, kLauncherSubkey.c_str(), name.c_str());
        }
        if (!scratch_.empty()) {
            RegDeleteTreeW(HKEY_CURRENT_USER, (kLauncherSubkey + L"\\" + scratch_).c_str());
            RegDeleteKeyW(HKEY_CURRENT_USER, (kLauncherSubkey + L"\\" + scratch_).c_str());
        }
    }

    // A value name under the launcher's key that is removed after the test.
    std::wstring Value(const wchar_t* what) {
        values_.push_back(Unique(what));
        return values_.back();
    }
    // A subkey below the launcher's key that does not exist yet.
    std::wstring ScratchKey() {
        scratch_ = Unique(L"test");
        return kLauncherKey + L"\\" + scratch_;
    }

    std::vector<std::wstring> values_;
    std::wstring scratch_;
};

TEST_F(RegistryTest, RoundTripUnderTheLaunchersKey) {
    const std::wstring name = Value(L"RoundTrip");
    for (const std::wstring text :
         {L"CTRL+F12", L"", L"\u65e0 \u542f\u7528\u8001\u677f\u952e", L"SHIFT+CTRL+NUM(NEXT)"}) {
        ASSERT_TRUE(RegWriteString(kLauncherKey, name, text));
        std::wstring read = L"stale";
        EXPECT_TRUE(RegReadString(kLauncherKey, name, read));
        EXPECT_EQ(read, text);
    }
    // Stored as REG_SZ with its null character.
    DWORD type = 0, bytes = 0;
    ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, kLauncherSubkey.c_str(), name.c_str(), RRF_RT_ANY,
                           &type, nullptr, &bytes),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(bytes, (std::wstring(L"SHIFT+CTRL+NUM(NEXT)").size() + 1) * 2);
}

TEST_F(RegistryTest, WritingCreatesTheKeyAndReadingAMissingOneFails) {
    const std::wstring key = ScratchKey() + L"\\deeper";
    std::wstring read = L"stale";
    EXPECT_FALSE(RegReadString(key, L"BossKey", read));
    EXPECT_EQ(read, L"");
    ASSERT_TRUE(RegWriteString(key, L"BossKey", L"CTRL+HOME"));
    EXPECT_TRUE(RegReadString(key, L"BossKey", read));
    EXPECT_EQ(read, L"CTRL+HOME");
    // The key's default value is the empty name.
    ASSERT_TRUE(RegWriteString(key, L"", L"default"));
    EXPECT_TRUE(RegReadString(key, L"", read));
    EXPECT_EQ(read, L"default");
}

TEST_F(RegistryTest, ReadsUpTo510CharactersAndFailsBeyond) {
    const std::wstring name = Value(L"Long");
    std::wstring read;
    const std::wstring fits(510, L'x');  // 1022 bytes with its null
    ASSERT_TRUE(RegWriteString(kLauncherKey, name, fits));
    EXPECT_TRUE(RegReadString(kLauncherKey, name, read));
    EXPECT_EQ(read, fits);
    ASSERT_TRUE(RegWriteString(kLauncherKey, name, fits + L"y"));
    read = L"stale";
    EXPECT_FALSE(RegReadString(kLauncherKey, name, read));
    EXPECT_EQ(read, L"");
}

TEST_F(RegistryTest, AValueWithoutItsNullStillEndsWhereItEnds) {
    const std::wstring name = Value(L"NoNull");
    // The offer's whole 1022 bytes and no null. The system adds a null
    // that the caller left out of the count when one follows in memory, so
    // the character after the counted ones must not be one.
    const std::wstring text(512, L'z');
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kLauncherSubkey.c_str(), name.c_str(), REG_SZ,
                              text.c_str(), 511 * 2),
              ERROR_SUCCESS);
    std::wstring read;
    EXPECT_TRUE(RegReadString(kLauncherKey, name, read));
    EXPECT_EQ(read, text.substr(0, 511));
    // A null inside ends the text there.
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kLauncherSubkey.c_str(), name.c_str(), REG_SZ,
                              L"CTRL+A\0tail", 12 * 2),
              ERROR_SUCCESS);
    EXPECT_TRUE(RegReadString(kLauncherKey, name, read));
    EXPECT_EQ(read, L"CTRL+A");
}

TEST_F(RegistryTest, ARootAloneIsTheRootAndStaysUsable) {
    const std::wstring name = Unique(L"RootValue");
    ASSERT_TRUE(RegWriteString(L"HKEY_CURRENT_USER", name, L"at the root"));
    std::wstring read;
    EXPECT_TRUE(RegReadString(L"HKEY_CURRENT_USER\\", name, read));
    EXPECT_EQ(read, L"at the root");
    EXPECT_EQ(RegDeleteValueW(HKEY_CURRENT_USER, name.c_str()), ERROR_SUCCESS);
    // The predefined handle was not closed along the way.
    const std::wstring other = Value(L"AfterRoot");
    EXPECT_TRUE(RegWriteString(kLauncherKey, other, L"still fine"));
    EXPECT_TRUE(RegReadString(kLauncherKey, other, read));
}

}  // namespace
