// The browser's window: the page drawn with the CJK font, links that
// follow clicks, Tab and Enter, the host's context menu and keyboard
// questions, and the test hook that clicks a link by its text.
#include <windowsx.h>

#include "tools/testbrowser/Browser_win.h"
#include "tools/testbrowser/PageUrl.h"

namespace testbrowser {

namespace {

constexpr UINT kBlankReady = WM_APP + 1;
constexpr UINT kFetchDone = WM_APP + 2;
constexpr UINT_PTR kRefreshTimer = 1;
constexpr DWORD kNewWindowUserInited = 0x2;  // NWMF_USERINITED
constexpr DWORD kNewWindowFirst = 0x4;       // NWMF_FIRST
// The command group that MSHTML names in the host's TranslateAccelerator.
constexpr GUID kCgidMshtml = {
    0xDE4BA900, 0x59CA, 0x11CF, {0x95, 0x92, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
constexpr wchar_t kFontFace[] = L"Microsoft YaHei";  // the prefix maps it to its CJK font

bool g_classRegistered = false;

struct Fonts {
    HFONT title = nullptr;
    HFONT text = nullptr;
    HFONT link = nullptr;
};

Fonts& PageFonts() {
    static Fonts fonts;
    if (fonts.text == nullptr) {
        auto make = [](int height, int weight, bool underline) {
            return CreateFontW(-height, 0, 0, 0, weight, FALSE, underline, FALSE, DEFAULT_CHARSET,
                               OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                               DEFAULT_PITCH | FF_DONTCARE, kFontFace);
        };
        fonts.title = make(22, FW_BOLD, false);
        fonts.text = make(16, FW_NORMAL, false);
        fonts.link = make(16, FW_NORMAL, true);
    }
    return fonts;
}

void DeleteFonts() {
    Fonts& fonts = PageFonts();
    for (HFONT* font : {&fonts.title, &fonts.text, &fonts.link}) {
        if (*font) DeleteObject(*font);
        *font = nullptr;
    }
}

class GdiMeasure final : public TextMeasure {
public:
    GdiMeasure(HDC dc, HFONT font) : dc_(dc), font_(font) {
        HGDIOBJ old = SelectObject(dc_, font_);
        TEXTMETRICW metrics = {};
        GetTextMetricsW(dc_, &metrics);
        lineHeight_ = metrics.tmHeight + metrics.tmExternalLeading + 2;
        SelectObject(dc_, old);
    }
    int TextWidth(std::string_view utf8) const override {
        const std::wstring text = WideFromUtf8(std::string(utf8));
        HGDIOBJ old = SelectObject(dc_, font_);
        SIZE size = {};
        GetTextExtentPoint32W(dc_, text.c_str(), static_cast<int>(text.size()), &size);
        SelectObject(dc_, old);
        return size.cx;
    }
    int LineHeight() const override { return lineHeight_; }

private:
    HDC dc_;
    HFONT font_;
    int lineHeight_ = 16;
};

}  // namespace

void Browser::UnregisterWindowClass() {
    if (g_classRegistered) UnregisterClassW(kViewClass, ModuleHandle());
    g_classRegistered = false;
    DeleteFonts();
}

bool Browser::CreateView(HWND parentWindow) {
    if (!g_classRegistered) {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = &Browser::WindowProc;
        wc.hInstance = ModuleHandle();
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = kViewClass;
        g_classRegistered =
            RegisterClassW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }
    // Until a host activates the top-level browser in place its window is a
    // message-only window: it still receives the fetches and timers.
    CreateWindowExW(0, kViewClass, L"", WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_TABSTOP,
                    0, 0, 0, 0, parentWindow ? parentWindow : HWND_MESSAGE, nullptr, ModuleHandle(),
                    this);
    if (window_ == nullptr) Trace(L"Browser: CreateWindowExW failed:%lu", GetLastError());
    return window_ != nullptr;
}

LRESULT CALLBACK Browser::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<Browser*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Browser*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // Destroyed with its parent: the browser lives on without a page.
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->window_ = nullptr;
        self->StopLoading();
        return DefWindowProcW(window, message, wParam, lParam);
    }
    ComPtr<Browser> hold(self);
    return self->HandleMessage(message, wParam, lParam);
}

LRESULT Browser::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case kBlankReady:
            if (Current(wParam)) Install(wParam, L"about:blank", std::make_shared<HtmlPage>());
            return 0;
        case kFetchDone:
            OnFetchDone(wParam);
            return 0;
        case WM_TIMER:
            if (wParam == kRefreshTimer && page_ && page_->refresh) {
                KillTimer(window_, kRefreshTimer);
                const std::string target = page_->refresh->url;
                NavigateTo(target.empty()
                               ? location_
                               : WideFromUtf8(ResolveUrl(Utf8FromWide(location_), target)));
            }
            return 0;
        case WM_SIZE:
            LayOut();
            InvalidateRect(window_, nullptr, FALSE);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window_, &paint);
            RECT client;
            GetClientRect(window_, &client);
            HDC memory = CreateCompatibleDC(dc);
            HBITMAP bitmap =
                CreateCompatibleBitmap(dc, std::max(1L, client.right), std::max(1L, client.bottom));
            HGDIOBJ old = SelectObject(memory, bitmap);
            PaintPage(memory, client, layout_, true);
            BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
            SelectObject(memory, old);
            DeleteObject(bitmap);
            DeleteDC(memory);
            EndPaint(window_, &paint);
            return 0;
        }
        case WM_SETCURSOR:
            if (LOWORD(lParam) == HTCLIENT) {
                POINT point;
                GetCursorPos(&point);
                ScreenToClient(window_, &point);
                if (LinkAt(layout_, point.x - Inset(), point.y - Inset()) >= 0) {
                    SetCursor(LoadCursorW(nullptr, IDC_HAND));
                    return TRUE;
                }
            }
            break;
        case WM_LBUTTONDOWN:
            SetFocus(window_);
            pressedLink_ =
                LinkAt(layout_, GET_X_LPARAM(lParam) - Inset(), GET_Y_LPARAM(lParam) - Inset());
            return 0;
        case WM_LBUTTONUP: {
            const int link =
                LinkAt(layout_, GET_X_LPARAM(lParam) - Inset(), GET_Y_LPARAM(lParam) - Inset());
            const bool click = link >= 0 && link == pressedLink_;
            pressedLink_ = -1;
            if (click) FollowLink(link);
            return 0;
        }
        case WM_CONTEXTMENU: {
            POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            if (point.x == -1 && point.y == -1) {  // from the keyboard
                point = {0, 0};
                ClientToScreen(window_, &point);
            }
            ShowContextMenu(point);
            return 0;
        }
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            InvalidateRect(window_, nullptr, FALSE);
            return 0;
        case WM_COPYDATA: {
            const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
            if (data == nullptr || data->dwData != kClickLinkCopyData) break;
            const std::wstring text(static_cast<const wchar_t*>(data->lpData),
                                    data->cbData / sizeof(wchar_t));
            return ClickLinkByText(text) ? TRUE : FALSE;
        }
        default:
            break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

int Browser::Inset() const {
    if (!IsTopLevel()) return 1;  // a frame's own thin border
    return (hostFlags_ & DOCHOSTUIFLAG_NO3DBORDER) ? 0 : 2;
}

PageLayout Browser::LayOutFor(int width, int height) const {
    if (!page_) return {};
    HDC dc = CreateCompatibleDC(nullptr);
    const Fonts& fonts = PageFonts();
    const GdiMeasure title(dc, fonts.title);
    const GdiMeasure text(dc, fonts.text);
    PageLayout layout = LayOutPage(*page_, std::max(0, width), std::max(0, height), title, text);
    DeleteDC(dc);
    return layout;
}

void Browser::LayOut() {
    if (window_ == nullptr) return;
    RECT client;
    GetClientRect(window_, &client);
    const int inset = Inset();
    layout_ = LayOutFor(client.right - 2 * inset, client.bottom - 2 * inset);
    if (embedOf_.size() != layout_.embeds.size()) return;  // its controls are not made yet
    for (size_t i = 0; i < layout_.embeds.size(); ++i) {
        const Box& b = layout_.embeds[i].box;
        const RECT box = {b.left + inset, b.top + inset, b.right + inset, b.bottom + inset};
        const bool frame = page_->blocks[layout_.embeds[i].block].kind == PageBlock::Kind::Frame;
        if (frame && embedOf_[i] < frames_.size() && frames_[embedOf_[i]]->window_) {
            SetWindowPos(frames_[embedOf_[i]]->window_, nullptr, box.left, box.top,
                         box.right - box.left, box.bottom - box.top, SWP_NOZORDER | SWP_NOACTIVATE);
        } else if (!frame && embedOf_[i] < objects_.size()) {
            objects_[embedOf_[i]]->Move(box);
        }
    }
}

void Browser::PaintPage(HDC dc, const RECT& bounds, const PageLayout& layout, bool window) {
    FillRect(dc, &bounds, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    RECT edge = bounds;
    if (!IsTopLevel()) {
        FrameRect(dc, &edge, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    } else if (Inset() > 0) {
        DrawEdge(dc, &edge, EDGE_SUNKEN, BF_RECT);
    }
    const int ox = bounds.left + Inset();
    const int oy = bounds.top + Inset();
    const Fonts& fonts = PageFonts();
    SetBkMode(dc, TRANSPARENT);
    HGDIOBJ oldFont = SelectObject(dc, fonts.text);
    const bool focused = window && GetFocus() == window_;
    for (const auto& text : layout.texts) {
        SelectObject(dc, text.title ? fonts.title : text.link >= 0 ? fonts.link : fonts.text);
        SetTextColor(dc, text.title       ? RGB(0x1A, 0x1A, 0x1A)
                         : text.link >= 0 ? RGB(0, 0, 0xEE)
                                          : RGB(0, 0, 0));
        const std::wstring wide = WideFromUtf8(text.text);
        TextOutW(dc, ox + text.box.left, oy + text.box.top, wide.c_str(),
                 static_cast<int>(wide.size()));
        if (focused && text.link >= 0 && text.link == focusedLink_) {
            RECT box = {ox + text.box.left - 1, oy + text.box.top, ox + text.box.right + 1,
                        oy + text.box.bottom};
            DrawFocusRect(dc, &box);
        }
    }
    for (size_t i = 0; i < layout.embeds.size(); ++i) {
        const bool frame = page_->blocks[layout.embeds[i].block].kind == PageBlock::Kind::Frame;
        if (window && !frame && embedOf_.size() == layout.embeds.size() &&
            embedOf_[i] < objects_.size()) {
            objects_[embedOf_[i]]->Paint(dc, fonts.text);
        } else if (!window || frame) {
            const Box& b = layout.embeds[i].box;
            RECT box = {ox + b.left, oy + b.top, ox + b.right, oy + b.bottom};
            FrameRect(dc, &box, static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH)));
        }
    }
    SelectObject(dc, oldFont);
}

Browser* Browser::FindFrame(const std::wstring& name) {
    for (auto& frame : frames_) {
        if (frame->frameName_ == name) return frame.get();
        if (Browser* inner = frame->FindFrame(name)) return inner;
    }
    return nullptr;
}

void Browser::FollowLink(int index) {
    if (!page_ || index < 0 || static_cast<size_t>(index) >= page_->links.size()) return;
    ComPtr<Browser> hold(this);
    const PageLink link = page_->links[static_cast<size_t>(index)];
    if (IsScriptUrl(link.href) || top_ == nullptr) return;  // no scripts here
    const std::wstring url = WideFromUtf8(ResolveUrl(Utf8FromWide(location_), link.href));
    std::string target = link.target;
    for (char& c : target) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    Browser* where = this;
    if (target == "_blank") {
        OpenNewWindow(url);
        return;
    } else if (target == "_top") {
        where = top_;
    } else if (target == "_parent") {
        where = parent_ ? parent_ : this;
    } else if (!target.empty() && target != "_self") {
        where = top_->FindFrame(WideFromUtf8(link.target));
        if (where == nullptr) {  // a window of that name does not exist yet
            OpenNewWindow(url);
            return;
        }
    }
    ComPtr<Browser> navigated(where);
    navigated->NavigateTo(url);
}

bool Browser::ClickLinkByText(const std::wstring& text) {
    if (page_) {
        for (size_t i = 0; i < page_->links.size(); ++i) {
            if (WideFromUtf8(page_->links[i].text) == text) {
                FollowLink(static_cast<int>(i));
                return true;
            }
        }
    }
    const std::vector<ComPtr<Browser>> frames = frames_;
    for (const auto& frame : frames) {
        if (frame->ClickLinkByText(text)) return true;
    }
    return false;
}

void Browser::OpenNewWindow(const std::wstring& url) {
    BrowserEvents* events = Events();
    if (events == nullptr) return;
    ComPtr<Browser> hold(this);
    ComPtr<IDispatch> window;
    if (events->NewWindow2(&window)) return;
    if (events->NewWindow3(&window, kNewWindowUserInited | kNewWindowFirst, location_, url)) return;
    // A host that gives a browser of its own gets the page there; the
    // system browser would otherwise open a window of its own.
    ComPtr<IWebBrowser2> browser = window.As<IWebBrowser2>();
    if (!browser) {
        Trace(L"Browser: no window for %ls", url.c_str());
        return;
    }
    VARIANT target;
    VariantInit(&target);
    target.vt = VT_BSTR;
    target.bstrVal = SysAllocStringLen(url.data(), static_cast<UINT>(url.size()));
    browser->Navigate2(&target, nullptr, nullptr, nullptr, nullptr);
    VariantClear(&target);
}

void Browser::ShowContextMenu(POINT screen) {
    ComPtr<Browser> hold(this);
    POINT client = screen;
    ScreenToClient(window_, &client);
    const bool onLink = LinkAt(layout_, client.x - Inset(), client.y - Inset()) >= 0;
    ComPtr<IDispatch> element = document_ ? document_->Body() : nullptr;
    if (ComPtr<IDocHostUIHandler> handler = UiHandler()) {
        POINT point = screen;
        if (handler->ShowContextMenu(onLink ? CONTEXT_MENU_ANCHOR : CONTEXT_MENU_DEFAULT, &point,
                                     nullptr, element.get()) == S_OK) {
            return;  // the host showed its own, or none
        }
    }
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, 1, L"刷新(&R)");
    AppendMenuW(menu, MF_STRING | MF_GRAYED, 2, L"属性(&P)");
    const int command = TrackPopupMenuEx(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY,
                                         screen.x, screen.y, window_, nullptr);
    DestroyMenu(menu);
    if (command == 1 && top_ != nullptr) top_->Refresh();
}

void Browser::ApplyHostInfo() {
    DWORD flags = 0;
    if (ComPtr<IDocHostUIHandler> handler = UiHandler()) {
        DOCHOSTUIINFO info = {};
        info.cbSize = sizeof info;
        if (SUCCEEDED(handler->GetHostInfo(&info))) flags = info.dwFlags;
        CoTaskMemFree(info.pchHostCss);
        CoTaskMemFree(info.pchHostNS);
    }
    hostFlags_ = flags;
    if (window_ == nullptr) return;
    ShowScrollBar(window_, SB_VERT, (flags & DOCHOSTUIFLAG_SCROLL_NO) == 0);
    LayOut();
    InvalidateRect(window_, nullptr, FALSE);
}

STDMETHODIMP Browser::TranslateAccelerator(LPMSG message) {
    if (message == nullptr) return E_INVALIDARG;
    if (message->message < WM_KEYFIRST || message->message > WM_KEYLAST) return S_FALSE;
    ComPtr<Browser> hold(this);
    if (ComPtr<IDocHostUIHandler> handler = UiHandler()) {
        if (handler->TranslateAccelerator(message, &kCgidMshtml, 0) == S_OK) return S_OK;
    }
    if (message->message != WM_KEYDOWN || !page_) return S_FALSE;
    const int links = static_cast<int>(page_->links.size());
    switch (message->wParam) {
        case VK_TAB: {
            // Through the page's links; past the last one the focus is the
            // host's again.
            const bool back = GetKeyState(VK_SHIFT) < 0;
            const int next =
                focusedLink_ < 0 ? (back ? links - 1 : 0) : focusedLink_ + (back ? -1 : 1);
            if (next < 0 || next >= links) {
                focusedLink_ = -1;
                InvalidateRect(window_, nullptr, FALSE);
                return S_FALSE;
            }
            focusedLink_ = next;
            InvalidateRect(window_, nullptr, FALSE);
            return S_OK;
        }
        case VK_RETURN:
            if (focusedLink_ < 0) return S_FALSE;
            FollowLink(focusedLink_);
            return S_OK;
        case VK_F5:
            Refresh();
            return S_OK;
        default:
            return S_FALSE;
    }
}

}  // namespace testbrowser
