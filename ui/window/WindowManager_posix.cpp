// Native builds have no window: the manager's Win32 state is never created
// there, so its owner only has to be able to name the deleter.
#include "ui/window/WindowManager.h"

namespace SkinUI {

struct CWindowManagerUI::TWin32State {};

void CWindowManagerUI::TWin32StateDeleter::operator()(TWin32State* state) const {
    delete state;
}

}  // namespace SkinUI
