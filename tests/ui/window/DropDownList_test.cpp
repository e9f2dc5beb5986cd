// The combo box's open list without its window: rows, the hot row under
// the pointer and the keys, what a release or a key chooses, the painting.
#include "ui/window/DropDownList.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "support/RecordingCanvas.h"
#include "ui/controls/Combo.h"
#include "ui/controls/LayoutBuilder.h"
#include "ui/window/WindowManager.h"

namespace {

using SkinUI::CDropDownList;
using SkinUI::TPoint;
using SkinUI::UIKey;
using TestSupport::RecordingCanvas;
using TestSupport::TDrawCall;
using Action = CDropDownList::Action;

class DropDownListTest : public testing::Test {
protected:
    // A box |height| high and 30 wide (the list is never narrower than 40)
    // with three items, the second selected.
    SkinUI::CComboUI& Box(int height) {
        const std::wstring layout = L"<Window size=\"300,300\" selectedcolor=\"#FF102030\">"
                                    L"<Container><Combo name=\"list\" float=\"true\" pos=\"10,10,40," +
                                    std::to_wstring(10 + height) + L"\" /></Container></Window>";
        SkinUI::CLayoutBuilder builder;
        std::unique_ptr<SkinUI::CControlUI> root = builder.Create(layout, L"", nullptr, &manager_);
        EXPECT_NE(root, nullptr);
        manager_.AttachDialog(std::move(root));
        manager_.SetClientSize(SkinUI::TSize{300, 300});
        RecordingCanvas layoutPass;
        manager_.Paint(layoutPass, SkinUI::TRect{0, 0, 300, 300});
        auto* box = dynamic_cast<SkinUI::CComboUI*>(manager_.FindControl(std::wstring(L"list")));
        EXPECT_NE(box, nullptr);
        for (const wchar_t* item : {L"one", L"two", L"three"}) box->AddItem(item);
        box->SelectItem(1, false);
        return *box;
    }

    SkinUI::CWindowManagerUI manager_;
};

TEST_F(DropDownListTest, RowsAreAsHighAsTheBoxWithinBoundsAndOnlyRowsAreHit) {
    EXPECT_EQ(CDropDownList(Box(10)).ItemHeight(), 18);
    EXPECT_EQ(CDropDownList(Box(60)).ItemHeight(), 40);
    CDropDownList list(Box(20));
    EXPECT_EQ(list.Size().cx, 40);
    EXPECT_EQ(list.Size().cy, 3 * 20 + 2);
    EXPECT_EQ(list.ItemAt(TPoint{5, 0}), -1) << "the frame";
    EXPECT_EQ(list.ItemAt(TPoint{5, 1}), 0);
    EXPECT_EQ(list.ItemAt(TPoint{5, 20}), 0);
    EXPECT_EQ(list.ItemAt(TPoint{5, 21}), 1);
    EXPECT_EQ(list.ItemAt(TPoint{5, 60}), 2);
    EXPECT_EQ(list.ItemAt(TPoint{5, 61}), -1) << "the frame below the last row";
    EXPECT_EQ(list.ItemAt(TPoint{-1, 30}), -1);
    EXPECT_EQ(list.ItemAt(TPoint{40, 30}), -1);
}

TEST_F(DropDownListTest, TheHotRowFollowsThePointerAndTheKeysAndIsChosen) {
    SkinUI::CComboUI& box = Box(20);
    CDropDownList list(box);
    EXPECT_EQ(list.GetHot(), 1) << "opens on the selection";
    EXPECT_FALSE(list.HoverAt(TPoint{5, 30})) << "already hot";
    EXPECT_TRUE(list.HoverAt(TPoint{5, 50}));
    EXPECT_FALSE(list.HoverAt(TPoint{5, 70})) << "off the rows keeps the hot row";
    EXPECT_EQ(list.GetHot(), 2);
    EXPECT_EQ(list.OnKey(UIKey::Down), Action::Handled);
    EXPECT_EQ(list.GetHot(), 2) << "stays at the last";
    EXPECT_EQ(list.OnKey(UIKey::Up), Action::Handled);
    EXPECT_EQ(list.OnKey(UIKey::Up), Action::Handled);
    EXPECT_EQ(list.OnKey(UIKey::Up), Action::Handled);
    EXPECT_EQ(list.GetHot(), 0) << "stays at the first";
    EXPECT_EQ(list.OnKey(UIKey::Return), Action::Choose);
    EXPECT_EQ(list.OnKey(UIKey::Escape), Action::Cancel);
    EXPECT_EQ(list.OnKey(UIKey::Tab), Action::None);
    EXPECT_EQ(list.OnButtonUp(TPoint{5, 70}), Action::None);
    EXPECT_EQ(list.OnButtonUp(TPoint{5, 45}), Action::Choose);
    EXPECT_EQ(list.GetHot(), 2);

    // Opened with nothing selected, Down starts at the first row and Up at
    // the last.
    box.SelectItem(-1, false);
    CDropDownList fresh(box);
    EXPECT_EQ(fresh.GetHot(), -1);
    fresh.MoveHot(1);
    EXPECT_EQ(fresh.GetHot(), 0);
    CDropDownList other(box);
    other.MoveHot(-1);
    EXPECT_EQ(other.GetHot(), 2);
}

TEST_F(DropDownListTest, PaintsEveryItemInItsRowTheHotOneMarkedInsideTheFrame) {
    CDropDownList list(Box(20));
    RecordingCanvas canvas;
    list.Paint(canvas, manager_);
    const auto texts = canvas.Of(TDrawCall::kText);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[2].text, L"three");
    EXPECT_EQ(texts[2].rect.top, 41);
    EXPECT_EQ(texts[2].rect.bottom, 61);
    const auto fills = canvas.Of(TDrawCall::kFill);
    ASSERT_EQ(fills.size(), 2u);
    EXPECT_EQ(fills[0].color, CDropDownList::kBackground);
    EXPECT_EQ(fills[1].color, 0xFF102030u) << "the window's selected colour";
    EXPECT_EQ(fills[1].rect.top, 21);
    const auto borders = canvas.Of(TDrawCall::kBorder);
    ASSERT_EQ(borders.size(), 1u);
    EXPECT_EQ(borders[0].rect.right, 40);
    EXPECT_EQ(borders[0].rect.bottom, 62);
    EXPECT_EQ(canvas.calls.back().kind, TDrawCall::kBorder) << "the frame on top";
}

}  // namespace
