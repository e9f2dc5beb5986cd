// Routes notification records to member handlers through message maps, and
// on to the pumps of named virtual windows. A map chains to the map of the
// base class, so a derived window's entries are searched before its base's.
// UI thread only.
#pragma once

#include <map>
#include <string>

#include "ui/controls/Notify.h"

namespace SkinUI {

class CNotifyPump;

// Entries call their handler through a small function that turns the pump
// back into the class whose map holds the entry (see NotifyHandlerOf).
using NotifyHandler = void (*)(CNotifyPump& pump, TControlNotify& msg);

enum class NotifyHandlerKind {
    kEnd,     // ends a map's entries
    kNotify,  // void handler(TControlNotify&)
};

struct TNotifyMapEntry {
    const wchar_t* type;
    const wchar_t* controlName;  // empty: any control
    NotifyHandlerKind kind;
    NotifyHandler handler;
};

struct TNotifyMap {
    const TNotifyMap* base;  // the base class's map, or none
    const TNotifyMapEntry* entries;
};

// The entry handler for |Method| of |T|, a class derived from CNotifyPump:
//   NotifyHandlerOf<UIMain, &UIMain::OnSelect>
template <class T, void (T::*Method)(TControlNotify&)>
void NotifyHandlerOf(CNotifyPump& pump, TControlNotify& msg) {
    (static_cast<T&>(pump).*Method)(msg);
}

class CNotifyPump {
public:
    virtual ~CNotifyPump() = default;

    // Pumps are not owned; a name (case ignored) holds at most one.
    bool AddVirtualWnd(const std::wstring& name, CNotifyPump* pump);
    bool RemoveVirtualWnd(const std::wstring& name);

    // The virtual window's pump first, then this pump's own maps. False when
    // no entry matched.
    bool NotifyPump(TControlNotify& msg);
    // Searches this pump's maps only.
    bool LoopDispatch(TControlNotify& msg);

protected:
    // The most derived class's map. The base pump has an empty map.
    virtual const TNotifyMap* GetNotifyMap() const;

private:
    std::map<std::wstring, CNotifyPump*> virtualWnds_;  // key lower case
};

}  // namespace SkinUI
