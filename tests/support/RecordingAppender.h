// A log appender for tests: keeps every line laid out by its layout (and,
// when asked, the records themselves) in the caller's vectors.
#pragma once

#include <string>
#include <vector>

#include "common/qlogger/QLogger.h"

namespace testsupport {

class RecordingAppender : public QLoggerAppender {
public:
    explicit RecordingAppender(std::vector<std::string>* lines, const std::string& layout = "%t|%m",
                               std::vector<QLogRecord>* records = nullptr)
        : QLoggerAppender(layout, "test"), lines_(lines), records_(records) {}

    void Append(const QLogRecord& record) override {
        Utility::UT_AutoLock hold(lock_);
        if (records_) records_->push_back(record);
        lines_->push_back(FormatRecord(record));
    }

private:
    std::vector<std::string>* lines_;
    std::vector<QLogRecord>* records_;
};

}  // namespace testsupport
