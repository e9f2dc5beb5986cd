// The parsed form of one image attribute ("bkimage", "normalimage", ...):
// either a bare member name or key='value' pairs. Parsed once, on first use,
// and kept with the control. Portable.
#pragma once

#include <cstdint>
#include <string>

#include "ui/paint/Geometry.h"

namespace SkinUI {

struct TImageDrawInfo {
    std::wstring attribute;  // the text it was parsed from
    bool parsed = false;

    std::wstring file;
    std::wstring restype;
    TRect dest;    // relative to the control; all zero: the whole control
    TRect source;  // all zero: the whole image
    TRect corner;
    uint32_t mask = 0;
    uint8_t fade = 255;
    bool hole = false;
    bool xtiled = false;
    bool ytiled = false;
    bool hsl = false;

    void SetAttribute(const std::wstring& text) {
        *this = TImageDrawInfo{};
        attribute = text;
    }
    bool IsEmpty() const { return attribute.empty(); }
    // Parses |attribute| unless already done.
    void Parse();
};

// The pair form, "file='a.png' source='0,0,10,10'", from the string's start;
// a string that does not follow it is taken whole as the file name. Unknown
// keys are skipped. Never fails: the worst case is a file name that does not
// exist, which the image cache then records as a failed load.
void ParseImageAttribute(const std::wstring& text, TImageDrawInfo& out);

}  // namespace SkinUI
