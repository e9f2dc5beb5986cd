#include "ui/window/WindowWnd_win.h"

#include "common/qlogger/QLogger.h"
#include "ui/skin/ModuleInstance_win.h"
#include "ui/window/WindowFrame.h"
#include "ui/window/WindowHost_win.h"
#include "ui/window/WindowManager.h"

namespace SkinUI {

namespace {

HINSTANCE Instance() {
    return GetModuleInstance();
}

// The framework object of a window that our procedure serves, or none.
CWindowWnd* ObjectOf(HWND hwnd, WNDPROC ourProc) {
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC)) != ourProc) return nullptr;
    return reinterpret_cast<CWindowWnd*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

struct MoveSizeArgs {
    HWND parent;
    DWORD thread;
    WNDPROC ourProc;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

BOOL CALLBACK TellChild(HWND hwnd, LPARAM param) {
    const auto* args = reinterpret_cast<const MoveSizeArgs*>(param);
    // GetParent gives the owner of a pop-up and the parent of a child: both
    // follow this window. Deeper descendants follow their own parents.
    if (GetParent(hwnd) != args->parent) return TRUE;
    if (GetWindowThreadProcessId(hwnd, nullptr) != args->thread) return TRUE;
    if (CWindowWnd* object = ObjectOf(hwnd, args->ourProc)) {
        object->OnParentMoveSize(args->message, args->wParam, args->lParam);
    }
    return TRUE;
}

RECT WorkAreaNear(HWND hwnd) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (!GetMonitorInfoW(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &info)) {
        RECT area{};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
        return area;
    }
    return info.rcWork;
}

TRect ToTRect(const RECT& rc) {
    return TRect{rc.left, rc.top, rc.right, rc.bottom};
}

}  // namespace

CWindowWnd::~CWindowWnd() {
    // A window that outlives its object must stop calling into it.
    if (hwnd_ != nullptr && IsWindow(hwnd_)) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        if (subclassed_) Unsubclass();
    }
}

HWND CWindowWnd::Create(HWND parent, LPCWSTR name, DWORD style, DWORD exStyle, const RECT& rc,
                        HMENU menu) {
    return Create(parent, name, style, exStyle, rc.left, rc.top, rc.right - rc.left,
                  rc.bottom - rc.top, menu);
}

HWND CWindowWnd::Create(HWND parent, LPCWSTR name, DWORD style, DWORD exStyle, int x, int y, int cx,
                        int cy, HMENU menu) {
    if (hwnd_ != nullptr) {
        QLogger::LogW(QLOG_ERROR, L"CWindowWnd::Create: %ls already has a window",
                      GetWindowClassName());
        return nullptr;
    }
    const bool registered =
        GetSuperClassName() != nullptr ? RegisterSuperclass() : RegisterWindowClass();
    if (!registered) return nullptr;
    exStyle &= ~static_cast<DWORD>(WS_EX_LAYERED);
    HWND hwnd = CreateWindowExW(exStyle, GetWindowClassName(), name, style, x, y, cx, cy, parent,
                                menu, Instance(), this);
    if (hwnd == nullptr) {
        QLogger::LogW(QLOG_ERROR, L"CWindowWnd::Create: CreateWindowExW(%ls) failed: %lu",
                      GetWindowClassName(), GetLastError());
    }
    return hwnd;
}

bool CWindowWnd::RegisterWindowClass() {
    WNDCLASSW wc{};
    wc.style = GetClassStyle();
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = Instance();
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = nullptr;
    wc.lpszClassName = GetWindowClassName();
    if (RegisterClassW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS) return true;
    QLogger::LogW(QLOG_ERROR, L"CWindowWnd::RegisterWindowClass: %ls failed: %lu",
                  GetWindowClassName(), GetLastError());
    return false;
}

bool CWindowWnd::RegisterSuperclass() {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    // Looked up by the original's name every time, so that a second window
    // of the class gets the original procedure too, not ours.
    if (GetClassInfoExW(nullptr, GetSuperClassName(), &wc) == 0 &&
        GetClassInfoExW(Instance(), GetSuperClassName(), &wc) == 0) {
        QLogger::LogW(QLOG_ERROR, L"CWindowWnd::RegisterSuperclass: no class %ls",
                      GetSuperClassName());
        return false;
    }
    previousProc_ = wc.lpfnWndProc;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = Instance();
    wc.lpszClassName = GetWindowClassName();
    wc.cbSize = sizeof(wc);
    if (RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS) return true;
    QLogger::LogW(QLOG_ERROR, L"CWindowWnd::RegisterSuperclass: %ls failed: %lu",
                  GetWindowClassName(), GetLastError());
    return false;
}

HWND CWindowWnd::Subclass(HWND hwnd) {
    if (hwnd_ != nullptr || !IsWindow(hwnd)) return nullptr;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    previousProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WindowProc)));
    if (previousProc_ == nullptr) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        previousProc_ = ::DefWindowProcW;
        QLogger::Log(QLOG_ERROR, "CWindowWnd::Subclass: SetWindowLongPtrW failed: %lu",
                     GetLastError());
        return nullptr;
    }
    subclassed_ = true;
    hwnd_ = hwnd;
    return hwnd_;
}

void CWindowWnd::Unsubclass() {
    if (!subclassed_ || hwnd_ == nullptr || !IsWindow(hwnd_)) return;
    SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousProc_));
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    previousProc_ = ::DefWindowProcW;
    subclassed_ = false;
    hwnd_ = nullptr;
}

LRESULT CWindowWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::SendMessageW(hwnd_, message, wParam, lParam);
}

bool CWindowWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::PostMessageW(hwnd_, message, wParam, lParam) != FALSE;
}

void CWindowWnd::ShowWindow(bool show, bool takeFocus) {
    if (hwnd_ == nullptr || !IsWindow(hwnd_)) return;
    ::ShowWindow(hwnd_, show ? (takeFocus ? SW_SHOWNORMAL : SW_SHOWNOACTIVATE) : SW_HIDE);
}

UINT CWindowWnd::ShowModal() {
    // Only locals after the loop starts: the window's owner may delete this
    // object once the window is gone.
    const HWND hwnd = hwnd_;
    if (hwnd == nullptr || !IsWindow(hwnd)) return 0;
    const HWND owner = GetWindow(hwnd, GW_OWNER);
    // Through the overridable operation: some windows extend showing.
    ShowWindow(true, true);
    if (owner != nullptr) EnableWindow(owner, FALSE);
    UINT result = 0;
    bool quit = false;
    WPARAM quitCode = 0;
    MSG msg;
    // A dialog that only hides when it closes (and lives on for the next
    // time) ends the loop as one that is destroyed does.
    while (IsWindow(hwnd) && IsWindowVisible(hwnd)) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            quit = got == 0;
            quitCode = msg.wParam;
            break;
        }
        if (msg.message == WM_CLOSE && msg.hwnd == hwnd) {
            result = static_cast<UINT>(msg.wParam);
            // Before the window goes, so that activation returns to the owner.
            if (owner != nullptr) {
                EnableWindow(owner, TRUE);
                SetFocus(owner);
            }
        }
        if (!CWindowHostWin::TranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    if (owner != nullptr) {
        EnableWindow(owner, TRUE);
        SetFocus(owner);
    }
    if (quit) PostQuitMessage(static_cast<int>(quitCode));
    return result;
}

void CWindowWnd::Close(UINT code) {
    if (hwnd_ == nullptr || !IsWindow(hwnd_)) return;
    PostMessage(WM_CLOSE, code, 0);
}

void CWindowWnd::CenterWindow() {
    if (hwnd_ == nullptr) return;
    RECT window{};
    GetWindowRect(hwnd_, &window);
    const HWND owner = GetWindow(hwnd_, GW_OWNER);
    const RECT work = WorkAreaNear(owner != nullptr ? owner : hwnd_);
    RECT reference = work;
    if (owner != nullptr && !IsIconic(owner)) GetWindowRect(owner, &reference);
    const TPoint origin = CenteredOrigin(ToTRect(window), ToTRect(reference), ToTRect(work));
    SetWindowPos(hwnd_, nullptr, origin.x, origin.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWindowWnd::SetIcon(UINT resource) {
    if (hwnd_ == nullptr) return;
    // The window does not destroy icons it is given; this object does.
    UniqueIcon big(static_cast<HICON>(LoadImageW(Instance(), MAKEINTRESOURCEW(resource), IMAGE_ICON,
                                                 GetSystemMetrics(SM_CXICON),
                                                 GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR)));
    if (big) {
        SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big.get()));
        bigIcon_ = std::move(big);
    } else {
        QLogger::Log(QLOG_WARNING, "CWindowWnd::SetIcon: no icon %u", resource);
    }
    UniqueIcon small(static_cast<HICON>(
        LoadImageW(Instance(), MAKEINTRESOURCEW(resource), IMAGE_ICON,
                   GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR)));
    if (small) {
        SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small.get()));
        smallIcon_ = std::move(small);
    }
}

LPCWSTR CWindowWnd::GetSuperClassName() const {
    return nullptr;
}

UINT CWindowWnd::GetClassStyle() const {
    return 0;
}

LRESULT CWindowWnd::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcW(previousProc_, hwnd_, message, wParam, lParam);
}

void CWindowWnd::OnFinalMessage(HWND) {}

void CWindowWnd::OnParentMoveSize(UINT, WPARAM, LPARAM) {}

LRESULT CALLBACK CWindowWnd::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWindowWnd* object = nullptr;
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        object = static_cast<CWindowWnd*>(create->lpCreateParams);
        if (object != nullptr) {
            object->hwnd_ = hwnd;
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
        }
    } else {
        object = reinterpret_cast<CWindowWnd*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (object == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);

    if (message == WM_MOVE || message == WM_SIZE) {
        MoveSizeArgs args{hwnd, GetCurrentThreadId(), WindowProc, message, wParam, lParam};
        EnumChildWindows(hwnd, TellChild, reinterpret_cast<LPARAM>(&args));
        EnumThreadWindows(args.thread, TellChild, reinterpret_cast<LPARAM>(&args));
    } else if (message == WM_NCDESTROY) {
        const LRESULT result =
            CallWindowProcW(object->previousProc_, hwnd, message, wParam, lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        if (object->subclassed_) {
            SetWindowLongPtrW(hwnd, GWLP_WNDPROC,
                              reinterpret_cast<LONG_PTR>(object->previousProc_));
            object->subclassed_ = false;
        }
        object->hwnd_ = nullptr;
        object->OnFinalMessage(hwnd);
        return result;
    }
    return object->HandleMessage(message, wParam, lParam);
}

}  // namespace SkinUI
