// The stand-in engine's timeline text, which tests write into a file or an
// environment variable: any bytes either parse into a curve whose answers
// are finite and within the stated bounds, or fail with a reason.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "tools/engine/EngineTimeline.h"

namespace {
void Check(bool condition) {
    if (!condition) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    engine::Timeline timeline;
    std::string error;
    if (!engine::Timeline::Parse(text, timeline, error)) {
        Check(!error.empty());
        return 0;
    }
    Check(error.empty());
    for (double seconds : {-1.0, 0.0, 0.5, 3.0, 1e3, 2e6}) {
        for (uint64_t call : {uint64_t{0}, uint64_t{1}, uint64_t{5000}}) {
            const float value = timeline.ProgressAt(seconds, call);
            Check(std::isfinite(value) && std::fabs(value) <= 10);
        }
    }
    return 0;
}
