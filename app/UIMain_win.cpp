#include "app/UIMain_win.h"

#include <mshtml.h>
#include <windowsx.h>

#include <string>

#include "app/CommandLine.h"
#include "app/Globals_win.h"
#include "app/MainPage.h"
#include "common/qlogger/QLogger.h"
#include "ui/controls/Button.h"
#include "ui/window/WindowFrame.h"

namespace {

constexpr wchar_t kAboutBlank[] = L"about:blank";
// DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_SCROLL_NO |
// DOCHOSTUIFLAG_ENABLE_FORMS_AUTOCOMPLETE
constexpr DWORD kHostFlags = 0x400C;

std::string Utf8(const wchar_t* text, int length) {
    if (length <= 0) return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size > 0 ? size : 0), '\0');
    if (size > 0) WideCharToMultiByte(CP_UTF8, 0, text, length, out.data(), size, nullptr, nullptr);
    return out;
}

// The outer HTML of the body of |browser|'s page, in UTF-8; false when the
// document, the body or its text cannot be had.
bool ReadBodyHtml(IWebBrowser2* browser, std::string* html) {
    ComPtr<IDispatch> dispatch;
    if (browser == nullptr || FAILED(browser->get_Document(dispatch.put())) || !dispatch) {
        return false;
    }
    auto document = dispatch.As<IHTMLDocument2>();
    ComPtr<IHTMLElement> body;
    if (!document || FAILED(document->get_body(body.put())) || !body) return false;
    BSTR text = nullptr;
    if (FAILED(body->get_outerHTML(&text)) || text == nullptr) return false;
    *html = Utf8(text, static_cast<int>(SysStringLen(text)));
    SysFreeString(text);
    return true;
}

}  // namespace

UIMain::UIMain(CApp* owner) : owner_(owner) {}

UIMain::~UIMain() = default;

void UIMain::ShowWindow(bool show, bool takeFocus) {
    if (browser_ != nullptr) browser_->SetVisible(show);
    WindowImplBase::ShowWindow(show, takeFocus);
}

void UIMain::InitWindow() {
    closeButton_ = dynamic_cast<SkinUI::CButtonUI*>(manager_.FindControl(std::wstring(L"close")));
    browser_ = dynamic_cast<SkinUI::CWebBrowserUI*>(manager_.FindControl(std::wstring(L"ie")));
    serverBrowser_ =
        dynamic_cast<SkinUI::CWebBrowserUI*>(manager_.FindControl(std::wstring(L"sie")));
    for (SkinUI::CWebBrowserUI* control : {browser_, serverBrowser_}) {
        if (control == nullptr) continue;
        control->SetWebBrowserEventHandler(this);
        if (IWebBrowser2* web = control->GetWebBrowser2()) {
            BSTR blank = SysAllocString(kAboutBlank);
            web->Navigate(blank, nullptr, nullptr, nullptr, nullptr);
            SysFreeString(blank);
        }
    }
}

void UIMain::Notify(SkinUI::TControlNotify& msg) {
    if (msg.type == L"windowinit") {
        OnWindowInit();
    } else if (msg.type == L"click" && closeButton_ != nullptr && msg.sender == closeButton_) {
        PostMessage(WM_CLOSE, 0, 0);
        return;
    }
    WindowImplBase::Notify(msg);
}

void UIMain::OnWindowInit() {
    const bool logout = FindOption(L"-logout") != nullptr;
    if (browser_ != nullptr) {
        // Shown again once the portal page has arrived, not before.
        browser_->SetVisible(false);
        browser_->Navigate2(PortalFirstPage(logout).c_str());
    }
    if (serverBrowser_ != nullptr) serverBrowser_->SetVisible(false);
}

LRESULT UIMain::OnClose(UINT, WPARAM, LPARAM, bool& handled) {
    handled = true;
    ShowWindow(false, true);
    // The window stays: start-up tears everything down after the loop.
    PostQuitMessage(0);
    return 0;
}

LRESULT UIMain::OnNcHitTest(UINT, WPARAM, LPARAM lParam, bool&) {
    // Class names compared exactly: only "ButtonUI", "OptionUI" and "TextUI"
    // keep the caption from dragging.
    return HitTestFrameAt(lParam, SkinUI::ClassNameMatch::kExact);
}

LRESULT UIMain::MessageHandler(UINT message, WPARAM wParam, LPARAM, bool& handled) {
    if (message == WM_KEYDOWN && wParam == VK_ESCAPE) handled = true;
    return 0;
}

void UIMain::BeforeNavigate2(IDispatch* browser, VARIANT*& url, VARIANT*&, VARIANT*&, VARIANT*&,
                             VARIANT*&, VARIANT_BOOL*& cancel) {
    const wchar_t* address = SkinUI::EventUrl(url);
    QLogger::LogW(QLOG_NORMAL, L"%ls, %ls", L"UIMain::BeforeNavigate2", address);
    if (browser_ == nullptr || !browser_->IsTopLevel(browser) || !IsGameStartAddress(address)) {
        return;
    }
    browser_->GetWebBrowser2()->Stop();
    if (cancel != nullptr) *cancel = VARIANT_TRUE;
    ShowWindow(false, true);
    // As the page gave it: the game server may care about letter case.
    PostOwnedString(g_hGameWnd, kGameAddressMessage, std::wstring(address),
                    "UIMain::BeforeNavigate2");
}

void UIMain::NavigateError(IDispatch*, VARIANT*& url, VARIANT*&, VARIANT*&, VARIANT_BOOL*&) {
    QLogger::LogW(QLOG_NORMAL, L"%ls, %ls", L"UIMain::NavigateError", SkinUI::EventUrl(url));
}

void UIMain::NewWindow3(IDispatch**, VARIANT_BOOL*&, DWORD, BSTR, BSTR url) {
    QLogger::LogW(QLOG_NORMAL, L"%ls, %ls", L"UIMain::NewWindow3", url != nullptr ? url : L"");
}

void UIMain::NavigateComplete2(IDispatch* browser, VARIANT*& url) {
    const std::wstring address = SkinUI::EventUrl(url);
    QLogger::LogW(QLOG_NORMAL, L"%ls, %ls", L"UIMain::NavigateComplete2", address.c_str());
    if (address == kAboutBlank) return;
    if (browser_ != nullptr && browser_->IsTopLevel(browser)) {
        if (IsWindowVisible(hwnd_)) browser_->SetVisible(true);
    } else if (serverBrowser_ != nullptr && serverBrowser_->IsTopLevel(browser)) {
        HandServerListOn();
    }
}

void UIMain::HandServerListOn() {
    std::string html;
    std::string list;
    if (!ReadBodyHtml(serverBrowser_->GetWebBrowser2(), &html)) {
        QLogger::Log(QLOG_WARNING, "%s: the select-server page has no body",
                     "UIMain::NavigateComplete2");
        return;
    }
    // Without a list the game keeps the one it has.
    if (!ExtractServerList(html, &list)) return;
    PostOwnedString(g_hGameWnd, kServerListMessage, list, "UIMain::NavigateComplete2");
}

void UIMain::DocumentComplete(IDispatch* browser, VARIANT*& url) {
    const wchar_t* address = SkinUI::EventUrl(url);
    QLogger::LogW(QLOG_NORMAL, L"%ls, %ls", L"UIMain::DocumentComplete", address);
    if (browser_ != nullptr && browser_->IsTopLevel(browser) &&
        std::wstring_view(address) == kAboutBlank) {
        browser_->GetWebBrowser2()->Refresh();
    }
}

HRESULT UIMain::GetHostInfo(DOCHOSTUIINFO* info) {
    if (info != nullptr) info->dwFlags |= kHostFlags;
    return S_OK;
}

void UIMain::RequestServerList() {
    if (serverBrowser_ == nullptr) return;
    // The tick count as a signed number: past 2^31 ms of uptime it is
    // negative, and the page takes it so.
    const auto number = static_cast<int32_t>(GetTickCount());
    serverBrowser_->Navigate2(ServerListPage(number).c_str());
}
