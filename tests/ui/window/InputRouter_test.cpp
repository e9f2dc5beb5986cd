// Where the mouse and the keys go among a window's controls, without a
// window: a layout's tree, a platform that records what it was asked, and
// the notifications the controls send.
#include "ui/window/InputRouter.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/RecordingCanvas.h"
#include "ui/controls/Combo.h"
#include "ui/controls/LayoutBuilder.h"
#include "ui/controls/Notify.h"
#include "ui/window/WindowManager.h"

namespace {

using SkinUI::CControlUI;
using SkinUI::CInputRouter;
using SkinUI::TPoint;
using SkinUI::UIKey;
using TestSupport::RecordingCanvas;

class RecordingPlatform : public SkinUI::IInputPlatformUI {
public:
    void TrackMouseLeave() override {}
    void TrackHover() override { calls.push_back("hover"); }
    void HideToolTip() override {}
    void CaptureMouse(bool capture) override { calls.push_back(capture ? "capture" : "release"); }
    void FocusLeaving(CControlUI* control) override { calls.push_back("leaving " + Name(control)); }
    void FocusTaken(CControlUI* control) override { calls.push_back("taken " + Name(control)); }

    static std::string Name(const CControlUI* control) {
        const std::wstring& name = control->GetName();
        return std::string(name.begin(), name.end());
    }
    std::vector<std::string> calls;
};

class Recorder : public SkinUI::INotifyUI {
public:
    void Notify(SkinUI::TControlNotify& msg) override {
        if (msg.type == L"windowinit") return;
        seen.push_back(std::string(msg.type.begin(), msg.type.end()) + " " +
                       RecordingPlatform::Name(msg.sender));
    }
    std::vector<std::string> seen;
};

// A button, an edit field and a combo box in tab order; a label laid over
// the combo's text; a hidden and a disabled button; a label with a tool tip.
constexpr wchar_t kLayout[] =
    L"<Window size=\"400,300\"><Container>"
    L"<Button name=\"ok\" float=\"true\" pos=\"10,10,90,40\" />"
    L"<Edit name=\"field\" float=\"true\" pos=\"10,50,190,80\" />"
    L"<Combo name=\"list\" float=\"true\" pos=\"10,90,190,120\" />"
    L"<Label name=\"overlay\" float=\"true\" pos=\"12,92,150,118\" />"
    L"<Button name=\"hidden\" float=\"true\" visible=\"false\" pos=\"10,130,90,160\" />"
    L"<Button name=\"off\" float=\"true\" enabled=\"false\" pos=\"10,170,90,200\" />"
    L"<Label name=\"tip\" float=\"true\" tooltip=\"help\" pos=\"10,210,90,240\" />"
    L"</Container></Window>";

class InputRouterTest : public testing::Test {
protected:
    void SetUp() override {
        SkinUI::CLayoutBuilder builder;
        std::unique_ptr<CControlUI> root = builder.Create(kLayout, L"", nullptr, &manager_);
        ASSERT_NE(root, nullptr) << std::string(builder.GetLastError().begin(),
                                                builder.GetLastError().end());
        ASSERT_TRUE(manager_.AttachDialog(std::move(root)));
        manager_.SetClientSize(SkinUI::TSize{400, 300});
        RecordingCanvas canvas;  // the first paint lays the tree out
        manager_.Paint(canvas, SkinUI::TRect{0, 0, 400, 300});
        manager_.AddNotifier(&recorder_);
        auto* list = dynamic_cast<SkinUI::CComboUI*>(Control(L"list"));
        ASSERT_NE(list, nullptr);
        for (const wchar_t* item : {L"a", L"b", L"c"}) list->AddItem(item);
        list->SelectItem(0, false);
    }
    CControlUI* Control(const wchar_t* name) { return manager_.FindControl(std::wstring(name)); }
    std::string Focus() const {
        return router_.GetFocus() ? RecordingPlatform::Name(router_.GetFocus()) : "none";
    }
    std::vector<std::string> Seen() {
        std::vector<std::string> seen;
        seen.swap(recorder_.seen);
        return seen;
    }

    SkinUI::CWindowManagerUI manager_;
    RecordingPlatform platform_;
    Recorder recorder_;
    CInputRouter router_{manager_, platform_};
};

TEST_F(InputRouterTest, APressReleasedOnTheControlClicksAndOneDraggedOffDoesNot) {
    router_.MouseMove(TPoint{20, 20});
    EXPECT_EQ(router_.GetHot(), Control(L"ok"));
    router_.ButtonDown(TPoint{20, 20});
    EXPECT_EQ(router_.GetCapture(), Control(L"ok"));
    router_.ButtonUp(TPoint{25, 25});
    EXPECT_EQ(router_.GetCapture(), nullptr);
    EXPECT_EQ(platform_.calls, (std::vector<std::string>{"taken ok", "capture", "release"}));
    EXPECT_EQ(Seen(), (std::vector<std::string>{"setfocus ok", "click ok"}));

    // Held and dragged off: nothing is hot, the field under the pointer
    // neither; released there, it is no click.
    router_.ButtonDown(TPoint{20, 20});
    router_.MouseMove(TPoint{20, 60});
    EXPECT_EQ(router_.GetHot(), nullptr);
    router_.ButtonUp(TPoint{20, 60});
    EXPECT_EQ(Seen(), std::vector<std::string>{});
    router_.MouseMove(TPoint{21, 60});
    EXPECT_EQ(router_.GetHot(), Control(L"field")) << "hot again once released";

    // A capture taken away mid-press is no click either.
    router_.ButtonDown(TPoint{20, 20});
    router_.CancelCapture();
    EXPECT_EQ(router_.GetCapture(), nullptr);
    router_.ButtonUp(TPoint{20, 20});
    EXPECT_EQ(Seen(), std::vector<std::string>{});
}

TEST_F(InputRouterTest, PressesPassThroughPlainLabelsButNotDisabledOrTippedControls) {
    // The label over the combo box's text lets the press reach the box.
    router_.ButtonDown(TPoint{20, 100});
    EXPECT_EQ(router_.GetCapture(), Control(L"list"));
    EXPECT_EQ(Focus(), "list");
    router_.ButtonUp(TPoint{20, 100});
    EXPECT_EQ(Seen(), (std::vector<std::string>{"setfocus list", "dropdown list"}));

    // A disabled button is hit (it swallows the press) but neither takes
    // the press nor the focus; the press still ends typing elsewhere.
    router_.ButtonDown(TPoint{20, 180});
    EXPECT_EQ(router_.GetHot(), Control(L"off"));
    EXPECT_EQ(router_.GetCapture(), nullptr);
    EXPECT_EQ(Focus(), "none");
    EXPECT_EQ(Seen(), std::vector<std::string>{"killfocus list"});
    router_.ButtonUp(TPoint{20, 180});

    // A hidden button is not there; a label with a tool tip is, and asks
    // for the hover time.
    router_.MouseMove(TPoint{20, 140});
    EXPECT_EQ(router_.GetHot(), nullptr);
    platform_.calls.clear();
    router_.MouseMove(TPoint{20, 220});
    EXPECT_EQ(router_.GetHot(), Control(L"tip"));
    EXPECT_EQ(platform_.calls, std::vector<std::string>{"hover"});
    router_.MouseLeave();
    EXPECT_EQ(router_.GetHot(), nullptr);
}

TEST_F(InputRouterTest, TabWalksTheControlsThatTakeTheFocusAndWraps) {
    std::vector<std::string> order;
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(router_.KeyDown(UIKey::Tab, false));
        order.push_back(Focus());
    }
    // Not the hidden, the disabled, the labels or the combo's items.
    EXPECT_EQ(order, (std::vector<std::string>{"ok", "field", "list", "ok"}));
    EXPECT_TRUE(router_.KeyDown(UIKey::Tab, true));
    EXPECT_EQ(Focus(), "list") << "Shift+Tab goes back, wrapping";
    EXPECT_EQ(platform_.calls.back(), "taken list");
    EXPECT_EQ(platform_.calls[platform_.calls.size() - 2], "leaving ok");

    // Focus moves only to a control that can take it.
    router_.SetFocus(Control(L"off"));
    router_.SetFocus(Control(L"overlay"));
    EXPECT_EQ(Focus(), "list");
    Control(L"list")->SetVisible(false);
    EXPECT_FALSE(CInputRouter::CanFocus(Control(L"list")));
}

TEST_F(InputRouterTest, TheFocusedControlTakesItsKeys) {
    auto* list = dynamic_cast<SkinUI::CComboUI*>(Control(L"list"));
    EXPECT_FALSE(router_.KeyDown(UIKey::Down, false)) << "no focus, nobody takes it";
    router_.SetFocus(list);
    Seen();
    EXPECT_TRUE(router_.KeyDown(UIKey::Up, false));
    EXPECT_EQ(list->GetCurSel(), 0) << "stays at the first";
    EXPECT_TRUE(router_.KeyDown(UIKey::Down, false));
    EXPECT_TRUE(router_.KeyDown(UIKey::Down, false));
    EXPECT_TRUE(router_.KeyDown(UIKey::Down, false));
    EXPECT_EQ(list->GetCurSel(), 2) << "stays at the last";
    EXPECT_FALSE(router_.KeyDown(UIKey::Return, false));
    EXPECT_TRUE(router_.KeyDown(UIKey::Space, false));
    EXPECT_EQ(Seen(), (std::vector<std::string>{"itemselect list", "itemselect list", "dropdown list"}));

    router_.SetFocus(Control(L"ok"));
    Seen();
    EXPECT_TRUE(router_.KeyDown(UIKey::Space, false));
    EXPECT_FALSE(router_.KeyDown(UIKey::Down, false));
    EXPECT_EQ(Seen(), std::vector<std::string>{"click ok"});
    router_.SetFocus(Control(L"field"));
    EXPECT_FALSE(router_.KeyDown(UIKey::Space, false)) << "the native field types it";
}

TEST_F(InputRouterTest, AControlThatLeavesTheTreeIsForgottenAndItsPressReleased) {
    router_.ButtonDown(TPoint{20, 20});
    ASSERT_EQ(router_.GetCapture(), Control(L"ok"));
    router_.ControlGone(Control(L"field"));
    EXPECT_EQ(router_.GetCapture(), Control(L"ok")) << "another control's going changes nothing";
    platform_.calls.clear();
    router_.ControlGone(Control(L"ok"));
    EXPECT_EQ(router_.GetHot(), nullptr);
    EXPECT_EQ(router_.GetCapture(), nullptr);
    EXPECT_EQ(router_.GetFocus(), nullptr);
    EXPECT_EQ(platform_.calls, std::vector<std::string>{"release"});
    router_.ButtonUp(TPoint{20, 20});
    EXPECT_EQ(Seen(), std::vector<std::string>{"setfocus ok"}) << "no click from a gone control";
}

}  // namespace
