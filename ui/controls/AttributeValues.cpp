#include "ui/controls/AttributeValues.h"

#include <algorithm>
#include <climits>
#include <string_view>

namespace SkinUI {

namespace {

// Reads one decimal number at |p| (blanks and a sign allowed) and advances
// |p| past it. Saturates instead of overflowing on absurd digit runs.
int ReadNumber(const wchar_t*& p) {
    while (*p == L' ' || *p == L'\t') ++p;
    bool negative = false;
    if (*p == L'-' || *p == L'+') {
        negative = *p == L'-';
        ++p;
    }
    long long value = 0;
    while (*p >= L'0' && *p <= L'9') {
        if (value < INT_MAX) value = value * 10 + (*p - L'0');
        ++p;
    }
    value = std::min<long long>(value, INT_MAX);
    return static_cast<int>(negative ? -value : value);
}

int HexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

uint32_t ReadHex(const wchar_t* p) {
    uint32_t value = 0;
    for (int digit; (digit = HexDigit(*p)) >= 0; ++p) {
        value = (value << 4) | static_cast<uint32_t>(digit);
    }
    return value;
}

}  // namespace

int ParseInt(const wchar_t* text) {
    if (text == nullptr) return 0;
    return ReadNumber(text);
}

void ParseNumberList(const wchar_t* text, int* out, int count) {
    for (int i = 0; i < count; ++i) out[i] = 0;
    if (text == nullptr) return;
    const wchar_t* p = text;
    for (int i = 0; i < count; ++i) {
        out[i] = ReadNumber(p);
        if (*p == L'\0') return;
        ++p;  // the one separator character
    }
}

TRect ParseRect(const wchar_t* text) {
    int v[4];
    ParseNumberList(text, v, 4);
    for (int& n : v) n = std::clamp(n, -kMaxLength, kMaxLength);
    return TRect{v[0], v[1], v[2], v[3]};
}

TSize ParseSize(const wchar_t* text) {
    int v[2];
    ParseNumberList(text, v, 2);
    for (int& n : v) n = std::clamp(n, -kMaxLength, kMaxLength);
    return TSize{v[0], v[1]};
}

uint32_t ParseColor(const wchar_t* text) {
    if (text == nullptr) return 0;
    while (*text == L' ') ++text;
    if (*text == L'#') ++text;
    return ReadHex(text);
}

uint32_t ParseHex(const wchar_t* text) {
    if (text == nullptr) return 0;
    while (*text == L' ') ++text;
    if (*text == L'#') {
        ++text;
    } else if (text[0] == L'0' && (text[1] == L'x' || text[1] == L'X')) {
        text += 2;
    }
    return ReadHex(text);
}

bool ParseBool(const wchar_t* text) {
    return text != nullptr && std::wstring_view(text) == L"true";
}

}  // namespace SkinUI
