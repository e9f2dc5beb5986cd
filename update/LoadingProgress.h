// What the client loading window decides while the game's engine starts:
// when the engine module "plume3d.lod" counts as there, what the bar and
// its text say at every poll, and which of the time limits ends the
// loading. The window (UILoading) polls it from its timer and shows what a
// poll returns; the module and the clock come in through the two small
// interfaces below, so that native tests drive it with a fake clock.
// Portable; UI thread only, like the window.
#pragma once

#include <cstdint>
#include <string>

// Milliseconds of a 32-bit tick counter that wraps (GetTickCount).
class LoadingClock {
public:
    virtual ~LoadingClock() = default;
    virtual uint32_t Ticks() = 0;
};

// The engine module as the loading window meets it. The implementation
// holds the module and the export between Load and Release.
class EngineModule {
public:
    virtual ~EngineModule() = default;
    // Loads the module by name (a module of that name already in the
    // process counts); true while it is loaded.
    virtual bool Load() = 0;
    // Looks the progress export up in the loaded module.
    virtual bool FindProgress() = 0;
    // The export's answer: 0 or less before the engine begins, a fraction
    // while it loads, 1 or more when it is done.
    virtual float Progress() = 0;
    // Forgets the export and lets the module go.
    virtual void Release() = 0;
};

inline constexpr uint32_t kLoadingTimerId = 9;
inline constexpr uint32_t kLoadingTimerPeriodMs = 200;
inline constexpr uint32_t kLoadingModuleWaitMs = 8000;
inline constexpr uint32_t kLoadingEngineStartMs = 30000;
inline constexpr uint32_t kLoadingOverallMs = 120000;
// The bar counts one percent a second while the engine has not begun, up
// to this.
inline constexpr float kLoadingWaitingCap = 15;

// What one poll tells the window.
struct LoadingTick {
    bool display = false;  // the bar and its text change to the two below
    std::wstring text;     // "52%"
    int value = 0;         // the bar's value, 0..100 while loading
    bool ended = false;    // loading is over: hide, reveal the game
};

class LoadingProgress {
public:
    enum State : uint32_t {
        kConstructed = 0,
        kWaitingForModule = 1,
        kWaitingForEngine = 2,
        kEngineLoading = 3,
        kEnded = 5,
    };

    LoadingProgress(const LoadingProgress&) = delete;
    LoadingProgress& operator=(const LoadingProgress&) = delete;

    // Neither is owned; both outlive this object.
    LoadingProgress(LoadingClock& clock, EngineModule& engine);

    // The window is shown: waiting for the module from now on, the bar at 0.
    void Start();
    // One poll of the timer. A poll that ends the loading has already
    // stopped (state kEnded, module released) when it returns.
    LoadingTick Poll();
    // Ends polling: state kEnded, the module released if it was loaded.
    void Stop();

    State state() const { return state_; }
    // The percentage at which the engine's own fraction took over.
    float base() const { return base_; }

private:
    void WaitingDisplay(uint32_t elapsed, LoadingTick& tick);
    void EngineDisplay(LoadingTick& tick);

    LoadingClock& clock_;
    EngineModule& engine_;
    State state_ = kConstructed;
    bool loaded_ = false;
    bool progressKnown_ = false;
    uint32_t startTicks_ = 0;
    float base_ = 0;
};

// The bar's text for |percent|: "%2.0f%%", so " 3%", "52%", "100%".
std::wstring LoadingPercentText(float percent);
// |value| cut toward zero, kept within the int range; not-a-number is 0.
int TruncatePercent(float value);
