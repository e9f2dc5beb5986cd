// The site of one <object> control of a page: creates the control by
// CoCreateInstance of its class id, initialises it (the <param>s through
// IPersistPropertyBag, else IPersistStreamInit::InitNew), sites it and
// activates it in place in the browser's window at its box, moves it with
// IOleInPlaceObject::SetObjectRects, and takes it down again. Each step is
// skipped when the control lacks the interface: a control may be no more
// than an IUnknown. The browser owns the site; the control may hold a
// reference until it is let go. UI thread.
#pragma once

#include <ocidl.h>
#include <oleidl.h>

#include <string>
#include <vector>

#include "common/win/ComPtr_win.h"
#include "tools/testbrowser/HtmlPage.h"
#include "tools/testbrowser/Module_win.h"

namespace testbrowser {

class ObjectSite final : public IOleClientSite, public IOleInPlaceSite, public IOleInPlaceFrame {
public:
    // Always returns a site; Created() tells whether there is a control.
    static ComPtr<ObjectSite> Create(HWND window, const PageBlock& block, const RECT& box);

    bool Created() const { return static_cast<bool>(control_); }
    const std::wstring& ClassId() const { return classId_; }
    void Move(const RECT& box);
    // Draws a control that has no window of its own, or the placeholder of
    // one that could not be created.
    void Paint(HDC dc, HFONT font);
    // Deactivates and closes the control and lets go of it.
    void Close();

    STDMETHODIMP QueryInterface(REFIID riid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
    STDMETHODIMP_(ULONG) Release() override;

    // IOleClientSite
    STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** out) override;
    STDMETHODIMP GetContainer(IOleContainer** out) override;
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }
    // IOleWindow (of the site and the frame)
    STDMETHODIMP GetWindow(HWND* out) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    // IOleInPlaceSite
    STDMETHODIMP CanInPlaceActivate() override { return window_ ? S_OK : S_FALSE; }
    STDMETHODIMP OnInPlaceActivate() override;
    STDMETHODIMP OnUIActivate() override { return S_OK; }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                  RECT* position, RECT* clip, OLEINPLACEFRAMEINFO* info) override;
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnInPlaceDeactivate() override;
    STDMETHODIMP DiscardUndoState() override { return E_NOTIMPL; }
    STDMETHODIMP DeactivateAndUndo() override { return E_NOTIMPL; }
    STDMETHODIMP OnPosRectChange(const RECT* box) override;
    // IOleInPlaceUIWindow and IOleInPlaceFrame: a frame without tools or menus.
    STDMETHODIMP GetBorder(RECT*) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS widths) override;
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) override;
    STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
    STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    STDMETHODIMP RemoveMenus(HMENU) override { return S_OK; }
    STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

private:
    ObjectSite(HWND window, const PageBlock& block, const RECT& box);
    void CreateControl(const PageBlock& block);

    ULONG refs_ = 0;
    HWND window_;
    RECT box_;
    std::wstring classId_;
    ComPtr<IUnknown> control_;
    ComPtr<IOleObject> oleObject_;
    ComPtr<IOleInPlaceObject> inPlace_;
    ComPtr<IOleInPlaceActiveObject> active_;
    bool inPlaceActive_ = false;
    ModuleReference module_;
};

}  // namespace testbrowser
