#include "game/BossKeySettings.h"

#include <utility>

#include "game/HotKey.h"

namespace {

constexpr uint16_t kVkEscape = 0x1B;
constexpr uint16_t kVkDelete = 0x2E;

}  // namespace

BossKeySettings::BossKeySettings(const KeyNameTable& table, RegistryStore& registry,
                                 HotKeyService& hotKey, std::wstring keyPath)
    : table_(table), registry_(registry), hotKey_(hotKey), keyPath_(std::move(keyPath)) {}

BossKeyStart BossKeySettings::Load() const {
    std::wstring enable;
    std::wstring hotKey;
    registry_.ReadString(keyPath_, kEnableBossKeyValueName, enable);
    registry_.ReadString(keyPath_, kBossKeyValueName, hotKey);
    BossKeyStart start;
    start.fieldText = hotKey.empty() ? std::wstring(kBossKeyPlaceholder) : hotKey;
    start.enabled = enable == L"1";
    return start;
}

std::wstring BossKeySettings::FilterFieldText(const std::wstring& text) const {
    uint32_t modifiers = 0;
    uint16_t code = 0;
    if (text.empty() || ParseHotKey(table_, text, modifiers, code)) return text;
    return std::wstring();
}

bool BossKeySettings::Save(const std::wstring& fieldText, bool enabled) {
    uint32_t modifiers = 0;
    uint16_t code = 0;
    if (!ParseHotKey(table_, fieldText, modifiers, code)) return false;
    registry_.WriteString(keyPath_, kBossKeyValueName, fieldText);
    if (enabled) {
        hotKey_.Unregister();
        hotKey_.Register(modifiers, code);
    }
    return true;
}

void BossKeySettings::SetEnabled(bool enabled, const std::wstring& fieldText) {
    hotKey_.Unregister();
    registry_.WriteString(keyPath_, kEnableBossKeyValueName, enabled ? L"1" : L"0");
    uint32_t modifiers = 0;
    uint16_t code = 0;
    if (enabled && ParseHotKey(table_, fieldText, modifiers, code)) {
        hotKey_.Register(modifiers, code);
    }
}

BossKeyCapture BossKeySettings::CaptureKey(const BossKeyPress& press, bool fieldFocused,
                                           bool enabled, const std::wstring& fieldText) const {
    BossKeyCapture capture;
    if (press.key == kVkEscape || press.key == kVkDelete) {
        capture.handled = true;
        return capture;
    }
    if (!fieldFocused || !enabled) return capture;
    capture.handled = true;
    if (press.shiftDown || press.altDown) return capture;
    if (fieldText == kBossKeyPlaceholder) {
        capture.setText = true;
        capture.text.clear();
    }
    std::wstring formatted;
    if (press.ctrlDown && FormatHotKey(table_, press.key, formatted)) {
        capture.setText = true;
        capture.text = std::move(formatted);
    }
    return capture;
}
