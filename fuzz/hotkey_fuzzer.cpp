// Hotkey texts as the registry and the dialog's field hold them (UTF-16
// units, two bytes each). An accepted text names a key that is not a
// modifier, every formatted text parses back to its key, and the field
// keeps only what it accepts.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/FuzzInput.h"
#include "game/BossKeySettings.h"
#include "game/HotKey.h"

namespace {

class NullRegistry : public RegistryStore {
public:
    bool ReadString(const std::wstring&, const std::wstring&, std::wstring& text) override {
        text.clear();
        return false;
    }
    bool WriteString(const std::wstring&, const std::wstring&, const std::wstring&) override {
        return true;
    }
};

class NullHotKey : public HotKeyService {
public:
    bool Register(uint32_t, uint16_t) override { return true; }
    void Unregister() override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const KeyNameTable table;
    const std::wstring text = FuzzWideText(data, size);
    uint32_t modifiers = 0;
    uint16_t code = 0;
    const bool ok = ParseHotKey(table, text, modifiers, code);
    FuzzCheck((modifiers & ~uint32_t{7}) == 0);
    if (ok) {
        FuzzCheck(modifiers != 0 && code != 0 && (code < 0x10 || code > 0x12));
        std::wstring formatted;
        FuzzCheck(FormatHotKey(table, code, formatted));
        uint32_t backModifiers = 0;
        uint16_t backCode = 0;
        FuzzCheck(ParseHotKey(table, formatted, backModifiers, backCode) && backCode == code);
    }

    NullRegistry registry;
    NullHotKey hotKey;
    BossKeySettings settings(table, registry, hotKey);
    const std::wstring kept = settings.FilterFieldText(text);
    FuzzCheck(kept.empty() || (ok && kept == text));
    if (size >= 2) {
        BossKeyPress press;
        press.key = static_cast<uint16_t>(data[0] | (data[1] << 8));
        press.ctrlDown = true;
        const BossKeyCapture capture = settings.CaptureKey(press, true, true, text);
        if (capture.setText) FuzzCheck(settings.FilterFieldText(capture.text) == capture.text);
    }
    return 0;
}
