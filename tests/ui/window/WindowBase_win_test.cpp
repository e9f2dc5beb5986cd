// The window base with real windows under Wine: creation and the layout's
// size, style and opacity; the captionless frame (hit tests, maximising to
// the work area, rounded corners, system commands); closing by Alt+F4, the
// system menu, Escape and buttons; modal loops; parent move notices; and a
// layout that cannot be loaded ending the process with its message box.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "support/WinTestSupport_win.h"
#include "ui/controls/Control.h"
#include "ui/window/WindowHost_win.h"
#include "ui/window/WindowImplBase_win.h"

namespace {

using SkinUI::CWindowManagerUI;

constexpr UINT kRunHook = WM_APP + 17;

// Runs the framework's message handling until |done| or |timeoutMs|, waiting
// on the queue (never sleeping) in between.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                return done();
            }
            if (!SkinUI::CWindowHostWin::TranslateMessage(&msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
        if (done()) return true;
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, timeoutMs - elapsed, QS_ALLINPUT);
    }
}

void Drain() {
    PumpUntil([] { return false; }, 0);
}

class CTestWindow : public SkinUI::WindowImplBase {
public:
    explicit CTestWindow(std::wstring layout, std::wstring className = L"WindowBaseTest")
        : layout_(std::move(layout)), className_(std::move(className)) {}
    LPCWSTR GetWindowClassName() const override { return className_.c_str(); }
    LPCWSTR GetSkinFolder() override { return L"Skin"; }
    // Markup text: the builder parses it as it is.
    LPCWSTR GetSkinFile() override { return layout_.c_str(); }
    void InitWindow() override { ++initCalls; }

    LRESULT OnClose(UINT, WPARAM wParam, LPARAM, bool& handled) override {
        closeCodes.push_back(wParam);
        handled = keepOnClose;
        return 0;
    }
    LRESULT MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override {
        if (swallowEscape && message == WM_KEYDOWN && wParam == VK_ESCAPE) {
            ++escapesSwallowed;
            handled = true;
            return 0;
        }
        return WindowImplBase::MessageHandler(message, wParam, lParam, handled);
    }
    LRESULT HandleCustomMessage(UINT message, WPARAM, LPARAM, bool& handled) override {
        if (message == kRunHook && hook) {
            hook();
            handled = true;
        }
        return 0;
    }
    void OnParentMoveSize(UINT message, WPARAM, LPARAM) override { parentMoves.push_back(message); }
    void OnFinalMessage(HWND hwnd) override {
        WindowImplBase::OnFinalMessage(hwnd);
        ++finalCalls;
    }

    HWND Open(HWND owner = nullptr, DWORD style = WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX,
              DWORD exStyle = 0) {
        HWND hwnd = Create(owner, L"QuambarLauncher", style, exStyle, 0, 0, 0, 0);
        Drain();
        return hwnd;
    }

    std::vector<WPARAM> closeCodes;
    std::vector<UINT> parentMoves;
    std::function<void()> hook;
    bool keepOnClose = false;
    bool swallowEscape = false;
    int initCalls = 0;
    int finalCalls = 0;
    int escapesSwallowed = 0;

private:
    std::wstring layout_;
    std::wstring className_;
};

constexpr wchar_t kFrameLayout[] =
    L"<Window size=\"1000,600\" caption=\"0,0,0,30\" sizebox=\"4,4,6,6\" mininfo=\"800,600\">"
    L"<VerticalLayout bkcolor=\"#FF203040\">"
    L"<Button name=\"closebtn\" float=\"true\" pos=\"960,2,990,28\" />"
    L"<Button name=\"maxbtn\" float=\"true\" pos=\"920,2,950,28\" />"
    L"<Button name=\"restorebtn\" float=\"true\" pos=\"920,2,950,28\" visible=\"false\" />"
    L"</VerticalLayout></Window>";

constexpr wchar_t kPlainLayout[] =
    L"<Window size=\"320,200\"><VerticalLayout bkcolor=\"#FF405060\" /></Window>";

LRESULT HitAt(HWND hwnd, int x, int y) {
    POINT pt{x, y};
    ClientToScreen(hwnd, &pt);
    return SendMessageW(hwnd, WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y));
}

RECT ClientOnScreen(HWND hwnd) {
    RECT rc{};
    GetClientRect(hwnd, &rc);
    MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

// Keys through the system's input queue, as a user's would arrive.
void PressKeys(std::initializer_list<WORD> keys) {
    std::vector<INPUT> inputs;
    for (WORD key : keys) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = key;
        inputs.push_back(in);
    }
    for (auto it = keys.end(); it != keys.begin();) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = *--it;
        in.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(in);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// Puts the pointer over the window (keyboard focus follows it without a
// window manager) and makes it the foreground window.
void FocusForKeys(HWND hwnd) {
    RECT rc{};
    GetWindowRect(hwnd, &rc);
    SetCursorPos((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    SetForegroundWindow(hwnd);
    SetFocus(hwnd);
    PumpUntil([hwnd] { return GetForegroundWindow() == hwnd && GetFocus() == hwnd; }, 2000);
}

TEST(WindowBase, CreationTakesTheLayoutsSizeAndACaptionlessStyle) {
    CTestWindow window(kFrameLayout);
    HWND hwnd = window.Open(nullptr, WS_OVERLAPPEDWINDOW, WS_EX_LAYERED | WS_EX_TOOLWINDOW);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(window.initCalls, 1);
    ASSERT_NE(SkinUI::CWindowHostWin::Of(window.GetManager()), nullptr);
    EXPECT_EQ(SkinUI::CWindowHostWin::Of(window.GetManager())->GetPaintWindow(), hwnd);
    ASSERT_NE(window.GetManager().FindControl(std::wstring(L"closebtn")), nullptr);

    RECT rc{};
    GetWindowRect(hwnd, &rc);
    EXPECT_EQ(rc.right - rc.left, 1000);
    EXPECT_EQ(rc.bottom - rc.top, 600);
    GetClientRect(hwnd, &rc);  // no frame: the whole window is client
    EXPECT_EQ(rc.right, 1000);
    EXPECT_EQ(rc.bottom, 600);

    const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
    EXPECT_EQ(style & WS_CAPTION, 0);
    EXPECT_EQ(style & (WS_CLIPSIBLINGS | WS_CLIPCHILDREN), WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
    EXPECT_EQ(window.GetStyle() & WS_CAPTION, 0);
    const LONG exStyle = GetWindowLongW(hwnd, GWL_EXSTYLE);
    EXPECT_EQ(exStyle & WS_EX_LAYERED, 0) << "opacity alone decides layering";
    EXPECT_NE(exStyle & WS_EX_TOOLWINDOW, 0);

    // A second window of the same class registers nothing new and works;
    // deleting its object takes the window along.
    HWND secondHwnd = nullptr;
    {
        CTestWindow second(kPlainLayout);
        secondHwnd = second.Open();
        ASSERT_NE(secondHwnd, nullptr);
        GetWindowRect(secondHwnd, &rc);
        EXPECT_EQ(rc.right - rc.left, 320);
    }
    EXPECT_FALSE(IsWindow(secondHwnd));
    SendMessageW(hwnd, WM_SIZE, 0, MAKELPARAM(1000, 600));  // still served
}

TEST(WindowBase, OpacityMakesTheWindowLayeredAndBack) {
    CTestWindow window(L"<Window size=\"200,100\" alpha=\"128\"><VerticalLayout /></Window>",
                       L"WindowBaseAlpha");
    HWND hwnd = window.Open();
    ASSERT_NE(hwnd, nullptr);
    EXPECT_NE(GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_LAYERED, 0);
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(hwnd, nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 128);
    EXPECT_NE(flags & LWA_ALPHA, 0u);

    window.SetOpacity(300);  // clamped to opaque
    EXPECT_EQ(window.GetManager().GetWindowAttributes().opacity, 255);
    EXPECT_EQ(GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_LAYERED, 0);
    window.SetOpacity(-4);
    ASSERT_TRUE(GetLayeredWindowAttributes(hwnd, nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 0);
}

TEST(WindowBase, HitTestsOfTheCaptionAndTheResizeBorders) {
    CTestWindow window(kFrameLayout);
    HWND hwnd = window.Open(nullptr, WS_POPUP | WS_THICKFRAME | WS_MAXIMIZEBOX | WS_SYSMENU);
    ASSERT_NE(hwnd, nullptr);
    window.ShowWindow(true);  // the first paint lays the controls out
    Drain();
    EXPECT_EQ(HitAt(hwnd, 3, 2), HTTOPLEFT);
    EXPECT_EQ(HitAt(hwnd, 500, 2), HTTOP);
    EXPECT_EQ(HitAt(hwnd, 996, 598), HTBOTTOMRIGHT);
    EXPECT_EQ(HitAt(hwnd, 2, 300), HTLEFT);
    EXPECT_EQ(HitAt(hwnd, 500, 10), HTCAPTION);  // background: drags
    EXPECT_EQ(HitAt(hwnd, 970, 10), HTCLIENT);   // the close button: clicks
    EXPECT_EQ(HitAt(hwnd, 500, 300), HTCLIENT);

    ShowWindow(hwnd, SW_MAXIMIZE);
    Drain();
    ASSERT_TRUE(IsZoomed(hwnd));
    EXPECT_EQ(HitAt(hwnd, 3, 2), HTCAPTION) << "no resize borders when maximised";
    EXPECT_EQ(HitAt(hwnd, 2, 300), HTCLIENT);

    CTestWindow plain(kPlainLayout, L"WindowBasePlain");
    HWND plainHwnd = plain.Open();
    for (POINT pt : {POINT{0, 0}, POINT{1, 1}, POINT{160, 10}, POINT{319, 199}}) {
        EXPECT_EQ(HitAt(plainHwnd, pt.x, pt.y), HTCLIENT) << pt.x << "," << pt.y;
    }
}

TEST(WindowBase, MaximisingFillsTheWorkAreaAndSwapsTheButtons) {
    CTestWindow window(kFrameLayout);
    HWND hwnd = window.Open(nullptr, WS_POPUP | WS_THICKFRAME | WS_MAXIMIZEBOX | WS_SYSMENU);
    ASSERT_NE(hwnd, nullptr);
    window.ShowWindow(true);
    Drain();

    MINMAXINFO info{};
    SendMessageW(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, 800);
    EXPECT_EQ(info.ptMinTrackSize.y, 600);

    SendMessageW(hwnd, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    Drain();
    ASSERT_TRUE(IsZoomed(hwnd));
    // Wine takes the work area from the X server (the whole screen under
    // Xvfb): Windows' own SPI_SETWORKAREA does not reach the monitor's.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    ASSERT_TRUE(GetMonitorInfoW(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &monitor));
    const RECT& work = monitor.rcWork;
    const RECT client = ClientOnScreen(hwnd);
    EXPECT_EQ(client.left, work.left);
    EXPECT_EQ(client.top, work.top);
    EXPECT_EQ(client.right, work.right);
    EXPECT_EQ(client.bottom, work.bottom);
    auto& manager = window.GetManager();
    EXPECT_FALSE(manager.FindControl(std::wstring(L"maxbtn"))->IsVisible());
    EXPECT_TRUE(manager.FindControl(std::wstring(L"restorebtn"))->IsVisible());

    SendMessageW(hwnd, WM_SYSCOMMAND, SC_RESTORE, 0);
    Drain();
    ASSERT_FALSE(IsZoomed(hwnd));
    EXPECT_TRUE(manager.FindControl(std::wstring(L"maxbtn"))->IsVisible());
    EXPECT_FALSE(manager.FindControl(std::wstring(L"restorebtn"))->IsVisible());
    RECT rc{};
    GetWindowRect(hwnd, &rc);
    EXPECT_EQ(rc.right - rc.left, 1000);
}

// A window that leaves WM_GETMINMAXINFO to others (as the game window does)
// still gets the layout's tracking limits, from its manager.
class CUnlimitedWindow : public CTestWindow {
public:
    using CTestWindow::CTestWindow;
    LRESULT OnGetMinMaxInfo(UINT, WPARAM, LPARAM, bool& handled) override {
        handled = false;
        return 0;
    }
};

TEST(WindowBase, TheManagerAppliesTheLayoutsTrackingLimits) {
    CUnlimitedWindow window(
        L"<Window size=\"600,400\" mininfo=\"500,300\" maxinfo=\"900,700\">"
        L"<VerticalLayout bkcolor=\"#FF203040\" /></Window>",
        L"WindowBaseLimitsTest");
    HWND hwnd = window.Open(nullptr, WS_POPUP | WS_THICKFRAME | WS_SYSMENU);
    ASSERT_NE(hwnd, nullptr);
    MINMAXINFO info{};
    SendMessageW(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, 500);
    EXPECT_EQ(info.ptMinTrackSize.y, 300);
    EXPECT_EQ(info.ptMaxTrackSize.x, 900);
    EXPECT_EQ(info.ptMaxTrackSize.y, 700);
    // The system enforces them on a resize.
    SetWindowPos(hwnd, nullptr, 0, 0, 200, 100, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT rc{};
    GetWindowRect(hwnd, &rc);
    EXPECT_EQ(rc.right - rc.left, 500);
    EXPECT_EQ(rc.bottom - rc.top, 300);
}

TEST(WindowBase, RoundCornersFollowEveryResize) {
    CTestWindow window(
        L"<Window size=\"300,200\" roundcorner=\"5,5\"><VerticalLayout bkcolor=\"#FF405060\" />"
        L"</Window>",
        L"WindowBaseRound");
    HWND hwnd = window.Open();
    ASSERT_NE(hwnd, nullptr);
    for (SIZE size : {SIZE{300, 200}, SIZE{420, 260}, SIZE{150, 90}}) {
        SetWindowPos(hwnd, nullptr, 0, 0, size.cx, size.cy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        Drain();
        UniqueRegion region(CreateRectRgn(0, 0, 0, 0));
        ASSERT_NE(GetWindowRgn(hwnd, region.get()), ERROR) << size.cx;
        RECT box{};
        GetRgnBox(region.get(), &box);
        EXPECT_EQ(box.right, size.cx) << "region follows the new width";
        EXPECT_EQ(box.bottom, size.cy);
        EXPECT_FALSE(PtInRegion(region.get(), 0, 0)) << "corner pixel cut off";
        EXPECT_FALSE(PtInRegion(region.get(), size.cx - 1, size.cy - 1));
        EXPECT_TRUE(PtInRegion(region.get(), 3, 3));
        EXPECT_TRUE(PtInRegion(region.get(), size.cx / 2, 0));
        EXPECT_TRUE(PtInRegion(region.get(), size.cx - 1, size.cy / 2));
    }
    CTestWindow square(kPlainLayout, L"WindowBasePlain");
    ASSERT_NE(square.Open(), nullptr);
    UniqueRegion none(CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(GetWindowRgn(square, none.get()), ERROR) << "no region without roundcorner";
}

TEST(WindowBase, SystemMenuCloseAndAltF4ReachOnCloseAsWmClose) {
    CTestWindow window(kPlainLayout, L"WindowBasePlain");
    window.keepOnClose = true;  // as the launcher's windows that only hide
    HWND hwnd = window.Open();
    ASSERT_NE(hwnd, nullptr);
    window.ShowWindow(true);

    SendMessageW(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_EQ(window.closeCodes.size(), 1u);
    EXPECT_TRUE(IsWindow(hwnd)) << "a handled OnClose keeps the window";

    FocusForKeys(hwnd);
    PressKeys({VK_MENU, VK_F4});
    EXPECT_TRUE(PumpUntil([&] { return window.closeCodes.size() == 2; }))
        << "Alt+F4 did not arrive; focus is " << GetFocus() << ", window " << hwnd;

    // The default OnClose lets the system destroy the window.
    window.keepOnClose = false;
    SendMessageW(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(window.finalCalls, 1);
    EXPECT_EQ(window.GetHWND(), nullptr);
}

TEST(WindowBase, EscapeClosesWithCodeOneUnlessTheFilterSwallowsIt) {
    CTestWindow closes(kPlainLayout, L"WindowBasePlain");
    HWND hwnd = closes.Open();
    ASSERT_NE(hwnd, nullptr);
    closes.ShowWindow(true);
    FocusForKeys(hwnd);
    PressKeys({VK_ESCAPE});
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(hwnd); }));
    ASSERT_EQ(closes.closeCodes.size(), 1u);
    EXPECT_EQ(closes.closeCodes[0], 1u);

    CTestWindow keeps(kPlainLayout, L"WindowBasePlain");
    keeps.swallowEscape = true;
    HWND kept = keeps.Open();
    keeps.ShowWindow(true);
    FocusForKeys(kept);
    PressKeys({VK_ESCAPE});
    // Return is not a default key of the base: it closes nothing either.
    PostMessageW(kept, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_TRUE(PumpUntil([&] { return keeps.escapesSwallowed == 1; }));
    Drain();
    EXPECT_TRUE(IsWindow(kept));
    EXPECT_TRUE(keeps.closeCodes.empty());
}

TEST(WindowBase, CloseButtonClickClosesThroughTheNotifyPump) {
    CTestWindow window(kFrameLayout);
    HWND hwnd = window.Open();
    ASSERT_NE(hwnd, nullptr);
    auto& manager = window.GetManager();
    // Other types and other senders reach no handler.
    manager.SendNotify(manager.FindControl(std::wstring(L"closebtn")), L"selectchanged");
    manager.SendNotify(manager.GetRoot(), L"click");
    Drain();
    EXPECT_TRUE(window.closeCodes.empty());

    manager.SendNotify(manager.FindControl(std::wstring(L"maxbtn")), L"click");
    EXPECT_TRUE(IsZoomed(hwnd));
    manager.SendNotify(manager.FindControl(std::wstring(L"restorebtn")), L"click");
    EXPECT_FALSE(IsZoomed(hwnd));
    manager.SendNotify(manager.FindControl(std::wstring(L"closebtn")), L"click");
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(hwnd); }));
    EXPECT_EQ(window.closeCodes, std::vector<WPARAM>{1});
}

// A user's press over the caption's background starts a drag; over the
// close button it clicks it, and the window closes with code 1.
TEST(WindowBase, RealClickOnTheCloseButtonClosesTheWindow) {
    CTestWindow window(kFrameLayout);
    HWND hwnd = window.Open();
    ASSERT_NE(hwnd, nullptr);
    SetWindowPos(hwnd, nullptr, 50, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    window.ShowWindow(true);
    Drain();
    POINT button{975, 15};
    ClientToScreen(hwnd, &button);
    SetCursorPos(button.x, button.y);
    INPUT clicks[2] = {};
    clicks[0].type = clicks[1].type = INPUT_MOUSE;
    clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    // The pointer's move arrives first: the button becomes hot.
    SkinUI::CControlUI* closeButton = window.GetManager().FindControl(std::wstring(L"closebtn"));
    EXPECT_TRUE(PumpUntil([&] { return window.GetManager().GetHot() == closeButton; }));
    SendInput(2, clicks, sizeof(INPUT));
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(hwnd); }));
    EXPECT_EQ(window.closeCodes, std::vector<WPARAM>{1});
}

TEST(WindowBase, ShowModalDisablesTheOwnerUntilItCloses) {
    CTestWindow owner(kPlainLayout, L"WindowBasePlain");
    HWND ownerHwnd = owner.Open();
    ASSERT_NE(ownerHwnd, nullptr);
    owner.ShowWindow(true);

    CTestWindow dialog(kPlainLayout, L"WindowBaseDialog");
    ASSERT_NE(dialog.Open(ownerHwnd), nullptr);
    bool ownerDisabledInside = false;
    dialog.hook = [&] {
        ownerDisabledInside = !IsWindowEnabled(ownerHwnd);
        dialog.Close(7);
    };
    PostMessageW(dialog, kRunHook, 0, 0);
    EXPECT_EQ(dialog.ShowModal(), 7u);
    EXPECT_TRUE(ownerDisabledInside);
    EXPECT_TRUE(IsWindowEnabled(ownerHwnd));
    EXPECT_EQ(dialog.GetHWND(), nullptr);

    // WM_QUIT ends the modal loop and is posted again for the outer loop.
    CTestWindow quitting(kPlainLayout, L"WindowBaseDialog");
    ASSERT_NE(quitting.Open(ownerHwnd), nullptr);
    quitting.hook = [] { PostQuitMessage(42); };
    PostMessageW(quitting, kRunHook, 0, 0);
    EXPECT_EQ(quitting.ShowModal(), 0u);
    EXPECT_TRUE(IsWindowEnabled(ownerHwnd));
    EXPECT_TRUE(IsWindow(quitting));
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 42u);
}

TEST(WindowBase, CenteringUsesTheOwner) {
    CTestWindow owner(kFrameLayout);
    HWND ownerHwnd = owner.Open();
    SetWindowPos(ownerHwnd, nullptr, 100, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    CTestWindow dialog(kPlainLayout, L"WindowBaseDialog");
    HWND hwnd = dialog.Open(ownerHwnd);
    dialog.CenterWindow();
    RECT rc{};
    GetWindowRect(hwnd, &rc);
    EXPECT_EQ(rc.left, 100 + 500 - 160);
    EXPECT_EQ(rc.top, 50 + 300 - 100);
}

TEST(WindowBase, ChildWindowsHearTheirParentMoveAndResize) {
    CTestWindow parent(kFrameLayout);
    HWND parentHwnd = parent.Open();
    CTestWindow popup(kPlainLayout, L"WindowBaseDialog");
    ASSERT_NE(popup.Open(parentHwnd), nullptr);
    CTestWindow child(kPlainLayout, L"WindowBaseChild");
    ASSERT_NE(child.Open(parentHwnd, WS_CHILD), nullptr);
    CTestWindow stranger(kPlainLayout, L"WindowBasePlain");
    ASSERT_NE(stranger.Open(), nullptr);
    popup.parentMoves.clear();
    child.parentMoves.clear();
    stranger.parentMoves.clear();

    SetWindowPos(parentHwnd, nullptr, 40, 40, 900, 500, SWP_NOZORDER | SWP_NOACTIVATE);
    Drain();
    EXPECT_EQ(popup.parentMoves, (std::vector<UINT>{WM_MOVE, WM_SIZE}));
    EXPECT_EQ(child.parentMoves, (std::vector<UINT>{WM_MOVE, WM_SIZE}));
    EXPECT_TRUE(stranger.parentMoves.empty());
}

TEST(WindowBase, MissingSkinPackageLeavesTheWindowEmpty) {
    class CPackageWindow : public CTestWindow {
    public:
        using CTestWindow::CTestWindow;
        UINT GetResourceType() override { return SkinUI::SKIN_ZIPRESOURCE; }
        LPCWSTR GetResourceID() override { return L"903"; }  // an empty ZIPRES
    };
    CPackageWindow window(L"update.xml", L"WindowBasePackage");
    ASSERT_NE(window.Open(), nullptr);
    EXPECT_EQ(window.GetManager().GetRoot(), nullptr);
    EXPECT_EQ(window.initCalls, 0);
}

// The skin source is the process's: once it is set, a window that names
// another source builds from the one that is there and changes nothing.
TEST(WindowBase, WindowsShareTheSkinSourceAndNeverReplaceIt) {
    class CSourceWindow : public CTestWindow {
    public:
        CSourceWindow(UINT type, const wchar_t* className)
            : CTestWindow(L"update.xml", className), type_(type) {}
        UINT GetResourceType() override { return type_; }
        LPCWSTR GetZipFileName() override { return L"other.zip"; }
        LPCWSTR GetResourceID() override { return L"903"; }  // an empty ZIPRES

    private:
        UINT type_;
    };
    ASSERT_TRUE(CWindowManagerUI::LoadSkinPackageFromResource(129));
    const SkinUI::CSkinPackage* package = CWindowManagerUI::GetResourceZipHandle();
    for (UINT type : {SkinUI::SKIN_ZIP, SkinUI::SKIN_ZIPRESOURCE}) {
        CSourceWindow window(type,
                             type == SkinUI::SKIN_ZIP ? L"WindowBaseZip" : L"WindowBaseZipRes");
        ASSERT_NE(window.Open(), nullptr);
        EXPECT_NE(window.GetManager().GetRoot(), nullptr) << "type " << type;
        EXPECT_EQ(CWindowManagerUI::GetResourceZip(), CWindowManagerUI::kMemoryPackageName);
        EXPECT_EQ(CWindowManagerUI::GetResourceZipHandle(), package) << "the package was reopened";
        window.Close();
        Drain();
    }
    CWindowManagerUI::Term();
}

// The real program: a layout that cannot be loaded shows the framework's
// message box, and the process ends with code 1 once it is confirmed.
TEST(WindowBase, UnloadableLayoutShowsTheMessageBoxAndExitsWithOne) {
    testsupport::ScratchDir dir;
    ASSERT_TRUE(testsupport::WriteFileBytes(dir.Join(L"broken.xml"),
                                            "<Window size=\"100,100\"><VerticalLayout></Window>"));
    const std::wstring viewer = testsupport::FromUnixPath(LAUNCHER_SKINVIEW_PATH);
    for (const wchar_t* layout : {L"broken.xml", L"missing.xml"}) {
        const std::wstring command = L"\"" + viewer + L"\" --file \"" + dir.Join(layout) + L"\"";
        DWORD pid = 0;
        UniqueKernelHandle process(testsupport::StartProcess(command, dir.path(), &pid));
        ASSERT_TRUE(process) << "cannot start skinview";
        HWND box = nullptr;
        for (int i = 0; i < 400 && box == nullptr; ++i) {
            if (WaitForSingleObject(process.get(), 25) == WAIT_OBJECT_0) break;
            HWND found = FindWindowW(nullptr, L"SkinUI");
            DWORD owner = 0;
            if (found != nullptr) GetWindowThreadProcessId(found, &owner);
            if (owner == pid) box = found;
        }
        ASSERT_NE(box, nullptr) << "no message box for " << layout;
        wchar_t text[64] = {};
        GetDlgItemTextW(box, 0xFFFF, text, 64);
        EXPECT_STREQ(text, L"加载资源文件失败");
        EXPECT_EQ(WaitForSingleObject(process.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT))
            << "the process waits for the box";
        HWND ok = GetDlgItem(box, IDOK);
        ASSERT_NE(ok, nullptr);
        SendMessageW(ok, BM_CLICK, 0, 0);
        ASSERT_EQ(WaitForSingleObject(process.get(), 10000), static_cast<DWORD>(WAIT_OBJECT_0));
        DWORD code = 0;
        GetExitCodeProcess(process.get(), &code);
        EXPECT_EQ(code, 1u) << layout;
    }
}

}  // namespace
