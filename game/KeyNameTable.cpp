#include "game/KeyNameTable.h"

#include <utility>

namespace {

struct KeyName {
    const char* name;
    uint16_t code;
};

// The keypad names in parentheses carry the navigation keys' codes (what
// the keypad sends with Num Lock off), so they share them with the named
// keys. "NUMP(HOME)" is spelled so on purpose: stored hotkey texts use it.
// "PRINT" is VK_PRINT (0x2A), not the Print Screen key.
constexpr KeyName kNamedKeys[] = {
    {"ESC", 0x1B},       {"TAB", 0x09},        {"LEFTCONTROL", 0xA2}, {"RIGHTCONTROL", 0xA3},
    {"CTRL", 0x11},      {"LEFTSHIFT", 0xA0},  {"RIGHTSHIFT", 0xA1},  {"SHIFT", 0x10},
    {"LEFTALT", 0xA4},   {"RIGHTALT", 0xA5},   {"ALT", 0x12},         {"SCROLL", 0x91},
    {"PAUSE", 0x13},     {"PRINT", 0x2A},      {"CAPSLOCK", 0x14},    {"SPACE", 0x20},
    {"BACKSPACE", 0x08}, {"LEFT", 0x25},       {"RIGHT", 0x27},       {"UP", 0x26},
    {"DOWN", 0x28},      {"INSERT", 0x2D},     {"DELETE", 0x2E},      {"HOME", 0x24},
    {"END", 0x23},       {"PAGEUP", 0x21},     {"PAGEDOWN", 0x22},    {"-", 0xBD},
    {"=", 0xBB},         {"/", 0xBF},          {".", 0xBE},           {"`", 0xC0},
    {";", 0xBA},         {",", 0xBC},          {"[", 0xDB},           {"]", 0xDD},
    {"\\", 0xDC},        {"ENTER", 0x0D},      {"NUMLOCK", 0x90},     {"NUM(-)", 0x6D},
    {"NUM(+)", 0x6B},    {"NUM(*)", 0x6A},     {"NUM(/)", 0x6F},      {"NUM(ENTER)", 0x0D},
    {"NUM(INS)", 0x2D},  {"NUM(END)", 0x23},   {"NUM(DOWN)", 0x28},   {"NUM(NEXT)", 0x22},
    {"NUM(LEFT)", 0x25}, {"NUM(CLEAR)", 0x0C}, {"NUM(RIGHT)", 0x27},  {"NUMP(HOME)", 0x24},
    {"NUM(UP)", 0x26},   {"NUM(PRIOR)", 0x21}, {"NUM(DEL)", 0x2E},    {"NUM(.)", 0x6E},
};

}  // namespace

KeyNameTable::KeyNameTable() {
    for (const KeyName& key : kNamedKeys) codes_.emplace(key.name, key.code);
    for (int i = 1; i <= 12; ++i) {
        std::string name(1, 'F');
        name += std::to_string(i);
        codes_.emplace(std::move(name), static_cast<uint16_t>(0x70 + i - 1));
    }
    for (char c = 'A'; c <= 'Z'; ++c) codes_.emplace(std::string(1, c), static_cast<uint16_t>(c));
    for (char c = '0'; c <= '9'; ++c) {
        codes_.emplace(std::string(1, c), static_cast<uint16_t>(c));
        std::string keypad = "NUM";
        keypad += c;
        codes_.emplace(std::move(keypad), static_cast<uint16_t>(0x60 + (c - '0')));
    }
    // Walking the names in order and keeping the first per code answers
    // FindName exactly as a walk over the names would, without the walk.
    for (const auto& [name, code] : codes_) firstNames_.emplace(code, &name);
}

bool KeyNameTable::FindCode(const std::string& name, uint16_t& code) const {
    const auto found = codes_.find(name);
    if (found == codes_.end()) return false;
    code = found->second;
    return true;
}

bool KeyNameTable::FindName(uint16_t code, std::string& name) const {
    const auto found = firstNames_.find(code);
    if (found == firstNames_.end()) return false;
    name = *found->second;
    return true;
}
