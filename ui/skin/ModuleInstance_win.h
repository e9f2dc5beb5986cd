// The module whose resources the skin framework reads (its package, icons)
// and whose instance its windows register with: the executable unless
// start-up names another. Set once at start-up; UI thread.
#pragma once

#include <windows.h>

namespace SkinUI {

void SetModuleInstance(HINSTANCE instance);
// Never null: the executable's own module when none was set.
HINSTANCE GetModuleInstance();
// What was set, null when nothing was.
HINSTANCE GetSetModuleInstance();

}  // namespace SkinUI
