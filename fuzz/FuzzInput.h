// Small helpers of the fuzz targets: a check that stops the run, and the
// input read as UTF-16 units the way the registry and edit fields hold text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

inline void FuzzCheck(bool condition) {
    if (!condition) std::abort();
}

// Two bytes a unit, little-endian; an odd last byte is dropped.
inline std::wstring FuzzWideText(const uint8_t* data, size_t size) {
    std::wstring text;
    text.reserve(size / 2);
    for (size_t i = 0; i + 1 < size; i += 2) {
        text += static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
    }
    return text;
}
