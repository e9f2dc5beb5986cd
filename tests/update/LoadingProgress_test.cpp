// The loading window's decisions over a fake clock and a scripted engine:
// the waiting display, the engine's share, the three limits with their log
// lines, and what happens after the end.
#include "update/LoadingProgress.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "support/RecordingAppender.h"

namespace {

class FakeClock : public LoadingClock {
public:
    uint32_t Ticks() override { return now; }
    uint32_t now = 0;
};

// The module can be loaded from |appearsAt| on (clock time), unless it never
// appears, and then answers |progress| for the clock's time.
class ScriptedEngine : public EngineModule {
public:
    explicit ScriptedEngine(const FakeClock& clock) : clock_(clock) {}
    bool Load() override {
        ++loads;
        if (!appears || clock_.now < appearsAt) return false;
        loaded = true;
        return true;
    }
    bool FindProgress() override { return hasExport; }
    float Progress() override {
        ++calls;
        return progress(clock_.now);
    }
    void Release() override {
        ++releases;
        loaded = false;
    }

    bool appears = true;
    uint32_t appearsAt = 0;
    bool hasExport = true;
    std::function<float(uint32_t)> progress = [](uint32_t) { return 0.0f; };
    bool loaded = false;
    int loads = 0;
    int calls = 0;
    int releases = 0;

private:
    const FakeClock& clock_;
};

class Loading : public ::testing::Test {
protected:
    void SetUp() override {
        QLogger::Shutdown();
        QLogger::AddAppender(std::make_unique<testsupport::RecordingAppender>(&log));
    }
    void TearDown() override { QLogger::Shutdown(); }

    // Polls every 200 ms from the start until the loading ends (or |limitMs|
    // passes); returns the time of the ending poll.
    uint32_t RunUntilEnd(uint32_t limitMs = 200000) {
        for (uint32_t t = kLoadingTimerPeriodMs; t <= limitMs; t += kLoadingTimerPeriodMs) {
            clock.now = start + t;
            ticks.push_back(progress.Poll());
            if (ticks.back().display) shown.push_back(ticks.back().value);
            if (ticks.back().ended) return t;
        }
        return 0;
    }
    void Begin(uint32_t at = 0) {
        start = at;
        clock.now = at;
        progress.Start();
    }

    std::vector<std::string> log;
    FakeClock clock;
    ScriptedEngine engine{clock};
    LoadingProgress progress{clock, engine};
    uint32_t start = 0;
    std::vector<LoadingTick> ticks;
    std::vector<int> shown;
};

TEST_F(Loading, TheEngineTakesOverFromTheWaitingDisplay) {
    // The module turns up at 3.2 s and reports half at once.
    engine.appearsAt = 3200;
    engine.progress = [](uint32_t) { return 0.5f; };
    Begin();
    for (uint32_t t = 200; t < 3200; t += 200) {
        clock.now = t;
        const LoadingTick tick = progress.Poll();
        EXPECT_TRUE(tick.display);
        EXPECT_EQ(tick.value, static_cast<int>(t / 1000));
    }
    EXPECT_EQ(progress.state(), LoadingProgress::kWaitingForModule);
    clock.now = 3200;
    const LoadingTick found = progress.Poll();
    EXPECT_FALSE(found.display) << "the finding poll shows nothing new";
    EXPECT_EQ(progress.state(), LoadingProgress::kEngineLoading);
    EXPECT_EQ(progress.base(), 3);
    clock.now = 3400;
    const LoadingTick next = progress.Poll();
    EXPECT_TRUE(next.display);
    EXPECT_EQ(next.text, L"52%");  // 3 + 97 x 0.5 = 51.5
    EXPECT_EQ(next.value, 51);
    EXPECT_FALSE(next.ended);
    EXPECT_EQ(engine.loads, 16) << "tried at every poll until it was there";
}

TEST_F(Loading, AModuleThatNeverShowsUpEndsAfterEightSeconds) {
    engine.appears = false;
    // Also when the tick counter wraps meanwhile.
    for (uint32_t at : {0u, 0xFFFFFFFFu - 3000}) {
        SCOPED_TRACE(at);
        ticks.clear();
        shown.clear();
        Begin(at);
        EXPECT_EQ(RunUntilEnd(), 8200u);
        EXPECT_EQ(shown.front(), 0);
        EXPECT_EQ(shown.back(), 8);
        EXPECT_EQ(ticks.back().display, false);
        EXPECT_EQ(log.back(), "Error  |Too slow to download plume3d.lod(8s), End Loading UI");
        EXPECT_EQ(progress.state(), LoadingProgress::kEnded);
    }
    EXPECT_EQ(engine.releases, 0) << "nothing was loaded";
}

TEST_F(Loading, AnEngineThatStaysAtZeroStopsAtFifteenAndEndsAfterThirtySeconds) {
    Begin();
    EXPECT_EQ(RunUntilEnd(), 30200u);
    EXPECT_EQ(progress.state(), LoadingProgress::kEnded);
    // One percent a second up to 15, which stands from the 15th second on.
    for (size_t i = 0; i < shown.size(); ++i) {
        const int second = static_cast<int>((i + 1) * kLoadingTimerPeriodMs / 1000);
        EXPECT_EQ(shown[i], second < 15 ? second : 15) << "poll " << i;
    }
    EXPECT_EQ(ticks.back().text, L"15%");
    EXPECT_TRUE(ticks.back().display) << "the ending poll still shows 15%";
    EXPECT_EQ(log.back(), "Error  |Too slow to download loaderQM.dll(30s), End Loading UI");
    EXPECT_EQ(engine.releases, 1);
    EXPECT_FALSE(engine.loaded);
}

TEST_F(Loading, AnEngineStuckJustShortOfDoneEndsAtTheOverallLimit) {
    engine.appearsAt = 1000;
    engine.progress = [](uint32_t t) { return t < 5000 ? 0.0f : 0.99f; };
    Begin();
    EXPECT_EQ(RunUntilEnd(), 120200u);
    EXPECT_EQ(log.back(), "Alert  |timeout(120s) for whole init, End Loading UI");
    EXPECT_EQ(ticks.back().text, L"99%");  // 4 + 96 x 0.99 = 99.04
    EXPECT_EQ(ticks.back().value, 99);
    EXPECT_EQ(progress.base(), 4) << "the waiting display stood at 4 when the engine began";
    EXPECT_EQ(engine.releases, 1);
}

TEST_F(Loading, ACompleteEngineEndsWithTheBarFull) {
    engine.progress = [](uint32_t t) { return t < 2000 ? 0.0f : (t - 2000) / 4000.0f; };
    Begin();
    EXPECT_EQ(RunUntilEnd(), 6000u);
    EXPECT_EQ(ticks.back().text, L"100%");
    EXPECT_EQ(ticks.back().value, 100);
    EXPECT_EQ(log.back(), "Normal |100% for whole init, End Loading UI");
    // The bar never goes back while the engine moves on.
    for (size_t i = 1; i < shown.size(); ++i) EXPECT_GE(shown[i], shown[i - 1]);
    EXPECT_EQ(engine.releases, 1);
}

TEST_F(Loading, AModuleWithoutTheExportEndsAtOnce) {
    engine.hasExport = false;
    Begin();
    EXPECT_EQ(RunUntilEnd(), 200u);
    EXPECT_FALSE(ticks.back().display);
    EXPECT_EQ(log.back(), "Error  |Failed to GetProcAddress: _PlumeProgress, End Loading UI");
    EXPECT_EQ(engine.releases, 1) << "the module is let go";
    EXPECT_EQ(engine.calls, 0);
}

TEST_F(Loading, OddEngineAnswersNeitherHangNorBreakTheBar) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float huge = 1e30f;
    for (float answer : {nan, huge, -huge}) {
        SCOPED_TRACE(answer);
        ticks.clear();
        shown.clear();
        engine.progress = [&](uint32_t t) { return t < 1000 ? 0.5f : answer; };
        Begin();
        const uint32_t end = RunUntilEnd();
        if (answer == -huge) {
            // Begun, then below nothing: only the overall limit ends it.
            EXPECT_EQ(end, 120200u);
            EXPECT_EQ(ticks.back().value, std::numeric_limits<int>::min());
        } else {
            // Not-a-number is taken as done, like any answer of 1 or more.
            EXPECT_EQ(end, 1000u);
            EXPECT_EQ(ticks.back().value, answer == huge ? std::numeric_limits<int>::max() : 100);
        }
    }
}

TEST_F(Loading, PollsAfterTheEndDoNothingAndShowingAgainStartsOver) {
    engine.hasExport = false;
    Begin();
    RunUntilEnd();
    const size_t lines = log.size();
    clock.now += 200000;
    const LoadingTick late = progress.Poll();
    EXPECT_FALSE(late.display);
    EXPECT_FALSE(late.ended);
    EXPECT_EQ(log.size(), lines);

    engine.hasExport = true;
    engine.progress = [](uint32_t) { return 0.0f; };
    Begin(clock.now);
    EXPECT_EQ(progress.state(), LoadingProgress::kWaitingForModule);
    EXPECT_EQ(progress.base(), 0);
    ticks.clear();
    shown.clear();
    EXPECT_EQ(RunUntilEnd(), 30200u);
    progress.Stop();
    EXPECT_EQ(engine.releases, 2) << "stopping twice releases once";
}

TEST(LoadingText, PercentFormat) {
    EXPECT_EQ(LoadingPercentText(0), L" 0%");
    EXPECT_EQ(LoadingPercentText(15), L"15%");
    EXPECT_EQ(LoadingPercentText(99.6f), L"100%");
    EXPECT_EQ(LoadingPercentText(100), L"100%");
    EXPECT_EQ(TruncatePercent(51.9f), 51);
    EXPECT_EQ(TruncatePercent(-0.5f), 0);
}

}  // namespace
