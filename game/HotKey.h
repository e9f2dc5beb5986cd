// The text form of a hotkey: modifier prefixes ("CTRL+", "SHIFT+", "ALT+")
// followed by one key name of the KeyNameTable, all in capitals, as the
// boss key stores it in the registry. Any thread.
#pragma once

#include <cstdint>
#include <string>

#include "game/KeyNameTable.h"

// Modifier flags as RegisterHotKey takes them.
inline constexpr uint32_t kHotKeyModAlt = 0x1;
inline constexpr uint32_t kHotKeyModControl = 0x2;
inline constexpr uint32_t kHotKeyModShift = 0x4;

// Reads |text|: each prefix counts once, found anywhere and in any order,
// and what is left must be a whole key name other than Shift, Ctrl or Alt.
// True when at least one modifier and a key were found; modifiers and code
// are set in any case (0 for what was not found).
bool ParseHotKey(const KeyNameTable& table, const std::wstring& text, uint32_t& modifiers,
                 uint16_t& code);

// "CTRL+" and the key's name; false for the modifier keys themselves and
// for codes without a name. The launcher writes no other form.
bool FormatHotKey(const KeyNameTable& table, uint16_t code, std::wstring& text);
