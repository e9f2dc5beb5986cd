// The attribute value syntax of layouts: integers, number lists, colours,
// hexadecimal masks and booleans, as the controls, the builder and the
// window manager read them. Portable; any thread.
#pragma once

#include <cstdint>

#include "ui/paint/Geometry.h"

namespace SkinUI {

// Decimal integer with optional sign; leading blanks allowed. Text that is
// not a number gives 0, like the layouts expect of a missing number.
int ParseInt(const wchar_t* text);

// Up to |count| decimal numbers each separated by one character (usually
// ','), blanks allowed before a number; missing numbers count as 0.
void ParseNumberList(const wchar_t* text, int* out, int count);
// Number lists of geometry: each number held to +-kMaxLength.
TRect ParseRect(const wchar_t* text);
TSize ParseSize(const wchar_t* text);

// AARRGGBB after an optional '#'. Bad digits stop the number where they are.
uint32_t ParseColor(const wchar_t* text);

// Hexadecimal with an optional "0x" or '#'.
uint32_t ParseHex(const wchar_t* text);

// Exactly "true" is true.
bool ParseBool(const wchar_t* text);

}  // namespace SkinUI
