#include "ui/controls/ActiveX.h"

#include "common/qlogger/QLogger.h"
#include "ui/window/WindowManager.h"

namespace SkinUI {

namespace {

const TAttribute<CActiveXUI> kActiveXAttributes[] = {
    {L"clsid", [](CActiveXUI& c, const wchar_t* v) { c.SetClsid(v); }},
    {L"modulename", [](CActiveXUI& c, const wchar_t* v) { c.SetModuleName(v); }},
    {L"delaycreate", [](CActiveXUI& c, const wchar_t* v) { c.SetDelayCreate(ParseBool(v)); }},
};

}  // namespace

CActiveXUI::~CActiveXUI() {
    // A derived control has released its part already; this only lets go
    // of what is left.
    ReleaseControl();
    host_.reset();
}

void CActiveXUI::SetAttribute(std::wstring_view name, const wchar_t* value) {
    if (value == nullptr) return;
    if (!ApplyAttribute(kActiveXAttributes, *this, name, value)) {
        CControlUI::SetAttribute(name, value);
    }
}

void CActiveXUI::SetManager(CWindowManagerUI* manager, CControlUI* parent) {
    if (manager != manager_) {
        ReleaseControl();
        host_.reset();
    }
    CControlUI::SetManager(manager, parent);
}

void CActiveXUI::SetPos(const TRect& rect) {
    CControlUI::SetPos(rect);
    PlaceHost();
}

void CActiveXUI::OnShownChanged() {
    PlaceHost();
}

void CActiveXUI::SetDelayCreate(bool delay) {
    delayCreate_ = delay;
    if (!delay && manager_ != nullptr) CreateControl();
}

bool CActiveXUI::CreateControl() {
    if (creationRequested_) return created_;
    creationRequested_ = true;
    host_.reset();
    if (manager_ != nullptr) host_ = MakeHost();
    created_ = host_ != nullptr && host_->Create(clsid_, moduleName_);
    if (!created_) {
        QLogger::LogW(QLOG_WARNING, L"%ls: control %ls (%ls) was not created",
                      L"CActiveXUI::CreateControl", name_.c_str(), clsid_.c_str());
        return false;
    }
    // The window hears of the object before the derived control starts
    // using it, and the host window takes the control's place last, so
    // nothing shows before it is ready.
    manager_->SendNotify(this, L"showactivex");
    if (created_) OnControlCreated();
    PlaceHost();
    return created_;
}

void CActiveXUI::ReleaseControl() {
    creationRequested_ = false;
    if (!created_) return;
    created_ = false;
    OnControlReleasing();
    if (host_) host_->Close();
}

void CActiveXUI::PlaceHost() {
    if (host_ && created_) host_->Place(pos_, IsShown());
}

}  // namespace SkinUI
