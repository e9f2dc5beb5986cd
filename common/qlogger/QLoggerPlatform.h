// What the log facility needs from the operating system. One implementation
// per platform: QLoggerPlatform_win.cpp (the product) and
// QLoggerPlatform_posix.cpp (native builds of the portable core).
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <string>

namespace qlogger_platform {

struct LocalTime {
    int year, month, day, hour, minute, second;
};

LocalTime CurrentLocalTime();
uint32_t CurrentThreadId();
uint32_t TickCount();

// vswprintf with the Windows meaning of %s in wide formats (a wide string).
// Returns the characters written; a message longer than size - 1 is cut and
// the buffer is always terminated.
void FormatWide(wchar_t* buffer, size_t size, const wchar_t* format, va_list args);

// Wide text to the ANSI code page; characters it lacks become its default.
std::string WideToAnsi(const wchar_t* text);

// Opens |path| for appending (created when missing, sharing that denies
// nothing), writes |line|, flushes and closes. False when it cannot open.
bool AppendLineToFile(const std::string& path, const std::string& line);

void DebugOutput(const std::string& line);

void CreateLogDirectory();
void DeleteFileQuietly(const std::string& path);

// Deletes old files matching |pattern| (see IsOldLogFile).
void RemoveOldLogFiles(const wchar_t* pattern);

// Runs |fn| at process exit.
void AtExit(void (*fn)());

}  // namespace qlogger_platform
