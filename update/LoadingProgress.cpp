#include "update/LoadingProgress.h"

#include <climits>
#include <cmath>
#include <cwchar>

#include "common/qlogger/QLogger.h"

namespace {

constexpr size_t kTextCapacity = 256;
constexpr wchar_t kModuleName[] = L"plume3d.lod";
constexpr wchar_t kExportName[] = L"_PlumeProgress";

}  // namespace

std::wstring LoadingPercentText(float percent) {
    wchar_t text[kTextCapacity];
    const int written = std::swprintf(text, kTextCapacity, L"%2.0f%%", static_cast<double>(percent));
    return written > 0 ? std::wstring(text, static_cast<size_t>(written)) : std::wstring();
}

int TruncatePercent(float value) {
    // A float outside the int range (or not a number) has no int value: an
    // engine that answers such a thing must not make the cast undefined.
    if (std::isnan(value)) return 0;
    if (value >= 2147483648.0f) return INT_MAX;
    if (value < -2147483648.0f) return INT_MIN;
    return static_cast<int>(value);
}

LoadingProgress::LoadingProgress(LoadingClock& clock, EngineModule& engine)
    : clock_(clock), engine_(engine) {}

void LoadingProgress::Start() {
    state_ = kWaitingForModule;
    base_ = 0;
    startTicks_ = clock_.Ticks();
}

void LoadingProgress::Stop() {
    state_ = kEnded;
    progressKnown_ = false;
    if (loaded_) {
        engine_.Release();
        loaded_ = false;
    }
}

void LoadingProgress::WaitingDisplay(uint32_t elapsed, LoadingTick& tick) {
    const uint32_t seconds = elapsed / 1000;
    base_ = seconds > kLoadingWaitingCap ? kLoadingWaitingCap : static_cast<float>(seconds);
    tick.display = true;
    tick.text = LoadingPercentText(base_);
    tick.value = TruncatePercent(base_);
    if (elapsed > kLoadingEngineStartMs) {
        QLogger::LogW(QLOG_ERROR, L"Too slow to download loaderQM.dll(%ds), End Loading UI",
                      static_cast<int>(kLoadingEngineStartMs / 1000));
        Stop();
        tick.ended = true;
    }
}

void LoadingProgress::EngineDisplay(LoadingTick& tick) {
    float progress = engine_.Progress();
    // An engine that answers not-a-number has nothing better to tell: it has
    // begun (see the waiting state) and is taken as done, so the player is
    // not left waiting for the overall limit behind a bar reading "nan%".
    if (std::isnan(progress)) progress = 1;
    const float shown = base_ + (100 - base_) * progress;
    tick.display = true;
    tick.text = LoadingPercentText(shown);
    tick.value = TruncatePercent(shown);
    if (progress >= 1) {
        QLogger::LogW(QLOG_NORMAL, L"100%% for whole init, End Loading UI");
        Stop();
        tick.ended = true;
    }
}

LoadingTick LoadingProgress::Poll() {
    LoadingTick tick;
    const uint32_t elapsed = clock_.Ticks() - startTicks_;  // wraps like the counter

    if (state_ == kWaitingForModule) {
        if (!loaded_) loaded_ = engine_.Load();
        if (loaded_) {
            if (!engine_.FindProgress()) {
                QLogger::LogW(QLOG_ERROR, L"Failed to GetProcAddress: %ls, End Loading UI",
                              kExportName);
                Stop();
                tick.ended = true;
                return tick;
            }
            progressKnown_ = true;
            state_ = kWaitingForEngine;
        } else if (elapsed > kLoadingModuleWaitMs) {
            QLogger::LogW(QLOG_ERROR, L"Too slow to download %ls(%ds), End Loading UI",
                          kModuleName, static_cast<int>(kLoadingModuleWaitMs / 1000));
            Stop();
            tick.ended = true;
            return tick;
        } else {
            WaitingDisplay(elapsed, tick);
        }
    }

    if (state_ == kWaitingForEngine) {
        const float progress = progressKnown_ ? engine_.Progress() : 0;
        // Not-a-number counts as begun: it is not "0 or less".
        if (progress > 0 || std::isnan(progress)) {
            state_ = kEngineLoading;
            // The next poll shows the engine's share; this one shows nothing new.
        } else {
            WaitingDisplay(elapsed, tick);
        }
    } else if (state_ == kEngineLoading) {
        EngineDisplay(tick);
    }

    if (state_ != kEnded && elapsed > kLoadingOverallMs) {
        QLogger::LogW(QLOG_ALERT, L"timeout(%ds) for whole init, End Loading UI",
                      static_cast<int>(kLoadingOverallMs / 1000));
        Stop();
        tick.ended = true;
    }
    return tick;
}
