// The portable halves of the local world's stand-ins: the engine's
// timeline texts and what the plug-in shows for an engine's answer.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "tools/engine/EngineTimeline.h"
#include "tools/plugin/PluginStatus.h"

namespace {

using engine::Timeline;

Timeline Parsed(const char* text) {
    Timeline timeline;
    std::string error;
    EXPECT_TRUE(Timeline::Parse(text, timeline, error)) << text << ": " << error;
    EXPECT_TRUE(error.empty());
    return timeline;
}

TEST(EngineTimeline, NamedCurvesForTheLoadingWindowsCases) {
    EXPECT_FLOAT_EQ(Parsed("never").ProgressAt(1e5, 0), -1);
    EXPECT_FLOAT_EQ(Parsed("zero").ProgressAt(1e5, 9), 0);
    EXPECT_FLOAT_EQ(Parsed(" stick\r\n").ProgressAt(1e5, 0), 0.99f);
    EXPECT_FLOAT_EQ(Parsed("hold:-0.5").ProgressAt(3, 0), -0.5f);
    const Timeline rise = Parsed("rise:4");
    EXPECT_FLOAT_EQ(rise.ProgressAt(0, 0), 0);
    EXPECT_FLOAT_EQ(rise.ProgressAt(1, 0), 0.25f);
    EXPECT_FLOAT_EQ(rise.ProgressAt(4, 0), 1);
    EXPECT_FLOAT_EQ(rise.ProgressAt(400, 0), 1);
    // Zero seconds: complete at once.
    EXPECT_FLOAT_EQ(Parsed("rise:0").ProgressAt(0.001, 0), 1);
    EXPECT_FLOAT_EQ(Timeline::Default().ProgressAt(2, 0), 0.5f);
}

TEST(EngineTimeline, PointsInterpolateAndHoldTheirEnds) {
    const Timeline points = Parsed("2:0, 4:0.5, 4:0.8, 6:1");
    EXPECT_FLOAT_EQ(points.ProgressAt(0, 0), 0);
    EXPECT_FLOAT_EQ(points.ProgressAt(3, 0), 0.25f);
    // Two points at one time are a step.
    EXPECT_FLOAT_EQ(points.ProgressAt(3.999, 0), 0.49975f);
    EXPECT_FLOAT_EQ(points.ProgressAt(4, 0), 0.8f);
    EXPECT_FLOAT_EQ(points.ProgressAt(5, 0), 0.9f);
    EXPECT_FLOAT_EQ(points.ProgressAt(60, 0), 1);
}

TEST(EngineTimeline, CallsAnswerInTurnThenRepeatTheLast) {
    const Timeline calls = Parsed("calls:0.03,0.5,1");
    EXPECT_FLOAT_EQ(calls.ProgressAt(99, 0), 0.03f);
    EXPECT_FLOAT_EQ(calls.ProgressAt(0, 1), 0.5f);
    EXPECT_FLOAT_EQ(calls.ProgressAt(0, 2), 1);
    EXPECT_FLOAT_EQ(calls.ProgressAt(0, 1u << 31), 1);
}

TEST(EngineTimeline, TyposAreRefusedWithAReasonAndKeepTheOldCurve) {
    const char* bad[] = {"", "   ", "Never", "rise:", "rise:-1", "rise:5s", "rise:0x10", "hold:11",
                         "hold:nan", "hold:1e3", "calls:", "calls:1,,2", "1:0,0:1", "1:0;2:1",
                         "1.2.3:0", "2000000:1", "-1:0", "5", ":", "rise:1 2"};
    for (const char* text : bad) {
        Timeline timeline = Parsed("hold:0.25");
        std::string error;
        EXPECT_FALSE(Timeline::Parse(text, timeline, error)) << text;
        EXPECT_FALSE(error.empty()) << text;
        EXPECT_FLOAT_EQ(timeline.ProgressAt(0, 0), 0.25f) << text;
    }
}

TEST(PluginStatus, FollowsTheEnginesAnswer) {
    const auto missing = plugin::StatusFor(false, 0.5f);
    EXPECT_FALSE(missing.showBar);
    EXPECT_NE(missing.caption.find(L"plume3d.lod"), std::wstring::npos);

    const auto waiting = plugin::StatusFor(true, -1);
    EXPECT_TRUE(waiting.showBar);
    EXPECT_EQ(waiting.share, 0);
    EXPECT_FALSE(waiting.ready);

    const auto loading = plugin::StatusFor(true, 0.426f);
    EXPECT_EQ(loading.percent, 42);
    EXPECT_NE(loading.caption.find(L" 42%"), std::wstring::npos);
    // Not done until the engine says so.
    EXPECT_EQ(plugin::StatusFor(true, 0.9999f).percent, 99);
    EXPECT_FALSE(plugin::StatusFor(true, 0.9999f).ready);

    for (float done : {1.0f, 7.0f, std::numeric_limits<float>::quiet_NaN()}) {
        const auto ready = plugin::StatusFor(true, done);
        EXPECT_TRUE(ready.ready);
        EXPECT_EQ(ready.share, 1);
        EXPECT_EQ(ready.percent, 100);
    }
}

}  // namespace
