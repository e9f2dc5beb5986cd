#include "ui/controls/BrowserEvents.h"

namespace SkinUI {

namespace {

using A = EventArgument;

// DWebBrowserEvents2 as the system browser raises it: the [in, out]
// arguments by reference, so that a handler's cancel reaches the browser.
constexpr A kStatusText[] = {A::kString};
constexpr A kCommandState[] = {A::kInteger, A::kBool};
constexpr A kBeforeNavigate[] = {A::kDispatch,   A::kVariantRef, A::kVariantRef, A::kVariantRef,
                                 A::kVariantRef, A::kVariantRef, A::kBoolRef};
constexpr A kNavigated[] = {A::kDispatch, A::kVariantRef};
constexpr A kNavigateError[] = {A::kDispatch, A::kVariantRef, A::kVariantRef, A::kVariantRef,
                                A::kBoolRef};
constexpr A kNewWindow[] = {A::kDispatchRef, A::kBoolRef, A::kInteger, A::kString, A::kString};

constexpr TBrowserEventShape kEvents[] = {
    {102, BrowserEvent::kStatusTextChange, kStatusText},
    {105, BrowserEvent::kCommandStateChange, kCommandState},
    {250, BrowserEvent::kBeforeNavigate2, kBeforeNavigate},
    {252, BrowserEvent::kNavigateComplete2, kNavigated},
    {259, BrowserEvent::kDocumentComplete, kNavigated},
    {271, BrowserEvent::kNavigateError, kNavigateError},
    {273, BrowserEvent::kNewWindow3, kNewWindow},
};

bool Matches(EventArgument argument, uint16_t type) {
    switch (argument) {
        case A::kDispatch:
            return type == kVtDispatch;
        case A::kVariantRef:
            return type == (kVtVariant | kVtByRef);
        case A::kBoolRef:
            return type == (kVtBool | kVtByRef);
        case A::kDispatchRef:
            return type == (kVtDispatch | kVtByRef);
        case A::kInteger:
            // Declared long or unsigned long; browsers have sent either.
            return type == kVtI4 || type == kVtUi4;
        case A::kBool:
            return type == kVtBool;
        case A::kString:
            return type == kVtBstr;
    }
    return false;
}

}  // namespace

const TBrowserEventShape* FindBrowserEvent(int32_t dispid) {
    for (const auto& shape : kEvents) {
        if (shape.dispid == dispid) return &shape;
    }
    return nullptr;
}

ArgumentCheck CheckEventArguments(const TBrowserEventShape& shape,
                                  std::span<const uint16_t> rgvargTypes) {
    const unsigned count = static_cast<unsigned>(shape.arguments.size());
    if (rgvargTypes.size() != count) return ArgumentCheck::kWrongCount;
    for (unsigned position = 0; position < count; ++position) {
        if (!Matches(shape.arguments[position], rgvargTypes[ArgumentSlot(count, position)])) {
            return ArgumentCheck::kWrongType;
        }
    }
    return ArgumentCheck::kOk;
}

}  // namespace SkinUI
