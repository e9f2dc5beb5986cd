#include "game/WindowHotKey_win.h"

#include "common/qlogger/QLogger.h"
#include "game/HotKey.h"

static_assert(kHotKeyModAlt == MOD_ALT && kHotKeyModControl == MOD_CONTROL &&
              kHotKeyModShift == MOD_SHIFT);

bool WindowHotKey::Register(uint32_t modifiers, uint16_t code) {
    if (RegisterHotKey(window_, id_, modifiers, code)) return true;
    QLogger::Log(QLOG_WARNING, "%s:RegisterHotKey(%u, 0x%02X) failed:%lu", "WindowHotKey::Register",
                 modifiers, code, GetLastError());
    return false;
}

void WindowHotKey::Unregister() {
    // Nothing registered is the usual case here, not an error.
    UnregisterHotKey(window_, id_);
}
