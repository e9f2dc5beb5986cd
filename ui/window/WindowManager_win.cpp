// The Win32 side of CWindowManagerUI: the pre-translating message loop,
// double-buffered painting of the control tree, mouse and keyboard input,
// focus and tab order, timers, tool tips, the combo box's drop-down list
// and the native edit window of a focused edit field. UI thread only.
#include <windows.h>
// The common controls header needs windows.h before it.
#include <commctrl.h>

#include <algorithm>
#include <map>
#include <optional>
#include <vector>

#include "common/qlogger/QLogger.h"
#include "common/win/UniqueHandle_win.h"
#include "ui/controls/Button.h"
#include "ui/controls/Combo.h"
#include "ui/controls/Control.h"
#include "ui/paint/GdiCanvas_win.h"
#include "ui/controls/Label.h"
#include "ui/window/DropDownList.h"
#include "ui/window/InputRouter.h"
#include "ui/window/WindowManager.h"

namespace SkinUI {

namespace {

// The window's private message: asynchronous notifications are waiting.
// Registered so that it never meets a window's own WM_USER messages.
UINT AsyncNotifyMessage() {
    static const UINT message = RegisterWindowMessageW(L"SkinUI.AsyncNotify");
    return message;
}

constexpr wchar_t kDropDownClass[] = L"SkinUIDropDownList";
constexpr UINT_PTR kFirstTimerId = 0x5A00;
constexpr DWORD kHoverTimeMs = 400;

std::vector<CWindowManagerUI*>& Managers() {
    static std::vector<CWindowManagerUI*> managers;
    return managers;
}

bool IsRegistered(CWindowManagerUI* manager) {
    const auto& all = Managers();
    return std::find(all.begin(), all.end(), manager) != all.end();
}

TPoint PointOf(LPARAM lParam) {
    return TPoint{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

RECT ToRect(const TRect& r) {
    return RECT{r.left, r.top, r.right, r.bottom};
}

// BeginPaint/EndPaint for the scope.
class PaintScope {
public:
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    explicit PaintScope(HWND window) : window_(window) { dc_ = BeginPaint(window, &ps_); }
    ~PaintScope() { EndPaint(window_, &ps_); }
    HDC dc() const { return dc_; }
    const RECT& rect() const { return ps_.rcPaint; }

private:
    HWND window_;
    HDC dc_ = nullptr;
    PAINTSTRUCT ps_{};
};

}  // namespace

struct CWindowManagerUI::TWin32State : IWindowHostUI, IInputPlatformUI {
    TWin32State(const TWin32State&) = delete;
    TWin32State& operator=(const TWin32State&) = delete;
    TWin32State(CWindowManagerUI& owner, HWND window)
        : manager(owner), hwnd(window), input(owner, *this) {}
    ~TWin32State() override;

    // IWindowHostUI
    void InvalidateRect(const TRect& rect) override;
    void WakeForNotifications() override;
    void OpacityChanged(int opacity) override;
    void ControlGone(CControlUI* control) override;
    void ControlTextChanged(CControlUI* control) override;
    void ShowDropDown(CComboUI* combo) override;

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
    void KillTimers(CControlUI* control);

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

    CInputRouter input;
    bool trackingLeave = false;

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

void CWindowManagerUI::TWin32StateDeleter::operator()(TWin32State* state) const {
    delete state;
}

CWindowManagerUI::TWin32State::~TWin32State() {
    std::erase(Managers(), &manager);
    if (IsWindow(hwnd)) {
        for (const auto& entry : timers) ::KillTimer(hwnd, entry.first);
    }
    dropDown.reset();
    DestroyEditWindow();
}

// ---- Host calls from the portable manager --------------------------------

void CWindowManagerUI::TWin32State::InvalidateRect(const TRect& rect) {
    if (!IsWindow(hwnd)) return;
    const RECT r = ToRect(rect);
    ::InvalidateRect(hwnd, &r, FALSE);
}

void CWindowManagerUI::TWin32State::WakeForNotifications() {
    if (notifyPosted || !IsWindow(hwnd)) return;
    notifyPosted = PostMessageW(hwnd, AsyncNotifyMessage(), 0, 0) != FALSE;
    if (!notifyPosted) {
        QLogger::Log(QLOG_ERROR, "%s: PostMessage failed:%lu",
                     "CWindowManagerUI::WakeForNotifications", GetLastError());
    }
}

void CWindowManagerUI::TWin32State::OpacityChanged(int opacity) {
    if (!IsWindow(hwnd)) return;
    const LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
    if (opacity >= 0 && opacity < 255) {
        SetWindowLongPtrW(hwnd, GWL_EXSTYLE, style | WS_EX_LAYERED);
        if (!SetLayeredWindowAttributes(hwnd, 0, static_cast<BYTE>(opacity), LWA_ALPHA)) {
            QLogger::Log(QLOG_ERROR, "%s: SetLayeredWindowAttributes failed:%lu",
                         "CWindowManagerUI::SetOpacity", GetLastError());
        }
    } else if (style & WS_EX_LAYERED) {
        SetWindowLongPtrW(hwnd, GWL_EXSTYLE, style & ~static_cast<LONG_PTR>(WS_EX_LAYERED));
        ::InvalidateRect(hwnd, nullptr, FALSE);
    }
}

void CWindowManagerUI::TWin32State::ControlGone(CControlUI* control) {
    const auto gone = [control](CControlUI* held) {
        return held != nullptr && (control == nullptr || held == control);
    };
    input.ControlGone(control);
    if (gone(editControl)) DestroyEditWindow();
    if (dropList && gone(&dropList->GetCombo())) {
        dropList.reset();
        CloseDropDown(false);
    }
    if (control == nullptr) {
        for (const auto& entry : timers) ::KillTimer(hwnd, entry.first);
        timers.clear();
    } else {
        KillTimers(control);
    }
}

void CWindowManagerUI::TWin32State::ControlTextChanged(CControlUI* control) {
    if (control != editControl || !edit || editSyncing) return;
    // Shown in the native window as if typed, and told like a typed change.
    editSyncing = true;
    SetWindowTextW(edit.get(), control->GetText().c_str());
    const int end = GetWindowTextLengthW(edit.get());
    SendMessageW(edit.get(), EM_SETSEL, static_cast<WPARAM>(end), static_cast<LPARAM>(end));
    editSyncing = false;
    manager.SendNotify(control, L"textchanged");
}

// ---- Painting --------------------------------------------------------------------

void CWindowManagerUI::TWin32State::PaintInto(HDC target, const TRect& paint) {
    RECT client{};
    GetClientRect(hwnd, &client);
    if (client.right <= 0 || client.bottom <= 0 || paint.IsEmpty()) return;
    if (!backBuffer.Resize(client.right, client.bottom)) return;
    HDC back = backBuffer.GetDC();
    {
        CGdiCanvas canvas(back, cache);
        canvas.PushClip(paint);
        // What the tree leaves uncovered shows the skin's darkest tone, not
        // whatever an earlier paint left in the buffer.
        canvas.FillRect(paint, 0xFF0B0F17);
        manager.Paint(canvas, paint);
        if (manager.GetWindowAttributes().showDirty) canvas.DrawBorder(paint, 1, 0xFFFF0000);
        canvas.PopClip();
    }
    BitBlt(target, paint.left, paint.top, paint.Width(), paint.Height(), back, paint.left,
           paint.top, SRCCOPY);
    PlaceEditWindow();
}

void CWindowManagerUI::TWin32State::OnPaint() {
    PaintScope scope(hwnd);
    if (scope.dc() == nullptr) return;
    const RECT& r = scope.rect();
    // The portable record of dirty areas is Windows' update region here.
    manager.TakeInvalidRect();
    PaintInto(scope.dc(), TRect{r.left, r.top, r.right, r.bottom});
}

void CWindowManagerUI::TWin32State::OnPrintClient(HDC target) {
    RECT client{};
    GetClientRect(hwnd, &client);
    PaintInto(target, TRect{0, 0, client.right, client.bottom});
}

// ---- Mouse -------------------------------------------------------------------------

void CWindowManagerUI::TWin32State::TrackMouse(bool hover) {
    TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE | (hover ? TME_HOVER : 0u), hwnd, kHoverTimeMs};
    if (TrackMouseEvent(&track)) trackingLeave = true;
}

void CWindowManagerUI::TWin32State::TrackMouseLeave() {
    if (!trackingLeave) TrackMouse(false);
}

void CWindowManagerUI::TWin32State::TrackHover() {
    TrackMouse(true);
}

void CWindowManagerUI::TWin32State::CaptureMouse(bool capture) {
    if (capture) {
        SetCapture(hwnd);
    } else if (GetCapture() == hwnd) {
        ReleaseCapture();
    }
}

// ---- Tool tips -------------------------------------------------------------------------

void CWindowManagerUI::TWin32State::ShowToolTip() {
    CControlUI* hot = input.GetHot();
    if (hot == nullptr || hot->GetToolTip().empty() || input.GetCapture() != nullptr) return;
    if (!toolTip) {
        static const bool initialised = [] {
            INITCOMMONCONTROLSEX init{sizeof(init), ICC_WIN95_CLASSES};
            return InitCommonControlsEx(&init) != FALSE;
        }();
        (void)initialised;
        toolTip.reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                      WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd, nullptr,
                                      static_cast<HINSTANCE>(GetInstance()), nullptr));
        if (!toolTip) {
            QLogger::Log(QLOG_ERROR, "%s: CreateWindowEx tooltip failed:%lu",
                         "CWindowManagerUI::ShowToolTip", GetLastError());
            return;
        }
        SendMessageW(toolTip.get(), TTM_SETMAXTIPWIDTH, 0, 400);
    }
    toolTipText = hot->GetToolTip();
    // The version-5 record: the common controls without a manifest refuse
    // the larger one.
    TTTOOLINFOW info{};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.uFlags = TTF_TRACK | TTF_ABSOLUTE;
    info.hwnd = hwnd;
    info.uId = 1;
    info.lpszText = toolTipText.data();
    info.rect = ToRect(hot->GetPos());
    if (!toolTipAdded) {
        toolTipAdded =
            SendMessageW(toolTip.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info)) != 0;
    } else {
        SendMessageW(toolTip.get(), TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
    }
    POINT at{};
    GetCursorPos(&at);
    SendMessageW(toolTip.get(), TTM_TRACKPOSITION, 0, MAKELPARAM(at.x + 12, at.y + 20));
    SendMessageW(toolTip.get(), TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&info));
    toolTipShown = true;
}

void CWindowManagerUI::TWin32State::HideToolTip() {
    if (!toolTip || !toolTipShown) return;
    toolTipShown = false;
    TTTOOLINFOW info{};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.hwnd = hwnd;
    info.uId = 1;
    SendMessageW(toolTip.get(), TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&info));
}

// ---- Keyboard and focus -------------------------------------------------------------------

bool CWindowManagerUI::TWin32State::OnKeyDown(WPARAM key) {
    UIKey uiKey = UIKey::Other;
    switch (key) {
        case VK_UP: uiKey = UIKey::Up; break;
        case VK_DOWN: uiKey = UIKey::Down; break;
        case VK_RETURN: uiKey = UIKey::Return; break;
        case VK_ESCAPE: uiKey = UIKey::Escape; break;
        case VK_TAB: uiKey = UIKey::Tab; break;
        case VK_F4: uiKey = UIKey::F4; break;
        case VK_SPACE: uiKey = UIKey::Space; break;
        default: break;
    }
    if (dropDown && dropList) {
        const CDropDownList::Action action = dropList->OnKey(uiKey);
        ApplyDropDown(action);
        return action != CDropDownList::Action::None;
    }
    if (dropDown) return false;
    return input.KeyDown(uiKey, (GetKeyState(VK_SHIFT) & 0x8000) != 0);
}

void CWindowManagerUI::TWin32State::FocusLeaving(CControlUI* control) {
    if (control == editControl) DestroyEditWindow();
}

void CWindowManagerUI::TWin32State::FocusTaken(CControlUI* control) {
    if (auto* editUi = dynamic_cast<CEditUI*>(control)) {
        CreateEditWindow(editUi);
    } else if (::GetFocus() != hwnd && IsWindow(hwnd)) {
        ::SetFocus(hwnd);
    }
}

void CWindowManagerUI::SetFocus(CControlUI* control) {
    if (win_) win_->input.SetFocus(control);
}

CControlUI* CWindowManagerUI::GetFocus() const {
    return win_ ? win_->input.GetFocus() : nullptr;
}

bool CWindowManagerUI::SetNextTabControl(bool forward) {
    return win_ && win_->input.SetNextTabControl(forward);
}

CControlUI* CWindowManagerUI::GetHot() const {
    return win_ ? win_->input.GetHot() : nullptr;
}

// ---- The native edit window -------------------------------------------------------------

void CWindowManagerUI::TWin32State::CreateEditWindow(CEditUI* control) {
    DestroyEditWindow();
    DWORD style = WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL | ES_LEFT;
    if (control->IsPassword()) style |= ES_PASSWORD;
    if (control->IsReadOnly()) style |= ES_READONLY;
    edit.reset(CreateWindowExW(0, L"EDIT", control->GetText().c_str(), style, 0, 0, 0, 0, hwnd,
                               nullptr, static_cast<HINSTANCE>(GetInstance()), nullptr));
    if (!edit) {
        QLogger::Log(QLOG_ERROR, "%s: CreateWindowEx EDIT failed:%lu",
                     "CWindowManagerUI::CreateEditWindow", GetLastError());
        return;
    }
    editControl = control;
    SetWindowLongPtrW(edit.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    editDefaultProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
        edit.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TWin32State::EditProc)));
    SendMessageW(edit.get(), WM_SETFONT,
                 reinterpret_cast<WPARAM>(cache.GetFont(manager.GetFont(control->GetFont()))),
                 FALSE);
    SendMessageW(edit.get(), EM_LIMITTEXT, static_cast<WPARAM>(std::max(control->GetMaxChar(), 1)),
                 0);
    const int end = GetWindowTextLengthW(edit.get());
    SendMessageW(edit.get(), EM_SETSEL, static_cast<WPARAM>(end), static_cast<LPARAM>(end));
    PlaceEditWindow();
    ::SetFocus(edit.get());
}

void CWindowManagerUI::TWin32State::PlaceEditWindow() {
    if (!edit || editControl == nullptr) return;
    const TRect& pos = editControl->GetPos();
    const TRect& pad = editControl->GetTextPadding();
    const int border = editControl->GetBorderSize();
    const TRect r{pos.left + pad.left + border, pos.top + pad.top + border,
                  pos.right - pad.right - border, pos.bottom - pad.bottom - border};
    RECT now{};
    GetWindowRect(edit.get(), &now);
    MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&now), 2);
    if (now.left == r.left && now.top == r.top && now.right == r.right && now.bottom == r.bottom) {
        return;
    }
    SetWindowPos(edit.get(), nullptr, r.left, r.top, std::max(r.Width(), 1),
                 std::max(r.Height(), 1), SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWindowManagerUI::TWin32State::DestroyEditWindow() {
    if (!edit) return;
    HWND window = edit.release();
    const bool hadFocus = ::GetFocus() == window;
    editControl = nullptr;
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    if (editDefaultProc != nullptr) {
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(editDefaultProc));
    }
    DestroyWindow(window);
    if (hadFocus && IsWindow(hwnd)) ::SetFocus(hwnd);
}

void CWindowManagerUI::TWin32State::OnEditChanged() {
    if (editSyncing || !edit || editControl == nullptr) return;
    const int length = GetWindowTextLengthW(edit.get());
    std::wstring text(static_cast<size_t>(std::max(length, 0)) + 1, L'\0');
    const int got = GetWindowTextW(edit.get(), text.data(), length + 1);
    text.resize(static_cast<size_t>(std::max(got, 0)));
    CEditUI* control = editControl;
    editSyncing = true;
    control->CControlUI::SetText(text);  // the base: no echo to the window
    editSyncing = false;
    manager.SendNotify(control, L"textchanged");
}

LRESULT CALLBACK CWindowManagerUI::TWin32State::EditProc(HWND window, UINT message, WPARAM wParam,
                                                         LPARAM lParam) {
    auto* state = reinterpret_cast<TWin32State*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (state == nullptr || state->editDefaultProc == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    WNDPROC base = state->editDefaultProc;
    if (message == WM_KEYDOWN && wParam == VK_TAB) {
        state->manager.SetNextTabControl((GetKeyState(VK_SHIFT) & 0x8000) == 0);
        return 0;
    }
    if (message == WM_KEYDOWN && wParam == VK_RETURN && state->editControl != nullptr) {
        state->manager.SendNotify(state->editControl, L"return");
        return 0;
    }
    if (message == WM_CHAR && (wParam == L'\t' || wParam == L'\r')) return 0;  // no beep
    return CallWindowProcW(base, window, message, wParam, lParam);
}

void* CWindowManagerUI::GetEditWindow() const {
    return win_ ? static_cast<void*>(win_->edit.get()) : nullptr;
}

// ---- Timers ----------------------------------------------------------------------------------

bool CWindowManagerUI::SetTimer(CControlUI* control, unsigned id, unsigned elapseMs) {
    TWin32State* state = win_.get();
    if (state == nullptr || control == nullptr || !IsWindow(state->hwnd)) return false;
    UINT_PTR winId = 0;
    for (const auto& [key, timer] : state->timers) {
        if (timer.control == control && timer.id == id) winId = key;
    }
    if (winId == 0) winId = state->nextTimerId++;
    if (::SetTimer(state->hwnd, winId, elapseMs, nullptr) == 0) {
        QLogger::Log(QLOG_ERROR, "%s: SetTimer failed:%lu", "CWindowManagerUI::SetTimer",
                     GetLastError());
        return false;
    }
    state->timers[winId] = TWin32State::TTimer{control, id};
    return true;
}

bool CWindowManagerUI::KillTimer(CControlUI* control, unsigned id) {
    TWin32State* state = win_.get();
    if (state == nullptr) return false;
    for (auto it = state->timers.begin(); it != state->timers.end(); ++it) {
        if (it->second.control == control && it->second.id == id) {
            ::KillTimer(state->hwnd, it->first);
            state->timers.erase(it);
            return true;
        }
    }
    return false;
}

void CWindowManagerUI::KillTimer(CControlUI* control) {
    if (win_) win_->KillTimers(control);
}

void CWindowManagerUI::TWin32State::KillTimers(CControlUI* control) {
    for (auto it = timers.begin(); it != timers.end();) {
        if (it->second.control == control) {
            ::KillTimer(hwnd, it->first);
            it = timers.erase(it);
        } else {
            ++it;
        }
    }
}

bool CWindowManagerUI::TWin32State::OnTimer(UINT_PTR id) {
    const auto it = timers.find(id);
    if (it == timers.end()) return false;
    const TTimer timer = it->second;
    manager.SendNotify(timer.control, L"timer", timer.id);
    return true;
}

// ---- The drop-down list ------------------------------------------------------------------

void CWindowManagerUI::TWin32State::ShowDropDown(CComboUI* combo) {
    CloseDropDown(false);
    if (combo == nullptr || combo->GetCount() == 0 || !IsWindow(hwnd)) return;
    static const bool registered = [] {
        WNDCLASSEXW wc{sizeof(wc)};
        wc.style = CS_DROPSHADOW;
        wc.lpfnWndProc = &TWin32State::DropDownProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = kDropDownClass;
        return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    if (!registered) {
        QLogger::Log(QLOG_ERROR, "%s: RegisterClassEx failed", "CWindowManagerUI::ShowDropDown");
        return;
    }
    dropList.emplace(*combo);
    const TRect& pos = combo->GetPos();
    POINT origin{pos.left, pos.bottom};
    ClientToScreen(hwnd, &origin);
    const TSize size = dropList->Size();
    HWND list = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, kDropDownClass,
                                L"", WS_POPUP, origin.x, origin.y, size.cx, size.cy, hwnd, nullptr,
                                GetModuleHandleW(nullptr), this);
    if (list == nullptr) {
        QLogger::Log(QLOG_ERROR, "%s: CreateWindowEx failed:%lu", "CWindowManagerUI::ShowDropDown",
                     GetLastError());
        dropList.reset();
        return;
    }
    dropDown.reset(list);
    ShowWindow(list, SW_SHOWNOACTIVATE);
    UpdateWindow(list);
    // The capture brings a click anywhere else to the list, which closes.
    SetCapture(list);
}

void CWindowManagerUI::TWin32State::CloseDropDown(bool select) {
    if (!dropDown) return;
    HWND list = dropDown.release();
    CComboUI* combo = dropList ? &dropList->GetCombo() : nullptr;
    const int chosen = dropList ? dropList->GetHot() : -1;
    dropList.reset();
    if (GetCapture() == list) ReleaseCapture();
    SetWindowLongPtrW(list, GWLP_USERDATA, 0);
    DestroyWindow(list);
    // The list is gone before the window hears of the choice, so the
    // handler may do anything, even open it again.
    if (select && combo != nullptr && chosen >= 0) combo->SelectItem(chosen);
}

void CWindowManagerUI::TWin32State::ApplyDropDown(CDropDownList::Action action) {
    switch (action) {
        case CDropDownList::Action::Handled:
            if (dropDown) ::InvalidateRect(dropDown.get(), nullptr, FALSE);
            break;
        case CDropDownList::Action::Choose:
            CloseDropDown(true);
            break;
        case CDropDownList::Action::Cancel:
            CloseDropDown(false);
            break;
        case CDropDownList::Action::None:
            break;
    }
}

LRESULT CALLBACK CWindowManagerUI::TWin32State::DropDownProc(HWND window, UINT message,
                                                             WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* state = reinterpret_cast<TWin32State*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (state == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    return state->DropDownMessage(window, message, wParam, lParam);
}

LRESULT CWindowManagerUI::TWin32State::DropDownMessage(HWND window, UINT message, WPARAM wParam,
                                                       LPARAM lParam) {
    switch (message) {
        case WM_MOUSEACTIVATE:
            return MA_NOACTIVATE;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PaintScope scope(window);
            RECT client{};
            GetClientRect(window, &client);
            CDibSurface surface;
            if (scope.dc() == nullptr || !dropList ||
                !surface.Resize(client.right, client.bottom)) {
                return 0;
            }
            {
                CGdiCanvas canvas(surface.GetDC(), cache);
                dropList->Paint(canvas, manager);
            }
            BitBlt(scope.dc(), 0, 0, client.right, client.bottom, surface.GetDC(), 0, 0, SRCCOPY);
            return 0;
        }
        case WM_MOUSEMOVE:
            if (dropList && dropList->HoverAt(PointOf(lParam))) {
                ::InvalidateRect(window, nullptr, FALSE);
            }
            return 0;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN: {
            RECT client{};
            GetClientRect(window, &client);
            const TPoint p = PointOf(lParam);
            if (!TRect{client.left, client.top, client.right, client.bottom}.Contains(p.x, p.y)) {
                CloseDropDown(false);
            }
            return 0;
        }
        case WM_LBUTTONUP:
            if (dropList) ApplyDropDown(dropList->OnButtonUp(PointOf(lParam)));
            return 0;
        case WM_KEYDOWN:
            if (OnKeyDown(wParam)) return 0;
            break;
        case WM_CAPTURECHANGED:
            if (reinterpret_cast<HWND>(lParam) != window) CloseDropDown(false);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void* CWindowManagerUI::GetDropDownWindow() const {
    return win_ ? static_cast<void*>(win_->dropDown.get()) : nullptr;
}

void* CWindowManagerUI::GetToolTipWindow() const {
    return win_ ? static_cast<void*>(win_->toolTip.get()) : nullptr;
}

// ---- Binding, filters and message handling ------------------------------------------------

void CWindowManagerUI::Init(void* window) {
    HWND hwnd = static_cast<HWND>(window);
    if (win_ && win_->hwnd == hwnd) return;
    host_ = nullptr;
    win_.reset();
    paintWindow_ = window;
    if (hwnd == nullptr) return;
    win_.reset(new TWin32State(*this, hwnd));
    host_ = win_.get();
    Managers().push_back(this);
    RECT client{};
    if (GetClientRect(hwnd, &client) && client.right > 0 && client.bottom > 0) {
        SetClientSize(TSize{client.right, client.bottom});
    }
    if (window_.opacity != 255) host_->OpacityChanged(window_.opacity);
}

void CWindowManagerUI::AddPreMessageFilter(IMessageFilterUI* filter) {
    if (!win_ || filter == nullptr) return;
    auto& list = win_->preFilters;
    if (std::find(list.begin(), list.end(), filter) == list.end()) list.push_back(filter);
}

void CWindowManagerUI::RemovePreMessageFilter(IMessageFilterUI* filter) {
    if (win_) std::erase(win_->preFilters, filter);
}

void CWindowManagerUI::AddMessageFilter(IMessageFilterUI* filter) {
    if (!win_ || filter == nullptr) return;
    auto& list = win_->filters;
    if (std::find(list.begin(), list.end(), filter) == list.end()) list.push_back(filter);
}

void CWindowManagerUI::RemoveMessageFilter(IMessageFilterUI* filter) {
    if (win_) std::erase(win_->filters, filter);
}

void CWindowManagerUI::AddTranslateAccelerator(ITranslateAccelerator* translator) {
    if (!win_ || translator == nullptr) return;
    auto& list = win_->translators;
    if (std::find(list.begin(), list.end(), translator) == list.end()) list.push_back(translator);
}

void CWindowManagerUI::RemoveTranslateAccelerator(ITranslateAccelerator* translator) {
    if (win_) std::erase(win_->translators, translator);
}

bool CWindowManagerUI::PreMessageHandler(unsigned message, uintptr_t wParam, intptr_t lParam,
                                         intptr_t& result) {
    if (!win_) return false;
    // A filter may register or remove filters while it runs.
    const std::vector<IMessageFilterUI*> filters = win_->preFilters;
    for (IMessageFilterUI* filter : filters) {
        if (!win_ || std::find(win_->preFilters.begin(), win_->preFilters.end(), filter) ==
                         win_->preFilters.end()) {
            continue;
        }
        bool handled = false;
        const intptr_t r = filter->MessageHandler(message, wParam, lParam, handled);
        if (handled) {
            result = r;
            return true;
        }
    }
    return false;
}

bool CWindowManagerUI::TranslateMessage(const void* msg) {
    const MSG* m = static_cast<const MSG*>(msg);
    if (m == nullptr || m->hwnd == nullptr) return false;
    const bool child = (GetWindowLongPtrW(m->hwnd, GWL_STYLE) & WS_CHILD) != 0;
    const std::vector<CWindowManagerUI*> managers = Managers();
    for (CWindowManagerUI* manager : managers) {
        if (!IsRegistered(manager) || !manager->win_) continue;
        HWND own = manager->win_->hwnd;
        const bool mine = own == m->hwnd;
        if (!mine && !(child && IsChild(own, m->hwnd))) continue;
        // An open drop-down list takes its keys before any filter: Escape
        // closes the list, not the window (nor is it swallowed by a window
        // that ignores Escape).
        if (m->message == WM_KEYDOWN && manager->win_->dropDown &&
            manager->win_->OnKeyDown(m->wParam)) {
            return true;
        }
        const std::vector<ITranslateAccelerator*> translators = manager->win_->translators;
        for (ITranslateAccelerator* translator : translators) {
            if (translator->TranslateAccelerator(m)) return true;
        }
        if (!IsRegistered(manager) || !manager->win_) continue;
        intptr_t result = 0;
        const bool handled = manager->PreMessageHandler(m->message, m->wParam, m->lParam, result);
        // Inside a child window (a browser, an edit) the filters only look.
        if (handled && !child) return true;
        if (!child) return false;
    }
    return false;
}

void CWindowManagerUI::MessageLoop() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (TranslateMessage(&msg)) continue;
        ::TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

bool CWindowManagerUI::MessageHandler(unsigned message, uintptr_t wParam, intptr_t lParam,
                                      intptr_t& result) {
    TWin32State* state = win_.get();
    if (state == nullptr) return false;
    {
        const std::vector<IMessageFilterUI*> filters = state->filters;
        for (IMessageFilterUI* filter : filters) {
            bool handled = false;
            const intptr_t r = filter->MessageHandler(message, wParam, lParam, handled);
            if (handled) {
                result = r;
                return true;
            }
        }
    }
    result = 0;
    if (message == AsyncNotifyMessage()) {
        state->notifyPosted = false;
        DeliverQueuedNotifications();
        return true;
    }
    switch (message) {
        case WM_GETMINMAXINFO: {
            // The layout's tracking limits; left unhandled so that a window
            // that does not take the message still gets the default rest.
            auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
            const TWindowAttributes& window = GetWindowAttributes();
            if (window.minInfo.cx > 0) info->ptMinTrackSize.x = window.minInfo.cx;
            if (window.minInfo.cy > 0) info->ptMinTrackSize.y = window.minInfo.cy;
            if (window.maxInfo.cx > 0) info->ptMaxTrackSize.x = window.maxInfo.cx;
            if (window.maxInfo.cy > 0) info->ptMaxTrackSize.y = window.maxInfo.cy;
            return false;
        }
        case WM_ERASEBKGND:
            result = 1;
            return true;
        case WM_PAINT:
            state->OnPaint();
            return true;
        case WM_PRINTCLIENT:
            state->OnPrintClient(reinterpret_cast<HDC>(wParam));
            return true;
        case WM_SIZE:
            if (wParam != SIZE_MINIMIZED) {
                SetClientSize(TSize{LOWORD(lParam), HIWORD(lParam)});
                if (state->dropDown) state->CloseDropDown(false);
            }
            return false;
        case WM_MOVE:
            if (state->dropDown) state->CloseDropDown(false);
            return false;
        case WM_MOUSEMOVE:
            state->input.MouseMove(PointOf(lParam));
            return false;
        case WM_MOUSELEAVE:
            state->trackingLeave = false;
            state->input.MouseLeave();
            return false;
        case WM_MOUSEHOVER:
            state->ShowToolTip();
            return false;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            state->input.ButtonDown(PointOf(lParam));
            return false;
        case WM_LBUTTONUP:
            state->input.ButtonUp(PointOf(lParam));
            return false;
        case WM_CAPTURECHANGED:
            if (reinterpret_cast<HWND>(lParam) != state->hwnd) state->input.CancelCapture();
            return false;
        case WM_KEYDOWN:
            if (state->OnKeyDown(wParam)) return true;
            return false;
        case WM_TIMER:
            return state->OnTimer(wParam);
        case WM_COMMAND:
            if (state->edit && reinterpret_cast<HWND>(lParam) == state->edit.get() &&
                HIWORD(wParam) == EN_CHANGE) {
                state->OnEditChanged();
                return true;
            }
            return false;
        case WM_KILLFOCUS:
            if (state->dropDown && reinterpret_cast<HWND>(wParam) != state->dropDown.get()) {
                state->CloseDropDown(false);
            }
            return false;
        case WM_DESTROY:
            state->HideToolTip();
            state->CloseDropDown(false);
            state->DestroyEditWindow();
            return false;
        default:
            return false;
    }
}

}  // namespace SkinUI
