// The progress curve of the stand-in game engine "plume3d.lod": what its
// "_PlumeProgress" export answers at a given moment. Tests choose the curve
// with a short text (see the engine's header, Plume3d.h, for where that
// text comes from); this part only parses and evaluates it, so that it can
// be tested natively and fuzzed.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace engine {

// One curve. Evaluation needs the seconds since the curve took effect and,
// for "calls:" curves, the number of earlier calls.
class Timeline {
public:
    // The text forms, blanks around items ignored, case-sensitive:
    //   never          -1 for ever: the engine never begins to load
    //   zero           0 for ever: begun, never moves
    //   stick          0.99 for ever: almost there, never done
    //   hold:V         V for ever
    //   rise:N         0 at the start, linearly to 1 at N seconds, then 1
    //   T:V,T:V,...    points (seconds:value), T not decreasing; linear in
    //                  between, the first value before, the last after
    //   calls:V,V,...  the n-th call answers the n-th value, later calls the
    //                  last
    // Numbers are decimal (digits, one optional point, a leading "-" for
    // values); times lie within [0, 1e6] seconds, values within [-10, 10].
    static bool Parse(std::string_view text, Timeline& out, std::string& error);

    float ProgressAt(double seconds, uint64_t call) const;

    // The curve a module without any choice follows: "rise:4".
    static Timeline Default();

private:
    struct Point {
        double time;
        float value;
    };
    bool perCall_ = false;
    std::vector<Point> points_;  // per call: time holds the call's index
};

}  // namespace engine
