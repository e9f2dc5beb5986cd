#include "ui/skin/SkinImage.h"

#include <stdlib.h>
#include <string.h>

#include <climits>
#include <memory>

#include "common/qlogger/QLogger.h"
#include "ui/skin/SkinMarkup.h"

// stb_image copies zero bytes from or to a null pointer when a PNG holds an
// empty IDAT chunk; harmless in practice but undefined, and sanitizers stop
// on it. Route its copies through a function that skips empty ones.
static void* SkinImageCopy(void* to, const void* from, size_t size) {
    return size == 0 ? to : memcpy(to, from, size);
}
#define memcpy SkinImageCopy

// A PNG's chunk lengths and its compressed stream decide how much stb_image
// allocates; a few damaged bytes could ask for gigabytes. No allocation of
// a picture within the pixel limit (16-bit RGBA rows included) needs more.
static constexpr size_t kMaxImageAllocation = 160u << 20;
static void* SkinImageAllocate(size_t size) {
    return size > kMaxImageAllocation ? nullptr : malloc(size);
}
static void* SkinImageReallocate(void* block, size_t size) {
    return size > kMaxImageAllocation ? nullptr : realloc(block, size);
}
#define STBI_MALLOC(size) SkinImageAllocate(size)
#define STBI_REALLOC(block, size) SkinImageReallocate(block, size)
#define STBI_FREE(block) free(block)
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#include <stb_image.h>
#undef memcpy

namespace SkinUI {

namespace {
struct StbImageFree {
    void operator()(stbi_uc* pixels) const { stbi_image_free(pixels); }
};
}  // namespace

bool DecodeSkinImage(const uint8_t* data, size_t size, uint32_t mask, TImageInfo& out) {
    out = TImageInfo();
    if (data == nullptr || size == 0 || size > INT_MAX) {
        QLogger::Log(QLOG_ERROR, "SkinUI::DecodeSkinImage: no image data");
        return false;
    }
    int width = 0;
    int height = 0;
    int channels = 0;
    const int length = static_cast<int>(size);
    // The header first: a few bytes must not make us allocate gigabytes.
    if (!stbi_info_from_memory(data, length, &width, &height, &channels)) {
        QLogger::Log(QLOG_ERROR, "SkinUI::DecodeSkinImage: %s", stbi_failure_reason());
        return false;
    }
    if (width <= 0 || height <= 0 ||
        static_cast<uint64_t>(width) * static_cast<uint64_t>(height) > kMaxImagePixels) {
        QLogger::Log(QLOG_ERROR, "SkinUI::DecodeSkinImage: %dx%d is too large", width, height);
        return false;
    }
    std::unique_ptr<stbi_uc, StbImageFree> rgba(
        stbi_load_from_memory(data, length, &width, &height, &channels, 4));
    if (!rgba) {
        QLogger::Log(QLOG_ERROR, "SkinUI::DecodeSkinImage: %s", stbi_failure_reason());
        return false;
    }
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    out.width = width;
    out.height = height;
    out.pixels.resize(count);
    const stbi_uc* source = rgba.get();
    for (size_t i = 0; i < count; ++i, source += 4) {
        uint32_t red = source[0];
        uint32_t green = source[1];
        uint32_t blue = source[2];
        const uint32_t alpha = source[3];
        if (alpha < 255) {
            red = red * alpha / 255;
            green = green * alpha / 255;
            blue = blue * alpha / 255;
            out.hasAlpha = true;
        }
        uint32_t pixel = (alpha << 24) | (red << 16) | (green << 8) | blue;
        if (pixel == mask) {
            pixel = 0;
            out.hasAlpha = true;
        }
        out.pixels[i] = pixel;
    }
    return true;
}

bool LoadSkinImage(const std::wstring& name, uint32_t mask, ISkinFileSource& source,
                   TImageInfo& out, const std::wstring& resourceType) {
    out = TImageInfo();
    std::vector<uint8_t> bytes;
    std::wstring error;
    bool found = resourceType.empty() ? source.ReadSkinFile(name, bytes, error)
                                      : source.ReadSkinResource(name, resourceType, bytes, error);
    if (!found) {
        std::wstring plainError;
        found = source.ReadPlainFile(name, bytes, plainError);
    }
    if (!found) {
        QLogger::LogW(QLOG_ERROR, L"SkinUI::LoadSkinImage: %ls: %ls", name.c_str(), error.c_str());
        return false;
    }
    if (!DecodeSkinImage(bytes.data(), bytes.size(), mask, out)) {
        QLogger::LogW(QLOG_ERROR, L"SkinUI::LoadSkinImage: %ls cannot be decoded", name.c_str());
        return false;
    }
    return true;
}

}  // namespace SkinUI
