#include "ui/skin/SkinText.h"

namespace SkinUI {

namespace {
constexpr uint32_t kReplacement = 0xFFFD;
constexpr bool kWideIsUtf16 = sizeof(wchar_t) == 2;
}  // namespace

void AppendCodePoint(std::wstring& out, uint32_t codePoint) {
    if (codePoint > 0x10FFFF) codePoint = kReplacement;
    if (kWideIsUtf16 && codePoint > 0xFFFF) {
        codePoint -= 0x10000;
        out += static_cast<wchar_t>(0xD800 + (codePoint >> 10));
        out += static_cast<wchar_t>(0xDC00 + (codePoint & 0x3FF));
        return;
    }
    out += static_cast<wchar_t>(codePoint);
}

std::wstring Utf8ToWide(const uint8_t* data, size_t size) {
    std::wstring out;
    out.reserve(size);
    size_t i = 0;
    while (i < size) {
        const uint8_t lead = data[i];
        if (lead < 0x80) {
            out += static_cast<wchar_t>(lead);
            ++i;
            continue;
        }
        int length = 0;
        uint32_t codePoint = 0;
        uint32_t minimum = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2, codePoint = lead & 0x1Fu, minimum = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3, codePoint = lead & 0x0Fu, minimum = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4, codePoint = lead & 0x07u, minimum = 0x10000;
        }
        // A malformed sequence yields one replacement for the bytes that
        // looked valid so far; decoding resumes at the first offending byte.
        size_t consumed = 1;
        bool valid = length > 0;
        for (int k = 1; valid && k < length; ++k) {
            if (i + static_cast<size_t>(k) >= size || (data[i + k] & 0xC0) != 0x80) {
                valid = false;
                break;
            }
            codePoint = (codePoint << 6) | (data[i + k] & 0x3Fu);
            consumed = static_cast<size_t>(k) + 1;
        }
        if (valid && (codePoint < minimum || codePoint > 0x10FFFF ||
                      (codePoint >= 0xD800 && codePoint <= 0xDFFF))) {
            valid = false;
        }
        if (!valid) {
            out += static_cast<wchar_t>(kReplacement);
            i += consumed;
            continue;
        }
        AppendCodePoint(out, codePoint);
        i += static_cast<size_t>(length);
    }
    return out;
}

std::wstring Utf16ToWide(const uint8_t* data, size_t size, bool bigEndian) {
    std::wstring out;
    const size_t units = size / 2;
    out.reserve(units);
    auto unitAt = [&](size_t k) -> uint32_t {
        const uint32_t a = data[2 * k];
        const uint32_t b = data[2 * k + 1];
        return bigEndian ? (a << 8) | b : (b << 8) | a;
    };
    for (size_t k = 0; k < units; ++k) {
        const uint32_t unit = unitAt(k);
        if (kWideIsUtf16) {
            out += static_cast<wchar_t>(unit);
            continue;
        }
        if (unit >= 0xD800 && unit <= 0xDBFF && k + 1 < units) {
            const uint32_t low = unitAt(k + 1);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                AppendCodePoint(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                ++k;
                continue;
            }
        }
        out += static_cast<wchar_t>(unit >= 0xD800 && unit <= 0xDFFF ? kReplacement : unit);
    }
    return out;
}

}  // namespace SkinUI
