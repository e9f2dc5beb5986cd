// Controls in a window manager, painted onto a recording canvas: which
// image each state draws, text colours, the image cache, notifications.
#include <gtest/gtest.h>

#include <memory>

#include "support/RecordingCanvas.h"
#include "ui/controls/Button.h"
#include "ui/controls/Combo.h"
#include "ui/controls/Container.h"
#include "ui/controls/Label.h"
#include "ui/controls/Progress.h"
#include "ui/window/WindowManager.h"

namespace {

using SkinUI::TRect;
using TestSupport::FakeImageLoader;
using TestSupport::RecordingCanvas;
using TestSupport::TDrawCall;

constexpr uint32_t kNormal = 0xFF000001;
constexpr uint32_t kHot = 0xFF000002;
constexpr uint32_t kPushed = 0xFF000003;
constexpr uint32_t kSelected = 0xFF000004;
constexpr uint32_t kFore = 0xFF000005;

struct Recorder : SkinUI::INotifyUI {
    void Notify(SkinUI::TControlNotify& msg) override {
        seen.push_back(msg.type + L":" + (msg.sender ? msg.sender->GetName() : L"") + L":" +
                       std::to_wstring(msg.wParam) + L":" + std::to_wstring(msg.lParam));
    }
    std::vector<std::wstring> seen;
};

class Window : public ::testing::Test {
protected:
    void SetUp() override {
        loader.images = {{L"n.png", {10, 10, kNormal}},   {L"h.png", {10, 10, kHot}},
                         {L"p.png", {10, 10, kPushed}},   {L"s.png", {10, 10, kSelected}},
                         {L"fore.png", {366, 18, kFore}}, {L"bg.png", {200, 100, 0x80101010}}};
        manager.SetImageLoader(&loader);
        manager.AddNotifier(&recorder);
        auto root = std::make_unique<SkinUI::CContainerUI>();
        root->ApplyAttributeList(L"bkimage=\"bg.png\"");
        container = root.get();
        manager.AttachDialog(std::move(root));
        manager.SetClientSize({200, 100});
    }

    template <class T>
    T* Add(const wchar_t* attributes) {
        auto control = std::make_unique<T>();
        T* raw = control.get();
        container->Add(std::move(control));
        raw->ApplyAttributeList(attributes);
        manager.RegisterName(raw);
        return raw;
    }

    std::vector<TDrawCall> Paint() {
        RecordingCanvas canvas;
        manager.Paint(canvas, TRect{0, 0, 200, 100});
        EXPECT_EQ(canvas.ClipDepth(), 1u) << "unbalanced clip push/pop";
        return canvas.calls;
    }

    // The images painted inside |rect|, by their colour.
    std::vector<uint32_t> ImagesIn(const TRect& rect) {
        std::vector<uint32_t> out;
        for (const auto& call : Paint()) {
            if (call.kind == TDrawCall::kImage && call.rect == rect) out.push_back(call.color);
        }
        return out;
    }

    FakeImageLoader loader;
    Recorder recorder;
    SkinUI::CWindowManagerUI manager;
    SkinUI::CContainerUI* container = nullptr;
};

TEST_F(Window, ButtonStateImagesFollowTheState) {
    auto* button = Add<SkinUI::CButtonUI>(
        L"name=\"b\" float=\"true\" pos=\"10,10,30,20\" normalimage=\"n.png\" "
        L"hotimage=\"h.png\" pushedimage=\"p.png\"");
    const TRect where{10, 10, 30, 20};
    EXPECT_EQ(ImagesIn(where), std::vector<uint32_t>{kNormal});

    SkinUI::TEventUI enter{SkinUI::UIEvent::MouseEnter, {15, 15}};
    button->DoEvent(enter);
    EXPECT_EQ(ImagesIn(where), std::vector<uint32_t>{kHot});

    SkinUI::TEventUI down{SkinUI::UIEvent::ButtonDown, {15, 15}};
    button->DoEvent(down);
    EXPECT_EQ(ImagesIn(where), std::vector<uint32_t>{kPushed});

    SkinUI::TEventUI up{SkinUI::UIEvent::ButtonUp, {15, 15}};
    button->DoEvent(up);
    EXPECT_EQ(ImagesIn(where), std::vector<uint32_t>{kHot});
    ASSERT_FALSE(recorder.seen.empty());
    EXPECT_EQ(recorder.seen.back(), L"click:b:0:0");

    // Released outside: no click.
    recorder.seen.clear();
    button->DoEvent(down);
    SkinUI::TEventUI away{SkinUI::UIEvent::ButtonUp, {150, 90}};
    button->DoEvent(away);
    EXPECT_TRUE(recorder.seen.empty());

    // Disabled: no disabled image, so the normal one; no click either.
    button->SetEnabled(false);
    EXPECT_EQ(ImagesIn(where), std::vector<uint32_t>{kNormal});
    EXPECT_FALSE(button->Activate());
    EXPECT_TRUE(recorder.seen.empty());
}

TEST_F(Window, MissingStateImageFallsBackToNormal) {
    auto* button = Add<SkinUI::CButtonUI>(
        L"float=\"true\" pos=\"0,0,10,10\" normalimage=\"n.png\" hotimage=\"missing.png\"");
    SkinUI::TEventUI enter{SkinUI::UIEvent::MouseEnter, {1, 1}};
    button->DoEvent(enter);
    EXPECT_EQ(ImagesIn({0, 0, 10, 10}), std::vector<uint32_t>{kNormal});
    // A failed image is loaded once and never again.
    Paint();
    Paint();
    EXPECT_EQ(loader.loads[L"missing.png"], 1);
    EXPECT_EQ(loader.loads[L"n.png"], 1);
}

TEST_F(Window, OptionDrawsSelectedImageAndKeepsItsGroupExclusive) {
    auto* a = Add<SkinUI::COptionUI>(
        L"name=\"a\" group=\"g\" float=\"true\" pos=\"0,0,10,10\" normalimage=\"n.png\" "
        L"selectedimage=\"s.png\"");
    auto* b = Add<SkinUI::COptionUI>(
        L"name=\"b\" group=\"g\" float=\"true\" pos=\"20,0,30,10\" normalimage=\"n.png\" "
        L"selectedimage=\"s.png\"");
    auto* c = Add<SkinUI::COptionUI>(
        L"name=\"c\" float=\"true\" pos=\"40,0,50,10\" normalimage=\"n.png\" "
        L"selectedimage=\"s.png\"");
    EXPECT_EQ(ImagesIn({0, 0, 10, 10}), std::vector<uint32_t>{kNormal});
    recorder.seen.clear();  // "windowinit" of the first paint

    ASSERT_TRUE(a->Activate());
    EXPECT_TRUE(a->IsSelected());
    EXPECT_EQ(ImagesIn({0, 0, 10, 10}), std::vector<uint32_t>{kSelected});
    ASSERT_TRUE(b->Activate());
    EXPECT_FALSE(a->IsSelected());
    EXPECT_TRUE(b->IsSelected());
    // Activating a selected grouped option leaves it selected, silently.
    ASSERT_TRUE(b->Activate());
    EXPECT_TRUE(b->IsSelected());
    EXPECT_EQ(recorder.seen,
              (std::vector<std::wstring>{L"click:a:0:0", L"selectchanged:a:0:0", L"click:b:0:0",
                                         L"selectchanged:b:0:0", L"click:b:0:0"}));

    // Without a group an option toggles and notifies both ways.
    recorder.seen.clear();
    c->Activate();
    c->Activate();
    EXPECT_FALSE(c->IsSelected());
    EXPECT_EQ(recorder.seen, (std::vector<std::wstring>{L"click:c:0:0", L"selectchanged:c:0:0",
                                                        L"click:c:0:0", L"selectchanged:c:0:0"}));
}

TEST_F(Window, LabelTextColourIgnoresAlphaAndUnknownFontUsesDefault) {
    manager.AddFont(2, {L"Defined", 14}, false);
    Add<SkinUI::CLabelUI>(
        L"float=\"true\" pos=\"0,0,100,20\" text=\"a\" textcolor=\"#00FFFFFF\" font=\"1\" "
        L"textpadding=\"2,3,4,5\" align=\"right\"");
    Add<SkinUI::CLabelUI>(L"float=\"true\" pos=\"0,30,100,50\" text=\"b\" font=\"2\"");
    auto* disabled = Add<SkinUI::CLabelUI>(
        L"float=\"true\" pos=\"0,60,100,80\" text=\"c\" textcolor=\"#FF112233\" "
        L"disabledtextcolor=\"#00A7A6AA\"");
    disabled->SetEnabled(false);
    RecordingCanvas canvas;
    manager.Paint(canvas, TRect{0, 0, 200, 100});
    const auto texts = canvas.Of(TDrawCall::kText);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0].color, 0xFFFFFFFFu);  // "#00FFFFFF" is white text
    EXPECT_EQ(texts[0].font, manager.GetDefaultFont().name);
    EXPECT_EQ(texts[0].rect, (TRect{2, 3, 96, 15}));
    EXPECT_EQ(texts[0].style & (SkinUI::kTextCenter | SkinUI::kTextRight), SkinUI::kTextRight);
    EXPECT_EQ(texts[1].font, L"Defined");
    EXPECT_EQ(texts[1].color, 0xFF000000u);  // the window's default colour
    EXPECT_EQ(texts[2].color, 0xFFA7A6AAu);
}

TEST_F(Window, ProgressStretchesForeImageOverTheFilledPart) {
    auto* progress = Add<SkinUI::CProgressUI>(
        L"float=\"true\" pos=\"10,55,110,73\" hor=\"true\" min=\"0\" max=\"100\" value=\"0\" "
        L"foreimage=\"fore.png\"");
    RecordingCanvas empty;
    manager.Paint(empty, TRect{0, 0, 200, 100});
    for (const auto& call : empty.Of(TDrawCall::kImage)) EXPECT_NE(call.color, kFore);

    progress->SetValue(40);
    RecordingCanvas canvas;
    manager.Paint(canvas, TRect{0, 0, 200, 100});
    const auto images = canvas.Of(TDrawCall::kImage);
    ASSERT_EQ(images.back().color, kFore);
    EXPECT_EQ(images.back().rect, (TRect{10, 55, 50, 73}));
    EXPECT_EQ(images.back().source, (TRect{0, 0, 366, 18}));  // the whole image
}

TEST_F(Window, ImageSourceIsClippedAndDestIsControlRelative) {
    Add<SkinUI::CControlUI>(
        L"float=\"true\" pos=\"20,20,60,60\" "
        L"bkimage=\"file='n.png' source='2,2,33,24' dest='5,5,15,15'\"");
    RecordingCanvas canvas;
    manager.Paint(canvas, TRect{0, 0, 200, 100});
    const auto images = canvas.Of(TDrawCall::kImage);
    ASSERT_EQ(images.size(), 2u);  // the root's background, then ours
    EXPECT_EQ(images[1].rect, (TRect{25, 25, 35, 35}));
    EXPECT_EQ(images[1].source, (TRect{2, 2, 10, 10}));
}

TEST_F(Window, BordersAreOpaqueAndRoundWhenAsked) {
    Add<SkinUI::CControlUI>(
        L"float=\"true\" pos=\"0,0,50,50\" bordersize=\"2\" bordercolor=\"#00492b00\" "
        L"borderround=\"2\"");
    Add<SkinUI::CControlUI>(
        L"float=\"true\" pos=\"60,0,90,50\" bordersize=\"1\" bordercolor=\"#FF000000\"");
    RecordingCanvas canvas;
    manager.Paint(canvas, TRect{0, 0, 200, 100});
    ASSERT_EQ(canvas.Of(TDrawCall::kRoundBorder).size(), 1u);
    EXPECT_EQ(canvas.Of(TDrawCall::kRoundBorder)[0].color, 0xFF492B00u);
    ASSERT_EQ(canvas.Of(TDrawCall::kBorder).size(), 1u);
    EXPECT_EQ(canvas.Of(TDrawCall::kBorder)[0].size, 1);
}

TEST_F(Window, ComboSelectsItemsAndPaintsTheSelectedText) {
    auto* combo = Add<SkinUI::CComboUI>(
        L"name=\"serverlist\" float=\"true\" pos=\"130,37,175,56\" normalimage=\"n.png\" "
        L"textpadding=\"1,1,1,1\"");
    EXPECT_EQ(combo->AddItem(L"one", 11), 0);
    EXPECT_EQ(combo->AddItem(L"two", 22), 1);
    EXPECT_EQ(combo->GetCurSel(), -1);
    EXPECT_TRUE(combo->SelectItem(1));
    EXPECT_FALSE(combo->SelectItem(1));  // already selected: no notification
    EXPECT_FALSE(combo->SelectItem(2));  // out of range
    EXPECT_TRUE(combo->SelectItem(0));
    EXPECT_EQ(recorder.seen, (std::vector<std::wstring>{L"itemselect:serverlist:1:4294967295",
                                                        L"itemselect:serverlist:0:1"}));
    auto* item = static_cast<SkinUI::CListLabelElementUI*>(combo->GetItemAt(0));
    EXPECT_EQ(item->GetTag(), 11u);
    EXPECT_TRUE(item->IsSelected());

    RecordingCanvas canvas;
    manager.Paint(canvas, TRect{0, 0, 200, 100});
    const auto texts = canvas.Of(TDrawCall::kText);
    ASSERT_EQ(texts.size(), 1u);  // the items themselves are not in the box
    EXPECT_EQ(texts[0].text, L"one");
    EXPECT_EQ(texts[0].rect, (TRect{131, 38, 174, 55}));

    // Removing the selected item drops the selection; an earlier one shifts it.
    combo->SelectItem(1, false);
    combo->Remove(combo->GetItemAt(0));
    EXPECT_EQ(combo->GetCurSel(), 0);
    EXPECT_EQ(combo->GetSelectedText(), L"two");
    combo->Remove(combo->GetItemAt(0));
    EXPECT_EQ(combo->GetCurSel(), -1);
}

TEST_F(Window, WindowInitOnFirstPaintOnlyAndNotifyOrder) {
    Paint();
    Paint();
    ASSERT_EQ(recorder.seen.size(), 1u);
    EXPECT_EQ(recorder.seen[0].rfind(L"windowinit:", 0), 0u);

    // Delegates first, then notifiers in registration order; queued ones
    // only when delivered.
    Recorder second;
    manager.AddNotifier(&second);
    auto* button = Add<SkinUI::CButtonUI>(L"name=\"x\"");
    std::vector<std::wstring> order;
    button->OnNotify.push_back([&](SkinUI::TControlNotify&) { order.push_back(L"delegate"); });
    recorder.seen.clear();
    manager.SendNotify(button, L"timer", 7, 0, true);
    EXPECT_TRUE(recorder.seen.empty());
    EXPECT_TRUE(order.empty());
    manager.DeliverQueuedNotifications();
    EXPECT_EQ(order, std::vector<std::wstring>{L"delegate"});
    EXPECT_EQ(recorder.seen, std::vector<std::wstring>{L"timer:x:7:0"});
    EXPECT_EQ(second.seen, std::vector<std::wstring>{L"timer:x:7:0"});
    manager.RemoveNotifier(&second);
}

TEST_F(Window, FindControlByNameAndByPoint) {
    auto* hidden = Add<SkinUI::CButtonUI>(L"name=\"h\" float=\"true\" pos=\"0,0,50,50\"");
    auto* top = Add<SkinUI::CButtonUI>(L"name=\"t\" float=\"true\" pos=\"10,10,30,30\"");
    manager.SetClientSize({200, 100});
    Paint();
    EXPECT_EQ(manager.FindControl(std::wstring(L"t")), top);
    EXPECT_EQ(manager.FindControl(std::wstring(L"nobody")), nullptr);
    EXPECT_EQ(manager.FindControl(SkinUI::TPoint{15, 15}), top);
    EXPECT_EQ(manager.FindControl(SkinUI::TPoint{40, 40}), hidden);
    hidden->SetVisible(false);
    EXPECT_EQ(manager.FindControl(SkinUI::TPoint{40, 40}), container);
    container->Remove(top);
    EXPECT_EQ(manager.FindControl(std::wstring(L"t")), nullptr);
}

TEST(WindowAttributes, TableOfTheWindowElement) {
    SkinUI::CWindowManagerUI manager;
    EXPECT_TRUE(manager.ApplyWindowAttribute(L"SIZE", L"1000,800"));
    EXPECT_TRUE(manager.ApplyWindowAttribute(L"sizebox", L"4,4,6,6"));
    EXPECT_TRUE(manager.ApplyWindowAttribute(L"caption", L"0,0,0,30"));
    EXPECT_TRUE(manager.ApplyWindowAttribute(L"roundcorner", L"5,5,5,5"));
    EXPECT_TRUE(manager.ApplyWindowAttribute(L"mininfo", L"800,600"));
    EXPECT_TRUE(manager.ApplyWindowAttribute(L"showdirty", L"true"));
    EXPECT_TRUE(manager.ApplyWindowAttribute(L"defaultfontcolor", L"#FF102030"));
    EXPECT_TRUE(manager.ApplyWindowAttribute(L"bktrans", L"true"));
    EXPECT_FALSE(manager.ApplyWindowAttribute(L"padding", L"5,0,5,5"));
    const auto& w = manager.GetWindowAttributes();
    EXPECT_EQ(w.initSize, (SkinUI::TSize{1000, 800}));
    EXPECT_EQ(manager.GetClientSize(), (SkinUI::TSize{1000, 800}));
    EXPECT_EQ(w.sizeBox, (TRect{4, 4, 6, 6}));
    EXPECT_EQ(w.caption, (TRect{0, 0, 0, 30}));
    EXPECT_EQ(w.roundCorner, (SkinUI::TSize{5, 5}));
    EXPECT_EQ(w.minInfo, (SkinUI::TSize{800, 600}));
    EXPECT_TRUE(w.showDirty);
    EXPECT_EQ(w.defaultFontColor, 0xFF102030u);
    manager.ApplyWindowAttribute(L"alpha", L"300");
    EXPECT_EQ(w.opacity, 255);
    manager.ApplyWindowAttribute(L"alpha", L"-1");
    EXPECT_EQ(w.opacity, 0);
    manager.ApplyWindowAttribute(L"alpha", L"128");
    EXPECT_EQ(w.opacity, 128);
}

}  // namespace
