// Decoding of the skin's images into the pixels that the framework draws:
// 32-bit, top-down, premultiplied alpha. Any thread; the loader reads
// through the caller's file source and so follows that source's rules.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace SkinUI {

class ISkinFileSource;

struct TImageInfo {
    int width = 0;
    int height = 0;
    // 0xAARRGGBB values (blue, green, red, alpha bytes in memory on
    // little-endian machines), premultiplied, rows top-down.
    std::vector<uint32_t> pixels;
    bool hasAlpha = false;  // some pixel is not fully opaque
};

// Images of more pixels than this are refused rather than decoded: the
// skin's largest is about a megapixel.
constexpr uint64_t kMaxImagePixels = 4096ull * 4096ull;

// PNG bytes to pixels. A pixel whose premultiplied value equals |mask|
// becomes fully transparent: 0xffff00ff removes opaque magenta, while
// 0x00ffffff matches nothing (premultiplying makes every pixel of alpha 0
// black).
bool DecodeSkinImage(const uint8_t* data, size_t size, uint32_t mask, TImageInfo& out);

// Finds the image's bytes (an executable resource when |resourceType| is
// given, else the skin file or package member, else |name| as a plain path)
// and decodes them. Failures are logged.
bool LoadSkinImage(const std::wstring& name, uint32_t mask, ISkinFileSource& source,
                   TImageInfo& out, const std::wstring& resourceType = std::wstring());

}  // namespace SkinUI
