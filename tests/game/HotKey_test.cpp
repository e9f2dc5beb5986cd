#include "game/HotKey.h"

#include <gtest/gtest.h>

#include "game/KeyNameTable.h"

namespace {

const KeyNameTable& Table() {
    static const KeyNameTable table;
    return table;
}

std::string NameOf(uint16_t code) {
    std::string name;
    return Table().FindName(code, name) ? name : "<none>";
}

TEST(KeyNameTable, HoldsEveryNameOnceAndLooksUpWholeNamesExactly) {
    EXPECT_EQ(Table().entries().size(), 114u);
    uint16_t code = 0;
    EXPECT_TRUE(Table().FindCode("NUMP(HOME)", code));
    EXPECT_EQ(code, 0x24);
    EXPECT_TRUE(Table().FindCode("\\", code));
    EXPECT_EQ(code, 0xDC);
    for (const char* name : {"esc", "Esc", "NUM(HOME)", "FF", "F13", "F0", "NUM", "NUM10", "AA",
                             " A", "A ", "", "NUM(.)x", "CTRL+A"}) {
        EXPECT_FALSE(Table().FindCode(name, code)) << name;
    }
}

TEST(KeyNameTable, ASharedCodeGivesTheAlphabeticallyFirstName) {
    const struct {
        uint16_t code;
        const char* name;
    } kShared[] = {
        {0x0D, "ENTER"},     {0x2D, "INSERT"},  {0x2E, "DELETE"},     {0x23, "END"},
        {0x24, "HOME"},      {0x25, "LEFT"},    {0x28, "DOWN"},       {0x21, "NUM(PRIOR)"},
        {0x22, "NUM(NEXT)"}, {0x26, "NUM(UP)"}, {0x27, "NUM(RIGHT)"},
    };
    for (const auto& shared : kShared) EXPECT_EQ(NameOf(shared.code), shared.name) << shared.code;
    // Print Screen has no name; VK_PRINT has.
    EXPECT_EQ(NameOf(0x2C), "<none>");
    EXPECT_EQ(NameOf(0x2A), "PRINT");
    EXPECT_EQ(NameOf(0x00), "<none>");
    EXPECT_EQ(NameOf(0xFFFF), "<none>");
}

struct Parsed {
    bool ok;
    uint32_t modifiers;
    uint16_t code;
};

Parsed Parse(const std::wstring& text) {
    Parsed parsed{};
    parsed.ok = ParseHotKey(Table(), text, parsed.modifiers, parsed.code);
    return parsed;
}

TEST(ParseHotKey, AcceptsPrefixesInAnyOrderAndPlace) {
    const uint32_t kCtrl = kHotKeyModControl, kShift = kHotKeyModShift, kAlt = kHotKeyModAlt;
    const struct {
        const wchar_t* text;
        uint32_t modifiers;
        uint16_t code;
    } kAccepted[] = {
        {L"CTRL+F12", kCtrl, 0x7B},
        {L"SHIFT+CTRL+A", kCtrl | kShift, 0x41},
        {L"CTRL+SHIFT+A", kCtrl | kShift, 0x41},
        {L"SHIFT+CTRL+F1", kCtrl | kShift, 0x70},
        {L"ALT+SHIFT+CTRL+NUM(+)", kCtrl | kShift | kAlt, 0x6B},
        {L"CTRL+NUM(PRIOR)", kCtrl, 0x21},
        {L"CTRL+PAGEUP", kCtrl, 0x21},
        {L"CTRL+NUMP(HOME)", kCtrl, 0x24},
        {L"CTRL+\\", kCtrl, 0xDC},
        {L"ALT+F4", kAlt, 0x73},
        {L"SHIFT+0", kShift, 0x30},
        // Only Shift, Ctrl and Alt themselves are refused as the key.
        {L"CTRL+LEFTSHIFT", kCtrl, 0xA0},
        // Each prefix is cut wherever it first stands.
        {L"ACTRL+", kCtrl, 0x41},
        {L"F1SHIFT+CTRL+", kCtrl | kShift, 0x70},
    };
    for (const auto& c : kAccepted) {
        const Parsed parsed = Parse(c.text);
        EXPECT_TRUE(parsed.ok) << testing::PrintToString(std::wstring(c.text));
        EXPECT_EQ(parsed.modifiers, c.modifiers) << testing::PrintToString(std::wstring(c.text));
        EXPECT_EQ(parsed.code, c.code) << testing::PrintToString(std::wstring(c.text));
    }
}

TEST(ParseHotKey, RejectsTextsWithoutAModifierOrAKey) {
    const wchar_t* const kRejected[] = {
        L"A",       L"CTRL+",  L"CTRL+CTRL", L"CTRL+SHIFT",  L"CTRL+ALT+",   L"ctrl+a",
        L"CTRL+a",  L"Ctrl+A", L"",          L"CTRL+CTRL+A", L"CTRL+F13",    L"CTRL+ A",
        L"CTRL+A ", L"CTRL-A", L"CTRL++",    L"CTRL+\uFF21", L"CTRL+\u65e0", L"\u65e0",
    };
    for (const wchar_t* text : kRejected) {
        EXPECT_FALSE(Parse(text).ok) << testing::PrintToString(std::wstring(text));
    }
    // A text with an embedded null is taken whole, not up to the null.
    EXPECT_FALSE(Parse(std::wstring(L"CTRL+A\0B", 8)).ok);
    // What was found is reported either way.
    EXPECT_EQ(Parse(L"A").code, 0x41);
    EXPECT_EQ(Parse(L"A").modifiers, 0u);
    EXPECT_EQ(Parse(L"CTRL+").modifiers, kHotKeyModControl);
}

// Which name a formatted key takes is KeyNameTable's (above) and the boss
// key's capture (BossKeySettings_test.cpp); here that each one reads back.
TEST(FormatHotKey, EveryFormattedTextParsesBackToItsKey) {
    int formatted = 0;
    for (uint32_t code = 0; code <= 0xFFFF; ++code) {
        std::wstring text;
        if (!FormatHotKey(Table(), static_cast<uint16_t>(code), text)) continue;
        ++formatted;
        const Parsed parsed = Parse(text);
        ASSERT_TRUE(parsed.ok) << testing::PrintToString(text);
        EXPECT_EQ(parsed.modifiers, kHotKeyModControl);
        EXPECT_EQ(parsed.code, code);
    }
    // Every code with a name but the three modifiers.
    EXPECT_EQ(formatted, 114 - 11 - 3);
}

}  // namespace
