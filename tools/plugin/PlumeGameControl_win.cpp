#include "tools/plugin/PlumeGameControl_win.h"

#include <cmath>
#include <cwchar>
#include <new>
#include <string>

#include "common/win/ModulePath_win.h"
#include "tools/engine/Plume3d.h"
#include "tools/plugin/PlumeGame.h"
#include "tools/plugin/PluginStatus.h"

namespace plugin {

LONG g_objectCount = 0;
LONG g_lockCount = 0;
HINSTANCE g_instance = nullptr;

namespace {

constexpr UINT_PTR kFrameTimer = 1;
constexpr UINT kFramePeriodMs = 100;
// What a container learns before it places us: activate as soon as visible,
// site first, inside-out (our own window), redraw on resize.
constexpr DWORD kMiscStatus = OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE |
                              OLEMISC_INSIDEOUT | OLEMISC_ACTIVATEWHENVISIBLE |
                              OLEMISC_SETCLIENTSITEFIRST;
constexpr DWORD kSafety = INTERFACESAFE_FOR_UNTRUSTED_CALLER | INTERFACESAFE_FOR_UNTRUSTED_DATA;

CLSID ControlClsid() {
    CLSID clsid = {};
    CLSIDFromString(kPlumeGameClsidText, &clsid);
    return clsid;
}

std::wstring OwnFolder() {
    return ModuleFolder(g_instance);
}

LONG HimetricFromPixels(LONG pixels, int dpi) { return MulDiv(pixels, 2540, dpi); }

bool RegisterViewClass(WNDPROC proc) {
    WNDCLASSEXW wc = {sizeof wc};
    if (GetClassInfoExW(g_instance, kPlumeGameViewClass, &wc)) return true;
    wc = {sizeof wc};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = proc;
    wc.hInstance = g_instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kPlumeGameViewClass;
    return RegisterClassExW(&wc) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

// Drawing helpers over one device context.
TRIVERTEX Vertex(LONG x, LONG y, COLORREF color) {
    TRIVERTEX v = {};
    v.x = x;
    v.y = y;
    v.Red = COLOR16(GetRValue(color) << 8);
    v.Green = COLOR16(GetGValue(color) << 8);
    v.Blue = COLOR16(GetBValue(color) << 8);
    return v;
}

// |mode| GRADIENT_FILL_RECT_V runs from |from| at the top, _H from the left.
void FillGradient(HDC dc, const RECT& r, COLORREF from, COLORREF to, ULONG mode = GRADIENT_FILL_RECT_V) {
    TRIVERTEX v[2] = {Vertex(r.left, r.top, from), Vertex(r.right, r.bottom, to)};
    GRADIENT_RECT rect = {0, 1};
    GradientFill(dc, v, 2, &rect, 1, mode);
}

COLORREF Mix(COLORREF a, COLORREF b, double t) {
    auto channel = [t](int x, int y) { return static_cast<BYTE>(x + (y - x) * t); };
    return RGB(channel(GetRValue(a), GetRValue(b)), channel(GetGValue(a), GetGValue(b)),
               channel(GetBValue(a), GetBValue(b)));
}

void Line(HDC dc, int x1, int y1, int x2, int y2, COLORREF color) {
    HPEN pen = CreatePen(PS_SOLID, 1, color);
    HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
    SelectObject(dc, old);
    DeleteObject(pen);
}

void Text(HDC dc, const std::wstring& text, RECT r, int height, int weight, COLORREF color) {
    HFONT font = CreateFontW(-height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                             DEFAULT_PITCH, L"Microsoft YaHei");
    HGDIOBJ old = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, color);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
              DT_CENTER | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    SelectObject(dc, old);
    DeleteObject(font);
}

}  // namespace

PlumeGameControl::PlumeGameControl() {
    InterlockedIncrement(&g_objectCount);
    startTicks_ = GetTickCount64();
    // The engine lives beside the control. Loaded here, at creation, so that
    // it is in the process before the page has even been laid out.
    const std::wstring enginePath = OwnFolder() + kPlumeEngineFileName;
    engine_ = LoadLibraryW(enginePath.c_str());
    if (engine_) {
        auto peek = GetProcAddress(engine_, kPlumeProgressPeekExport);
        if (!peek) peek = GetProcAddress(engine_, kPlumeProgressExport);
        peekProgress_ = reinterpret_cast<float (*)()>(reinterpret_cast<void*>(peek));
    } else {
        OutputDebugStringW((L"plumegame: no engine at " + enginePath + L"\n").c_str());
    }
}

PlumeGameControl::~PlumeGameControl() {
    InPlaceDeactivate();
    if (site_) site_->Release();
    if (adviseHolder_) adviseHolder_->Release();
    if (viewSink_) viewSink_->Release();
    if (engine_) FreeLibrary(engine_);
    InterlockedDecrement(&g_objectCount);
}

STDMETHODIMP PlumeGameControl::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IOleObject) {
        *out = static_cast<IOleObject*>(this);
    } else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceObject) {
        *out = static_cast<IOleInPlaceObject*>(this);
    } else if (iid == IID_IOleInPlaceActiveObject) {
        *out = static_cast<IOleInPlaceActiveObject*>(this);
    } else if (iid == IID_IOleControl) {
        *out = static_cast<IOleControl*>(this);
    } else if (iid == IID_IViewObject || iid == IID_IViewObject2) {
        *out = static_cast<IViewObject2*>(this);
    } else if (iid == IID_IPersist || iid == IID_IPersistPropertyBag) {
        *out = static_cast<IPersistPropertyBag*>(this);
    } else if (iid == IID_IObjectSafety) {
        *out = static_cast<IObjectSafety*>(this);
    } else {
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) PlumeGameControl::AddRef() { return InterlockedIncrement(&references_); }

STDMETHODIMP_(ULONG) PlumeGameControl::Release() {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return left;
}

STDMETHODIMP PlumeGameControl::SetClientSite(IOleClientSite* site) {
    if (!site) InPlaceDeactivate();
    if (site) site->AddRef();
    if (site_) site_->Release();
    site_ = site;
    return S_OK;
}

STDMETHODIMP PlumeGameControl::GetClientSite(IOleClientSite** site) {
    if (!site) return E_POINTER;
    *site = site_;
    if (site_) site_->AddRef();
    return S_OK;
}

STDMETHODIMP PlumeGameControl::Close(DWORD) {
    InPlaceDeactivate();
    if (adviseHolder_) adviseHolder_->SendOnClose();
    return S_OK;
}

STDMETHODIMP PlumeGameControl::GetMoniker(DWORD, DWORD, IMoniker** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP PlumeGameControl::GetClipboardData(DWORD, IDataObject** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP PlumeGameControl::DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent,
                                      LPCRECT position) {
    switch (verb) {
        case OLEIVERB_PRIMARY:
        case OLEIVERB_SHOW:
        case OLEIVERB_INPLACEACTIVATE:
        case OLEIVERB_UIACTIVATE:
            return ActivateInPlace(site, parent, position);
        case OLEIVERB_HIDE:
            if (window_) ShowWindow(window_, SW_HIDE);
            return S_OK;
        case OLEIVERB_DISCARDUNDOSTATE:
            return S_OK;
        default:
            return verb > 0 ? OLEOBJ_S_INVALIDVERB : E_NOTIMPL;
    }
}

HRESULT PlumeGameControl::ActivateInPlace(IOleClientSite* site, HWND parent, LPCRECT position) {
    if (window_) {
        if (position) SetObjectRects(position, position);
        ShowWindow(window_, SW_SHOWNA);
        return S_OK;
    }
    IOleClientSite* useSite = site ? site : site_;
    if (!useSite) return E_UNEXPECTED;
    IOleInPlaceSite* inPlace = nullptr;
    if (FAILED(useSite->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&inPlace))) ||
        !inPlace) {
        return E_NOINTERFACE;
    }
    if (inPlace->CanInPlaceActivate() != S_OK) {
        inPlace->Release();
        return E_FAIL;
    }
    inPlace->OnInPlaceActivate();

    HWND host = nullptr;
    if (FAILED(inPlace->GetWindow(&host)) || !host) host = parent;
    RECT place = {};
    RECT clip = {};
    IOleInPlaceFrame* frame = nullptr;
    IOleInPlaceUIWindow* document = nullptr;
    OLEINPLACEFRAMEINFO frameInfo = {sizeof frameInfo};
    const HRESULT context = inPlace->GetWindowContext(&frame, &document, &place, &clip, &frameInfo);
    if (frame) frame->Release();
    if (document) document->Release();
    if (FAILED(context) && position) place = *position;

    if (!host || !RegisterViewClass(ViewProc)) {
        inPlace->OnInPlaceDeactivate();
        inPlace->Release();
        return E_FAIL;
    }
    window_ = CreateWindowExW(0, kPlumeGameViewClass, L"Plume", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS,
                              place.left, place.top, place.right - place.left,
                              place.bottom - place.top, host, nullptr, g_instance, this);
    if (!window_) {
        inPlace->OnInPlaceDeactivate();
        inPlace->Release();
        return E_FAIL;
    }
    inPlaceSite_ = inPlace;
    SetTimer(window_, kFrameTimer, kFramePeriodMs, nullptr);
    useSite->ShowObject();
    return S_OK;
}

STDMETHODIMP PlumeGameControl::EnumVerbs(IEnumOLEVERB** out) {
    return OleRegEnumVerbs(ControlClsid(), out);
}

STDMETHODIMP PlumeGameControl::GetUserClassID(CLSID* clsid) {
    if (!clsid) return E_POINTER;
    *clsid = ControlClsid();
    return S_OK;
}

STDMETHODIMP PlumeGameControl::GetUserType(DWORD, LPOLESTR* type) {
    if (!type) return E_POINTER;
    const size_t bytes = (wcslen(kPlumeGameUserType) + 1) * sizeof(wchar_t);
    *type = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
    if (!*type) return E_OUTOFMEMORY;
    memcpy(*type, kPlumeGameUserType, bytes);
    return S_OK;
}

STDMETHODIMP PlumeGameControl::SetExtent(DWORD aspect, SIZEL* size) {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!size) return E_POINTER;
    extent_ = *size;
    return S_OK;
}

STDMETHODIMP PlumeGameControl::GetExtent(DWORD aspect, SIZEL* size) {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!size) return E_POINTER;
    if (extent_.cx == 0 && extent_.cy == 0) {
        // Until a container says otherwise: 800 x 600 pixels at 96 dpi.
        *size = {HimetricFromPixels(800, 96), HimetricFromPixels(600, 96)};
    } else {
        *size = extent_;
    }
    return S_OK;
}

STDMETHODIMP PlumeGameControl::Advise(IAdviseSink* sink, DWORD* cookie) {
    if (!adviseHolder_ && FAILED(CreateOleAdviseHolder(&adviseHolder_))) return E_OUTOFMEMORY;
    return adviseHolder_->Advise(sink, cookie);
}

STDMETHODIMP PlumeGameControl::Unadvise(DWORD cookie) {
    return adviseHolder_ ? adviseHolder_->Unadvise(cookie) : OLE_E_NOCONNECTION;
}

STDMETHODIMP PlumeGameControl::EnumAdvise(IEnumSTATDATA** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    return adviseHolder_ ? adviseHolder_->EnumAdvise(out) : E_FAIL;
}

STDMETHODIMP PlumeGameControl::GetMiscStatus(DWORD, DWORD* status) {
    if (!status) return E_POINTER;
    *status = kMiscStatus;
    return S_OK;
}

STDMETHODIMP PlumeGameControl::GetWindow(HWND* window) {
    if (!window) return E_POINTER;
    *window = window_;
    return window_ ? S_OK : E_FAIL;
}

STDMETHODIMP PlumeGameControl::InPlaceDeactivate() {
    if (!window_) return S_OK;
    KillTimer(window_, kFrameTimer);
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
    window_ = nullptr;
    if (inPlaceSite_) {
        inPlaceSite_->OnInPlaceDeactivate();
        inPlaceSite_->Release();
        inPlaceSite_ = nullptr;
    }
    return S_OK;
}

STDMETHODIMP PlumeGameControl::SetObjectRects(LPCRECT position, LPCRECT clip) {
    if (!position) return E_POINTER;
    if (!window_) return OLE_E_NOT_INPLACEACTIVE;
    SetWindowPos(window_, nullptr, position->left, position->top, position->right - position->left,
                 position->bottom - position->top, SWP_NOZORDER | SWP_NOACTIVATE);
    // Only the part inside the clip rectangle may show.
    RECT visible = {};
    if (clip && IntersectRect(&visible, position, clip) && !EqualRect(&visible, position)) {
        OffsetRect(&visible, -position->left, -position->top);
        SetWindowRgn(window_, CreateRectRgnIndirect(&visible), TRUE);
    } else {
        SetWindowRgn(window_, nullptr, TRUE);
    }
    return S_OK;
}

STDMETHODIMP PlumeGameControl::GetControlInfo(CONTROLINFO* info) {
    if (!info) return E_POINTER;
    info->hAccel = nullptr;
    info->cAccel = 0;
    info->dwFlags = 0;
    return S_OK;
}

STDMETHODIMP PlumeGameControl::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC target,
                                    LPCRECTL bounds, LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR),
                                    ULONG_PTR) {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!target || !bounds) return E_INVALIDARG;
    Paint(target, RECT{bounds->left, bounds->top, bounds->right, bounds->bottom});
    return S_OK;
}

STDMETHODIMP PlumeGameControl::GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE** out) {
    if (out) *out = nullptr;
    return S_FALSE;
}

STDMETHODIMP PlumeGameControl::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) {
    if (sink) sink->AddRef();
    if (viewSink_) viewSink_->Release();
    viewSink_ = sink;
    viewAspects_ = aspects;
    viewFlags_ = flags;
    return S_OK;
}

STDMETHODIMP PlumeGameControl::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) {
    if (aspects) *aspects = viewAspects_;
    if (flags) *flags = viewFlags_;
    if (sink) {
        *sink = viewSink_;
        if (viewSink_) viewSink_->AddRef();
    }
    return S_OK;
}

STDMETHODIMP PlumeGameControl::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) {
    return GetExtent(aspect, size);
}

STDMETHODIMP PlumeGameControl::GetClassID(CLSID* clsid) { return GetUserClassID(clsid); }

STDMETHODIMP PlumeGameControl::GetInterfaceSafetyOptions(REFIID, DWORD* supported, DWORD* enabled) {
    if (!supported || !enabled) return E_POINTER;
    *supported = kSafety;
    *enabled = safety_;
    return S_OK;
}

STDMETHODIMP PlumeGameControl::SetInterfaceSafetyOptions(REFIID, DWORD mask, DWORD enabled) {
    if (mask & ~kSafety) return E_FAIL;
    safety_ = (safety_ & ~mask) | (enabled & mask);
    return S_OK;
}

float PlumeGameControl::EngineProgress() const { return peekProgress_ ? peekProgress_() : 0; }

void PlumeGameControl::OnTimer() {
    // The grid moves on every frame; the caption only when the percent does.
    InvalidateRect(window_, nullptr, FALSE);
    const PluginStatus status = StatusFor(engine_ != nullptr, EngineProgress());
    if (status.percent != shownPercent_ && viewSink_) viewSink_->OnViewChange(DVASPECT_CONTENT, -1);
    shownPercent_ = status.percent;
}

// The start-up screen: a night sky over a perspective grid that scrolls
// toward the viewer, the game's name, and the engine's progress.
void PlumeGameControl::Paint(HDC dc, const RECT& bounds) {
    const int width = bounds.right - bounds.left;
    const int height = bounds.bottom - bounds.top;
    if (width <= 0 || height <= 0) return;
    const PluginStatus status = StatusFor(engine_ != nullptr, EngineProgress());
    const int horizon = bounds.top + height * 11 / 20;
    const int centreX = bounds.left + width / 2;

    FillGradient(dc, RECT{bounds.left, bounds.top, bounds.right, horizon}, RGB(6, 8, 22),
                 RGB(58, 24, 78));
    FillGradient(dc, RECT{bounds.left, horizon, bounds.right, bounds.bottom}, RGB(20, 8, 34),
                 RGB(4, 6, 14));

    // A low sun on the horizon, cut by the ground.
    const int sunRadius = height / 6;
    HRGN sky = CreateRectRgn(bounds.left, bounds.top, bounds.right, horizon);
    SelectClipRgn(dc, sky);
    for (int ring = 0; ring < 6; ++ring) {
        const int r = sunRadius + (5 - ring) * sunRadius / 10;
        const COLORREF color = Mix(RGB(58, 24, 78), RGB(255, 120, 70), (ring + 1) / 7.0);
        HBRUSH brush = CreateSolidBrush(color);
        HGDIOBJ oldBrush = SelectObject(dc, brush);
        HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
        Ellipse(dc, centreX - r, horizon - r, centreX + r, horizon + r);
        SelectObject(dc, oldPen);
        SelectObject(dc, oldBrush);
        DeleteObject(brush);
    }
    SelectClipRgn(dc, nullptr);
    DeleteObject(sky);

    // The ground grid: lines toward the vanishing point, and cross lines whose
    // depth scrolls with time, thinning into the haze at the horizon.
    const COLORREF gridNear = RGB(40, 210, 240);
    const COLORREF haze = RGB(30, 10, 44);
    const int floorHeight = bounds.bottom - horizon;
    for (int i = -12; i <= 12; ++i) {
        Line(dc, centreX + i * width / 80, horizon, centreX + i * width / 6, bounds.bottom,
             Mix(haze, gridNear, 0.55));
    }
    const double phase = std::fmod(double(GetTickCount64() - startTicks_) / 900.0, 1.0);
    for (int k = 0; k < 14; ++k) {
        const double depth = 1.0 + k - phase;  // 1 at the viewer's feet
        const int y = horizon + static_cast<int>(floorHeight / depth);
        if (y <= horizon || y > bounds.bottom) continue;
        Line(dc, bounds.left, y, bounds.right, y, Mix(haze, gridNear, 1.0 / depth));
    }
    Line(dc, bounds.left, horizon, bounds.right, horizon, RGB(255, 150, 200));

    Text(dc, L"TORVESSA", RECT{bounds.left, bounds.top + height / 8, bounds.right, bounds.top + height * 3 / 8},
         height / 9 > 12 ? height / 9 : 12, FW_BOLD, RGB(245, 232, 255));

    // The caption and the bar sit on a dark panel, above the grid's lines.
    const int captionTop = bounds.top + height * 7 / 10;
    const int captionHeight = height / 12;
    const int barWidth = width / 2;
    const int barTop = captionTop + captionHeight + 4;
    const RECT panel{centreX - barWidth / 2 - 24, captionTop - 8, centreX + barWidth / 2 + 24, barTop + 8 + 14};
    HBRUSH panelBrush = CreateSolidBrush(RGB(10, 10, 24));
    HPEN panelPen = CreatePen(PS_SOLID, 1, RGB(70, 50, 110));
    HGDIOBJ oldBrush = SelectObject(dc, panelBrush);
    HGDIOBJ oldPen = SelectObject(dc, panelPen);
    RoundRect(dc, panel.left, panel.top, panel.right, panel.bottom, 10, 10);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(panelPen);
    DeleteObject(panelBrush);

    Text(dc, status.caption, RECT{bounds.left, captionTop, bounds.right, captionTop + captionHeight},
         height / 28 > 11 ? height / 28 : 11, FW_NORMAL,
         engine_ ? RGB(225, 235, 255) : RGB(255, 140, 120));
    if (status.showBar) {
        const RECT track{centreX - barWidth / 2, barTop, centreX + barWidth / 2, barTop + 8};
        HBRUSH trackBrush = CreateSolidBrush(RGB(28, 34, 60));
        FillRect(dc, &track, trackBrush);
        DeleteObject(trackBrush);
        const int filled = static_cast<int>(barWidth * status.share);
        if (filled > 0) {
            FillGradient(dc, RECT{track.left, track.top, track.left + filled, track.bottom},
                         RGB(40, 210, 240), RGB(190, 90, 255), GRADIENT_FILL_RECT_H);
        }
    }
}

LRESULT CALLBACK PlumeGameControl::ViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<PlumeGameControl*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
        case WM_ERASEBKGND:
            return 1;
        case WM_TIMER:
            if (self && wParam == kFrameTimer) self->OnTimer();
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(window, &ps);
            RECT client;
            GetClientRect(window, &client);
            // Drawn off screen first: the grid moves ten times a second.
            HDC memory = CreateCompatibleDC(dc);
            HBITMAP bitmap = CreateCompatibleBitmap(dc, client.right, client.bottom);
            HGDIOBJ old = SelectObject(memory, bitmap);
            if (self) self->Paint(memory, client);
            BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
            SelectObject(memory, old);
            DeleteObject(bitmap);
            DeleteDC(memory);
            EndPaint(window, &ps);
            return 0;
        }
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

STDMETHODIMP PlumeGameFactory::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IClassFactory) {
        *out = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) PlumeGameFactory::AddRef() {
    InterlockedIncrement(&g_lockCount);
    return 2;
}

STDMETHODIMP_(ULONG) PlumeGameFactory::Release() {
    InterlockedDecrement(&g_lockCount);
    return 1;
}

STDMETHODIMP PlumeGameFactory::CreateInstance(IUnknown* outer, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    auto* control = new (std::nothrow) PlumeGameControl();
    if (!control) return E_OUTOFMEMORY;
    const HRESULT result = control->QueryInterface(iid, out);
    control->Release();
    return result;
}

STDMETHODIMP PlumeGameFactory::LockServer(BOOL lock) {
    if (lock) {
        InterlockedIncrement(&g_lockCount);
    } else {
        InterlockedDecrement(&g_lockCount);
    }
    return S_OK;
}

}  // namespace plugin
