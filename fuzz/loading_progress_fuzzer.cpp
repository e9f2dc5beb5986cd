// What the loading window takes from the game's engine: whatever its
// progress export answers, at whatever poll times. The input is a script
// of polls: each takes 5 bytes, a gap in milliseconds (one byte, times
// eight) and the engine's answer (4 bytes, a float of any bit pattern);
// a first byte decides when the module turns up. The loading must end by
// the overall limit, never show a text without its percent sign, never
// move once ended, and answer odd floats without undefined behaviour.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "update/LoadingProgress.h"

namespace {

struct Clock : LoadingClock {
    uint32_t Ticks() override { return now; }
    uint32_t now = 0;
};

struct Engine : EngineModule {
    bool Load() override { return appears && clock->now >= appearsAt; }
    bool FindProgress() override { return hasExport; }
    float Progress() override { return answer; }
    void Release() override {}
    const Clock* clock = nullptr;
    bool appears = true;
    bool hasExport = true;
    uint32_t appearsAt = 0;
    float answer = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    Clock clock;
    clock.now = 0xFFFFF000u;  // the counter wraps during the run
    Engine engine;
    engine.clock = &clock;
    engine.appears = (data[0] & 0x80) == 0;
    engine.hasExport = (data[0] & 0x40) == 0;
    engine.appearsAt = clock.now + (data[0] & 0x3F) * 250u;
    LoadingProgress progress(clock, engine);
    progress.Start();
    const uint32_t start = clock.now;
    bool ended = false;
    for (size_t i = 1; i + 5 <= size; i += 5) {
        clock.now += data[i] * 8u;
        std::memcpy(&engine.answer, data + i + 1, sizeof engine.answer);
        const LoadingTick tick = progress.Poll();
        if (ended && (tick.display || tick.ended)) std::abort();
        if (tick.display && (tick.text.empty() || tick.text.back() != L'%')) std::abort();
        if (tick.ended != (progress.state() == LoadingProgress::kEnded) && !ended) std::abort();
        ended = ended || tick.ended;
        if (!ended && clock.now - start > kLoadingOverallMs) std::abort();
    }
    return 0;
}
