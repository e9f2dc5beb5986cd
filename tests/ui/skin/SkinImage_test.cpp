#include "ui/skin/SkinImage.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "support/SkinTestData.h"
#include "ui/skin/SkinMarkup.h"

namespace {

using SkinUI::DecodeSkinImage;
using SkinUI::TImageInfo;
using testsupport::Bytes;
using testsupport::MakePng;

TImageInfo Decode(const std::string& png, uint32_t mask = 0) {
    TImageInfo info;
    const std::vector<uint8_t> bytes = Bytes(png);
    EXPECT_TRUE(DecodeSkinImage(bytes.data(), bytes.size(), mask, info));
    return info;
}

TEST(SkinImageTest, PremultipliesTopDownInBlueGreenRedAlphaOrder) {
    // RGBA: an opaque orange top row, a half-transparent pixel, a clear one.
    const std::string png = MakePng(2, 2, {0xFF8000FF, 0x102030FF, 0xC8643280, 0xFFFFFF00});
    const TImageInfo info = Decode(png);
    ASSERT_EQ(info.width, 2);
    ASSERT_EQ(info.height, 2);
    ASSERT_EQ(info.pixels.size(), 4u);
    EXPECT_EQ(info.pixels[0], 0xFFFF8000u);
    EXPECT_EQ(info.pixels[1], 0xFF102030u);
    // 200, 100, 50 at alpha 128: each times 128 / 255, rounded down.
    EXPECT_EQ(info.pixels[2], 0x80643219u);
    EXPECT_EQ(info.pixels[3], 0x00000000u);
    EXPECT_TRUE(info.hasAlpha);
    // Blue, green, red, alpha bytes in memory, as a 32-bit DIB wants them.
    uint8_t bytes[4];
    std::memcpy(bytes, &info.pixels[0], 4);
    EXPECT_EQ(bytes[0], 0x00);
    EXPECT_EQ(bytes[1], 0x80);
    EXPECT_EQ(bytes[2], 0xFF);
    EXPECT_EQ(bytes[3], 0xFF);

    const TImageInfo opaque = Decode(MakePng(1, 1, {0x336699FF}));
    EXPECT_FALSE(opaque.hasAlpha);
    EXPECT_EQ(opaque.pixels[0], 0xFF336699u);
}

TEST(SkinImageTest, MaskMakesMatchingPixelsTransparent) {
    const std::string png = MakePng(3, 1, {0xFF00FFFF, 0xFE00FFFF, 0xFFFFFF00});
    const TImageInfo masked = Decode(MakePng(2, 1, {0xFF00FFFF, 0xFE00FFFF}), 0xFFFF00FF);
    EXPECT_EQ(masked.pixels[0], 0u);
    EXPECT_EQ(masked.pixels[1], 0xFFFE00FFu);
    EXPECT_TRUE(masked.hasAlpha);  // all pixels were opaque before the mask

    // 0x00ffffff cannot be produced: a clear pixel premultiplies to 0.
    const TImageInfo unmatched = Decode(png, 0x00FFFFFF);
    EXPECT_EQ(unmatched.pixels, Decode(png, 0).pixels);
    EXPECT_EQ(unmatched.pixels[2], 0u);

    const TImageInfo noMatch = Decode(MakePng(1, 1, {0x123456FF}), 0xFFFF00FF);
    EXPECT_FALSE(noMatch.hasAlpha);
}

TEST(SkinImageTest, RefusesWhatIsNoImage) {
    TImageInfo info;
    const std::string png = MakePng(4, 4, std::vector<uint32_t>(16, 0xFFFFFFFF));
    const std::vector<uint8_t> noise = Bytes("GIF89a not a png at all");
    EXPECT_FALSE(DecodeSkinImage(noise.data(), noise.size(), 0, info));
    EXPECT_FALSE(DecodeSkinImage(nullptr, 0, 0, info));
    const std::vector<uint8_t> cut = Bytes(png.substr(0, png.size() / 2));
    EXPECT_FALSE(DecodeSkinImage(cut.data(), cut.size(), 0, info));
    EXPECT_TRUE(info.pixels.empty());
    EXPECT_EQ(info.width, 0);

    // A header that claims 20000 x 20000 pixels is refused before any
    // pixel memory is taken.
    std::string huge = png;
    const std::string size = std::string("\x00\x00\x4E\x20\x00\x00\x4E\x20", 8);
    huge.replace(16, 8, size);
    const uint32_t crc =
        static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(huge.data() + 12), 17));
    for (int i = 0; i < 4; ++i) huge[29 + i] = static_cast<char>(crc >> (24 - 8 * i));
    const std::vector<uint8_t> hugeBytes = Bytes(huge);
    EXPECT_FALSE(DecodeSkinImage(hugeBytes.data(), hugeBytes.size(), 0, info));
}

class FakeSource : public SkinUI::ISkinFileSource {
public:
    bool ReadSkinFile(const std::wstring& name, std::vector<uint8_t>& bytes,
                      std::wstring& error) override {
        calls.push_back(L"file:" + name);
        return Find(skin, name, bytes, error);
    }
    bool ReadSkinResource(const std::wstring& name, const std::wstring& type,
                          std::vector<uint8_t>& bytes, std::wstring& error) override {
        calls.push_back(L"resource:" + type + L":" + name);
        return Find(resources, name, bytes, error);
    }
    bool ReadPlainFile(const std::wstring& path, std::vector<uint8_t>& bytes,
                       std::wstring& error) override {
        calls.push_back(L"plain:" + path);
        return Find(plain, path, bytes, error);
    }
    std::map<std::wstring, std::string> skin, resources, plain;
    std::vector<std::wstring> calls;

private:
    static bool Find(const std::map<std::wstring, std::string>& files, const std::wstring& name,
                     std::vector<uint8_t>& bytes, std::wstring& error) {
        const auto file = files.find(name);
        if (file == files.end()) {
            error = L"Could not find ziped file";
            return false;
        }
        bytes = Bytes(file->second);
        return true;
    }
};

TEST(SkinImageTest, LoaderTriesSkinThenPlainPath) {
    const std::string red = MakePng(1, 1, {0xFF0000FF});
    FakeSource source;
    source.skin[L"game_close.png"] = red;
    source.plain[L"C:\\art\\logo.png"] = MakePng(1, 1, {0x00FF00FF});
    source.resources[L"200"] = MakePng(1, 1, {0x0000FFFF});
    TImageInfo info;

    ASSERT_TRUE(SkinUI::LoadSkinImage(L"game_close.png", 0, source, info));
    EXPECT_EQ(info.pixels[0], 0xFFFF0000u);
    EXPECT_EQ(source.calls, std::vector<std::wstring>{L"file:game_close.png"});

    source.calls.clear();
    ASSERT_TRUE(SkinUI::LoadSkinImage(L"C:\\art\\logo.png", 0, source, info));
    EXPECT_EQ(info.pixels[0], 0xFF00FF00u);
    EXPECT_EQ(source.calls.size(), 2u);

    source.calls.clear();
    ASSERT_TRUE(SkinUI::LoadSkinImage(L"200", 0, source, info, L"PNG"));
    EXPECT_EQ(info.pixels[0], 0xFF0000FFu);
    EXPECT_EQ(source.calls, std::vector<std::wstring>{L"resource:PNG:200"});

    source.calls.clear();
    EXPECT_FALSE(SkinUI::LoadSkinImage(L"nowhere.png", 0, source, info));
    EXPECT_EQ(source.calls.size(), 2u);
    source.skin[L"broken.png"] = "\x89PNG\r\n\x1a\n broken";
    EXPECT_FALSE(SkinUI::LoadSkinImage(L"broken.png", 0, source, info));
    EXPECT_TRUE(info.pixels.empty());
}

}  // namespace
