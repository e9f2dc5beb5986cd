// The launcher's one logging facility. Any thread may log, at any time: each
// appender serialises its own lines, and a line that comes after
// QLogger::Shutdown (a worker still ending at exit) is dropped. Appenders
// are added at set-up and owned by the facility until QLogger::Shutdown.
#pragma once

#include <cstdint>
#include <list>
#include <memory>
#include <string>

#include "common/Utility/UT_Lock.h"

enum QLogLevel : int32_t {
    QLOG_NORMAL = 0,
    QLOG_WARNING = 1,
    QLOG_ERROR = 2,
    QLOG_ALERT = 3,
};

struct QLogRecord {
    std::string message;  // ANSI code page
    const char* file;     // the facility's own source file
    int32_t line;         // the facility's own log call
    int32_t level;
};

// Base of all appenders: a layout pattern, a category and a lock that the
// derived Append holds around everything it does for one line.
class QLoggerAppender {
public:
    QLoggerAppender(const QLoggerAppender&) = delete;
    QLoggerAppender& operator=(const QLoggerAppender&) = delete;

    static constexpr const char* kDefaultLayout = "%d - <%f | %i> - {%c} -- %m%n";

    QLoggerAppender(const std::string& layout, const std::string& category);
    virtual ~QLoggerAppender();

    virtual void Append(const QLogRecord& record) = 0;

    const std::string& layout() const { return layout_; }
    const std::string& category() const { return category_; }

protected:
    // The record laid out by this appender's layout, with the caller's time,
    // thread and the facility's elapsed milliseconds.
    std::string FormatRecord(const QLogRecord& record) const;

    std::string layout_;
    std::string category_;
    Utility::UT_Lock lock_;
};

// Writes every line to a file that is opened, appended to and closed per
// line (sharing denies nothing), and copies it to the debugger output.
class QLoggerFileAppender : public QLoggerAppender {
public:
    QLoggerFileAppender(const std::string& layout, const std::string& category,
                        const std::string& path);

    void Append(const QLogRecord& record) override;

    const std::string& path() const { return path_; }

private:
    std::string path_;
};

class QLogger {
public:
    // Creates "log", removes old logs, deletes |path| and adds a file appender.
    static QLoggerAppender* AddFileAppender(const std::string& path, const std::string& layout,
                                            const std::string& category);
    // Adds an appender of the caller's making (tests, tools) at the end.
    static QLoggerAppender* AddAppender(std::unique_ptr<QLoggerAppender> appender);

    static void Log(int32_t level, const char* format, ...)
#if defined(__GNUC__) && !defined(_WIN32)
        __attribute__((format(printf, 2, 3)))
#endif
        ;
    static void LogW(int32_t level, const wchar_t* format, ...);

    // Deletes "log/launcher*.log" files last written 24 hours ago or earlier.
    static void RemoveOldLogs();

    // Removes and destroys every appender. Runs at process exit; calling it
    // earlier (tests) leaves a facility that logs nowhere until set up again.
    static void Shutdown();

    // Milliseconds since the facility's state came into being (the %r field).
    static uint32_t ElapsedMilliseconds();
};

// The seven-character level name printed by %t ("Normal ", "Warning", ...).
const char* QLogLevelName(int32_t level);
