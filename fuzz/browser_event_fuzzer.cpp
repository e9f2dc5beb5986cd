// A browser event as the browser delivers it to the control's sink: a
// DISPID (the first four bytes) and the VARIANT types of its arguments in
// delivery order (two bytes each). Only a delivery of exactly the declared
// count and types passes the check; everything else is refused before the
// control reads an argument.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "ui/controls/BrowserEvents.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) return 0;
    int32_t dispid = 0;
    std::memcpy(&dispid, data, 4);
    // Mostly the events the control takes, whatever the first bytes say.
    if (SkinUI::FindBrowserEvent(dispid) == nullptr) dispid = 250 + (dispid & 0x1F);
    const SkinUI::TBrowserEventShape* shape = SkinUI::FindBrowserEvent(dispid);
    if (shape == nullptr) return 0;
    std::vector<uint16_t> types;
    for (size_t i = 4; i + 1 < size; i += 2)
        types.push_back(static_cast<uint16_t>(data[i] | (data[i + 1] << 8)));

    const SkinUI::ArgumentCheck check = SkinUI::CheckEventArguments(*shape, types);
    const bool countFits = types.size() == shape->arguments.size();
    if ((check == SkinUI::ArgumentCheck::kWrongCount) == countFits) std::abort();
    if (check == SkinUI::ArgumentCheck::kOk) {
        // Every reference the handler is given is one.
        for (size_t position = 0; position < types.size(); ++position) {
            const uint16_t type = types[SkinUI::ArgumentSlot(static_cast<unsigned>(types.size()),
                                                             static_cast<unsigned>(position))];
            const auto declared = shape->arguments[position];
            const bool byRef = (type & SkinUI::kVtByRef) != 0;
            const bool wantsRef = declared == SkinUI::EventArgument::kVariantRef ||
                                  declared == SkinUI::EventArgument::kBoolRef ||
                                  declared == SkinUI::EventArgument::kDispatchRef;
            if (byRef != wantsRef) std::abort();
        }
    }
    return 0;
}
