#include "ui/controls/ImageDrawInfo.h"

#include <algorithm>

#include "ui/controls/AttributeValues.h"

namespace SkinUI {

namespace {

bool IsKeyChar(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
}

// One key='value' pair at |pos|; false (nothing consumed) when the text
// there is not in that form.
bool ReadPair(const std::wstring& text, size_t& pos, std::wstring& key, std::wstring& value) {
    size_t p = pos;
    while (p < text.size() && text[p] == L' ') ++p;
    const size_t keyStart = p;
    while (p < text.size() && IsKeyChar(text[p])) ++p;
    if (p == keyStart || p + 1 >= text.size() || text[p] != L'=' || text[p + 1] != L'\'') {
        return false;
    }
    key.assign(text, keyStart, p - keyStart);
    const size_t valueStart = p + 2;
    const size_t valueEnd = text.find(L'\'', valueStart);
    if (valueEnd == std::wstring::npos) return false;
    value.assign(text, valueStart, valueEnd - valueStart);
    pos = valueEnd + 1;
    return true;
}

void ApplyPair(const std::wstring& key, const std::wstring& value, TImageDrawInfo& out) {
    const wchar_t* v = value.c_str();
    if (key == L"file" || key == L"res") {
        out.file = value;
    } else if (key == L"restype") {
        out.restype = value;
    } else if (key == L"dest") {
        out.dest = ParseRect(v);
    } else if (key == L"source") {
        out.source = ParseRect(v);
    } else if (key == L"corner") {
        out.corner = ParseRect(v);
    } else if (key == L"mask") {
        out.mask = ParseHex(v);
    } else if (key == L"fade") {
        out.fade = static_cast<uint8_t>(std::clamp(ParseInt(v), 0, 255));
    } else if (key == L"hole") {
        out.hole = ParseBool(v);
    } else if (key == L"xtiled") {
        out.xtiled = ParseBool(v);
    } else if (key == L"ytiled") {
        out.ytiled = ParseBool(v);
    } else if (key == L"hsl") {
        out.hsl = ParseBool(v);
    }
}

}  // namespace

void ParseImageAttribute(const std::wstring& text, TImageDrawInfo& out) {
    size_t pos = 0;
    std::wstring key;
    std::wstring value;
    if (!ReadPair(text, pos, key, value)) {
        out.file = text;
        return;
    }
    do {
        ApplyPair(key, value, out);
    } while (ReadPair(text, pos, key, value));
}

void TImageDrawInfo::Parse() {
    if (parsed) return;
    parsed = true;
    ParseImageAttribute(attribute, *this);
}

}  // namespace SkinUI
