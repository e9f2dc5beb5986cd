// The web browser control: hosts the system's WebBrowser control (created
// by its class id, CLSID_WebBrowser) in its ActiveX host window, listens to
// its DWebBrowserEvents2 events, answers its document-host questions
// (IDocHostUIHandler, IOleCommandTarget for script errors, IServiceProvider
// for the download manager) and hands each event and question to one
// CWebBrowserEventHandler, the window that shows the page. While the
// keyboard focus is inside the browser, the window's message loop lets the
// browser translate keys first (Tab, Enter, shortcuts). COM reference
// counts are those of the ActiveX host's site; the control itself belongs
// to its window's control tree. UI thread only.
#pragma once

#include <docobj.h>
#include <downloadmgr.h>
#include <exdisp.h>
#include <mshtmhst.h>
#include <servprov.h>
#include <windows.h>

#include <string>

#include "common/win/ComPtr_win.h"
#include "ui/controls/ActiveX.h"
#include "ui/controls/BrowserEvents.h"
#include "ui/window/MessageFilter_win.h"

namespace SkinUI {

class CActiveXHost;

// What a window does with its browser's events and host questions. The
// events' VARIANT pointers are the browser's own [in, out] arguments:
// setting *cancel to VARIANT_TRUE cancels the navigation or new window.
// The base does nothing and gives the answers noted; a window overrides
// what it acts on.
class CWebBrowserEventHandler {
public:
    CWebBrowserEventHandler() = default;

    // Browser events (parameter names in comments: the base ignores them).
    virtual void BeforeNavigate2(IDispatch* /*browser*/, VARIANT*& /*url*/, VARIANT*& /*flags*/,
                                 VARIANT*& /*targetFrameName*/, VARIANT*& /*postData*/,
                                 VARIANT*& /*headers*/, VARIANT_BOOL*& /*cancel*/) {}
    virtual void NavigateError(IDispatch* /*browser*/, VARIANT*& /*url*/,
                               VARIANT*& /*targetFrameName*/, VARIANT*& /*statusCode*/,
                               VARIANT_BOOL*& /*cancel*/) {}
    virtual void NavigateComplete2(IDispatch* /*browser*/, VARIANT*& /*url*/) {}
    virtual void DocumentComplete(IDispatch* /*browser*/, VARIANT*& /*url*/) {}
    // Never called: the control does not take the event.
    virtual void ProgressChange(LONG /*progress*/, LONG /*progressMax*/) {}
    virtual void NewWindow3(IDispatch** /*newBrowser*/, VARIANT_BOOL*& /*cancel*/, DWORD /*flags*/,
                            BSTR /*urlContext*/, BSTR /*url*/) {}
    virtual void CommandStateChange(long /*command*/, VARIANT_BOOL /*enable*/) {}

    // Document-host questions. S_OK: the browser shows no context menu.
    virtual HRESULT ShowContextMenu(DWORD /*id*/, POINT* /*point*/, IUnknown* /*commandTarget*/,
                                    IDispatch* /*object*/) {
        return S_OK;
    }
    virtual HRESULT GetHostInfo(DOCHOSTUIINFO* /*info*/) { return S_OK; }
    virtual HRESULT ShowUI(DWORD /*id*/, IOleInPlaceActiveObject* /*activeObject*/,
                           IOleCommandTarget* /*commandTarget*/, IOleInPlaceFrame* /*frame*/,
                           IOleInPlaceUIWindow* /*document*/) {
        return S_FALSE;
    }
    virtual HRESULT HideUI() { return S_OK; }
    virtual HRESULT UpdateUI() { return S_OK; }
    virtual HRESULT EnableModeless(BOOL /*enable*/) { return S_OK; }
    virtual HRESULT OnDocWindowActivate(BOOL /*activate*/) { return S_OK; }
    virtual HRESULT OnFrameWindowActivate(BOOL /*activate*/) { return S_OK; }
    virtual HRESULT ResizeBorder(LPCRECT /*border*/, IOleInPlaceUIWindow* /*window*/,
                                 BOOL /*frameWindow*/) {
        return S_OK;
    }
    // S_FALSE: the browser handles the key itself.
    virtual HRESULT TranslateAccelerator(LPMSG /*message*/, const GUID* /*commandGroup*/,
                                         DWORD /*commandId*/) {
        return S_FALSE;
    }
    virtual HRESULT GetOptionKeyPath(LPOLESTR* /*key*/, DWORD /*reserved*/) { return S_OK; }
    virtual HRESULT GetDropTarget(IDropTarget* /*dropTarget*/, IDropTarget** /*result*/) {
        return E_NOTIMPL;
    }
    virtual HRESULT GetExternal(IDispatch** /*result*/) { return E_NOTIMPL; }
    virtual HRESULT TranslateUrl(DWORD /*flags*/, LPWSTR /*urlIn*/, LPWSTR* /*urlOut*/) {
        return S_OK;
    }
    virtual HRESULT FilterDataObject(IDataObject* /*object*/, IDataObject** /*result*/) {
        return S_OK;
    }
    // S_OK without downloading anything.
    virtual HRESULT Download(IMoniker* /*moniker*/, IBindCtx* /*context*/, DWORD /*bindVerb*/,
                             LONG /*bindFlags*/, BINDINFO* /*bindInfo*/, LPCOLESTR /*headers*/,
                             LPCOLESTR /*redirect*/, UINT /*codePage*/) {
        return S_OK;
    }

protected:
    // Windows are deleted as windows, never through this interface.
    ~CWebBrowserEventHandler() = default;
};

// An event's address argument as text; empty when it holds no string.
const wchar_t* EventUrl(const VARIANT* url);

class CWebBrowserUI : public CActiveXUI,
                      public IDocHostUIHandler,
                      public IServiceProvider,
                      public IOleCommandTarget,
                      public IDispatch,
                      public ITranslateAccelerator,
                      public IDownloadManager {
public:
    CWebBrowserUI();
    ~CWebBrowserUI() override;

    std::wstring_view GetClass() const override { return L"WebBrowserUI"; }
    void SetAttribute(std::wstring_view name, const wchar_t* value) override;

    const std::wstring& GetHomePage() const { return homePage_; }
    void SetHomePage(const std::wstring& url) { homePage_ = url; }
    bool IsAutoNavigation() const { return autoNavigate_; }
    void SetAutoNavigation(bool value) { autoNavigate_ = value; }

    // Takes |handler| unless it is none or already the one; not owned.
    void SetWebBrowserEventHandler(CWebBrowserEventHandler* handler);
    CWebBrowserEventHandler* GetWebBrowserEventHandler() const { return handler_; }
    // The browser, none before creation; the control keeps the reference.
    IWebBrowser2* GetWebBrowser2() const { return browser_.get(); }
    // Navigates to |url| (no flags, frame, post data or headers); nothing
    // without a URL or a browser.
    void Navigate2(const wchar_t* url);
    // Whether an event's |browser| is this control's own top-level browser
    // (compared as COM identities), not a frame inside its page.
    bool IsTopLevel(IDispatch* browser) const;

    // IUnknown, counted with the ActiveX host's site. Answers IUnknown,
    // IDocHostUIHandler, IDispatch, IServiceProvider and IOleCommandTarget.
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IDocHostUIHandler: the handler's answer, or the browser's default
    // without a handler.
    STDMETHODIMP ShowContextMenu(DWORD id, POINT* point, IUnknown* commandTarget,
                                 IDispatch* object) override;
    STDMETHODIMP GetHostInfo(DOCHOSTUIINFO* info) override;
    STDMETHODIMP ShowUI(DWORD id, IOleInPlaceActiveObject* activeObject,
                        IOleCommandTarget* commandTarget, IOleInPlaceFrame* frame,
                        IOleInPlaceUIWindow* document) override;
    STDMETHODIMP HideUI() override;
    STDMETHODIMP UpdateUI() override;
    STDMETHODIMP EnableModeless(BOOL enable) override;
    STDMETHODIMP OnDocWindowActivate(BOOL activate) override;
    STDMETHODIMP OnFrameWindowActivate(BOOL activate) override;
    STDMETHODIMP ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window,
                              BOOL frameWindow) override;
    STDMETHODIMP TranslateAccelerator(LPMSG message, const GUID* commandGroup,
                                      DWORD commandId) override;
    STDMETHODIMP GetOptionKeyPath(LPOLESTR* key, DWORD reserved) override;
    STDMETHODIMP GetDropTarget(IDropTarget* dropTarget, IDropTarget** result) override;
    STDMETHODIMP GetExternal(IDispatch** result) override;
    STDMETHODIMP TranslateUrl(DWORD flags, LPWSTR urlIn, LPWSTR* urlOut) override;
    STDMETHODIMP FilterDataObject(IDataObject* object, IDataObject** result) override;

    // IServiceProvider: this control is the browser's download manager.
    STDMETHODIMP QueryService(REFGUID service, REFIID riid, void** out) override;

    // IOleCommandTarget: script errors are read, logged and silenced.
    STDMETHODIMP QueryStatus(const GUID* group, ULONG count, OLECMD* commands,
                             OLECMDTEXT* text) override;
    STDMETHODIMP Exec(const GUID* group, DWORD commandId, DWORD options, VARIANT* in,
                      VARIANT* out) override;

    // IDispatch: the DWebBrowserEvents2 sink.
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID locale,
                               DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID riid, LCID locale, WORD flags, DISPPARAMS* params,
                        VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override;

    // ITranslateAccelerator: keys while the focus is in the browser.
    bool TranslateAccelerator(const MSG* message) override;

    // IDownloadManager: the handler's Download.
    STDMETHODIMP Download(IMoniker* moniker, IBindCtx* context, DWORD bindVerb, LONG bindFlags,
                          BINDINFO* bindInfo, LPCOLESTR headers, LPCOLESTR redirect,
                          UINT codePage) override;

protected:
    std::unique_ptr<IActiveXHostUI> MakeHost() override;
    void OnControlCreated() override;
    void OnControlReleasing() override;

private:
    HRESULT InvokeEvent(const TBrowserEventShape& shape, DISPPARAMS& params);
    void InstallUiHandler();

    // The host that MakeHost made, owned by the ActiveX part.
    CActiveXHost* WebHost() const;

    ComPtr<IWebBrowser2> browser_;
    ComPtr<IConnectionPoint> eventPoint_;
    DWORD eventCookie_ = 0;
    std::wstring homePage_;
    bool autoNavigate_ = false;
    CWebBrowserEventHandler* handler_ = nullptr;
};

}  // namespace SkinUI
