// The browser events that the web browser control takes from its
// DWebBrowserEvents2 connection, by DISPID, with the arguments each one
// carries. COM hands the arguments over last first: the one an event
// declares first lies at the highest index of DISPPARAMS::rgvarg, which is
// why ArgumentSlot exists. A delivery whose argument count or VARIANT types
// differ from the event's is refused before anything reads it. Portable:
// VARIANT types are their VARENUM numbers (the Windows glue checks that
// they agree with its headers). Any thread.
#pragma once

#include <cstdint>
#include <span>

namespace SkinUI {

enum class BrowserEvent {
    kStatusTextChange,  // taken and ignored
    kCommandStateChange,
    kBeforeNavigate2,
    kNavigateComplete2,
    kDocumentComplete,
    kNavigateError,
    kNewWindow3,
};

// The VARENUM numbers that event arguments use.
enum VariantType : uint16_t {
    kVtI4 = 3,
    kVtBstr = 8,
    kVtDispatch = 9,
    kVtBool = 11,
    kVtVariant = 12,
    kVtUi4 = 19,
    kVtByRef = 0x4000,
};

// What one argument must be.
enum class EventArgument : uint8_t {
    kDispatch,     // VT_DISPATCH: the browser or frame that raised the event
    kVariantRef,   // VT_VARIANT | VT_BYREF: an [in, out] value
    kBoolRef,      // VT_BOOL | VT_BYREF: a cancel flag
    kDispatchRef,  // VT_DISPATCH | VT_BYREF: where a new window's browser goes
    kInteger,      // VT_I4 or VT_UI4: 32 bits read as they are
    kBool,         // VT_BOOL
    kString,       // VT_BSTR
};

struct TBrowserEventShape {
    int32_t dispid;
    BrowserEvent event;
    std::span<const EventArgument> arguments;  // in the order the event declares them
};

// The shape of |dispid|, or none for an event the control does not take.
const TBrowserEventShape* FindBrowserEvent(int32_t dispid);

// The rgvarg index of the argument declared at |position| of |count|.
constexpr unsigned ArgumentSlot(unsigned count, unsigned position) {
    return count - 1 - position;
}

enum class ArgumentCheck { kOk, kWrongCount, kWrongType };

// Whether the delivered arguments, their VARIANT types given in rgvarg
// order, are what |shape| declares.
ArgumentCheck CheckEventArguments(const TBrowserEventShape& shape,
                                  std::span<const uint16_t> rgvargTypes);

}  // namespace SkinUI
