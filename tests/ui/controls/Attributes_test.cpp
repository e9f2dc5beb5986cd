#include <gtest/gtest.h>

#include "ui/controls/ImageDrawInfo.h"
#include "ui/controls/AttributeValues.h"

namespace {

using SkinUI::TRect;

TEST(AttributeValues, NumberListsAllowBlanksAndMissingNumbers) {
    EXPECT_EQ(SkinUI::ParseRect(L"0, 0, 102, 22"), (TRect{0, 0, 102, 22}));
    EXPECT_EQ(SkinUI::ParseRect(L"780,133,815,168"), (TRect{780, 133, 815, 168}));
    // A missing number counts as 0: "2" is 2,0.
    EXPECT_EQ(SkinUI::ParseSize(L"2"), (SkinUI::TSize{2, 0}));
    EXPECT_EQ(SkinUI::ParseRect(L"1,2"), (TRect{1, 2, 0, 0}));
    EXPECT_EQ(SkinUI::ParseRect(L""), (TRect{}));
    EXPECT_EQ(SkinUI::ParseRect(nullptr), (TRect{}));
    EXPECT_EQ(SkinUI::ParseRect(L"-3,4,-5,6"), (TRect{-3, 4, -5, 6}));
    // Further numbers are ignored ("roundcorner" "5,5,5,5" is 5,5).
    EXPECT_EQ(SkinUI::ParseSize(L"5,5,5,5"), (SkinUI::TSize{5, 5}));
    // Any one character separates numbers.
    EXPECT_EQ(SkinUI::ParseRect(L"1;2 3x4"), (TRect{1, 2, 3, 4}));
    // Digit runs too long for an int saturate instead of overflowing.
    EXPECT_EQ(SkinUI::ParseInt(L"99999999999999999999"), 2147483647);
    EXPECT_EQ(SkinUI::ParseInt(L"-99999999999999999999"), -2147483647);
    EXPECT_EQ(SkinUI::ParseInt(L"abc"), 0);
}

TEST(AttributeValues, ColoursAndMasks) {
    EXPECT_EQ(SkinUI::ParseColor(L"#00FFFFFF"), 0x00FFFFFFu);
    EXPECT_EQ(SkinUI::ParseColor(L"#FF000000"), 0xFF000000u);
    EXPECT_EQ(SkinUI::ParseColor(L"#00492b00"), 0x00492B00u);
    EXPECT_EQ(SkinUI::ParseColor(L"FFA7A6AA"), 0xFFA7A6AAu);
    EXPECT_EQ(SkinUI::ParseHex(L"0xffff00ff"), 0xFFFF00FFu);
    EXPECT_EQ(SkinUI::ParseHex(L"#00ffffff"), 0x00FFFFFFu);
    EXPECT_EQ(SkinUI::ParseHex(L"ff00ff"), 0x00FF00FFu);
    // Bad digits end the number where they stand.
    EXPECT_EQ(SkinUI::ParseColor(L"#FFzz"), 0xFFu);
}

TEST(AttributeValues, OnlyExactTrueIsTrue) {
    EXPECT_TRUE(SkinUI::ParseBool(L"true"));
    EXPECT_FALSE(SkinUI::ParseBool(L"True"));
    EXPECT_FALSE(SkinUI::ParseBool(L"1"));
    EXPECT_FALSE(SkinUI::ParseBool(L"true "));
    EXPECT_FALSE(SkinUI::ParseBool(nullptr));
}

SkinUI::TImageDrawInfo Parsed(const std::wstring& text) {
    SkinUI::TImageDrawInfo info;
    info.SetAttribute(text);
    info.Parse();
    return info;
}

TEST(ImageAttribute, BareNameAndPairForm) {
    auto bare = Parsed(L"update_progress.png");
    EXPECT_EQ(bare.file, L"update_progress.png");
    EXPECT_TRUE(bare.source.IsNull());
    EXPECT_EQ(bare.fade, 255);

    auto pairs = Parsed(
        L"file='changeserver_selectlist.png' corner='2,2,24,2' source='0,0,142,19' "
        L"dest='1,2,3,4' mask='0xffff00ff' fade='128' hole='true' xtiled='true' "
        L"ytiled='false' hsl='true' restype='PNG'");
    EXPECT_EQ(pairs.file, L"changeserver_selectlist.png");
    EXPECT_EQ(pairs.corner, (TRect{2, 2, 24, 2}));
    EXPECT_EQ(pairs.source, (TRect{0, 0, 142, 19}));
    EXPECT_EQ(pairs.dest, (TRect{1, 2, 3, 4}));
    EXPECT_EQ(pairs.mask, 0xFFFF00FFu);
    EXPECT_EQ(pairs.fade, 128);
    EXPECT_TRUE(pairs.hole);
    EXPECT_TRUE(pairs.xtiled);
    EXPECT_FALSE(pairs.ytiled);
    EXPECT_TRUE(pairs.hsl);
    EXPECT_EQ(pairs.restype, L"PNG");

    EXPECT_EQ(Parsed(L"res='a.png' mask='#00ffffff'").file, L"a.png");
    EXPECT_EQ(Parsed(L"res='a.png' mask='#00ffffff'").mask, 0x00FFFFFFu);
}

TEST(ImageAttribute, TextNotInPairFormIsTheFileName) {
    // Not a pair from the start: the whole text names the member.
    EXPECT_EQ(Parsed(L"my file.png").file, L"my file.png");
    EXPECT_EQ(Parsed(L"file=a.png").file, L"file=a.png");
    EXPECT_EQ(Parsed(L"file='unterminated").file, L"file='unterminated");
    // A broken pair after good ones ends the list; what came before counts.
    auto tail = Parsed(L"file='a.png' source='0,0,5,5' junk");
    EXPECT_EQ(tail.file, L"a.png");
    EXPECT_EQ(tail.source, (TRect{0, 0, 5, 5}));
    // Unknown keys are skipped; out-of-range fade is clamped.
    auto odd = Parsed(L"file='b.png' shine='yes' fade='999'");
    EXPECT_EQ(odd.file, L"b.png");
    EXPECT_EQ(odd.fade, 255);
    EXPECT_EQ(Parsed(L"file='b.png' fade='-4'").fade, 0);
}

TEST(ImageAttribute, ParsedOnceUntilChanged) {
    SkinUI::TImageDrawInfo info;
    info.SetAttribute(L"file='a.png'");
    info.Parse();
    info.file = L"changed";  // a second Parse must not redo the work
    info.Parse();
    EXPECT_EQ(info.file, L"changed");
    info.SetAttribute(L"b.png");
    info.Parse();
    EXPECT_EQ(info.file, L"b.png");
}

}  // namespace
