#include "common/qlogger/QLogger.h"

#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <shared_mutex>

#include "common/qlogger/QLogLayout.h"
#include "common/qlogger/QLoggerPlatform.h"

namespace {

constexpr size_t kMessageBuffer = 1024;
constexpr const wchar_t* kOldLogPattern = L"log/launcher*.log";

const char* const kLevelNames[4] = {"Normal ", "Warning", "Error  ", "Alert  "};

// Created at first use; its destruction is QLogger::Shutdown's job, so the
// object itself is never destroyed (log calls from other static destructors
// then find an empty list instead of a dead one).
//
// Any thread may log at any time, also a download worker that was left to
// end alone while the process shuts the facility down: the list is walked
// under a shared lock and changed under an exclusive one, so a late line is
// either written by a live appender or dropped, never handed to a dead one.
struct LoggerState {
    std::shared_mutex listMutex;
    std::list<std::unique_ptr<QLoggerAppender>> appenders;  // under listMutex
    uint32_t startTicks = qlogger_platform::TickCount();
};

LoggerState& State() {
    static LoggerState* state = [] {
        auto* created = new LoggerState;
        qlogger_platform::AtExit(&QLogger::Shutdown);
        return created;
    }();
    return *state;
}

// The record's file and line are those of the facility's own call, one per
// entry point, as readers of older logs expect.
void Dispatch(std::string message, int32_t line, int32_t level) {
    const QLogRecord record{std::move(message), __FILE__, line, level};
    LoggerState& state = State();
    std::shared_lock<std::shared_mutex> hold(state.listMutex);
    for (auto& appender : state.appenders) appender->Append(record);
}

}  // namespace

const char* QLogLevelName(int32_t level) {
    return (level >= 0 && level < 4) ? kLevelNames[level] : "       ";
}

QLoggerAppender::QLoggerAppender(const std::string& layout, const std::string& category)
    : layout_(layout.empty() ? kDefaultLayout : layout), category_(category) {}

QLoggerAppender::~QLoggerAppender() = default;

std::string QLoggerAppender::FormatRecord(const QLogRecord& record) const {
    const auto now = qlogger_platform::CurrentLocalTime();
    QLogLineFields fields;
    fields.year = now.year;
    fields.month = now.month;
    fields.day = now.day;
    fields.hour = now.hour;
    fields.minute = now.minute;
    fields.second = now.second;
    fields.threadId = qlogger_platform::CurrentThreadId();
    fields.elapsedMs = QLogger::ElapsedMilliseconds();
    fields.category = category_;
    fields.line = record.line;
    fields.file = record.file ? record.file : "";
    fields.levelName = QLogLevelName(record.level);
    fields.message = record.message;
    return FormatLogLayout(layout_, fields);
}

QLoggerFileAppender::QLoggerFileAppender(const std::string& layout, const std::string& category,
                                         const std::string& path)
    : QLoggerAppender(layout, category), path_(path) {}

void QLoggerFileAppender::Append(const QLogRecord& record) {
    Utility::UT_AutoLock hold(lock_);
    // Formatting happens under the lock too: the time stamp then never goes
    // backwards from one line of the file to the next.
    const std::string line = FormatRecord(record);
    if (!qlogger_platform::AppendLineToFile(path_, line)) return;
    qlogger_platform::DebugOutput(line);
}

QLoggerAppender* QLogger::AddFileAppender(const std::string& path, const std::string& layout,
                                          const std::string& category) {
    State();
    qlogger_platform::CreateLogDirectory();
    RemoveOldLogs();
    qlogger_platform::DeleteFileQuietly(path);
    return AddAppender(std::make_unique<QLoggerFileAppender>(layout, category, path));
}

QLoggerAppender* QLogger::AddAppender(std::unique_ptr<QLoggerAppender> appender) {
    LoggerState& state = State();
    std::lock_guard<std::shared_mutex> hold(state.listMutex);
    state.appenders.push_back(std::move(appender));
    return state.appenders.back().get();
}

void QLogger::Log(int32_t level, const char* format, ...) {
    char buffer[kMessageBuffer];
    va_list args;
    va_start(args, format);
    const int written = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (written < 0) buffer[0] = '\0';
    Dispatch(buffer, __LINE__, level);
}

void QLogger::LogW(int32_t level, const wchar_t* format, ...) {
    wchar_t buffer[kMessageBuffer];
    va_list args;
    va_start(args, format);
    qlogger_platform::FormatWide(buffer, kMessageBuffer, format, args);
    va_end(args);
    Dispatch(qlogger_platform::WideToAnsi(buffer), __LINE__, level);
}

void QLogger::RemoveOldLogs() { qlogger_platform::RemoveOldLogFiles(kOldLogPattern); }

void QLogger::Shutdown() {
    LoggerState& state = State();
    std::list<std::unique_ptr<QLoggerAppender>> gone;
    {
        // Waits for lines being written; later ones find the list empty.
        std::lock_guard<std::shared_mutex> hold(state.listMutex);
        gone.swap(state.appenders);
    }
    while (!gone.empty()) gone.pop_front();
}

uint32_t QLogger::ElapsedMilliseconds() {
    return qlogger_platform::TickCount() - State().startTicks;
}
