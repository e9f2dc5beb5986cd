// The document of one loaded page as hosts see it: IHTMLDocument2 with its
// title, address and body element, whose outer HTML is written as the
// system browser writes it, and ICustomDoc through which a host puts its
// own IDocHostUIHandler in place of the site's for this document. A new
// document per navigation; the browser holds the current one. UI thread.
#pragma once

#include <mshtmhst.h>

#include <memory>
#include <string>

#include "common/win/ComPtr_win.h"
#include "tools/testbrowser/HtmlPage.h"
#include "tools/testbrowser/Module_win.h"
#include "tools/testbrowser/NotImplemented_win.h"

namespace testbrowser {

std::wstring WideFromUtf8(const std::string& text);
std::string Utf8FromWide(const std::wstring& text);
// A new BSTR of |text| for an [out] parameter.
HRESULT OutString(const std::wstring& text, BSTR* out);

// IDispatch of objects that scripts never reach: no type information and
// no names.
#define TESTBROWSER_NO_AUTOMATION                                                             \
    STDMETHODIMP GetTypeInfoCount(UINT* count) override {                                     \
        if (count == nullptr) return E_POINTER;                                               \
        *count = 0;                                                                           \
        return S_OK;                                                                          \
    }                                                                                         \
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** out) override {                          \
        if (out != nullptr) *out = nullptr;                                                   \
        return DISP_E_BADINDEX;                                                               \
    }                                                                                         \
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {             \
        return DISP_E_UNKNOWNNAME;                                                            \
    }                                                                                         \
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) \
        override {                                                                            \
        return DISP_E_MEMBERNOTFOUND;                                                         \
    }

class BodyElement final : public HtmlElementNotImpl {
public:
    explicit BodyElement(std::shared_ptr<const HtmlPage> page) : page_(std::move(page)) {}

    STDMETHODIMP QueryInterface(REFIID riid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
    STDMETHODIMP_(ULONG) Release() override;
    TESTBROWSER_NO_AUTOMATION

    STDMETHODIMP get_tagName(BSTR* out) override;
    STDMETHODIMP get_outerHTML(BSTR* out) override;
    STDMETHODIMP get_innerHTML(BSTR* out) override;
    STDMETHODIMP get_innerText(BSTR* out) override;

private:
    ULONG refs_ = 0;
    std::shared_ptr<const HtmlPage> page_;
    ModuleReference module_;
};

class Document final : public HtmlDocument2NotImpl, public ICustomDoc {
public:
    Document(std::wstring url, std::shared_ptr<const HtmlPage> page)
        : url_(std::move(url)), page_(std::move(page)) {}

    STDMETHODIMP QueryInterface(REFIID riid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
    STDMETHODIMP_(ULONG) Release() override;
    TESTBROWSER_NO_AUTOMATION

    STDMETHODIMP get_body(IHTMLElement** out) override;
    STDMETHODIMP get_title(BSTR* out) override;
    STDMETHODIMP get_URL(BSTR* out) override;

    STDMETHODIMP SetUIHandler(IDocHostUIHandler* handler) override;

    // The handler a host set on this document, or none.
    const ComPtr<IDocHostUIHandler>& UiHandler() const { return uiHandler_; }
    // The browser lets go of the host when it closes, which breaks the
    // cycle host -> browser -> document -> host.
    void DropUiHandler() { uiHandler_.reset(); }
    // The body as an IDispatch, for the host's context menu call.
    ComPtr<IDispatch> Body();

private:
    ULONG refs_ = 0;
    std::wstring url_;
    std::shared_ptr<const HtmlPage> page_;
    ComPtr<IHTMLElement> body_;  // made once: the same element on every call
    ComPtr<IDocHostUIHandler> uiHandler_;
    ModuleReference module_;
};

}  // namespace testbrowser
