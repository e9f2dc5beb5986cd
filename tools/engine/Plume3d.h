// "plume3d.lod", the stand-in game engine module of the local world: a DLL
// whose progress export "_PlumeProgress" (no arguments, returns float, the
// platform's C calling convention) follows a curve that a test chooses.
// The launcher's loading window loads it by name and polls the export; the
// plug-in control loads it from its own folder when a page creates it.
//
// Choosing the curve (first match wins):
//   1. a file "plume3d.timeline" next to the module, holding one timeline
//      text. It is looked at on every call: when it appears, changes or goes
//      away the new choice takes effect at once, with its clock and call
//      count starting over. So a test can hold the engine at 0.5 and later
//      write "hold:1" to finish loading.
//   2. the environment variable PLUME3D_TIMELINE, read when the module is
//      loaded (a launcher passes its environment to the processes it starts).
//   3. otherwise "rise:4".
// The clock of a choice starts when it takes effect (the module's load for
// 2 and 3). Timeline texts (engine::Timeline::Parse has the grammar):
//   never        -1 for ever: the engine never begins to load
//   zero         0 for ever: begun, stays at 0
//   rise:N       0 to 1 over N seconds, then 1 (loading complete)
//   stick        0.99 for ever
//   hold:V       V for ever
//   0:0,5:0,9:1  seconds:value points, linear in between
//   calls:0,0.5,1  one value per call of "_PlumeProgress", then the last
// A text that does not parse makes the engine answer -1 (never starts) and
// writes the reason to the debugger output ("plume3d: bad timeline ...").
//
// Exports, both thread-safe:
//   float _PlumeProgress(void)      the fraction; counts as a call
//   float PlumeProgressPeek(void)   the same without counting, for the
//                                   plug-in's own display, so that a
//                                   "calls:" curve belongs to the caller
//                                   that a test drives
#pragma once

extern "C" {
typedef float (*PlumeProgressFunction)(void);
}

inline constexpr const char* kPlumeProgressExport = "_PlumeProgress";
inline constexpr const char* kPlumeProgressPeekExport = "PlumeProgressPeek";
inline constexpr const wchar_t* kPlumeEngineFileName = L"plume3d.lod";
inline constexpr const wchar_t* kPlumeTimelineFileName = L"plume3d.timeline";
inline constexpr const wchar_t* kPlumeTimelineVariable = L"PLUME3D_TIMELINE";
