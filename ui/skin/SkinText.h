// Text decoding of skin files into the platform's wide characters: UTF-16
// where wchar_t has 16 bits (Windows), code points where it has 32 (the
// native build of the portable core). Any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace SkinUI {

// Appends one code point: a surrogate pair above U+FFFF on 16-bit wchar_t.
void AppendCodePoint(std::wstring& out, uint32_t codePoint);

// UTF-8 without a byte order mark check; malformed sequences become U+FFFD,
// as the system's own converter does without strict flags.
std::wstring Utf8ToWide(const uint8_t* data, size_t size);

// UTF-16 units (a trailing odd byte is dropped). On 32-bit wchar_t, pairs
// become code points and a lone surrogate becomes U+FFFD.
std::wstring Utf16ToWide(const uint8_t* data, size_t size, bool bigEndian);

// The ANSI code page of the system (Windows); elsewhere Latin-1, which maps
// every byte to the code point of the same value. Platform file.
std::wstring AnsiToWide(const uint8_t* data, size_t size);

}  // namespace SkinUI
