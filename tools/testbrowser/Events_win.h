// The DWebBrowserEvents2 connection point of a top-level browser: the sinks
// that hosts advise, and the events raised to them with the argument order
// and VARIANT types that the system browser uses (DISPPARAMS arguments in
// reverse order; the [in, out] ones BYREF). Frames raise theirs through the
// top-level browser's point with their own browser object. Its references
// are its container's. UI thread only.
#pragma once

#include <ocidl.h>

#include <string>
#include <utility>
#include <vector>

#include "common/win/ComPtr_win.h"

namespace testbrowser {

class BrowserEvents final : public IConnectionPoint {
public:
    explicit BrowserEvents(IConnectionPointContainer* container) : container_(container) {}
    BrowserEvents(const BrowserEvents&) = delete;
    BrowserEvents& operator=(const BrowserEvents&) = delete;

    STDMETHODIMP QueryInterface(REFIID riid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override { return container_->AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return container_->Release(); }
    STDMETHODIMP GetConnectionInterface(IID* iid) override;
    STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** out) override;
    STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override;
    STDMETHODIMP Unadvise(DWORD cookie) override;
    STDMETHODIMP EnumConnections(IEnumConnections** out) override;

    // Each returns whether a sink set the event's cancel flag.
    bool BeforeNavigate2(IDispatch* browser, const std::wstring& url, const std::wstring& frame);
    bool NavigateError(IDispatch* browser, const std::wstring& url, const std::wstring& frame,
                       long status);
    bool NewWindow2(ComPtr<IDispatch>* window);
    bool NewWindow3(ComPtr<IDispatch>* window, DWORD flags, const std::wstring& context,
                    const std::wstring& url);
    void NavigateComplete2(IDispatch* browser, const std::wstring& url);
    void DocumentComplete(IDispatch* browser, const std::wstring& url);
    void DownloadBegin();
    void DownloadComplete();
    void TitleChange(const std::wstring& title);
    void CommandStateChange(long command, bool enable);

    void DisconnectAll() { sinks_.clear(); }

private:
    void Fire(DISPID id, VARIANT* args, UINT count);

    IConnectionPointContainer* container_;
    std::vector<std::pair<DWORD, ComPtr<IDispatch>>> sinks_;
    DWORD nextCookie_ = 1;
};

}  // namespace testbrowser
