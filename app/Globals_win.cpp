#include "app/Globals_win.h"

#include "common/qlogger/QLogger.h"
#include "ui/skin/ModuleInstance_win.h"
#include "ui/window/WindowManager.h"

HWND g_hAppWnd = nullptr;
HWND g_hGameWnd = nullptr;

namespace {

template <class Text>
bool PostCopy(HWND target, UINT message, const Text& text, const char* sender) {
    auto copy = std::make_unique<Text>(text);
    if (!PostMessageW(target, message, 0, reinterpret_cast<LPARAM>(copy.get()))) {
        QLogger::Log(QLOG_ERROR, "%s: PostMessage 0x%x failed:%lu", sender, message,
                     GetLastError());
        return false;
    }
    copy.release();  // the receiver's now
    return true;
}

}  // namespace

bool PostOwnedString(HWND target, UINT message, const std::wstring& text, const char* sender) {
    return PostCopy(target, message, text, sender);
}

bool PostOwnedString(HWND target, UINT message, const std::string& text, const char* sender) {
    return PostCopy(target, message, text, sender);
}

std::unique_ptr<std::wstring> TakePostedWideString(LPARAM lParam) {
    return std::unique_ptr<std::wstring>(reinterpret_cast<std::wstring*>(lParam));
}

std::unique_ptr<std::string> TakePostedString(LPARAM lParam) {
    return std::unique_ptr<std::string>(reinterpret_cast<std::string*>(lParam));
}

HINSTANCE LauncherInstance() {
    return SkinUI::GetModuleInstance();
}

HWND CreateControllerWindow(const wchar_t* className, WNDPROC proc, void* owner) {
    WNDCLASSW wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = proc;
    wc.hInstance = LauncherInstance();
    wc.lpszClassName = className;
    RegisterClassW(&wc);
    HWND hwnd = CreateWindowExW(0, className, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                LauncherInstance(), nullptr);
    if (hwnd != nullptr) SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
    return hwnd;
}

bool LogCreateFailure(const wchar_t* format, const wchar_t* sender) {
    QLogger::LogW(QLOG_ERROR, format, sender, static_cast<int>(GetLastError()));
    return false;
}
