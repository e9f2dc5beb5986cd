// The Win32 side of a skinned window's manager: the window procedure's
// share (painting into a back buffer, mouse and keyboard handed to the
// manager's input router, timers, tool tips, the combo box's drop-down
// window, the native edit window of a focused edit field), the message
// filters and the pre-translating message loop. The manager owns it once
// attached. UI thread only.
#pragma once

#include <windows.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "common/win/UniqueHandle_win.h"
#include "ui/paint/GdiCanvas_win.h"
#include "ui/window/DropDownList.h"
#include "ui/window/InputRouter.h"
#include "ui/window/MessageFilter_win.h"
#include "ui/window/WindowManager.h"

namespace SkinUI {

class CEditUI;

class CWindowHostWin final : public IWindowHostUI, public IInputPlatformUI {
public:
    CWindowHostWin(const CWindowHostWin&) = delete;
    CWindowHostWin& operator=(const CWindowHostWin&) = delete;
    ~CWindowHostWin() override;

    // Binds |manager| to |window| (a window already bound to it keeps its
    // host; nullptr unbinds) and lists it among the process's managers for
    // pre-translation. The manager owns the host.
    static CWindowHostWin* Attach(CWindowManagerUI& manager, HWND window);
    // The host of |manager|, or none while it is bound to no window.
    static CWindowHostWin* Of(const CWindowManagerUI& manager);

    HWND GetPaintWindow() const { return hwnd; }
    // Painting, size, mouse, keyboard, focus, timers and tool tips of the
    // window. True when handled; |result| is then the window procedure's.
    bool MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // Offers a message to the pre-message filters in registration order
    // (the loop's pre-translation calls it); true when one handled it.
    bool PreMessageHandler(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void AddPreMessageFilter(IMessageFilterUI* filter);
    void RemovePreMessageFilter(IMessageFilterUI* filter);
    void AddMessageFilter(IMessageFilterUI* filter);
    void RemoveMessageFilter(IMessageFilterUI* filter);
    void AddTranslateAccelerator(ITranslateAccelerator* translator);
    void RemoveTranslateAccelerator(ITranslateAccelerator* translator);

    // The loop's pre-translation of one message: for a top-level window its
    // manager's translators then filters; for a child window every
    // ancestor's manager, where only translators consume. True when the
    // message was consumed.
    static bool TranslateMessage(const MSG* msg);
    // Runs the message loop until WM_QUIT; every message is offered to the
    // pre-translation before it is translated and dispatched.
    static void MessageLoop();

    // The native edit window of the focused edit field, if any.
    HWND GetEditWindow() const { return edit.get(); }
    // The open drop-down list of a combo box, if any.
    HWND GetDropDownWindow() const { return dropDown.get(); }
    // The tool-tip window, created at the first tool tip.
    HWND GetToolTipWindow() const { return toolTip.get(); }

private:
    CWindowHostWin(CWindowManagerUI& owner, HWND window) : manager(owner), hwnd(window) {}

    // IWindowHostUI
    void InvalidateRect(const TRect& rect) override;
    void WakeForNotifications() override;
    void OpacityChanged(int opacity) override;
    void ControlGone(CControlUI* control) override;
    void ControlTextChanged(CControlUI* control) override;
    void ShowDropDown(CComboUI* combo) override;
    bool SetTimer(CControlUI* control, unsigned id, unsigned elapseMs) override;
    bool KillTimer(CControlUI* control, unsigned id) override;
    void KillTimers(CControlUI* control) override;

    // IInputPlatformUI
    void TrackMouseLeave() override;
    void TrackHover() override;
    void HideToolTip() override;
    void CaptureMouse(bool capture) override;
    void FocusLeaving(CControlUI* control) override;
    void FocusTaken(CControlUI* control) override;

    void OnPaint();
    void OnPrintClient(HDC target);
    void PaintInto(HDC target, const TRect& paint);
    bool OnKeyDown(WPARAM key);
    void TrackMouse(bool hover);
    void ShowToolTip();
    bool OnTimer(UINT_PTR id);

    void CreateEditWindow(CEditUI* edit);
    void DestroyEditWindow();
    void PlaceEditWindow();
    void OnEditChanged();
    static LRESULT CALLBACK EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    void CloseDropDown(bool select);
    // What the open list decided, done: the list repainted, or closed.
    void ApplyDropDown(CDropDownList::Action action);
    static LRESULT CALLBACK DropDownProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT DropDownMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    CWindowManagerUI& manager;
    HWND hwnd;
    CGdiResourceCache cache;
    CDibSurface backBuffer;

    std::vector<IMessageFilterUI*> preFilters;
    std::vector<IMessageFilterUI*> filters;
    std::vector<ITranslateAccelerator*> translators;

    bool trackingLeave = false;
    // Clear of the ids that windows give their own timers.
    static constexpr UINT_PTR kFirstTimerId = 0x5A00;

    struct TTimer {
        CControlUI* control;
        unsigned id;
    };
    std::map<UINT_PTR, TTimer> timers;
    UINT_PTR nextTimerId = kFirstTimerId;

    UniqueWindow toolTip;
    bool toolTipAdded = false;
    bool toolTipShown = false;
    std::wstring toolTipText;

    UniqueWindow edit;
    CEditUI* editControl = nullptr;
    WNDPROC editDefaultProc = nullptr;
    bool editSyncing = false;

    UniqueWindow dropDown;
    std::optional<CDropDownList> dropList;  // while |dropDown| shows it

    bool notifyPosted = false;
};

}  // namespace SkinUI
