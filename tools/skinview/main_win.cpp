// skinview: shows one layout of the skin in a real skinned window, the way
// the launcher's windows are built, for looking at skins, screenshots and
// window tests. Closing the window ends the program with code 0; a layout
// that cannot be loaded ends it the framework's way (message box, code 1).
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "common/qlogger/QLogger.h"
#include "common/win/UniqueHandle_win.h"
#include "tools/skinview/SkinViewOptions.h"
#include "ui/controls/Control.h"
#include "ui/skin/ModuleInstance_win.h"
#include "ui/window/WindowHost_win.h"
#include "ui/window/WindowImplBase_win.h"

namespace {

constexpr int kSkinPackageId = 129;
constexpr wchar_t kSkinPackageIdText[] = L"129";
constexpr int kBadCommandLine = 2;

class CSkinViewWnd : public SkinUI::WindowImplBase {
public:
    explicit CSkinViewWnd(const skinview::TSkinViewOptions& options) : options_(options) {}

    LPCWSTR GetWindowClassName() const override { return options_.className.c_str(); }
    LPCWSTR GetSkinFolder() override { return L"Skin"; }
    LPCWSTR GetSkinFile() override { return options_.layout.c_str(); }
    UINT GetResourceType() override {
        return options_.file.empty() ? SkinUI::SKIN_ZIPRESOURCE : SkinUI::SKIN_FILE;
    }
    LPCWSTR GetResourceID() override { return kSkinPackageIdText; }

    void InitWindow() override {
        for (const skinview::TControlSetting& setting : options_.settings) {
            SkinUI::CControlUI* control = manager_.FindControl(setting.control);
            if (control == nullptr) {
                QLogger::LogW(QLOG_WARNING, L"CSkinViewWnd::InitWindow: no control %ls",
                              setting.control.c_str());
                std::fwprintf(stderr, L"skinview: no control %ls\n", setting.control.c_str());
                continue;
            }
            control->SetAttribute(setting.attribute, setting.value.c_str());
        }
    }

    LRESULT MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override {
        if (options_.swallowEscape && message == WM_KEYDOWN && wParam == VK_ESCAPE) {
            handled = true;
            return 0;
        }
        return WindowImplBase::MessageHandler(message, wParam, lParam, handled);
    }

    void OnFinalMessage(HWND hwnd) override {
        WindowImplBase::OnFinalMessage(hwnd);
        PostQuitMessage(0);
    }

private:
    const skinview::TSkinViewOptions& options_;
};

std::vector<std::wstring> Arguments() {
    std::vector<std::wstring> args;
    int count = 0;
    UniqueLocalMemory memory(CommandLineToArgvW(GetCommandLineW(), &count));
    auto** argv = static_cast<LPWSTR*>(memory.get());
    for (int i = 1; argv != nullptr && i < count; ++i) args.emplace_back(argv[i]);
    return args;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    skinview::TSkinViewOptions options;
    std::wstring error;
    if (!skinview::ParseSkinViewOptions(Arguments(), options, error)) {
        std::fwprintf(stderr, L"skinview: %ls\n%ls", error.c_str(), skinview::kUsage);
        return kBadCommandLine;
    }
    SkinUI::SetModuleInstance(instance);
    if (!options.file.empty()) {
        SkinUI::CWindowManagerUI::SetResourcePath(options.resourceDir);
    } else if (!SkinUI::CWindowManagerUI::LoadSkinPackageFromResource(kSkinPackageId)) {
        std::fwprintf(stderr, L"skinview: this program carries no skin package\n");
        return kBadCommandLine;
    }

    CSkinViewWnd window(options);
    if (window.Create(nullptr, L"QuambarLauncher", WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX, 0) ==
        nullptr) {
        std::fwprintf(stderr, L"skinview: the window could not be created\n");
        return 1;
    }
    if (options.hasPosition) {
        SetWindowPos(window, nullptr, options.x, options.y, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        window.CenterWindow();
    }
    window.ShowWindow(true);
    SkinUI::CWindowHostWin::MessageLoop();
    SkinUI::CWindowManagerUI::Term();
    return 0;
}
