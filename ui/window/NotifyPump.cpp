#include "ui/window/NotifyPump.h"

#include "common/AsciiCase.h"
#include "ui/controls/Control.h"

namespace SkinUI {

namespace {

constexpr TNotifyMapEntry kEmptyEntries[] = {
    {L"", L"", NotifyHandlerKind::kEnd, nullptr},
};
constexpr TNotifyMap kEmptyMap = {nullptr, kEmptyEntries};

// In one map the entry for this type and exactly this control wins; else the
// last entry for the type with no control name.
const TNotifyMapEntry* FindEntry(const TNotifyMapEntry* entries, const TControlNotify& msg) {
    const std::wstring senderName = msg.sender != nullptr ? msg.sender->GetName() : L"";
    const TNotifyMapEntry* anyControl = nullptr;
    for (const TNotifyMapEntry* entry = entries; entry->kind != NotifyHandlerKind::kEnd; ++entry) {
        if (entry->handler == nullptr || msg.type != entry->type) continue;
        const std::wstring_view name = entry->controlName != nullptr ? entry->controlName : L"";
        if (name.empty()) {
            anyControl = entry;
        } else if (!senderName.empty() && name == senderName) {
            return entry;
        }
    }
    return anyControl;
}

}  // namespace

bool CNotifyPump::AddVirtualWnd(const std::wstring& name, CNotifyPump* pump) {
    if (name.empty() || pump == nullptr || pump == this) return false;
    return virtualWnds_.emplace(AsciiLowerCopy(name), pump).second;
}

bool CNotifyPump::RemoveVirtualWnd(const std::wstring& name) {
    return virtualWnds_.erase(AsciiLowerCopy(name)) != 0;
}

bool CNotifyPump::NotifyPump(TControlNotify& msg) {
    if (!msg.virtualWnd.empty()) {
        const auto it = virtualWnds_.find(AsciiLowerCopy(msg.virtualWnd));
        if (it != virtualWnds_.end() && it->second->LoopDispatch(msg)) return true;
    }
    return LoopDispatch(msg);
}

bool CNotifyPump::LoopDispatch(TControlNotify& msg) {
    for (const TNotifyMap* map = GetNotifyMap(); map != nullptr; map = map->base) {
        const TNotifyMapEntry* entry = FindEntry(map->entries, msg);
        if (entry == nullptr) continue;
        switch (entry->kind) {
            case NotifyHandlerKind::kNotify:
                entry->handler(*this, msg);
                return true;
            case NotifyHandlerKind::kEnd:
                break;
        }
    }
    return false;
}

const TNotifyMap* CNotifyPump::GetNotifyMap() const {
    return &kEmptyMap;
}

}  // namespace SkinUI
