#include "game/BossKeySettings.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>

#include "game/HotKey.h"

namespace {

// The registry in memory: a path is split as the real store splits it, so
// a bad one fails here too; writes may be made to fail.
class FakeRegistry : public RegistryStore {
public:
    bool ReadString(const std::wstring& path, const std::wstring& name,
                    std::wstring& text) override {
        const auto found = values.find(path + L"|" + name);
        text = Valid(path) && found != values.end() ? found->second : L"";
        return Valid(path) && found != values.end();
    }
    bool WriteString(const std::wstring& path, const std::wstring& name,
                     const std::wstring& text) override {
        ++writes;
        if (failWrites || !Valid(path)) return false;
        values[path + L"|" + name] = text;
        return true;
    }
    static bool Valid(const std::wstring& path) {
        RegistryRoot root;
        std::wstring subkey;
        return SplitRegistryPath(path, root, subkey);
    }

    std::map<std::wstring, std::wstring> values;  // "path|name"
    int writes = 0;
    bool failWrites = false;
};

// Records what the dialog asks of the hotkey service.
class RecordingHotKey : public HotKeyService {
public:
    bool Register(uint32_t modifiers, uint16_t code) override {
        char line[32];
        std::snprintf(line, sizeof line, "register %u 0x%02X", modifiers, code);
        calls.push_back(line);
        return true;
    }
    void Unregister() override { calls.push_back("unregister"); }

    std::vector<std::string> calls;
};

class BossKeySettingsTest : public testing::Test {
protected:
    void Store(const wchar_t* name, const wchar_t* text) {
        registry_.values[std::wstring(kBossKeyRegistryPath) + L"|" + name] = text;
    }
    std::wstring Stored(const wchar_t* name) {
        std::wstring text;
        return registry_.ReadString(kBossKeyRegistryPath, name, text) ? text : L"<absent>";
    }

    KeyNameTable table_;
    FakeRegistry registry_;
    RecordingHotKey hotKey_;
    BossKeySettings settings_{table_, registry_, hotKey_};
};

TEST_F(BossKeySettingsTest, FirstRunShowsThePlaceholderWhichTheFieldEmpties) {
    const BossKeyStart start = settings_.Load();
    EXPECT_EQ(start.fieldText, kBossKeyPlaceholder);
    EXPECT_FALSE(start.enabled);
    EXPECT_EQ(settings_.FilterFieldText(start.fieldText), L"");
    EXPECT_EQ(registry_.writes, 0);
    EXPECT_TRUE(hotKey_.calls.empty());
}

TEST_F(BossKeySettingsTest, OnlyTheExactTextOneEnables) {
    const struct {
        const wchar_t* value;
        bool enabled;
    } kValues[] = {{L"1", true},   {L"true", false}, {L" 1", false}, {L"1 ", false},
                   {L"01", false}, {L"0", false},    {L"", false}};
    for (const auto& v : kValues) {
        Store(kEnableBossKeyValueName, v.value);
        EXPECT_EQ(settings_.Load().enabled, v.enabled)
            << testing::PrintToString(std::wstring(v.value));
    }
}

TEST_F(BossKeySettingsTest, AStoredTextIsShownAndKeptOnlyWhenValid) {
    Store(kBossKeyValueName, L"SHIFT+CTRL+F1");
    EXPECT_EQ(settings_.FilterFieldText(settings_.Load().fieldText), L"SHIFT+CTRL+F1");

    Store(kBossKeyValueName, L"ctrl+f1");
    EXPECT_EQ(settings_.Load().fieldText, L"ctrl+f1");
    EXPECT_EQ(settings_.FilterFieldText(L"ctrl+f1"), L"");
    // Emptying the field stores nothing: the registry keeps the old text.
    EXPECT_EQ(Stored(kBossKeyValueName), L"ctrl+f1");
    EXPECT_EQ(registry_.writes, 0);

    for (const wchar_t* typed : {L"A", L"CTRL+", L"CTRL+NUM(NEX", L"\u65e0"}) {
        EXPECT_EQ(settings_.FilterFieldText(typed), L"");
    }
    EXPECT_EQ(settings_.FilterFieldText(L""), L"");
}

TEST_F(BossKeySettingsTest, EnablingRegistersFromTheFieldEvenBeforeOk) {
    Store(kBossKeyValueName, L"CTRL+F2");
    settings_.SetEnabled(true, L"SHIFT+CTRL+F1");
    EXPECT_EQ(hotKey_.calls, (std::vector<std::string>{"unregister", "register 6 0x70"}));
    EXPECT_EQ(Stored(kEnableBossKeyValueName), L"1");

    hotKey_.calls.clear();
    settings_.SetEnabled(false, L"SHIFT+CTRL+F1");
    EXPECT_EQ(hotKey_.calls, (std::vector<std::string>{"unregister"}));
    EXPECT_EQ(Stored(kEnableBossKeyValueName), L"0");

    hotKey_.calls.clear();
    settings_.SetEnabled(true, L"CTRL+NUM(NEXT)");
    EXPECT_EQ(hotKey_.calls, (std::vector<std::string>{"unregister", "register 2 0x22"}));
    // Only OK writes the hotkey text.
    EXPECT_EQ(Stored(kBossKeyValueName), L"CTRL+F2");

    // Enabled with nothing valid in the field: on, but nothing registered.
    hotKey_.calls.clear();
    settings_.SetEnabled(true, L"");
    EXPECT_EQ(hotKey_.calls, (std::vector<std::string>{"unregister"}));
    EXPECT_EQ(Stored(kEnableBossKeyValueName), L"1");
}

TEST_F(BossKeySettingsTest, OkSavesOnlyAValidTextAndRegistersOnlyWhenEnabled) {
    Store(kBossKeyValueName, L"CTRL+F2");
    for (const wchar_t* invalid : {L"", L"\u65e0", L"ctrl+a", L"CTRL+"}) {
        EXPECT_FALSE(settings_.Save(invalid, true));
    }
    EXPECT_EQ(registry_.writes, 0);
    EXPECT_TRUE(hotKey_.calls.empty());
    EXPECT_EQ(Stored(kBossKeyValueName), L"CTRL+F2");

    EXPECT_TRUE(settings_.Save(L"CTRL+HOME", false));
    EXPECT_EQ(Stored(kBossKeyValueName), L"CTRL+HOME");
    EXPECT_TRUE(hotKey_.calls.empty());

    EXPECT_TRUE(settings_.Save(L"CTRL+F12", true));
    EXPECT_EQ(Stored(kBossKeyValueName), L"CTRL+F12");
    EXPECT_EQ(hotKey_.calls, (std::vector<std::string>{"unregister", "register 2 0x7B"}));
}

TEST_F(BossKeySettingsTest, RegistryFailuresReadAsAbsentAndDoNotStopTheDialog) {
    FakeRegistry broken;
    broken.failWrites = true;
    broken.values[L"HKCU\\Software|EnableBossKey"] = L"1";
    BossKeySettings settings(table_, broken, hotKey_, L"HKCU\\Software");
    EXPECT_FALSE(settings.Load().enabled);
    EXPECT_TRUE(settings.Save(L"CTRL+F5", true));
    EXPECT_EQ(hotKey_.calls, (std::vector<std::string>{"unregister", "register 2 0x74"}));
}

TEST_F(BossKeySettingsTest, CapturedKeysFollowTheFilterRules) {
    constexpr uint16_t kEscape = 0x1B, kDelete = 0x2E, kPageDown = 0x22, kRight = 0x27,
                       kHome = 0x24, kCtrl = 0x11, kPrintScreen = 0x2C, kA = 0x41, kF5 = 0x74;
    const std::wstring placeholder = kBossKeyPlaceholder;
    const struct {
        const char* what;
        BossKeyPress press;  // key, ctrl, shift, alt
        bool focused;
        bool enabled;
        std::wstring field;
        bool handled;
        bool setText;
        const wchar_t* text;
    } kRows[] = {
        {"escape never closes", {kEscape}, false, false, L"", true, false, L""},
        {"delete is swallowed", {kDelete, true}, true, true, L"CTRL+F1", true, false, L""},
        {"unfocused field", {kA, true}, false, true, L"", false, false, L""},
        {"switch off", {kA, true}, true, false, L"", false, false, L""},
        {"ctrl+page down", {kPageDown, true}, true, true, L"", true, true, L"CTRL+NUM(NEXT)"},
        {"ctrl+right", {kRight, true}, true, true, L"CTRL+F1", true, true, L"CTRL+NUM(RIGHT)"},
        {"ctrl+home", {kHome, true}, true, true, L"", true, true, L"CTRL+HOME"},
        {"shift held", {kHome, true, true}, true, true, L"", true, false, L""},
        {"alt held", {kHome, true, false, true}, true, true, L"", true, false, L""},
        {"ctrl alone", {kCtrl, true}, true, true, L"", true, false, L""},
        {"ctrl+unnamed key", {kPrintScreen, true}, true, true, L"", true, false, L""},
        {"plain letter", {kA}, true, true, L"", true, false, L""},
        {"placeholder cleared", {kA}, true, true, placeholder, true, true, L""},
        {"placeholder replaced", {kF5, true}, true, true, placeholder, true, true, L"CTRL+F5"},
        {"shift keeps placeholder", {kF5, true, true}, true, true, placeholder, true, false, L""},
    };
    for (const auto& row : kRows) {
        SCOPED_TRACE(row.what);
        const BossKeyCapture capture =
            settings_.CaptureKey(row.press, row.focused, row.enabled, row.field);
        EXPECT_EQ(capture.handled, row.handled);
        EXPECT_EQ(capture.setText, row.setText);
        if (row.setText) {
            EXPECT_EQ(capture.text, row.text);
            // Whatever the capture writes, the field keeps.
            EXPECT_EQ(settings_.FilterFieldText(capture.text), capture.text);
        }
    }
}

}  // namespace
