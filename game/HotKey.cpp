#include "game/HotKey.h"

namespace {

constexpr uint16_t kVkShift = 0x10;
constexpr uint16_t kVkControl = 0x11;
constexpr uint16_t kVkMenu = 0x12;

bool IsModifierKey(uint16_t code) {
    return code == kVkShift || code == kVkControl || code == kVkMenu;
}

// Removes the first occurrence of |prefix|; true when there was one.
bool TakePrefix(std::wstring& text, const wchar_t* prefix) {
    const std::wstring piece(prefix);
    const size_t at = text.find(piece);
    if (at == std::wstring::npos) return false;
    text.erase(at, piece.size());
    return true;
}

}  // namespace

bool ParseHotKey(const KeyNameTable& table, const std::wstring& text, uint32_t& modifiers,
                 uint16_t& code) {
    modifiers = 0;
    code = 0;
    std::wstring rest = text;
    if (TakePrefix(rest, L"CTRL+")) modifiers |= kHotKeyModControl;
    if (TakePrefix(rest, L"SHIFT+")) modifiers |= kHotKeyModShift;
    if (TakePrefix(rest, L"ALT+")) modifiers |= kHotKeyModAlt;

    // Every key name is ASCII, so only ASCII text can name a key. Refusing
    // anything else up front also keeps a code page's best-fit mapping (a
    // full-width letter read as its ASCII twin) from accepting a text that
    // the field would never show.
    std::string name;
    name.reserve(rest.size());
    for (const wchar_t c : rest) {
        if (static_cast<uint32_t>(c) > 0x7F) return false;
        name += static_cast<char>(c);
    }
    uint16_t found = 0;
    if (table.FindCode(name, found) && !IsModifierKey(found)) code = found;
    return modifiers != 0 && code != 0;
}

bool FormatHotKey(const KeyNameTable& table, uint16_t code, std::wstring& text) {
    std::string ctrl;
    std::string key;
    if (IsModifierKey(code) || !table.FindName(code, key) || !table.FindName(kVkControl, ctrl)) {
        return false;
    }
    const std::string ascii = ctrl + "+" + key;
    text.assign(ascii.begin(), ascii.end());
    return true;
}
