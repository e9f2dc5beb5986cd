// The notify pump's choice of handler: a named entry beats a type-only one,
// the last type-only entry wins, derived maps before base maps, virtual
// windows first.
#include "ui/window/NotifyPump.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/controls/Control.h"

namespace {

using SkinUI::NotifyHandlerKind;
using SkinUI::NotifyHandlerOf;
using SkinUI::TControlNotify;
using SkinUI::TNotifyMap;
using SkinUI::TNotifyMapEntry;

class BasePump : public SkinUI::CNotifyPump {
public:
    void OnBaseClick(TControlNotify&) { calls.push_back(L"base-click"); }
    void OnBaseSelect(TControlNotify&) { calls.push_back(L"base-select"); }
    std::vector<std::wstring> calls;

protected:
    const TNotifyMap* GetNotifyMap() const override {
        static const TNotifyMapEntry entries[] = {
            {L"click", L"", NotifyHandlerKind::kNotify,
             NotifyHandlerOf<BasePump, &BasePump::OnBaseClick>},
            {L"selectchanged", L"", NotifyHandlerKind::kNotify,
             NotifyHandlerOf<BasePump, &BasePump::OnBaseSelect>},
            {L"", L"", NotifyHandlerKind::kEnd, nullptr},
        };
        static const TNotifyMap map = {CNotifyPump::GetNotifyMap(), entries};
        return &map;
    }
};

// A second base first in the list, so that member pointers need adjusting.
struct Padding {
    virtual ~Padding() = default;
    int pad[7] = {};
};

class DerivedPump : public Padding, public BasePump {
public:
    void OnAnyClick(TControlNotify&) { calls.push_back(L"any-click"); }
    void OnLastAnyClick(TControlNotify&) { calls.push_back(L"last-any-click"); }
    void OnOkClick(TControlNotify&) { calls.push_back(L"ok-click"); }

protected:
    const TNotifyMap* GetNotifyMap() const override {
        static const TNotifyMapEntry entries[] = {
            {L"click", L"", NotifyHandlerKind::kNotify,
             NotifyHandlerOf<DerivedPump, &DerivedPump::OnAnyClick>},
            {L"click", L"ok", NotifyHandlerKind::kNotify,
             NotifyHandlerOf<DerivedPump, &DerivedPump::OnOkClick>},
            {L"click", L"", NotifyHandlerKind::kNotify,
             NotifyHandlerOf<DerivedPump, &DerivedPump::OnLastAnyClick>},
            {L"", L"", NotifyHandlerKind::kEnd, nullptr},
        };
        static const TNotifyMap map = {BasePump::GetNotifyMap(), entries};
        return &map;
    }
};

TControlNotify Record(const std::wstring& type, SkinUI::CControlUI* sender,
                      const std::wstring& virtualWnd = L"") {
    TControlNotify msg;
    msg.type = type;
    msg.sender = sender;
    msg.virtualWnd = virtualWnd;
    return msg;
}

TEST(NotifyPump, PicksTheEntryByTypeAndSenderName) {
    DerivedPump pump;
    SkinUI::CControlUI ok, other, unnamed;
    ok.SetName(L"ok");
    other.SetName(L"cancel");

    auto msg = Record(L"click", &ok);
    EXPECT_TRUE(pump.NotifyPump(msg));
    msg = Record(L"click", &other);
    EXPECT_TRUE(pump.NotifyPump(msg));
    msg = Record(L"click", &unnamed);
    EXPECT_TRUE(pump.NotifyPump(msg));
    msg = Record(L"click", nullptr);
    EXPECT_TRUE(pump.NotifyPump(msg));
    // Not in the derived map: the base map answers.
    msg = Record(L"selectchanged", &ok);
    EXPECT_TRUE(pump.NotifyPump(msg));
    // In no map at all.
    msg = Record(L"itemselect", &ok);
    EXPECT_FALSE(pump.NotifyPump(msg));

    EXPECT_EQ(pump.calls,
              (std::vector<std::wstring>{L"ok-click", L"last-any-click", L"last-any-click",
                                         L"last-any-click", L"base-select"}));
}

TEST(NotifyPump, VirtualWindowsAreAskedFirstByNameIgnoringCase) {
    DerivedPump window;
    BasePump page;
    ASSERT_TRUE(window.AddVirtualWnd(L"Settings", &page));
    EXPECT_FALSE(window.AddVirtualWnd(L"settings", &page));  // one pump per name
    EXPECT_FALSE(window.AddVirtualWnd(L"self", &window));
    SkinUI::CControlUI ok;
    ok.SetName(L"ok");

    auto msg = Record(L"click", &ok, L"SETTINGS");
    EXPECT_TRUE(window.NotifyPump(msg));
    EXPECT_EQ(page.calls, std::vector<std::wstring>{L"base-click"});
    EXPECT_TRUE(window.calls.empty());

    // A virtual window without an entry for the type hands on to the window.
    auto tab = Record(L"tabselect", &ok, L"settings");
    EXPECT_FALSE(window.NotifyPump(tab));
    // An unknown virtual window: the window's own map.
    msg = Record(L"click", &ok, L"elsewhere");
    EXPECT_TRUE(window.NotifyPump(msg));
    EXPECT_EQ(window.calls, std::vector<std::wstring>{L"ok-click"});

    EXPECT_TRUE(window.RemoveVirtualWnd(L"SeTTings"));
    EXPECT_FALSE(window.RemoveVirtualWnd(L"settings"));
    msg = Record(L"click", &ok, L"settings");
    EXPECT_TRUE(window.NotifyPump(msg));
    EXPECT_EQ(page.calls.size(), 1u);
    EXPECT_EQ(window.calls.size(), 2u);
}

}  // namespace
