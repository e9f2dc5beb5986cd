// A control that hosts an embedded COM object (an ActiveX control) in a
// native window of its own inside the skinned window. The control decides
// which class is created ("clsid", or "modulename": a DLL whose
// DllGetClassObject makes it), when ("delaycreate" "false": as soon as the
// attribute is applied while the layout is built; otherwise when
// CreateControl is called), what the window is told ("showactivex" once the
// object is embedded) and where the host window sits (the control's
// rectangle, shown while the control and every container above it are).
// The hosting itself is the platform's, behind IActiveXHostUI; the portable
// build has none, so nothing is hosted there. Owned by its parent container
// like any control. UI thread only.
#pragma once

#include <memory>
#include <string>

#include "ui/controls/Control.h"

namespace SkinUI {

// The system's WebBrowser control.
inline constexpr wchar_t kWebBrowserClsid[] = L"{8856F961-340A-11D0-A96B-00C04FD705A2}";

// The platform side of one hosted object: its creation, its host window and
// its release. Made for a control that has a window to live in.
class IActiveXHostUI {
public:
    virtual ~IActiveXHostUI() = default;
    // Creates the object of |clsid| (from |moduleName|'s class factory when
    // that is not empty) and activates it in the host window. False, with
    // the reason logged, when it cannot be had.
    virtual bool Create(const std::wstring& clsid, const std::wstring& moduleName) = 0;
    // Keeps the host window on |rect| (client coordinates of the skinned
    // window); hidden while |shown| is false or the rectangle is empty.
    virtual void Place(const TRect& rect, bool shown) = 0;
    // Deactivates, closes and lets go of the object. Safe to repeat.
    virtual void Close() = 0;
};

class CActiveXUI : public CControlUI {
public:
    CActiveXUI() = default;
    ~CActiveXUI() override;

    std::wstring_view GetClass() const override { return L"ActiveXUI"; }
    void SetAttribute(std::wstring_view name, const wchar_t* value) override;
    // Leaving a window releases the object: its host window belongs there.
    void SetManager(CWindowManagerUI* manager, CControlUI* parent) override;
    void SetPos(const TRect& rect) override;

    const std::wstring& GetClsid() const { return clsid_; }
    void SetClsid(const std::wstring& clsid) { clsid_ = clsid; }
    const std::wstring& GetModuleName() const { return moduleName_; }
    void SetModuleName(const std::wstring& name) { moduleName_ = name; }
    bool IsDelayCreate() const { return delayCreate_; }
    // Turning delayed creation off in a window creates the object at once.
    void SetDelayCreate(bool delay);

    // Creates and embeds the object unless that was already tried; on
    // success sends "showactivex" and runs OnControlCreated. Needs a window.
    bool CreateControl();
    bool IsCreationRequested() const { return creationRequested_; }
    bool IsCreated() const { return created_; }
    // Lets go of the object (OnControlReleasing first); a later
    // CreateControl makes a new one. Also runs when the host window goes
    // with its skinned window.
    void ReleaseControl();

protected:
    // The platform's host for this control (ActiveXHost_win.cpp), none in
    // the portable build.
    virtual std::unique_ptr<IActiveXHostUI> MakeHost();
    // Once the object is embedded and the window told.
    virtual void OnControlCreated() {}
    // Before the object is deactivated and let go. A control that overrides
    // it calls ReleaseControl in its own destructor: the base's comes too
    // late to reach the override.
    virtual void OnControlReleasing() {}
    void OnShownChanged() override;
    // The host MakeHost made, none before CreateControl or after the
    // control left its window.
    IActiveXHostUI* Host() const { return host_.get(); }

    std::wstring clsid_;
    std::wstring moduleName_;
    bool delayCreate_ = true;

private:
    void PlaceHost();

    std::unique_ptr<IActiveXHostUI> host_;
    bool creationRequested_ = false;
    bool created_ = false;
};

// The control of a layout's "WebBrowser" element: the web browser control
// where the platform has one (WebBrowser_win.cpp), elsewhere a host of the
// WebBrowser class id that never gets an object.
std::unique_ptr<CControlUI> CreateWebBrowserControl();

}  // namespace SkinUI
