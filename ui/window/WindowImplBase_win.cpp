#include "ui/window/WindowImplBase_win.h"

#include <windowsx.h>

#include <cwchar>
#include <string>

#include "common/qlogger/QLogger.h"
#include "common/win/ModulePath_win.h"
#include "ui/controls/Control.h"
#include "ui/skin/ResourceId.h"
#include "ui/window/WindowFrame.h"
#include "ui/window/WindowHost_win.h"

namespace SkinUI {

namespace {

constexpr wchar_t kLoadFailedText[] = L"加载资源文件失败";
constexpr wchar_t kLoadFailedCaption[] = L"SkinUI";

MONITORINFO MonitorOf(HWND hwnd) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (!GetMonitorInfoW(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &info)) {
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &info.rcWork, 0);
        info.rcMonitor = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    }
    return info;
}

// A resource number written in decimal; 0 for anything else.
int ResourceNumber(LPCWSTR text) {
    // The usual Win32 form, MAKEINTRESOURCE, carries the number itself.
    if (IS_INTRESOURCE(text)) return LOWORD(reinterpret_cast<ULONG_PTR>(text));
    uint16_t id = 0;
    return ParseResourceNumber(text, id) ? id : 0;
}

}  // namespace

const WindowImplBase::Route WindowImplBase::kRoutes[] = {
    {WM_CREATE, &WindowImplBase::OnCreate},
    {WM_DESTROY, &WindowImplBase::OnDestroy},
    {WM_SIZE, &WindowImplBase::OnSize},
    {WM_SETFOCUS, &WindowImplBase::OnSetFocus},
    {WM_KILLFOCUS, &WindowImplBase::OnKillFocus},
    {WM_CLOSE, &WindowImplBase::OnClose},
    {WM_GETMINMAXINFO, &WindowImplBase::OnGetMinMaxInfo},
    {WM_NCCALCSIZE, &WindowImplBase::OnNcCalcSize},
    {WM_NCHITTEST, &WindowImplBase::OnNcHitTest},
    {WM_NCPAINT, &WindowImplBase::OnNcPaint},
    {WM_NCACTIVATE, &WindowImplBase::OnNcActivate},
    {WM_KEYDOWN, &WindowImplBase::OnKeyDown},
    {WM_CHAR, &WindowImplBase::OnChar},
    {WM_SYSCOMMAND, &WindowImplBase::OnSysCommand},
    {WM_MOUSEMOVE, &WindowImplBase::OnMouseMove},
    {WM_LBUTTONDOWN, &WindowImplBase::OnLButtonDown},
    {WM_LBUTTONUP, &WindowImplBase::OnLButtonUp},
    {WM_MOUSEWHEEL, &WindowImplBase::OnMouseWheel},
    {WM_MOUSEHOVER, &WindowImplBase::OnMouseHover},
};

WindowImplBase::~WindowImplBase() {
    // An object deleted before its window: the window must not call into the
    // half-destroyed object (the manager goes first) nor outlive it.
    if (hwnd_ != nullptr && IsWindow(hwnd_) && !subclassed_) {
        const HWND hwnd = hwnd_;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        hwnd_ = nullptr;
        DestroyWindow(hwnd);
    }
}

const TNotifyMap* WindowImplBase::GetNotifyMap() const {
    static const TNotifyMapEntry entries[] = {
        {L"click", L"", NotifyHandlerKind::kNotify,
         NotifyHandlerOf<WindowImplBase, &WindowImplBase::OnClick>},
        {L"", L"", NotifyHandlerKind::kEnd, nullptr},
    };
    static const TNotifyMap map = {CNotifyPump::GetNotifyMap(), entries};
    return &map;
}

void WindowImplBase::InitWindow() {}

void WindowImplBase::OnClick(TControlNotify& msg) {
    if (msg.sender == nullptr) return;
    const std::wstring& name = msg.sender->GetName();
    if (name == L"closebtn") {
        Close(1);
    } else if (name == L"minbtn") {
        SendMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
    } else if (name == L"maxbtn") {
        SendMessage(WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    } else if (name == L"restorebtn") {
        SendMessage(WM_SYSCOMMAND, SC_RESTORE, 0);
    }
}

LRESULT WindowImplBase::ResponseDefaultKeyEvent(WPARAM key) {
    if (key == VK_ESCAPE) {
        Close(1);
        return TRUE;
    }
    return FALSE;
}

UINT WindowImplBase::GetResourceType() {
    return SKIN_FILE;
}

LPCWSTR WindowImplBase::GetZipFileName() {
    return L"";
}

LPCWSTR WindowImplBase::GetResourceID() {
    return L"";
}

LRESULT WindowImplBase::OnNcActivate(UINT, WPARAM wParam, LPARAM, bool& handled) {
    if (IsIconic(hwnd_)) {
        handled = false;
        return 0;
    }
    // Nothing of the frame is drawn by the system; TRUE lets activation go on.
    return wParam == 0 ? TRUE : FALSE;
}

LRESULT WindowImplBase::OnNcCalcSize(UINT, WPARAM, LPARAM lParam, bool&) {
    if (!IsZoomed(hwnd_)) return 0;  // the whole window is client area
    // NCCALCSIZE_PARAMS starts with the proposed rectangle, like the RECT of
    // the wParam == FALSE form.
    auto* proposed = reinterpret_cast<RECT*>(lParam);
    const RECT work = MonitorOf(hwnd_).rcWork;
    proposed->right = proposed->left + (work.right - work.left);
    proposed->bottom = proposed->top + (work.bottom - work.top);
    return WVR_REDRAW;
}

LRESULT WindowImplBase::OnNcPaint(UINT, WPARAM, LPARAM, bool&) {
    return 0;
}

LRESULT WindowImplBase::OnNcHitTest(UINT, WPARAM, LPARAM lParam, bool&) {
    return HitTestFrameAt(lParam, ClassNameMatch::kIgnoringCase);
}

LRESULT WindowImplBase::HitTestFrameAt(LPARAM lParam, ClassNameMatch match) {
    POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ScreenToClient(hwnd_, &pt);
    RECT client{};
    GetClientRect(hwnd_, &client);
    const TWindowAttributes& window = manager_.GetWindowAttributes();
    return HitTestFrame(TPoint{pt.x, pt.y},
                        TRect{client.left, client.top, client.right, client.bottom}, window.sizeBox,
                        window.caption, IsZoomed(hwnd_) != FALSE, manager_, match);
}

LRESULT WindowImplBase::OnGetMinMaxInfo(UINT, WPARAM, LPARAM lParam, bool& handled) {
    handled = false;  // the default handling still runs after ours
    auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
    const MONITORINFO monitor = MonitorOf(hwnd_);
    const RECT& work = monitor.rcWork;
    info->ptMaxPosition.x = work.left - monitor.rcMonitor.left;
    info->ptMaxPosition.y = work.top - monitor.rcMonitor.top;
    info->ptMaxTrackSize.x = work.right - work.left;
    info->ptMaxTrackSize.y = work.bottom - work.top;
    // The layout's "mininfo" and "maxinfo" are the manager's to apply, after
    // this, whether a window keeps this handler or not.
    return 0;
}

LRESULT WindowImplBase::OnSize(UINT, WPARAM wParam, LPARAM, bool& handled) {
    handled = false;
    const TSize round = manager_.GetWindowAttributes().roundCorner;
    if (wParam == SIZE_MINIMIZED || (round.cx == 0 && round.cy == 0)) return 0;
    RECT rc{};
    GetWindowRect(hwnd_, &rc);
    OffsetRect(&rc, -rc.left, -rc.top);
    UniqueRegion region(
        CreateRoundRectRgn(rc.left, rc.top, rc.right + 1, rc.bottom + 1, round.cx, round.cy));
    if (!region) {
        QLogger::Log(QLOG_ERROR, "WindowImplBase::OnSize: CreateRoundRectRgn failed");
        return 0;
    }
    // On success the window owns the region.
    if (SetWindowRgn(hwnd_, region.get(), TRUE) != 0) region.release();
    return 0;
}

LRESULT WindowImplBase::OnSysCommand(UINT message, WPARAM wParam, LPARAM lParam, bool&) {
    // The low four bits are the system's own.
    if ((wParam & 0xFFF0) == SC_CLOSE) {
        SendMessage(WM_CLOSE);
        return 0;
    }
    const bool wasZoomed = IsZoomed(hwnd_) != FALSE;
    const HWND hwnd = hwnd_;
    const LRESULT result = CWindowWnd::HandleMessage(message, wParam, lParam);
    if (IsWindow(hwnd) && (IsZoomed(hwnd) != FALSE) != wasZoomed) {
        SwapMaxRestoreButtons(manager_, wasZoomed);
    }
    return result;
}

LRESULT WindowImplBase::OnCreate(UINT, WPARAM, LPARAM, bool&) {
    LONG style = GetWindowLongW(hwnd_, GWL_STYLE);
    style &= ~static_cast<LONG>(WS_CAPTION);
    style |= WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    SetWindowLongW(hwnd_, GWL_STYLE, style);
    RECT client{};
    GetClientRect(hwnd_, &client);
    SetWindowPos(hwnd_, nullptr, client.left, client.top, client.right - client.left,
                 client.bottom - client.top, SWP_FRAMECHANGED);

    CWindowHostWin::Attach(manager_, hwnd_)->AddPreMessageFilter(this);

    // The skin source is the process's, set by its start-up; a window only
    // fills in what nobody set (a program that creates its windows without
    // that start-up) and never replaces what is there.
    if (CWindowManagerUI::GetResourcePath().empty()) {
        CWindowManagerUI::SetResourcePath(ModuleFolder() + GetSkinFolder());
    }
    const UINT type = GetResourceType();
    const bool noPackage = CWindowManagerUI::GetResourceZip().empty();
    if (type == SKIN_ZIP && noPackage) {
        CWindowManagerUI::SetResourceZip(GetZipFileName(), true);
    } else if (type == SKIN_ZIPRESOURCE && CWindowManagerUI::GetResourceZipHandle() == nullptr) {
        if (!CWindowManagerUI::LoadSkinPackageFromResource(ResourceNumber(GetResourceID()))) {
            // Logged where it failed; the window stays without controls.
            return 0;
        }
    }

    CLayoutBuilder builder;
    std::unique_ptr<CControlUI> root =
        builder.Create(GetSkinFile(), type == SKIN_RESOURCE ? L"xml" : L"", this, &manager_);
    if (!root) {
        QLogger::LogW(QLOG_ALERT, L"WindowImplBase::OnCreate: %ls: cannot load %ls: %ls",
                      GetWindowClassName(), GetSkinFile(), builder.GetLastError().c_str());
        MessageBoxW(hwnd_, kLoadFailedText, kLoadFailedCaption, MB_ICONERROR);
        ExitProcess(1);
    }
    manager_.AttachDialog(std::move(root));
    manager_.AddNotifier(this);

    // The window takes its size from the layout; without a caption or a
    // frame the window and its client area are the same.
    const TSize size = manager_.GetWindowAttributes().initSize;
    if (size.cx > 0 && size.cy > 0) {
        SetWindowPos(hwnd_, nullptr, 0, 0, size.cx, size.cy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    InitWindow();
    return 0;
}

LONG WindowImplBase::GetStyle() {
    return GetWindowLongW(hwnd_, GWL_STYLE) & ~static_cast<LONG>(WS_CAPTION);
}

UINT WindowImplBase::GetClassStyle() const {
    return CS_DBLCLKS;
}

LRESULT WindowImplBase::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    bool handled = true;
    LRESULT result = 0;
    bool routed = false;
    for (const Route& route : kRoutes) {
        if (route.message == message) {
            result = (this->*route.handler)(message, wParam, lParam, handled);
            routed = true;
            break;
        }
    }
    if (routed && handled) return result;

    // A window's own handler sets the flag for the messages it takes.
    handled = false;
    result = HandleCustomMessage(message, wParam, lParam, handled);
    if (handled) return result;

    // The manager knows its window from WM_CREATE on.
    LRESULT managerResult = 0;
    if (CWindowHostWin* host = CWindowHostWin::Of(manager_);
        host != nullptr && host->MessageHandler(message, wParam, lParam, managerResult)) {
        return managerResult;
    }
    return CWindowWnd::HandleMessage(message, wParam, lParam);
}

void WindowImplBase::OnFinalMessage(HWND) {
    if (CWindowHostWin* host = CWindowHostWin::Of(manager_)) host->RemovePreMessageFilter(this);
    manager_.RemoveNotifier(this);
    manager_.ReapDelayedControls();
}

void WindowImplBase::Notify(TControlNotify& msg) {
    NotifyPump(msg);
}

LRESULT WindowImplBase::MessageHandler(UINT message, WPARAM wParam, LPARAM, bool& handled) {
    if (message == WM_KEYDOWN && (wParam == VK_RETURN || wParam == VK_ESCAPE)) {
        const LRESULT result = ResponseDefaultKeyEvent(wParam);
        if (result != FALSE) handled = true;
        return result;
    }
    return 0;
}

std::unique_ptr<CControlUI> WindowImplBase::CreateControl(const wchar_t*) {
    return nullptr;
}

void WindowImplBase::SetOpacity(int opacity) {
    // The manager makes its window layered (or not) as it stores the value.
    manager_.SetOpacity(opacity);
}

}  // namespace SkinUI
