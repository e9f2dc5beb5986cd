// Skin images: any bytes either decode into a premultiplied picture of the
// size the header names or are refused.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "ui/skin/SkinImage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SkinUI::TImageInfo image;
    const uint32_t mask = 0xFFFF00FF;
    if (!SkinUI::DecodeSkinImage(data, size, mask, image)) {
        if (!image.pixels.empty()) std::abort();
        return 0;
    }
    if (image.width <= 0 || image.height <= 0) std::abort();
    if (image.pixels.size() != static_cast<size_t>(image.width) * image.height) std::abort();
    bool translucent = false;
    for (uint32_t pixel : image.pixels) {
        const uint32_t alpha = pixel >> 24;
        // Premultiplied: no colour channel exceeds the alpha.
        if (((pixel >> 16) & 0xFF) > alpha || ((pixel >> 8) & 0xFF) > alpha ||
            (pixel & 0xFF) > alpha || pixel == mask) {
            std::abort();
        }
        translucent = translucent || alpha < 255;
    }
    if (translucent && !image.hasAlpha) std::abort();
    return 0;
}
