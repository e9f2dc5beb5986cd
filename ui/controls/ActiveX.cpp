#include "ui/controls/ActiveX.h"

#include "common/qlogger/QLogger.h"

namespace SkinUI {

namespace {

const TAttribute<CActiveXUI> kActiveXAttributes[] = {
    {L"clsid", [](CActiveXUI& c, const wchar_t* v) { c.SetClsid(v); }},
    {L"modulename", [](CActiveXUI& c, const wchar_t* v) { c.SetModuleName(v); }},
    {L"delaycreate", [](CActiveXUI& c, const wchar_t* v) { c.SetDelayCreate(ParseBool(v)); }},
};

const TAttribute<CWebBrowserUI> kWebBrowserAttributes[] = {
    {L"homepage", [](CWebBrowserUI& c, const wchar_t* v) { c.SetHomePage(v); }},
    {L"autonavi", [](CWebBrowserUI& c, const wchar_t* v) { c.SetAutoNavigation(ParseBool(v)); }},
};

// The system's WebBrowser control.
constexpr wchar_t kWebBrowserClsid[] = L"{8856F961-340A-11D0-A96B-00C04FD705A2}";

}  // namespace

void CActiveXUI::SetAttribute(std::wstring_view name, const wchar_t* value) {
    if (value == nullptr) return;
    if (!ApplyAttribute(kActiveXAttributes, *this, name, value)) {
        CControlUI::SetAttribute(name, value);
    }
}

void CActiveXUI::SetDelayCreate(bool delay) {
    delayCreate_ = delay;
    if (!delay && manager_ != nullptr) CreateControl();
}

bool CActiveXUI::CreateControl() {
    if (creationRequested_) return created_;
    creationRequested_ = true;
    created_ = CreateHostedControl();
    if (!created_) {
        QLogger::LogW(QLOG_WARNING, L"%ls: control %ls (%ls) was not created",
                      L"CActiveXUI::CreateControl", name_.c_str(), clsid_.c_str());
    }
    return created_;
}

CWebBrowserUI::CWebBrowserUI() {
    clsid_ = kWebBrowserClsid;
}

void CWebBrowserUI::SetAttribute(std::wstring_view name, const wchar_t* value) {
    if (value == nullptr) return;
    if (!ApplyAttribute(kWebBrowserAttributes, *this, name, value)) {
        CActiveXUI::SetAttribute(name, value);
    }
}

}  // namespace SkinUI
