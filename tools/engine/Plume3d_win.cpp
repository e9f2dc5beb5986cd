// The stand-in engine: a timeline chosen by a file beside the module or by
// the environment, evaluated against the time since it took effect.
#include <windows.h>

#include <string>

#include "common/win/ModulePath_win.h"
#include "tools/engine/EngineTimeline.h"
#include "tools/engine/Plume3d.h"

namespace {

HMODULE g_module = nullptr;
CRITICAL_SECTION g_lock;

struct State {
    engine::Timeline timeline = engine::Timeline::Default();
    ULONGLONG startTicks = 0;
    uint64_t calls = 0;
    float last = 0;
    // What the file beside the module looked like when last read; a zero
    // write time means "no file".
    FILETIME fileTime = {};
    ULONGLONG fileSize = 0;
    engine::Timeline fallback = engine::Timeline::Default();  // the environment's or the default
};
State* g_state = nullptr;

void Report(const std::string& source, const std::string& error) {
    OutputDebugStringA(("plume3d: bad timeline in " + source + ": " + error + "\n").c_str());
}

engine::Timeline ParseOrNever(const std::string& text, const std::string& source) {
    engine::Timeline timeline;
    std::string error;
    if (engine::Timeline::Parse(text, timeline, error)) return timeline;
    Report(source, error);
    engine::Timeline::Parse("never", timeline, error);
    return timeline;
}

std::wstring TimelineFilePath() {
    return ModuleFolder(g_module) + kPlumeTimelineFileName;
}

std::string ReadSmallFile(HANDLE file) {
    std::string text;
    char buffer[4096];
    DWORD read = 0;
    while (text.size() < 65536 && ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) {
        text.append(buffer, read);
    }
    return text;
}

void Restart(State& state, engine::Timeline timeline) {
    state.timeline = std::move(timeline);
    state.startTicks = GetTickCount64();
    state.calls = 0;
}

// Takes up a new, changed or removed timeline file.
void CheckTimelineFile(State& state) {
    const std::wstring path = TimelineFilePath();
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    const bool present = GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) &&
                         !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    FILETIME time = present ? data.ftLastWriteTime : FILETIME{};
    if (present && time.dwLowDateTime == 0 && time.dwHighDateTime == 0) time.dwLowDateTime = 1;
    const ULONGLONG size = present ? (ULONGLONG(data.nFileSizeHigh) << 32) | data.nFileSizeLow : 0;
    if (CompareFileTime(&time, &state.fileTime) == 0 && size == state.fileSize) return;

    if (!present) {
        state.fileTime = {};
        state.fileSize = 0;
        Restart(state, state.fallback);
        return;
    }
    // A writer may still hold the file; try again on the next call.
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    const std::string text = ReadSmallFile(file);
    CloseHandle(file);
    state.fileTime = time;
    state.fileSize = size;
    Restart(state, ParseOrNever(text, "plume3d.timeline"));
}

float Evaluate(bool countCall) {
    EnterCriticalSection(&g_lock);
    State& state = *g_state;
    CheckTimelineFile(state);
    if (countCall || state.calls == 0) {
        const double seconds = double(GetTickCount64() - state.startTicks) / 1000.0;
        state.last = state.timeline.ProgressAt(seconds, countCall ? state.calls : 0);
        if (countCall) ++state.calls;
    } else {
        // Between calls a "calls:" curve stands at the value last answered;
        // a timed one moves on.
        const double seconds = double(GetTickCount64() - state.startTicks) / 1000.0;
        state.last = state.timeline.ProgressAt(seconds, state.calls - 1);
    }
    const float value = state.last;
    LeaveCriticalSection(&g_lock);
    return value;
}

}  // namespace

extern "C" float PlumeProgress(void) { return Evaluate(true); }

extern "C" float PlumeProgressPeek(void) { return Evaluate(false); }

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
        InitializeCriticalSection(&g_lock);
        g_state = new State;
        wchar_t value[4096];
        const DWORD length = GetEnvironmentVariableW(kPlumeTimelineVariable, value, 4096);
        if (length > 0 && length < 4096) {
            std::string text;
            for (DWORD i = 0; i < length; ++i) text += static_cast<char>(value[i] < 128 ? value[i] : '?');
            g_state->fallback = ParseOrNever(text, "PLUME3D_TIMELINE");
        }
        Restart(*g_state, g_state->fallback);
    } else if (reason == DLL_PROCESS_DETACH) {
        delete g_state;
        g_state = nullptr;
        DeleteCriticalSection(&g_lock);
    }
    return TRUE;
}
