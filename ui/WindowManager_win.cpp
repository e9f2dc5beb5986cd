#include <windows.h>

#include "ui/WindowManager.h"

namespace SkinUI {

// TODO(window base): pre-translation by the managers' translators and
// filters arrives with the window base; until then nothing is consumed.
void CWindowManagerUI::MessageLoop() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

}  // namespace SkinUI
