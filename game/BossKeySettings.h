// The boss-key dialog's decisions, apart from its window: what the field
// shows at start, which texts it keeps, when OK may save, what the enable
// switch writes and registers, and what a captured key press does. The
// dialog owns one, hands it its registry and its hotkey, and wires its
// controls to it. UI thread only.
#pragma once

#include <cstdint>
#include <string>

#include "game/KeyNameTable.h"
#include "game/Registry.h"

inline constexpr wchar_t kBossKeyRegistryPath[] =
    L"HKEY_CURRENT_USER\\Software\\Brindlewood\\QAMBlauncher";
inline constexpr wchar_t kBossKeyValueName[] = L"BossKey";
inline constexpr wchar_t kEnableBossKeyValueName[] = L"EnableBossKey";
// Shown when no hotkey is stored; the field's own rule empties it at once.
inline constexpr wchar_t kBossKeyPlaceholder[] = L"\u65e0";
// The message box of OK with a text that is not a hotkey.
inline constexpr wchar_t kBossKeyInvalidText[] = L"\u8bf7\u8f93\u5165CTRL+\u4efb\u610f\u952e";
inline constexpr wchar_t kBossKeyInvalidCaption[] = L"Torvessa";
// The dialog registers its hotkey under this identifier on its own window.
inline constexpr int kBossKeyHotKeyId = 1;

// The global hotkey of one window and identifier. Failures (a combination
// another program holds) are the implementation's to log; the dialog goes
// on as if they had succeeded.
class HotKeyService {
public:
    virtual ~HotKeyService() = default;
    virtual bool Register(uint32_t modifiers, uint16_t code) = 0;
    virtual void Unregister() = 0;
};

// One WM_KEYDOWN or WM_KEYUP seen by the dialog's message filter, with the
// key states at that moment.
struct BossKeyPress {
    uint16_t key = 0;  // low word of wParam
    bool ctrlDown = false;
    bool shiftDown = false;
    bool altDown = false;
};

// What the filter does with a key message.
struct BossKeyCapture {
    bool handled = false;  // stops the message if it is addressed to the dialog
    bool setText = false;  // the field's text becomes |text|
    std::wstring text;
};

struct BossKeyStart {
    std::wstring fieldText;  // the stored hotkey, or the placeholder
    bool enabled = false;
};

class BossKeySettings {
public:
    BossKeySettings(const BossKeySettings&) = delete;
    BossKeySettings& operator=(const BossKeySettings&) = delete;

    // None is owned. |keyPath| is the launcher's key unless a test says
    // otherwise.
    BossKeySettings(const KeyNameTable& table, RegistryStore& registry, HotKeyService& hotKey,
                    std::wstring keyPath = kBossKeyRegistryPath);

    // The stored values as the dialog starts with them: a failed read is
    // an absent value, and only the exact text "1" enables.
    BossKeyStart Load() const;

    // The field's text after a change: kept when empty or a valid hotkey,
    // otherwise emptied.
    std::wstring FilterFieldText(const std::wstring& text) const;

    // OK: a valid text is stored and, when enabled, registered anew; true
    // then, and the dialog closes. False for any other text: nothing is
    // stored or registered and the dialog shows kBossKeyInvalidText.
    bool Save(const std::wstring& fieldText, bool enabled);

    // The enable switch changed: the hotkey is dropped, the switch stored,
    // and when now enabled the hotkey registered from the field's current
    // text, saved by OK or not. The field is enabled exactly when |enabled|.
    void SetEnabled(bool enabled, const std::wstring& fieldText);

    // The key filter: Escape and Delete never reach the dialog (Escape
    // would close it); with the field focused and the switch on, keys are
    // swallowed, and Ctrl with a named key writes "CTRL+<name>" into the
    // field. Shift or Alt held sets nothing.
    BossKeyCapture CaptureKey(const BossKeyPress& press, bool fieldFocused, bool enabled,
                              const std::wstring& fieldText) const;

private:
    const KeyNameTable& table_;
    RegistryStore& registry_;
    HotKeyService& hotKey_;
    const std::wstring keyPath_;
};
