// A plain Win32 window hosting a CWindowManagerUI for the framework's
// window tests: its procedure hands every message to the manager, it
// records the notifications, and it drains its message queue through the
// framework's pre-translation the way the application's loop does.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "ui/controls/Control.h"
#include "ui/controls/LayoutBuilder.h"
#include "ui/window/WindowManager.h"

namespace testsupport {

class UiTestHost : public SkinUI::INotifyUI {
public:
    UiTestHost(const UiTestHost&) = delete;
    UiTestHost& operator=(const UiTestHost&) = delete;

    // Builds |layout| (markup text) into a visible popup window at x, y of
    // the layout's "size".
    explicit UiTestHost(const std::wstring& layout, int x = 40, int y = 40);
    ~UiTestHost() override;

    HWND hwnd() const { return hwnd_; }
    SkinUI::CWindowManagerUI& manager() { return manager_; }
    template <class T = SkinUI::CControlUI>
    T* Find(const std::wstring& name) {
        return dynamic_cast<T*>(manager_.FindControl(name));
    }

    // "type:sender" and, for "itemselect" and "timer", ":wParam[:lParam]"
    // as signed numbers.
    std::vector<std::string> events;
    void Notify(SkinUI::TControlNotify& msg) override;

    // Handles everything queued (translators, filters, dispatch) and returns.
    static void Drain();
    // Drains until |done| or |timeoutMs| passes, waiting for messages.
    template <class Pred>
    static bool DrainUntil(Pred done, DWORD timeoutMs = 3000) {
        const DWORD start = GetTickCount();
        while (!done()) {
            if (GetTickCount() - start > timeoutMs) return false;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
            Drain();
        }
        return true;
    }

    // Mouse messages at a client point, posted to the window, then drained.
    void Click(int x, int y);
    void Post(UINT message, WPARAM wParam, int x, int y);
    void Key(WPARAM key);

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    SkinUI::CWindowManagerUI manager_;
    HWND hwnd_ = nullptr;
};

}  // namespace testsupport
