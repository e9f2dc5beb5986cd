// The per-window manager of the skinned UI framework. Its static members hold
// the process-wide resource state: the module whose resources hold the skin,
// the resource folder and the open skin package. Main thread only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ui/controls/Notify.h"
#include "ui/paint/Canvas.h"
#include "ui/paint/Geometry.h"
#include "ui/window/InputRouter.h"

namespace SkinUI {

class CSkinPackage;
class ISkinFileSource;
class ISkinFileSystem;
class CControlUI;
class CComboUI;

// What the portable manager tells the window's platform side: changes it
// must show on screen and requests it must act on. The Win32 side
// implements it once the manager is bound to a window; until then nothing
// is told. UI thread only.
class IWindowHostUI {
public:
    virtual ~IWindowHostUI() = default;
    virtual void InvalidateRect(const TRect& rect) = 0;
    // Asynchronous notifications are waiting in the queue.
    virtual void WakeForNotifications() = 0;
    virtual void OpacityChanged(int opacity) = 0;
    // |control| is leaving the tree (nullptr: the whole tree is replaced).
    virtual void ControlGone(CControlUI* control) = 0;
    // A control's text changed programmatically (an edit field's native
    // window follows it).
    virtual void ControlTextChanged(CControlUI* control) = 0;
    virtual void ShowDropDown(CComboUI* combo) = 0;
    // Timers of controls: each fires "timer" with wParam = |id| to the
    // control (see CWindowManagerUI::SetTimer).
    virtual bool SetTimer(CControlUI* control, unsigned id, unsigned elapseMs) = 0;
    virtual bool KillTimer(CControlUI* control, unsigned id) = 0;
    virtual void KillTimers(CControlUI* control) = 0;
};

// Decodes a named skin image. The window manager caches what it returns;
// the Windows build reads through the skin package, tests hand in fakes.
class ISkinImageLoader {
public:
    virtual ~ISkinImageLoader() = default;
    virtual bool LoadImage(const std::wstring& file, const std::wstring& restype, uint32_t mask,
                           TImageData& out) = 0;
};

// What a layout's "Window" element sets (see ApplyWindowAttribute).
struct TWindowAttributes {
    TSize initSize;
    TRect sizeBox;
    TRect caption;
    TSize roundCorner;
    TSize minInfo;
    TSize maxInfo;
    bool showDirty = false;
    int opacity = 255;
    uint32_t disabledFontColor = 0xFFA7A6AA;
    uint32_t defaultFontColor = 0xFF000000;
    uint32_t linkFontColor = 0xFF0000FF;
    uint32_t linkHoverFontColor = 0xFFD3215F;
    uint32_t selectedColor = 0xFFBAE4FF;
};

// Where a window's layout and images come from.
enum SkinResourceType : int {
    SKIN_FILE = 1,         // the resource folder on disk
    SKIN_ZIP = 2,          // a ZIP file in the resource folder
    SKIN_RESOURCE = 3,     // executable resources of type "xml"
    SKIN_ZIPRESOURCE = 4,  // the skin package resource "ZIPRES"
};

class CWindowManagerUI {
public:
    // The package name while the package is the in-memory resource copy.
    static constexpr const wchar_t* kMemoryPackageName = L"membuffer";

    // The skin source below (resource folder, package) is one for the
    // process and belongs to its start-up, which sets it once before the
    // first window; a window's creation only fills in what is still unset.
    //
    // Always ends in '\' or '/' once set; a path ending in neither gets '\'.
    static void SetResourcePath(const std::wstring& path);
    static const std::wstring& GetResourcePath();

    // A ZIP file inside the resource folder becomes the package. With
    // caching it is opened at the first read and kept; without, it is opened
    // and closed around every read. An empty name returns to plain files.
    static void SetResourceZip(const std::wstring& zipName, bool cached = false);
    // The package held in memory: the bytes are copied into a buffer kept
    // for the rest of the process. Once a memory package is set, later
    // calls change nothing, so every window shares the first package.
    static bool SetResourceZip(const uint8_t* data, size_t size);
    // Opens the package from resource "ZIPRES" |id| of the instance as
    // above; false when the resource is missing, empty or no archive.
    static bool LoadSkinPackageFromResource(int id);

    static const std::wstring& GetResourceZip();  // "membuffer", a file name or empty
    static bool IsCachedResourceZip();
    static const CSkinPackage* GetResourceZipHandle();  // nullptr when none is open

    // Reads layouts and images by the rules above: the package when one is
    // set, else the resource folder. Lives for the process.
    static ISkinFileSource& GetSkinFileSource();
    // Replaces the file system that the source reads from (tests); nullptr
    // restores the platform's.
    static void SetSkinFileSystem(ISkinFileSystem* fileSystem);

    // Frees the cached skin package and images at the end of the process.
    static void Term();

    // ---- Per-window state (WindowManagerInstance.cpp) --------------------
    // One manager per window: the control tree, the layout's resources
    // (fonts, images, default attribute lists), the window attributes and
    // the notification hook. Portable; the window base adds the Win32 side.
    CWindowManagerUI(const CWindowManagerUI&) = delete;
    CWindowManagerUI& operator=(const CWindowManagerUI&) = delete;
    CWindowManagerUI();
    ~CWindowManagerUI();

    // Takes the tree built from the layout; names are registered for
    // FindControl. Replaces (and destroys) an earlier tree.
    bool AttachDialog(std::unique_ptr<CControlUI> root);
    CControlUI* GetRoot() const { return root_.get(); }
    CControlUI* FindControl(const std::wstring& name) const;
    // The topmost visible control under a client point, or none.
    CControlUI* FindControl(TPoint point) const;
    // Controls built or renamed after attaching register themselves here.
    void RegisterName(CControlUI* control);
    void ForgetControl(CControlUI* control);

    // The client area's size; the tree is laid out for it at the next paint.
    void SetClientSize(TSize size);
    TSize GetClientSize() const { return clientSize_; }
    // Lays out again at the next paint and repaints the whole window.
    void NeedUpdate();
    bool IsUpdateNeeded() const { return needUpdate_; }
    void Invalidate(const TRect& rect);
    // The union of what was invalidated since the last TakeInvalidRect.
    TRect TakeInvalidRect();
    // Lays out again if needed and paints the tree. The first paint with a
    // tree sends "windowinit" (sender: the root) before painting.
    void Paint(ICanvas& canvas, const TRect& paint);

    // Images named by attributes, loaded once per file name; a failed load
    // is remembered and never retried. Without a loader of its own the
    // manager decodes through GetSkinFileSource().
    void SetImageLoader(ISkinImageLoader* loader) { imageLoader_ = loader; }
    const TImageData* GetImage(const std::wstring& file, const std::wstring& restype = L"",
                               uint32_t mask = 0);
    // A layout's "Image" element: loads now (the result is cached).
    bool AddImage(const std::wstring& file, const std::wstring& restype, uint32_t mask);

    void AddFont(int id, const TFontInfo& font, bool isDefault);
    // The font of that id; an id the layout did not define gives the
    // window's default font.
    const TFontInfo& GetFont(int id) const;
    const TFontInfo& GetDefaultFont() const { return defaultFont_; }
    void SetDefaultFont(const TFontInfo& font) { defaultFont_ = font; }

    // Attribute lists applied to every control of an element name (case
    // ignored) before its own attributes.
    void AddDefaultAttributeList(const std::wstring& element, const std::wstring& list);
    const wchar_t* GetDefaultAttributeList(const std::wstring& element) const;

    void AddMultiLanguageString(int id, const std::wstring& text);
    const std::wstring* GetMultiLanguageString(int id) const;

    // One attribute of the layout's "Window" element (name case ignored);
    // false for attributes that the window does not use.
    bool ApplyWindowAttribute(const std::wstring& name, const wchar_t* value);
    const TWindowAttributes& GetWindowAttributes() const { return window_; }
    TWindowAttributes& WindowAttributes() { return window_; }
    // Clamped to 0..255. 0 to 254 make the window layered with that alpha.
    void SetOpacity(int opacity);

    void AddNotifier(INotifyUI* notifier);
    void RemoveNotifier(INotifyUI* notifier);
    // Synchronous delivery runs the sender's own delegates, then every
    // notifier in registration order. Asynchronous delivery queues a copy
    // that DeliverQueuedNotifications hands on later on the same thread.
    void SendNotify(CControlUI* control, const std::wstring& type, uint32_t wParam = 0,
                    uint32_t lParam = 0, bool async = false);
    void DeliverQueuedNotifications();
    void SetMousePoint(TPoint point) { mouse_ = point; }
    TPoint GetMousePoint() const { return mouse_; }

    // Calls from controls that the platform side acts on (see IWindowHostUI).
    void ControlTextChanged(CControlUI* control);
    void ShowDropDown(CComboUI* combo);
    // The window system's side of this window (Win32: CWindowHostWin),
    // owned by the manager from now on; nullptr detaches. Without one the
    // manager tells nobody and its timers do not start.
    void AttachHost(std::unique_ptr<IWindowHostUI> host, IInputPlatformUI* input);
    IWindowHostUI* GetHost() const { return host_.get(); }

    // Controls whose deletion must wait until no code of theirs runs.
    void DelayedDestroy(std::unique_ptr<CControlUI> control);
    void ReapDelayedControls();

    // Where the mouse and keys go among the controls (see CInputRouter).
    CInputRouter& Input() { return input_; }
    // Keyboard focus among the controls of the window. Focusing an edit
    // field gives it a native edit window; "setfocus"/"killfocus" follow.
    void SetFocus(CControlUI* control) { input_.SetFocus(control); }
    CControlUI* GetFocus() const { return input_.GetFocus(); }
    // Moves the focus to the next (or previous) control that takes it, in
    // tree order, wrapping around. False when no control takes the focus.
    bool SetNextTabControl(bool forward = true) { return input_.SetNextTabControl(forward); }
    CControlUI* GetHot() const { return input_.GetHot(); }
    // Timers of controls: each fires "timer" with wParam = |id| to the
    // control. A control's timers end when it leaves the tree.
    bool SetTimer(CControlUI* control, unsigned id, unsigned elapseMs);
    bool KillTimer(CControlUI* control, unsigned id);
    void KillTimer(CControlUI* control);

private:
    void Deliver(TControlNotify& msg);
    // Declared before the tree: the tree leaves first and tells its host.
    std::unique_ptr<IWindowHostUI> host_;
    CInputRouter input_{*this};

    std::unique_ptr<CControlUI> root_;
    std::map<std::wstring, CControlUI*> names_;
    TSize clientSize_;
    bool needUpdate_ = true;
    bool windowInitSent_ = false;
    TRect invalid_;
    ISkinImageLoader* imageLoader_ = nullptr;
    std::map<std::wstring, std::optional<TImageData>> images_;
    std::map<int, TFontInfo> fonts_;
    TFontInfo defaultFont_{L"Tahoma", 12};
    std::map<std::wstring, std::wstring> defaultAttributes_;  // key lower case
    std::map<int, std::wstring> strings_;
    TWindowAttributes window_;
    std::vector<INotifyUI*> notifiers_;
    std::vector<TControlNotify> queued_;
    TPoint mouse_;
    std::vector<std::unique_ptr<CControlUI>> delayedDestroy_;
    // ---- End of per-window state -----------------------------------------
};

}  // namespace SkinUI
