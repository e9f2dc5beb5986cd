// The launcher's log as start-up opens it, for the test hosts that stand in
// for start-up: "log/launcher_tavro_<pid>.log" in the working folder, the
// launcher's layout, the first two lines.
#pragma once

#include <windows.h>

#include <cstdio>

#include "common/qlogger/QLogger.h"

namespace testsupport {

inline void OpenHostLog(const wchar_t* commandLine) {
    char logPath[MAX_PATH];
    std::snprintf(logPath, sizeof logPath, "log/launcher_tavro_%d.log",
                  static_cast<int>(GetCurrentProcessId()));
    QLogger::AddFileAppender(logPath, "%d - {%tid}{%c}{%t} - %m%n", "file");
    QLogger::LogW(QLOG_NORMAL, L"Launcher initialized");
    QLogger::LogW(QLOG_NORMAL, L"cmdline: %ls", commandLine);
}

}  // namespace testsupport
