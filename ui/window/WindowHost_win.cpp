// The Win32 host of a window's manager: the pre-translating message loop,
// double-buffered painting of the control tree, mouse and keyboard handed
// to the manager's input router, timers, tool tips, the combo box's
// drop-down window and the native edit window of a focused edit field.
// UI thread only.
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
#include "ui/controls/Label.h"
#include "ui/paint/GdiCanvas_win.h"
#include "ui/skin/ModuleInstance_win.h"
#include "ui/window/WindowHost_win.h"

namespace SkinUI {

namespace {

// The window's private message: asynchronous notifications are waiting.
// Registered so that it never meets a window's own WM_USER messages.
UINT AsyncNotifyMessage() {
    static const UINT message = RegisterWindowMessageW(L"SkinUI.AsyncNotify");
    return message;
}

constexpr wchar_t kDropDownClass[] = L"SkinUIDropDownList";
constexpr DWORD kHoverTimeMs = 400;

// The hosts of every bound manager, for the loop's pre-translation.
std::vector<CWindowHostWin*>& Hosts() {
    static std::vector<CWindowHostWin*> hosts;
    return hosts;
}

bool IsRegistered(CWindowHostWin* host) {
    const auto& all = Hosts();
    return std::find(all.begin(), all.end(), host) != all.end();
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

CWindowHostWin::~CWindowHostWin() {
    std::erase(Hosts(), this);
    if (IsWindow(hwnd)) {
        for (const auto& entry : timers) ::KillTimer(hwnd, entry.first);
    }
    dropDown.reset();
    DestroyEditWindow();
}

// ---- Host calls from the portable manager --------------------------------

void CWindowHostWin::InvalidateRect(const TRect& rect) {
    if (!IsWindow(hwnd)) return;
    const RECT r = ToRect(rect);
    ::InvalidateRect(hwnd, &r, FALSE);
}

void CWindowHostWin::WakeForNotifications() {
    if (notifyPosted || !IsWindow(hwnd)) return;
    notifyPosted = PostMessageW(hwnd, AsyncNotifyMessage(), 0, 0) != FALSE;
    if (!notifyPosted) {
        QLogger::Log(QLOG_ERROR, "%s: PostMessage failed:%lu",
                     "CWindowManagerUI::WakeForNotifications", GetLastError());
    }
}

void CWindowHostWin::OpacityChanged(int opacity) {
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

void CWindowHostWin::ControlGone(CControlUI* control) {
    const auto gone = [control](CControlUI* held) {
        return held != nullptr && (control == nullptr || held == control);
    };
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

void CWindowHostWin::ControlTextChanged(CControlUI* control) {
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

void CWindowHostWin::PaintInto(HDC target, const TRect& paint) {
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

void CWindowHostWin::OnPaint() {
    PaintScope scope(hwnd);
    if (scope.dc() == nullptr) return;
    const RECT& r = scope.rect();
    // The portable record of dirty areas is Windows' update region here.
    manager.TakeInvalidRect();
    PaintInto(scope.dc(), TRect{r.left, r.top, r.right, r.bottom});
}

void CWindowHostWin::OnPrintClient(HDC target) {
    RECT client{};
    GetClientRect(hwnd, &client);
    PaintInto(target, TRect{0, 0, client.right, client.bottom});
}

// ---- Mouse -------------------------------------------------------------------------

void CWindowHostWin::TrackMouse(bool hover) {
    TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE | (hover ? TME_HOVER : 0u), hwnd, kHoverTimeMs};
    if (TrackMouseEvent(&track)) trackingLeave = true;
}

void CWindowHostWin::TrackMouseLeave() {
    if (!trackingLeave) TrackMouse(false);
}

void CWindowHostWin::TrackHover() {
    TrackMouse(true);
}

void CWindowHostWin::CaptureMouse(bool capture) {
    if (capture) {
        SetCapture(hwnd);
    } else if (GetCapture() == hwnd) {
        ReleaseCapture();
    }
}

// ---- Tool tips -------------------------------------------------------------------------

void CWindowHostWin::ShowToolTip() {
    CControlUI* hot = manager.Input().GetHot();
    if (hot == nullptr || hot->GetToolTip().empty() || manager.Input().GetCapture() != nullptr)
        return;
    if (!toolTip) {
        static const bool initialised = [] {
            INITCOMMONCONTROLSEX init{sizeof(init), ICC_WIN95_CLASSES};
            return InitCommonControlsEx(&init) != FALSE;
        }();
        (void)initialised;
        toolTip.reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                      WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd, nullptr,
                                      GetSetModuleInstance(), nullptr));
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

void CWindowHostWin::HideToolTip() {
    if (!toolTip || !toolTipShown) return;
    toolTipShown = false;
    TTTOOLINFOW info{};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.hwnd = hwnd;
    info.uId = 1;
    SendMessageW(toolTip.get(), TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&info));
}

// ---- Keyboard and focus -------------------------------------------------------------------

bool CWindowHostWin::OnKeyDown(WPARAM key) {
    UIKey uiKey = UIKey::Other;
    switch (key) {
        case VK_UP:
            uiKey = UIKey::Up;
            break;
        case VK_DOWN:
            uiKey = UIKey::Down;
            break;
        case VK_RETURN:
            uiKey = UIKey::Return;
            break;
        case VK_ESCAPE:
            uiKey = UIKey::Escape;
            break;
        case VK_TAB:
            uiKey = UIKey::Tab;
            break;
        case VK_F4:
            uiKey = UIKey::F4;
            break;
        case VK_SPACE:
            uiKey = UIKey::Space;
            break;
        default:
            break;
    }
    if (dropDown && dropList) {
        const CDropDownList::Action action = dropList->OnKey(uiKey);
        ApplyDropDown(action);
        return action != CDropDownList::Action::None;
    }
    if (dropDown) return false;
    return manager.Input().KeyDown(uiKey, (GetKeyState(VK_SHIFT) & 0x8000) != 0);
}

void CWindowHostWin::FocusLeaving(CControlUI* control) {
    if (control == editControl) DestroyEditWindow();
}

void CWindowHostWin::FocusTaken(CControlUI* control) {
    if (auto* editUi = dynamic_cast<CEditUI*>(control)) {
        CreateEditWindow(editUi);
    } else if (::GetFocus() != hwnd && IsWindow(hwnd)) {
        ::SetFocus(hwnd);
    }
}

// ---- The native edit window -------------------------------------------------------------

void CWindowHostWin::CreateEditWindow(CEditUI* control) {
    DestroyEditWindow();
    DWORD style = WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL | ES_LEFT;
    if (control->IsPassword()) style |= ES_PASSWORD;
    if (control->IsReadOnly()) style |= ES_READONLY;
    edit.reset(CreateWindowExW(0, L"EDIT", control->GetText().c_str(), style, 0, 0, 0, 0, hwnd,
                               nullptr, GetSetModuleInstance(), nullptr));
    if (!edit) {
        QLogger::Log(QLOG_ERROR, "%s: CreateWindowEx EDIT failed:%lu",
                     "CWindowManagerUI::CreateEditWindow", GetLastError());
        return;
    }
    editControl = control;
    SetWindowLongPtrW(edit.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    editDefaultProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
        edit.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWindowHostWin::EditProc)));
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

void CWindowHostWin::PlaceEditWindow() {
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

void CWindowHostWin::DestroyEditWindow() {
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

void CWindowHostWin::OnEditChanged() {
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

LRESULT CALLBACK CWindowHostWin::EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<CWindowHostWin*>(GetWindowLongPtrW(window, GWLP_USERDATA));
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

// ---- Timers ----------------------------------------------------------------------------------

bool CWindowHostWin::SetTimer(CControlUI* control, unsigned id, unsigned elapseMs) {
    CWindowHostWin* state = this;
    if (control == nullptr || !IsWindow(state->hwnd)) return false;
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
    state->timers[winId] = CWindowHostWin::TTimer{control, id};
    return true;
}

bool CWindowHostWin::KillTimer(CControlUI* control, unsigned id) {
    CWindowHostWin* state = this;
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

void CWindowHostWin::KillTimers(CControlUI* control) {
    for (auto it = timers.begin(); it != timers.end();) {
        if (it->second.control == control) {
            ::KillTimer(hwnd, it->first);
            it = timers.erase(it);
        } else {
            ++it;
        }
    }
}

bool CWindowHostWin::OnTimer(UINT_PTR id) {
    const auto it = timers.find(id);
    if (it == timers.end()) return false;
    const TTimer timer = it->second;
    manager.SendNotify(timer.control, L"timer", timer.id);
    return true;
}

// ---- The drop-down list ------------------------------------------------------------------

void CWindowHostWin::ShowDropDown(CComboUI* combo) {
    CloseDropDown(false);
    if (combo == nullptr || combo->GetCount() == 0 || !IsWindow(hwnd)) return;
    static const bool registered = [] {
        WNDCLASSEXW wc{sizeof(wc)};
        wc.style = CS_DROPSHADOW;
        wc.lpfnWndProc = &CWindowHostWin::DropDownProc;
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

void CWindowHostWin::CloseDropDown(bool select) {
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

void CWindowHostWin::ApplyDropDown(CDropDownList::Action action) {
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

LRESULT CALLBACK CWindowHostWin::DropDownProc(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* state = reinterpret_cast<CWindowHostWin*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (state == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    return state->DropDownMessage(window, message, wParam, lParam);
}

LRESULT CWindowHostWin::DropDownMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
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

// ---- Binding, filters and message handling ------------------------------------------------

CWindowHostWin* CWindowHostWin::Attach(CWindowManagerUI& manager, HWND window) {
    if (CWindowHostWin* host = Of(manager); host != nullptr && host->hwnd == window) return host;
    manager.AttachHost(nullptr, nullptr);
    if (window == nullptr) return nullptr;
    auto owned = std::unique_ptr<CWindowHostWin>(new CWindowHostWin(manager, window));
    CWindowHostWin* host = owned.get();
    Hosts().push_back(host);
    RECT client{};
    if (GetClientRect(window, &client) && client.right > 0 && client.bottom > 0) {
        manager.SetClientSize(TSize{client.right, client.bottom});
    }
    manager.AttachHost(std::move(owned), host);
    return host;
}

CWindowHostWin* CWindowHostWin::Of(const CWindowManagerUI& manager) {
    return dynamic_cast<CWindowHostWin*>(manager.GetHost());
}

void CWindowHostWin::AddPreMessageFilter(IMessageFilterUI* filter) {
    if (filter == nullptr) return;
    auto& list = preFilters;
    if (std::find(list.begin(), list.end(), filter) == list.end()) list.push_back(filter);
}

void CWindowHostWin::RemovePreMessageFilter(IMessageFilterUI* filter) {
    std::erase(preFilters, filter);
}

void CWindowHostWin::AddMessageFilter(IMessageFilterUI* filter) {
    if (filter == nullptr) return;
    auto& list = filters;
    if (std::find(list.begin(), list.end(), filter) == list.end()) list.push_back(filter);
}

void CWindowHostWin::RemoveMessageFilter(IMessageFilterUI* filter) {
    std::erase(filters, filter);
}

void CWindowHostWin::AddTranslateAccelerator(ITranslateAccelerator* translator) {
    if (translator == nullptr) return;
    auto& list = translators;
    if (std::find(list.begin(), list.end(), translator) == list.end()) list.push_back(translator);
}

void CWindowHostWin::RemoveTranslateAccelerator(ITranslateAccelerator* translator) {
    std::erase(translators, translator);
}

bool CWindowHostWin::PreMessageHandler(UINT message, WPARAM wParam, LPARAM lParam,
                                       LRESULT& result) {
    // A filter may register or remove filters while it runs.
    const std::vector<IMessageFilterUI*> snapshot = preFilters;
    for (IMessageFilterUI* filter : snapshot) {
        if (std::find(preFilters.begin(), preFilters.end(), filter) == preFilters.end()) continue;
        bool handled = false;
        const LRESULT r = filter->MessageHandler(message, wParam, lParam, handled);
        if (handled) {
            result = r;
            return true;
        }
    }
    return false;
}

bool CWindowHostWin::TranslateMessage(const MSG* m) {
    if (m == nullptr || m->hwnd == nullptr) return false;
    const bool child = (GetWindowLongPtrW(m->hwnd, GWL_STYLE) & WS_CHILD) != 0;
    const std::vector<CWindowHostWin*> hosts = Hosts();
    for (CWindowHostWin* host : hosts) {
        if (!IsRegistered(host)) continue;
        HWND own = host->hwnd;
        const bool mine = own == m->hwnd;
        if (!mine && !(child && IsChild(own, m->hwnd))) continue;
        // An open drop-down list takes its keys before any filter: Escape
        // closes the list, not the window (nor is it swallowed by a window
        // that ignores Escape).
        if (m->message == WM_KEYDOWN && host->dropDown && host->OnKeyDown(m->wParam)) {
            return true;
        }
        const std::vector<ITranslateAccelerator*> translators = host->translators;
        for (ITranslateAccelerator* translator : translators) {
            if (translator->TranslateAccelerator(m)) return true;
        }
        if (!IsRegistered(host)) continue;
        LRESULT result = 0;
        const bool handled = host->PreMessageHandler(m->message, m->wParam, m->lParam, result);
        // Inside a child window (a browser, an edit) the filters only look.
        if (handled && !child) return true;
        if (!child) return false;
    }
    return false;
}

void CWindowHostWin::MessageLoop() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (TranslateMessage(&msg)) continue;
        ::TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

bool CWindowHostWin::MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    CWindowHostWin* state = this;
    {
        const std::vector<IMessageFilterUI*> snapshot = filters;
        for (IMessageFilterUI* filter : snapshot) {
            bool handled = false;
            const LRESULT r = filter->MessageHandler(message, wParam, lParam, handled);
            if (handled) {
                result = r;
                return true;
            }
        }
    }
    result = 0;
    if (message == AsyncNotifyMessage()) {
        state->notifyPosted = false;
        manager.DeliverQueuedNotifications();
        return true;
    }
    switch (message) {
        case WM_GETMINMAXINFO: {
            // The layout's tracking limits; left unhandled so that a window
            // that does not take the message still gets the default rest.
            auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
            const TWindowAttributes& window = manager.GetWindowAttributes();
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
                manager.SetClientSize(TSize{LOWORD(lParam), HIWORD(lParam)});
                if (state->dropDown) state->CloseDropDown(false);
            }
            return false;
        case WM_MOVE:
            if (state->dropDown) state->CloseDropDown(false);
            return false;
        case WM_MOUSEMOVE:
            manager.Input().MouseMove(PointOf(lParam));
            return false;
        case WM_MOUSELEAVE:
            state->trackingLeave = false;
            manager.Input().MouseLeave();
            return false;
        case WM_MOUSEHOVER:
            state->ShowToolTip();
            return false;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            manager.Input().ButtonDown(PointOf(lParam));
            return false;
        case WM_LBUTTONUP:
            manager.Input().ButtonUp(PointOf(lParam));
            return false;
        case WM_CAPTURECHANGED:
            if (reinterpret_cast<HWND>(lParam) != state->hwnd) manager.Input().CancelCapture();
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
