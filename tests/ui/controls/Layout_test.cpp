#include <gtest/gtest.h>

#include <memory>

#include "ui/controls/Container.h"
#include "ui/controls/Progress.h"

namespace {

using SkinUI::CContainerUI;
using SkinUI::CControlUI;
using SkinUI::CHorizontalLayoutUI;
using SkinUI::CVerticalLayoutUI;
using SkinUI::TRect;

template <class T = CControlUI>
T* AddChild(CContainerUI& parent, const wchar_t* attributes = L"") {
    auto child = std::make_unique<T>();
    child->ApplyAttributeList(attributes);
    T* raw = child.get();
    parent.Add(std::move(child));
    return raw;
}

TEST(LinearLayout, FixedSizesFirstThenEqualSplitWithRemainderToLast) {
    CVerticalLayoutUI layout;
    auto* a = AddChild(layout, L"height=\"30\"");
    auto* b = AddChild(layout);
    auto* c = AddChild(layout);
    auto* d = AddChild(layout);
    layout.SetPos(TRect{10, 20, 110, 120});  // 100 high: 70 left for three
    EXPECT_EQ(a->GetPos(), (TRect{10, 20, 110, 50}));
    EXPECT_EQ(b->GetPos(), (TRect{10, 50, 110, 73}));
    EXPECT_EQ(c->GetPos(), (TRect{10, 73, 110, 96}));
    EXPECT_EQ(d->GetPos(), (TRect{10, 96, 110, 120}));  // 23 + the 1 left over
}

TEST(LinearLayout, PaddingInsetAndCrossAxis) {
    CHorizontalLayoutUI layout;
    layout.ApplyAttributeList(L"inset=\"5,6,7,8\"");
    auto* a = AddChild(layout, L"width=\"20\" padding=\"1,2,3,4\"");
    auto* b = AddChild(layout, L"height=\"10\"");
    layout.SetPos(TRect{0, 0, 100, 50});
    // Inner: 5..93 x 6..42. a: 1 + 20 + 3 along x; 2 above, 4 below.
    EXPECT_EQ(a->GetPos(), (TRect{6, 8, 26, 38}));
    // b takes what is left of 88 - 24 and keeps its fixed height.
    EXPECT_EQ(b->GetPos(), (TRect{29, 6, 93, 16}));
}

TEST(LinearLayout, MinAndMaxClampAfterTheSplit) {
    CHorizontalLayoutUI layout;
    auto* a = AddChild(layout, L"maxwidth=\"10\" maxheight=\"5\"");
    auto* b = AddChild(layout, L"minwidth=\"80\"");
    layout.SetPos(TRect{0, 0, 100, 20});
    EXPECT_EQ(a->GetPos(), (TRect{0, 0, 10, 5}));
    // The split gave 50; the minimum raises it to 80, starting after a.
    EXPECT_EQ(b->GetPos(), (TRect{10, 0, 90, 20}));
}

TEST(LinearLayout, OverfullLayoutNeverGoesNegative) {
    CVerticalLayoutUI layout;
    AddChild(layout, L"height=\"80\"");
    auto* flexible = AddChild(layout);
    layout.SetPos(TRect{0, 0, 50, 40});
    EXPECT_EQ(flexible->GetPos().Height(), 0);
    EXPECT_EQ(flexible->GetPos().top, 80);
}

TEST(LinearLayout, FloatingAndHiddenChildrenStayOutOfTheFlow) {
    CVerticalLayoutUI layout;
    layout.ApplyAttributeList(L"inset=\"3,3,3,3\"");
    auto* floating = AddChild(layout, L"float=\"true\" pos=\"5,6,25,16\"");
    auto* hidden = AddChild(layout, L"visible=\"false\" height=\"40\"");
    auto* flow = AddChild(layout);
    layout.SetPos(TRect{100, 200, 200, 300});
    // Relative to the parent's corner, not its inset.
    EXPECT_EQ(floating->GetPos(), (TRect{105, 206, 125, 216}));
    EXPECT_EQ(flow->GetPos(), (TRect{103, 203, 197, 297}));
    EXPECT_EQ(hidden->GetPos(), (TRect{}));
}

TEST(PlainContainer, EachChildGetsTheWholeInnerRectangle) {
    CContainerUI container;
    container.ApplyAttributeList(L"inset=\"1,2,3,4\"");
    auto* a = AddChild(container, L"height=\"5\"");
    auto* b = AddChild(container);
    container.SetPos(TRect{0, 0, 50, 60});
    EXPECT_EQ(a->GetPos(), (TRect{1, 2, 47, 56}));
    EXPECT_EQ(b->GetPos(), (TRect{1, 2, 47, 56}));
}

TEST(ProgressFill, Arithmetic) {
    using SkinUI::ProgressFillRect;
    struct Case {
        int w, h, min, max, value;
        bool hor;
        TRect expected;
    } cases[] = {
        {366, 18, 0, 100, 0, true, {0, 0, 0, 18}},
        {366, 18, 0, 100, 50, true, {0, 0, 183, 18}},
        {366, 18, 0, 100, 33, true, {0, 0, 120, 18}},  // 12078 / 100
        {366, 18, 0, 100, 100, true, {0, 0, 366, 18}},
        {366, 18, 0, 100, 250, true, {0, 0, 366, 18}},  // clamped to max
        {366, 18, 0, 100, -5, true, {0, 0, 0, 18}},     // clamped to min
        {366, 18, 10, 20, 15, true, {0, 0, 183, 18}},
        {366, 18, 5, 5, 6, true, {0, 0, 366, 18}},  // max not above min: min + 1
        {366, 18, 5, 2, 5, true, {0, 0, 0, 18}},
        {20, 100, 0, 100, 25, false, {0, 75, 20, 100}},  // vertical fills from below
        {20, 100, 0, 3, 1, false, {0, 66, 20, 100}},
        {20, 100, 0, 100, 100, false, {0, 0, 20, 100}},
        // Wide bars with huge ranges must not overflow.
        {30000, 10, 0, 2000000000, 1000000000, true, {0, 0, 15000, 10}},
        {30000, 10, -2147483647 - 1, 2147483647, 0, true, {0, 0, 15000, 10}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ProgressFillRect(c.w, c.h, c.min, c.max, c.value, c.hor), c.expected)
            << c.min << ".." << c.max << " value " << c.value;
    }
}

}  // namespace

namespace {

TEST(LinearLayout, AbsurdNumbersAreHeldToSaneLengths) {
    SkinUI::CHorizontalLayoutUI layout;
    auto* a = AddChild(layout, L"pos=\"0,0,99999999999,5\" padding=\"2147483647,0,0,0\"");
    auto* b = AddChild(layout, L"width=\"99999999999\"");
    auto* floating = AddChild(layout, L"float=\"true\" pos=\"2147483647,-2147483647,0,0\"");
    layout.SetPos(TRect{2000000000, 0, 2100000000, 10});
    EXPECT_EQ(a->GetFixedWidth(), SkinUI::kMaxLength);
    EXPECT_LE(a->GetPos().right, SkinUI::kMaxCoord);
    EXPECT_LE(b->GetPos().left, b->GetPos().right);
    EXPECT_EQ(floating->GetFixedXY().x, SkinUI::kMaxLength);
    EXPECT_EQ(floating->GetFixedXY().y, -SkinUI::kMaxLength);
}

}  // namespace
