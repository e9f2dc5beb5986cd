// Percent and "+" decoding of narrow text (login addresses, login-key
// replies). Shared by the event reporter and the application controller;
// any thread may call it.
#pragma once

#include <string>

// "%" and the two characters after it become one byte: 16 times the first
// digit plus the second, modulo 256, where "A".."F" and "a".."f" count 10..15
// and any other character its code minus that of "0". A "%" with fewer than
// two characters after it ends the text there. "+" becomes a blank; every
// other byte is copied.
std::string UrlDecode(const std::string& text);
