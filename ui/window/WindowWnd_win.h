// The wrapper of one Win32 window: class registration (own class or a copy
// of an existing one), creation with the object as creation parameter, the
// window procedure that routes messages to HandleMessage, modal loops and
// placement. The object does not own its lifetime: whoever created it
// deletes it after OnFinalMessage. UI thread only.
#pragma once

#include <windows.h>

#include "common/win/UniqueHandle_win.h"

namespace SkinUI {

class CWindowWnd {
public:
    CWindowWnd(const CWindowWnd&) = delete;
    CWindowWnd& operator=(const CWindowWnd&) = delete;

    CWindowWnd() = default;

    HWND GetHWND() const { return hwnd_; }
    operator HWND() const { return hwnd_; }

    // Registers the class on first use; WS_EX_LAYERED is never taken from
    // |exStyle| (opacity decides layering). Returns the window or none.
    HWND Create(HWND parent, LPCWSTR name, DWORD style, DWORD exStyle, int x = CW_USEDEFAULT,
                int y = CW_USEDEFAULT, int cx = CW_USEDEFAULT, int cy = CW_USEDEFAULT,
                HMENU menu = nullptr);
    HWND Create(HWND parent, LPCWSTR name, DWORD style, DWORD exStyle, const RECT& rc,
                HMENU menu = nullptr);
    // Routes an existing window's messages through this object until it is
    // destroyed or Unsubclass is called.
    HWND Subclass(HWND hwnd);
    void Unsubclass();

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    bool PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

    // ---- Overridable operations, in this order --------------------------
    virtual void ShowWindow(bool show = true, bool takeFocus = true);
    // Runs until the window is gone or hidden; returns the wParam of its
    // WM_CLOSE.
    virtual UINT ShowModal();
    virtual void Close(UINT code = IDOK);
    virtual void CenterWindow();
    virtual void SetIcon(UINT resource);
    virtual LPCWSTR GetWindowClassName() const = 0;
    virtual LPCWSTR GetSuperClassName() const;
    virtual UINT GetClassStyle() const;
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    virtual void OnFinalMessage(HWND hwnd);
    virtual void OnParentMoveSize(UINT message, WPARAM wParam, LPARAM lParam);

protected:
    // Not deleted through this type: windows are owned by their concrete class.
    ~CWindowWnd();

    bool RegisterWindowClass();
    bool RegisterSuperclass();
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
    WNDPROC previousProc_ = ::DefWindowProcW;
    bool subclassed_ = false;

private:
    UniqueIcon bigIcon_;
    UniqueIcon smallIcon_;
};

}  // namespace SkinUI
