// Where the player's mouse and keyboard go among a window's controls: which
// control is hot, which one holds a press, which one has the focus, the tab
// order and the keys of the focused control. Decisions only; what the
// window system must do along the way (capture the mouse, track its
// leaving, tool tips, a native edit window) the router asks of its
// platform. Portable; UI thread only.
#pragma once

#include "ui/controls/Control.h"
#include "ui/paint/Geometry.h"

namespace SkinUI {

class CWindowManagerUI;

// The window system's side of input routing.
class IInputPlatformUI {
public:
    virtual ~IInputPlatformUI() = default;
    // Every mouse move: the platform asks to hear when the pointer leaves
    // the window, unless it already does.
    virtual void TrackMouseLeave() = 0;
    // A new control under the pointer that has a tool tip: start timing the
    // hover for it.
    virtual void TrackHover() = 0;
    virtual void HideToolTip() = 0;
    // The press holds the mouse until its release (or lets it go).
    virtual void CaptureMouse(bool capture) = 0;
    // Focus: before |control| loses it, and after it took it (and kept it
    // through its own handlers).
    virtual void FocusLeaving(CControlUI* control) = 0;
    virtual void FocusTaken(CControlUI* control) = 0;
};

class CInputRouter {
public:
    CInputRouter(const CInputRouter&) = delete;
    CInputRouter& operator=(const CInputRouter&) = delete;
    // Until a platform is set the router decides alone (nothing to capture,
    // no native focus).
    explicit CInputRouter(CWindowManagerUI& manager) : manager_(manager) {}
    CInputRouter(CWindowManagerUI& manager, IInputPlatformUI& platform)
        : manager_(manager), platform_(&platform) {}
    // nullptr: none.
    void SetPlatform(IInputPlatformUI* platform);

    // The topmost shown control under |point| that takes the mouse.
    static CControlUI* FindInputControl(CControlUI* root, TPoint point);
    // The control takes the focus now: enabled, shown with all it is in.
    static bool CanFocus(const CControlUI* control);

    void MouseMove(TPoint point);
    void MouseLeave();
    void ButtonDown(TPoint point);
    void ButtonUp(TPoint point);
    // The capture was taken away mid-press (a dialog, alt-tab): the press
    // ends far away, so nothing counts it as a click.
    void CancelCapture();
    // Tab moves the focus (Shift: backwards); other keys go to the focused
    // control. True when the key was used.
    bool KeyDown(UIKey key, bool shift);

    // Moves the focus; a control that cannot take it changes nothing, and
    // nullptr takes it from every control.
    void SetFocus(CControlUI* control);
    // To the next (or previous) control that takes the focus, in tree
    // order, wrapping around. False when no control takes it.
    bool SetNextTabControl(bool forward);

    // |control| (every control for nullptr) leaves the tree: nothing may
    // point at it any more.
    void ControlGone(CControlUI* control);

    CControlUI* GetHot() const { return hot_; }
    CControlUI* GetCapture() const { return capture_; }
    CControlUI* GetFocus() const { return focus_; }

private:
    void SetHot(CControlUI* control, TPoint point);
    IInputPlatformUI& Platform();

    CWindowManagerUI& manager_;
    IInputPlatformUI* platform_ = nullptr;
    CControlUI* hot_ = nullptr;
    CControlUI* capture_ = nullptr;
    CControlUI* focus_ = nullptr;
};

}  // namespace SkinUI
