#include "common/qlogger/QLogger.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "support/RecordingAppender.h"

namespace {

using testsupport::RecordingAppender;

class QLoggerTest : public testing::Test {
protected:
    void SetUp() override {
        QLogger::Shutdown();
        QLogger::AddAppender(std::make_unique<RecordingAppender>(&lines_, "%t|%m", &records_));
    }
    void TearDown() override { QLogger::Shutdown(); }

    std::vector<QLogRecord> records_;
    std::vector<std::string> lines_;
};

TEST_F(QLoggerTest, NarrowAndWideCallsReachEveryAppender) {
    std::vector<QLogRecord> second;
    std::vector<std::string> secondLines;
    QLogger::AddAppender(std::make_unique<RecordingAppender>(&secondLines, "", &second));

    QLogger::Log(QLOG_WARNING, "%s:%d", "UIUpdate::OnEnd", 42);
    QLogger::LogW(QLOG_ERROR, L"%ls, %ls", L"CApp::Initialize", L"failed");
    ASSERT_EQ(lines_.size(), 2u);
    EXPECT_EQ(lines_[0], "Warning|UIUpdate::OnEnd:42");
    EXPECT_EQ(lines_[1], "Error  |CApp::Initialize, failed");
    ASSERT_EQ(second.size(), 2u);

    // Each entry point carries its own line of the facility's own file.
    EXPECT_NE(records_[0].line, records_[1].line);
    EXPECT_STREQ(records_[0].file, records_[1].file);
    EXPECT_NE(std::string(records_[0].file).find("QLogger.cpp"), std::string::npos);

    // An appender given no layout uses the default one.
    EXPECT_NE(secondLines[0].find(" - <"), std::string::npos);
    EXPECT_NE(secondLines[0].find("> - {test} -- UIUpdate::OnEnd:42\r\n"), std::string::npos);
}

TEST_F(QLoggerTest, LongMessagesAreCutTo1023Characters) {
    const std::string narrow(2000, 'n');
    QLogger::Log(QLOG_NORMAL, "%s", narrow.c_str());
    const std::wstring wide(2000, L'w');
    QLogger::LogW(QLOG_NORMAL, L"%ls", wide.c_str());
    QLogger::LogW(QLOG_NORMAL, L"%ls", std::wstring(1023, L'x').c_str());
    ASSERT_EQ(records_.size(), 3u);
    EXPECT_EQ(records_[0].message, std::string(1023, 'n'));
    EXPECT_EQ(records_[1].message, std::string(1023, 'w'));
    EXPECT_EQ(records_[2].message, std::string(1023, 'x'));
}

TEST_F(QLoggerTest, MessageConversionsAreNotExpandedExceptLineBreaks) {
    QLogger::Log(QLOG_NORMAL, "%s", "100%d done %n next");
    EXPECT_EQ(lines_.back(), "Normal |100%d done \r\n next");
}

// Counts the lines it is handed into a counter that outlives it.
class CountingAppender : public QLoggerAppender {
public:
    explicit CountingAppender(std::atomic<int>* lines) : QLoggerAppender("%m", "test"), lines_(lines) {}
    void Append(const QLogRecord&) override { ++*lines_; }

private:
    std::atomic<int>* lines_;
};

// Spins until |done| or a generous bound; false when the bound was reached.
template <class Pred>
bool WaitFor(Pred done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::yield();
    }
    return true;
}

// A download worker left to end alone may still log while the process shuts
// the facility down: each of its lines is written by a live appender or
// dropped, and nothing reaches an appender that is gone.
TEST(QLoggerShutdown, AWorkerLoggingAcrossShutdownIsWrittenOrDropped) {
    QLogger::Shutdown();
    std::atomic<bool> stop{false};
    std::atomic<int> calls{0};
    std::thread worker([&] {
        while (!stop) {
            QLogger::Log(QLOG_NORMAL, "HttpClient::RunWorker, line %d", calls.load());
            ++calls;
        }
    });
    for (int round = 0; round < 50; ++round) {
        std::atomic<int> written{0};
        QLogger::AddAppender(std::make_unique<CountingAppender>(&written));
        ASSERT_TRUE(WaitFor([&] { return written.load() >= 20; }));
        QLogger::Shutdown();
        const int atShutdown = written.load();
        const int callsAtShutdown = calls.load();
        ASSERT_TRUE(WaitFor([&] { return calls.load() >= callsAtShutdown + 20; }));
        EXPECT_EQ(written.load(), atShutdown) << "a line reached an appender after Shutdown";
    }
    stop = true;
    worker.join();
}

}  // namespace
