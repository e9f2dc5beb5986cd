// Routes notification records to member handlers through message maps, and
// on to the pumps of named virtual windows. A map chains to the map of the
// base class, so a derived window's entries are searched before its base's.
// UI thread only.
#pragma once

#include <map>
#include <string>

#include "ui/Notify.h"

namespace SkinUI {

class CNotifyPump;

using NotifyHandler = void (CNotifyPump::*)(TControlNotify&);

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

// Turns a derived class's handler into a map entry's handler.
template <class T>
NotifyHandler NotifyHandlerOf(void (T::*handler)(TControlNotify&)) {
    return static_cast<NotifyHandler>(handler);
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
