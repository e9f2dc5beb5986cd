#include "tools/testbrowser/Document_win.h"

namespace testbrowser {

HRESULT OutString(const std::wstring& text, BSTR* out) {
    if (out == nullptr) return E_POINTER;
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

std::wstring WideFromUtf8(const std::string& text) {
    if (text.empty()) return {};
    const int n =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

std::string Utf8FromWide(const std::wstring& text) {
    if (text.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                        nullptr, nullptr);
    return out;
}

STDMETHODIMP BodyElement::QueryInterface(REFIID riid, void** out) {
    if (out == nullptr) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IHTMLElement) {
        *out = static_cast<IHTMLElement*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) BodyElement::Release() {
    const ULONG n = --refs_;
    if (n == 0) delete this;
    return n;
}

STDMETHODIMP BodyElement::get_tagName(BSTR* out) {
    return OutString(L"BODY", out);
}

STDMETHODIMP BodyElement::get_outerHTML(BSTR* out) {
    return OutString(WideFromUtf8(page_->bodyOuterHtml), out);
}

STDMETHODIMP BodyElement::get_innerHTML(BSTR* out) {
    return OutString(WideFromUtf8(page_->bodyInnerHtml), out);
}

STDMETHODIMP BodyElement::get_innerText(BSTR* out) {
    return OutString(WideFromUtf8(page_->bodyText), out);
}

STDMETHODIMP Document::QueryInterface(REFIID riid, void** out) {
    if (out == nullptr) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IHTMLDocument ||
        riid == IID_IHTMLDocument2) {
        *out = static_cast<IHTMLDocument2*>(this);
    } else if (riid == __uuidof(ICustomDoc)) {
        *out = static_cast<ICustomDoc*>(this);
    } else {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) Document::Release() {
    const ULONG n = --refs_;
    if (n == 0) delete this;
    return n;
}

STDMETHODIMP Document::get_body(IHTMLElement** out) {
    if (out == nullptr) return E_POINTER;
    if (!body_) body_ = ComPtr<IHTMLElement>(new BodyElement(page_));
    *out = body_.CopyOut();
    return S_OK;
}

ComPtr<IDispatch> Document::Body() {
    ComPtr<IHTMLElement> body;
    get_body(body.put());
    return body.As<IDispatch>();
}

STDMETHODIMP Document::get_title(BSTR* out) {
    return OutString(WideFromUtf8(page_->title), out);
}

STDMETHODIMP Document::get_URL(BSTR* out) {
    return OutString(url_, out);
}

STDMETHODIMP Document::SetUIHandler(IDocHostUIHandler* handler) {
    uiHandler_ = ComPtr<IDocHostUIHandler>(handler);
    return S_OK;
}

}  // namespace testbrowser
