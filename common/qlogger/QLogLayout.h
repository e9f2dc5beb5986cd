// Pure parts of the log facility: how a layout turns into a line, and which
// log files are old. No platform calls; unit-tested natively.
#pragma once

#include <cstdint>
#include <string>

struct QLogLineFields {
    // Local time when the line is formatted.
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    uint32_t threadId = 0;
    uint32_t elapsedMs = 0;
    std::string category;
    int32_t line = 0;
    std::string file;
    std::string levelName;
    std::string message;
};

// Replaces %d, %tid, %r, %c, %i, %f, %t, %m and %n in that order. Each pass
// replaces every occurrence in the text left by the passes before it and
// resumes scanning after what it inserted, so a message may carry "%d"
// unchanged but its "%n" becomes a line break.
std::string FormatLogLayout(const std::string& layout, const QLogLineFields& fields);

// Replaces every occurrence of |token| in |text| with |value|, scanning from
// the left and resuming after each inserted value.
void ReplaceAllTokens(std::string& text, const std::string& token, const std::string& value);

// 24 hours in FILETIME units (100 ns).
constexpr int64_t kOldLogAge = 864000000000LL;

// True when a log last written at |lastWrite| is old at |now| (both FILETIME
// values). A file stamped in the future is not old.
bool IsOldLogFile(uint64_t now, uint64_t lastWrite);

// The folder part of a search pattern, up to and including whichever of '\'
// and '/' comes last ("log/" for "log/launcher*.log"); empty when none.
std::string LogFolderPrefix(const std::string& pattern);
std::wstring LogFolderPrefix(const std::wstring& pattern);

// Joins prefix and file name, cut to fit a MAX_PATH (260) buffer.
std::wstring OldLogPath(const std::wstring& prefix, const std::wstring& name);
