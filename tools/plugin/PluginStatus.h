// What the plug-in shows while the game starts, from the engine's state: a
// caption, and the bar's filled share when there is a bar. Portable so that
// the odd fractions an engine may report are tested natively.
#pragma once

#include <string>

namespace plugin {

struct PluginStatus {
    std::wstring caption;
    bool showBar = false;
    float share = 0;  // 0..1 of the bar, when shown
    int percent = 0;  // the whole percent printed in the caption
    bool ready = false;
};

// |engineLoaded| false: the engine module was not found beside the control.
// |progress| as the engine's export reports it: 0 or less before loading,
// a fraction while loading, 1 or more when done; not-a-number counts as done
// (nothing better can be shown, and the loading window treats it so too).
PluginStatus StatusFor(bool engineLoaded, float progress);

}  // namespace plugin
