// The base of every skinned window: at WM_CREATE it loads the window's
// layout, attaches the control tree to the window's own manager and calls
// InitWindow; it gives a captionless window its non-client behaviour (drag
// area, resize borders, rounded corners, maximising to the work area) and
// routes control notifications through its notify pump. The manager lives
// as long as the object; the controller that created the object deletes it
// after the window is gone. UI thread only.
#pragma once

#include <windows.h>

#include <memory>

#include "ui/controls/LayoutBuilder.h"
#include "ui/controls/Notify.h"
#include "ui/window/MessageFilter_win.h"
#include "ui/window/NotifyPump.h"
#include "ui/window/WindowFrame.h"
#include "ui/window/WindowManager.h"
#include "ui/window/WindowWnd_win.h"

namespace SkinUI {

class WindowImplBase : public CWindowWnd,
                       public CNotifyPump,
                       public INotifyUI,
                       public IMessageFilterUI,
                       public IDialogBuilderCallback {
public:
    WindowImplBase() = default;

    // ---- Overridable operations, continuing CWindowWnd's order ----------
    // The message handlers from OnClose on take (message, wParam, lParam,
    // handled) and return the result; those the base leaves to the manager
    // and the default handling clear |handled| (see Unhandled).
    virtual ~WindowImplBase();
    virtual void InitWindow();
    virtual void OnClick(TControlNotify& msg);
    virtual LPCWSTR GetSkinFolder() = 0;
    virtual LPCWSTR GetSkinFile() = 0;
    virtual LRESULT ResponseDefaultKeyEvent(WPARAM key);
    virtual UINT GetResourceType();
    virtual LPCWSTR GetZipFileName();
    virtual LPCWSTR GetResourceID();
    virtual LRESULT OnClose(UINT, WPARAM, LPARAM, bool& handled) { return Unhandled(handled); }
    virtual LRESULT OnDestroy(UINT, WPARAM, LPARAM, bool& handled) { return Unhandled(handled); }
    virtual LRESULT OnNcActivate(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnNcCalcSize(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnNcPaint(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnNcHitTest(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnGetMinMaxInfo(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnMouseWheel(UINT, WPARAM, LPARAM, bool& handled) { return Unhandled(handled); }
    virtual LRESULT OnMouseHover(UINT, WPARAM, LPARAM, bool& handled) { return Unhandled(handled); }
    virtual LRESULT OnSize(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnChar(UINT, WPARAM, LPARAM, bool& handled) { return Unhandled(handled); }
    virtual LRESULT OnSysCommand(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnCreate(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnKeyDown(UINT, WPARAM, LPARAM, bool& handled) { return Unhandled(handled); }
    virtual LRESULT OnKillFocus(UINT, WPARAM, LPARAM, bool& handled) { return Unhandled(handled); }
    virtual LRESULT OnSetFocus(UINT, WPARAM, LPARAM, bool& handled) { return Unhandled(handled); }
    virtual LRESULT OnLButtonDown(UINT, WPARAM, LPARAM, bool& handled) {
        return Unhandled(handled);
    }
    virtual LRESULT OnLButtonUp(UINT, WPARAM, LPARAM, bool& handled) { return Unhandled(handled); }
    virtual LRESULT OnMouseMove(UINT, WPARAM, LPARAM, bool& handled) { return Unhandled(handled); }
    virtual LRESULT HandleCustomMessage(UINT, WPARAM, LPARAM, bool& handled) {
        return Unhandled(handled);
    }
    virtual LONG GetStyle();

    // CWindowWnd
    UINT GetClassStyle() const override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnFinalMessage(HWND hwnd) override;

    // INotifyUI: runs the notify pump.
    void Notify(TControlNotify& msg) override;
    // IMessageFilterUI: Return and Escape key presses go to
    // ResponseDefaultKeyEvent, which consumes what it acts on.
    LRESULT MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    // IDialogBuilderCallback: the base knows no extra controls.
    std::unique_ptr<CControlUI> CreateControl(const wchar_t* element) override;

    CWindowManagerUI& GetManager() { return manager_; }
    // Stores the window's opacity in the manager and applies it: 0..254
    // make the window layered with that alpha, 255 makes it opaque again.
    void SetOpacity(int opacity);

protected:
    const TNotifyMap* GetNotifyMap() const override;
    // The window base's hit test (HitTestFrame) of the screen point in a
    // WM_NCHITTEST's lParam, with the layout's size box and caption.
    LRESULT HitTestFrameAt(LPARAM lParam, ClassNameMatch match);
    CWindowManagerUI manager_;

    static LRESULT Unhandled(bool& handled) {
        handled = false;
        return 0;
    }

private:
    using Handler = LRESULT (WindowImplBase::*)(UINT, WPARAM, LPARAM, bool&);
    struct Route {
        UINT message;
        Handler handler;
    };
    static const Route kRoutes[];
};

}  // namespace SkinUI
