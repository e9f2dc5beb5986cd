// Hosts of embedded COM controls as far as the layout describes them: the
// class id or module, and whether the control is created while the layout
// is built ("delaycreate" "false") or later. The hosting itself is the
// Windows glue's (CreateHostedControl); the web browser control derives
// from this. UI thread only.
#pragma once

#include "ui/controls/Control.h"

namespace SkinUI {

class CActiveXUI : public CControlUI {
public:
    std::wstring_view GetClass() const override { return L"ActiveXUI"; }
    void SetAttribute(std::wstring_view name, const wchar_t* value) override;

    const std::wstring& GetClsid() const { return clsid_; }
    void SetClsid(const std::wstring& clsid) { clsid_ = clsid; }
    const std::wstring& GetModuleName() const { return moduleName_; }
    void SetModuleName(const std::wstring& name) { moduleName_ = name; }
    bool IsDelayCreate() const { return delayCreate_; }
    // Turning delayed creation off in a window creates the control at once.
    void SetDelayCreate(bool delay);
    // Creates the embedded control unless that was already tried.
    bool CreateControl();
    bool IsCreationRequested() const { return creationRequested_; }

protected:
    // The platform part: create and site the object. The portable build
    // has no COM, so nothing can be hosted there.
    virtual bool CreateHostedControl() { return false; }

    std::wstring clsid_;
    std::wstring moduleName_;
    bool delayCreate_ = true;
    bool creationRequested_ = false;
    bool created_ = false;
};

class CWebBrowserUI : public CActiveXUI {
public:
    CWebBrowserUI();
    std::wstring_view GetClass() const override { return L"WebBrowserUI"; }
    void SetAttribute(std::wstring_view name, const wchar_t* value) override;

    const std::wstring& GetHomePage() const { return homePage_; }
    void SetHomePage(const std::wstring& url) { homePage_ = url; }
    bool IsAutoNavigation() const { return autoNavigate_; }
    void SetAutoNavigation(bool value) { autoNavigate_ = value; }

protected:
    std::wstring homePage_;
    bool autoNavigate_ = false;
};

}  // namespace SkinUI
