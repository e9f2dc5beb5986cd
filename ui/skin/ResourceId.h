// Resource numbers as layouts and windows write them: the decimal text of a
// number from 0 to 65535 ("129"). Portable; any thread.
#pragma once

#include <cstdint>
#include <string_view>

namespace SkinUI {

// True, with |id| set, when |text| is one to five decimal digits whose value
// is at most 65535; anything else names a resource by text, or nothing.
bool ParseResourceNumber(std::wstring_view text, uint16_t& id);

}  // namespace SkinUI
