// The browser events the web browser control takes, checked against the
// DWebBrowserEvents2 layout that the system browser (and the test browser)
// deliver: which DISPIDs are taken, and how a delivery's VARIANT types,
// last argument first, are judged.
#include "ui/controls/BrowserEvents.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace SkinUI;

constexpr uint16_t kRef = kVtByRef;

ArgumentCheck Check(int32_t dispid, std::vector<uint16_t> rgvarg) {
    const TBrowserEventShape* shape = FindBrowserEvent(dispid);
    EXPECT_NE(shape, nullptr) << dispid;
    return shape ? CheckEventArguments(*shape, rgvarg) : ArgumentCheck::kWrongCount;
}

TEST(BrowserEvents, TakesTheSevenEventsAndNoOthers) {
    const std::pair<int32_t, BrowserEvent> taken[] = {
        {102, BrowserEvent::kStatusTextChange}, {105, BrowserEvent::kCommandStateChange},
        {250, BrowserEvent::kBeforeNavigate2},  {252, BrowserEvent::kNavigateComplete2},
        {259, BrowserEvent::kDocumentComplete}, {271, BrowserEvent::kNavigateError},
        {273, BrowserEvent::kNewWindow3},
    };
    for (const auto& [dispid, event] : taken) {
        const TBrowserEventShape* shape = FindBrowserEvent(dispid);
        ASSERT_NE(shape, nullptr) << dispid;
        EXPECT_EQ(shape->event, event) << dispid;
    }
    // DownloadComplete, DownloadBegin, TitleChange, NewWindow2, ProgressChange,
    // PropertyChange and the ambient properties a host is asked for.
    for (int32_t other : {104, 106, 113, 251, 108, 112, 0, -5512}) {
        EXPECT_EQ(FindBrowserEvent(other), nullptr) << other;
    }
}

TEST(BrowserEvents, DeliveriesAreJudgedLastArgumentFirst) {
    // BeforeNavigate2 as delivered: cancel, headers, post data, frame,
    // flags, url, then the browser.
    const std::vector<uint16_t> before = {kVtBool | kRef,    kVtVariant | kRef, kVtVariant | kRef,
                                          kVtVariant | kRef, kVtVariant | kRef, kVtVariant | kRef,
                                          kVtDispatch};
    EXPECT_EQ(Check(250, before), ArgumentCheck::kOk);
    std::vector<uint16_t> reversed(before.rbegin(), before.rend());
    EXPECT_EQ(Check(250, reversed), ArgumentCheck::kWrongType);
    EXPECT_EQ(Check(250, {before.begin() + 1, before.end()}), ArgumentCheck::kWrongCount);
    // A cancel flag passed by value could not be set.
    std::vector<uint16_t> byValue = before;
    byValue[0] = kVtBool;
    EXPECT_EQ(Check(250, byValue), ArgumentCheck::kWrongType);

    EXPECT_EQ(Check(252, {kVtVariant | kRef, kVtDispatch}), ArgumentCheck::kOk);
    EXPECT_EQ(Check(259, {kVtBstr, kVtDispatch}), ArgumentCheck::kWrongType);
    EXPECT_EQ(Check(271, {kVtBool | kRef, kVtVariant | kRef, kVtVariant | kRef, kVtVariant | kRef,
                          kVtDispatch}),
              ArgumentCheck::kOk);
    // NewWindow3's flags are declared unsigned; signed ones are the same bits.
    for (uint16_t flags : {kVtUi4, kVtI4}) {
        EXPECT_EQ(Check(273, {kVtBstr, kVtBstr, flags, kVtBool | kRef, kVtDispatch | kRef}),
                  ArgumentCheck::kOk);
    }
    EXPECT_EQ(Check(273, {kVtBstr, kVtBstr, kVtBstr, kVtBool | kRef, kVtDispatch | kRef}),
              ArgumentCheck::kWrongType);
    EXPECT_EQ(Check(105, {kVtBool, kVtI4}), ArgumentCheck::kOk);
    EXPECT_EQ(Check(105, {kVtI4, kVtBool}), ArgumentCheck::kWrongType);
    EXPECT_EQ(Check(105, {}), ArgumentCheck::kWrongCount);
}

}  // namespace
