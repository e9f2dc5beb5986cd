// What the start-up benchmark reads from a program that has just painted
// its first window: milliseconds since the process was created, and its
// private bytes now and at their peak, then any |extra| "name=value" fields
// of the program's own. Written as one line to a file.
#pragma once

#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <string>

namespace testsupport {

inline bool WriteFirstPaintReport(const std::wstring& path, const std::string& extra = "") {
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return false;
    FILETIME now{};
    GetSystemTimePreciseAsFileTime(&now);
    auto ticks = [](const FILETIME& t) {
        return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    const double ms = static_cast<double>(ticks(now) - ticks(created)) / 10000.0;
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof(memory);
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                         sizeof(memory));
    FILE* file = _wfopen(path.c_str(), L"w");
    if (!file) return false;
    std::fprintf(file, "first_paint_ms=%.3f private_bytes=%llu peak_private_bytes=%llu %s\n", ms,
                 // PagefileUsage is the commit charge, which Windows reports as private
                 // bytes; Wine fills it where it leaves PrivateUsage at 0.
                 static_cast<unsigned long long>(memory.PagefileUsage),
                 static_cast<unsigned long long>(memory.PeakPagefileUsage), extra.c_str());
    return std::fclose(file) == 0;
}

}  // namespace testsupport
