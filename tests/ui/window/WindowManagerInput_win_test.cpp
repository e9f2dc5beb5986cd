// The manager's Win32 side on real windows: mouse, keyboard, focus, the
// combo box's drop-down list, the native edit window, timers, tool tips,
// asynchronous notifications and the loop's pre-translation.
#include <gtest/gtest.h>
#include <windows.h>
// The common controls header needs windows.h before it.
#include <commctrl.h>

#include <string>
#include <vector>

#include "support/UiTestHost_win.h"
#include "ui/controls/Button.h"
#include "ui/controls/Combo.h"
#include "ui/controls/Label.h"
#include "ui/window/WindowHost_win.h"

namespace {

using testsupport::UiTestHost;
using Events = std::vector<std::string>;

const wchar_t kButtons[] =
    LR"(<Window size="240,120">
  <Container bkcolor="#FF202020">
    <Button name="ok" float="true" pos="10,10,90,40" bkcolor="#FF800000" />
    <Button name="off" float="true" pos="100,10,180,40" enabled="false" />
    <Label name="plain" float="true" pos="10,80,230,110" text="label" />
  </Container>
</Window>)";

const wchar_t kForm[] =
    LR"(<Window size="260,120">
  <Container bkcolor="#FF202020">
    <Edit name="user" float="true" pos="10,10,150,34" bkcolor="#FFFFFFFF" />
    <Combo name="servers" float="true" pos="10,50,150,70" tooltip="pick one" />
    <Button name="go" float="true" pos="170,10,250,34" />
  </Container>
</Window>)";

// Which press is a click is the input router's (tested natively); here the
// window's part: the capture while pressed and the pointer leaving.
TEST(WindowManagerMouse, APressHoldsTheMouseAndLeavingTheWindowEndsTheHotState) {
    UiTestHost host(kButtons);
    auto* ok = host.Find<SkinUI::CButtonUI>(L"ok");
    ASSERT_NE(ok, nullptr);
    host.events.clear();  // the first paint's "windowinit"

    host.Post(WM_MOUSEMOVE, 0, 20, 20);
    EXPECT_EQ(host.manager().GetHot(), ok);
    host.Post(WM_LBUTTONDOWN, MK_LBUTTON, 20, 20);
    EXPECT_EQ(GetCapture(), host.hwnd()) << "a pressed button keeps the mouse";
    host.Post(WM_LBUTTONUP, 0, 20, 20);
    EXPECT_EQ(host.events, (Events{"setfocus:ok", "click:ok"}));
    EXPECT_EQ(GetCapture(), nullptr);

    host.Post(WM_MOUSEMOVE, 0, 20, 20);
    EXPECT_TRUE(ok->IsHot());
    host.Post(WM_MOUSELEAVE, 0, 0, 0);
    EXPECT_FALSE(ok->IsHot());
}

TEST(WindowManagerMouse, RealMouseInputClicksOnce) {
    UiTestHost host(kButtons, 300, 300);
    SetForegroundWindow(host.hwnd());
    POINT at{30, 25};
    ClientToScreen(host.hwnd(), &at);
    ASSERT_TRUE(SetCursorPos(at.x, at.y));
    INPUT input[2]{};
    input[0].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[1].type = INPUT_MOUSE;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ASSERT_EQ(SendInput(2, input, sizeof(INPUT)), 2u);
    EXPECT_TRUE(UiTestHost::DrainUntil([&] {
        for (const auto& e : host.events) {
            if (e == "click:ok") return true;
        }
        return false;
    }));
    UiTestHost::Drain();
    int clicks = 0;
    for (const auto& e : host.events) clicks += e == "click:ok";
    EXPECT_EQ(clicks, 1);
}

// Only the events of one type, in order.
Events OfType(const Events& all, const std::string& type) {
    Events out;
    for (const auto& e : all) {
        if (e.rfind(type + ":", 0) == 0) out.push_back(e);
    }
    return out;
}

TEST(WindowManagerCombo, DropDownPicksWithKeysAndWithTheMouse) {
    UiTestHost host(kForm);
    auto* combo = host.Find<SkinUI::CComboUI>(L"servers");
    ASSERT_NE(combo, nullptr);
    for (const wchar_t* name : {L"\u4E00\u533A", L"\u4E8C\u533A", L"\u4E09\u533A"})
        combo->AddItem(name);

    host.Click(50, 60);
    HWND list = SkinUI::CWindowHostWin::Of(host.manager())->GetDropDownWindow();
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(IsWindowVisible(list));
    RECT r{};
    GetWindowRect(list, &r);
    POINT below{10, 70};
    ClientToScreen(host.hwnd(), &below);
    EXPECT_EQ(r.left, below.x);
    EXPECT_EQ(r.top, below.y) << "the list opens under the box";
    EXPECT_EQ(OfType(host.events, "dropdown"), (Events{"dropdown:servers"}));

    // Keys reach the open list through the window: down, down, return.
    host.Key(VK_DOWN);
    host.Key(VK_DOWN);
    host.Key(VK_RETURN);
    EXPECT_EQ(SkinUI::CWindowHostWin::Of(host.manager())->GetDropDownWindow(), nullptr);
    EXPECT_FALSE(IsWindow(list));
    EXPECT_EQ(combo->GetCurSel(), 1);
    EXPECT_EQ(OfType(host.events, "itemselect"), (Events{"itemselect:servers:1:-1"}));

    // Escape closes without choosing, even in a window whose filter
    // swallows Escape (as the launcher's windows do).
    struct SwallowEscape : SkinUI::IMessageFilterUI {
        LRESULT MessageHandler(UINT message, WPARAM wParam, LPARAM, bool& handled) override {
            handled = message == WM_KEYDOWN && wParam == VK_ESCAPE;
            return 0;
        }
    } swallow;
    SkinUI::CWindowHostWin::Of(host.manager())->AddPreMessageFilter(&swallow);
    host.Click(50, 60);
    host.Key(VK_DOWN);
    host.Key(VK_ESCAPE);
    EXPECT_EQ(SkinUI::CWindowHostWin::Of(host.manager())->GetDropDownWindow(), nullptr);
    EXPECT_EQ(combo->GetCurSel(), 1);
    SkinUI::CWindowHostWin::Of(host.manager())->RemovePreMessageFilter(&swallow);

    // The mouse: hover the third row and release on it.
    host.Click(50, 60);
    list = SkinUI::CWindowHostWin::Of(host.manager())->GetDropDownWindow();
    ASSERT_NE(list, nullptr);
    const int rowHeight = 20;  // the box's height
    const LPARAM third = MAKELPARAM(30, 1 + 2 * rowHeight + 5);
    SendMessageW(list, WM_MOUSEMOVE, 0, third);
    SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, third);
    SendMessageW(list, WM_LBUTTONUP, 0, third);
    UiTestHost::Drain();
    EXPECT_EQ(combo->GetCurSel(), 2);
    EXPECT_EQ(OfType(host.events, "itemselect"),
              (Events{"itemselect:servers:1:-1", "itemselect:servers:2:1"}));

    // A press outside the list (it holds the capture) closes it unchosen.
    host.Click(50, 60);
    list = SkinUI::CWindowHostWin::Of(host.manager())->GetDropDownWindow();
    ASSERT_NE(list, nullptr);
    SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(-30, -30));
    UiTestHost::Drain();
    EXPECT_EQ(SkinUI::CWindowHostWin::Of(host.manager())->GetDropDownWindow(), nullptr);
    EXPECT_EQ(combo->GetCurSel(), 2);

    // With the focus on the closed box, arrows step the selection.
    ASSERT_EQ(host.manager().GetFocus(), combo);
    host.Key(VK_UP);
    EXPECT_EQ(OfType(host.events, "itemselect").back(), "itemselect:servers:1:2");
}

TEST(WindowManagerEdit, TypingAndProgrammaticTextRaiseTextChanged) {
    UiTestHost host(kForm, 300, 40);
    auto* edit = host.Find<SkinUI::CEditUI>(L"user");
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(SkinUI::CWindowHostWin::Of(host.manager())->GetEditWindow(), nullptr)
        << "no native window until focused";

    host.Click(50, 20);
    HWND native = SkinUI::CWindowHostWin::Of(host.manager())->GetEditWindow();
    ASSERT_NE(native, nullptr);
    EXPECT_EQ(GetParent(native), host.hwnd());
    EXPECT_EQ(GetFocus(), native);
    RECT r{};
    GetWindowRect(native, &r);
    MapWindowPoints(nullptr, host.hwnd(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.right, 150);

    PostMessageW(native, WM_CHAR, L'a', 1);
    PostMessageW(native, WM_CHAR, L'\u533A', 1);
    UiTestHost::Drain();
    EXPECT_EQ(edit->GetText(), L"a\u533A");
    EXPECT_EQ(OfType(host.events, "textchanged"), (Events{"textchanged:user", "textchanged:user"}));

    edit->SetText(L"xyz");
    wchar_t shown[16]{};
    GetWindowTextW(native, shown, 16);
    EXPECT_STREQ(shown, L"xyz");
    EXPECT_EQ(OfType(host.events, "textchanged").size(), 3u);

    // Real keys from the keyboard reach the native edit window.
    SetForegroundWindow(host.hwnd());
    SetFocus(native);
    INPUT keys[2]{};
    keys[0].type = INPUT_KEYBOARD;
    keys[0].ki.wVk = 'Q';
    keys[1] = keys[0];
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ASSERT_EQ(SendInput(2, keys, sizeof(INPUT)), 2u);
    EXPECT_TRUE(UiTestHost::DrainUntil([&] { return edit->GetText() == L"xyzq"; }))
        << "text now: " << std::string(edit->GetText().begin(), edit->GetText().end());

    // Tab moves on in tree order; the native window goes, the text stays.
    host.events.clear();
    PostMessageW(native, WM_KEYDOWN, VK_TAB, 1);
    UiTestHost::Drain();
    EXPECT_EQ(SkinUI::CWindowHostWin::Of(host.manager())->GetEditWindow(), nullptr);
    EXPECT_FALSE(IsWindow(native));
    EXPECT_EQ(host.manager().GetFocus(), host.Find(L"servers"));
    EXPECT_EQ(edit->GetText(), L"xyzq");
    EXPECT_EQ(host.events, (Events{"killfocus:user", "setfocus:servers"}));
    // Programmatic text without the native window is no user edit.
    edit->SetText(L"later");
    EXPECT_TRUE(OfType(host.events, "textchanged").empty());
    host.Key(VK_TAB);
    host.Key(VK_TAB);
    EXPECT_EQ(host.manager().GetFocus(), edit) << "the tab order wraps around";
}

TEST(WindowManagerMessages, TimersToolTipsAndAsynchronousNotifications) {
    UiTestHost host(kForm);
    SkinUI::CControlUI* go = host.Find(L"go");
    ASSERT_NE(go, nullptr);
    ASSERT_TRUE(host.manager().SetTimer(go, 7, 10));
    EXPECT_TRUE(UiTestHost::DrainUntil([&] { return !OfType(host.events, "timer").empty(); }));
    EXPECT_EQ(OfType(host.events, "timer").front(), "timer:go:7");
    EXPECT_TRUE(host.manager().KillTimer(go, 7));
    EXPECT_FALSE(host.manager().KillTimer(go, 7));

    host.events.clear();
    host.manager().SendNotify(go, L"first", 0, 0, true);
    host.manager().SendNotify(go, L"second", 0, 0, true);
    host.manager().SendNotify(go, L"now");
    EXPECT_EQ(host.events, (Events{"now:go"})) << "queued ones wait for the message";
    UiTestHost::Drain();
    EXPECT_EQ(host.events, (Events{"now:go", "first:go", "second:go"}));

    // Hovering a control with a tool tip shows it; moving away hides it.
    host.Post(WM_MOUSEMOVE, 0, 50, 60);
    SendMessageW(host.hwnd(), WM_MOUSEHOVER, 0, MAKELPARAM(50, 60));
    HWND tip = SkinUI::CWindowHostWin::Of(host.manager())->GetToolTipWindow();
    ASSERT_NE(tip, nullptr);
    EXPECT_TRUE(IsWindowVisible(tip));
    wchar_t text[32]{};
    TTTOOLINFOW info{};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.hwnd = host.hwnd();
    info.uId = 1;
    info.lpszText = text;
    SendMessageW(tip, TTM_GETTEXTW, 32, reinterpret_cast<LPARAM>(&info));
    EXPECT_STREQ(text, L"pick one");
    host.Post(WM_MOUSEMOVE, 0, 200, 100);
    EXPECT_FALSE(IsWindowVisible(tip));
}

// Records the order in which hooks see a message and may consume it.
struct Recorder : SkinUI::ITranslateAccelerator, SkinUI::IMessageFilterUI {
    Recorder(std::vector<std::string>& log, std::string name) : log_(log), name_(std::move(name)) {}
    bool TranslateAccelerator(const MSG* msg) override {
        if (msg->message != WM_APP + 5) return false;
        log_.push_back(name_);
        return consume;
    }
    LRESULT MessageHandler(UINT message, WPARAM, LPARAM, bool& handled) override {
        if (message != WM_APP + 5) return 0;
        log_.push_back(name_);
        handled = consume;
        return 0;
    }
    std::vector<std::string>& log_;
    std::string name_;
    bool consume = false;
};

LRESULT CALLBACK CountingChildProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP + 5) {
        auto* seen = reinterpret_cast<int*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (seen != nullptr) ++*seen;
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

TEST(WindowManagerMessages, PreTranslationRunsTranslatorsThenFiltersAndChildrenOnlyLook) {
    UiTestHost host(kButtons);
    std::vector<std::string> log;
    Recorder translator(log, "translator");
    Recorder preFilter(log, "prefilter");
    Recorder filter(log, "filter");
    SkinUI::CWindowHostWin::Of(host.manager())->AddTranslateAccelerator(&translator);
    SkinUI::CWindowHostWin::Of(host.manager())->AddPreMessageFilter(&preFilter);
    SkinUI::CWindowHostWin::Of(host.manager())->AddMessageFilter(&filter);

    PostMessageW(host.hwnd(), WM_APP + 5, 0, 0);
    UiTestHost::Drain();
    EXPECT_EQ(log, (std::vector<std::string>{"translator", "prefilter", "filter"}));

    log.clear();
    preFilter.consume = true;  // consumed before dispatch
    PostMessageW(host.hwnd(), WM_APP + 5, 0, 0);
    UiTestHost::Drain();
    EXPECT_EQ(log, (std::vector<std::string>{"translator", "prefilter"}));

    // A child of the window: the filter's verdict is ignored there...
    static const bool registered = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &CountingChildProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"SkinUITestChild";
        return RegisterClassW(&wc) != 0;
    }();
    ASSERT_TRUE(registered);
    HWND child = CreateWindowExW(0, L"SkinUITestChild", L"", WS_CHILD | WS_VISIBLE, 0, 0, 5, 5,
                                 host.hwnd(), nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(child, nullptr);
    int seen = 0;
    SetWindowLongPtrW(child, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&seen));
    log.clear();
    PostMessageW(child, WM_APP + 5, 0, 0);
    UiTestHost::Drain();
    EXPECT_EQ(log, (std::vector<std::string>{"translator", "prefilter"}));
    EXPECT_EQ(seen, 1);
    // ...while a translator still consumes.
    translator.consume = true;
    log.clear();
    PostMessageW(child, WM_APP + 5, 0, 0);
    UiTestHost::Drain();
    EXPECT_EQ(log, (std::vector<std::string>{"translator"}));
    EXPECT_EQ(seen, 1);

    SkinUI::CWindowHostWin::Of(host.manager())->RemoveTranslateAccelerator(&translator);
    SkinUI::CWindowHostWin::Of(host.manager())->RemovePreMessageFilter(&preFilter);
    SkinUI::CWindowHostWin::Of(host.manager())->RemoveMessageFilter(&filter);
    log.clear();
    PostMessageW(host.hwnd(), WM_APP + 5, 0, 0);
    UiTestHost::Drain();
    EXPECT_TRUE(log.empty());
}

}  // namespace
