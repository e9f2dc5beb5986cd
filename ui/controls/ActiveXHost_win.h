// The Windows side of a hosted COM object (see ActiveX.h): the host window,
// a child of the skinned window that the object is activated in; the
// client site the object talks to (IOleClientSite, IOleInPlaceSite, and an
// IOleInPlaceFrame for the skinned window); and the object itself, made by
// class id through CoCreateInstance or from a DLL's class factory. The site
// is reference-counted (the object holds it while it is sited) and outlives
// the host if the object keeps it; a delegate, the web browser control,
// answers whatever else the object asks its site for and shares the site's
// count. Objects without a window of their own are drawn through their
// IViewObject. Owned by its CActiveXUI. UI thread only.
#pragma once

#include <ole2.h>
#include <windows.h>

#include <string>

#include "common/win/ComPtr_win.h"
#include "common/win/UniqueHandle_win.h"
#include "ui/controls/ActiveX.h"

namespace SkinUI {

class CActiveXSite;
class CActiveXFrame;

class CActiveXHost final : public IActiveXHostUI {
public:
    CActiveXHost(const CActiveXHost&) = delete;
    CActiveXHost& operator=(const CActiveXHost&) = delete;

    // |delegate| (may be none) must stay valid while the host lives.
    CActiveXHost(CActiveXUI& control, IUnknown* delegate);
    ~CActiveXHost() override;

    bool Create(const std::wstring& clsid, const std::wstring& moduleName) override;
    void Place(const TRect& rect, bool shown) override;
    void Close() override;

    // The object, none before Create and after Close; not AddRef'd.
    IUnknown* GetObject() const { return object_.get(); }
    HWND GetHostWindow() const { return window_.get(); }
    // The count of the site, which the delegate uses as its own.
    ULONG AddRef();
    ULONG Release();

private:
    friend class CActiveXSite;
    friend class CActiveXFrame;
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    bool CreateHostWindow(HWND parent);
    bool CreateObject(const CLSID& clsid, const std::wstring& clsidText,
                      const std::wstring& moduleName);
    // The host window's client area, where the object sits.
    RECT ObjectRect() const;
    HWND SkinnedWindow() const;

    CActiveXUI& control_;
    CActiveXSite* site_;
    UniqueWindow window_;
    UniqueModule module_;
    ComPtr<IUnknown> object_;
    ComPtr<IOleObject> oleObject_;
    ComPtr<IOleInPlaceObject> inPlaceObject_;
};

}  // namespace SkinUI
