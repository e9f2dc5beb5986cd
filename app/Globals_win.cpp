#include "app/Globals_win.h"

#include "common/qlogger/QLogger.h"

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
