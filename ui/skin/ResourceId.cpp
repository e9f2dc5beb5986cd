#include "ui/skin/ResourceId.h"

namespace SkinUI {

bool ParseResourceNumber(std::wstring_view text, uint16_t& id) {
    if (text.empty() || text.size() > 5) return false;
    uint32_t value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return false;
        value = value * 10 + static_cast<uint32_t>(c - L'0');
    }
    if (value > 0xFFFF) return false;
    id = static_cast<uint16_t>(value);
    return true;
}

}  // namespace SkinUI
