// HttpClient's attempt logic over scripted transports: what the receiver is
// told, when an attempt is retried, what content and files hold afterwards,
// and how Start and Stop treat a running worker.
#include "update/HttpClient.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "update/FakeHttpTransport.h"
#include "update/RecordingHttpCallback.h"

namespace {

using testsupport::FakeAttempt;
using testsupport::FakeDownloadFileSystem;
using testsupport::FakeHttpTransport;
using testsupport::RecordingHttpCallback;

constexpr uint32_t kWaitMs = 10000;

std::string Bytes(size_t size, char fill) {
    return std::string(size, fill);
}

FakeAttempt Body(std::vector<std::string> blocks, std::optional<uint32_t> length) {
    FakeAttempt attempt;
    attempt.blocks = std::move(blocks);
    attempt.contentLength = length;
    return attempt;
}

class HttpClientTest : public testing::Test {
protected:
    void Use(std::vector<FakeAttempt> script) {
        transport_ = std::make_shared<FakeHttpTransport>(std::move(script));
        files_ = std::make_shared<FakeDownloadFileSystem>();
        client_ = std::make_unique<HttpClient>(transport_, files_);
        client_->SetCallback(&callback_);
        client_->SetUrl(L"http://res.torvessa.example/launcher2/launcher.ver");
        client_->SetTag(7);
        callback_.Expect(client_.get(), 7);
    }

    void Run(uint32_t retries) {
        client_->SetRetryCount(retries);
        ASSERT_TRUE(client_->Start());
        ASSERT_TRUE(client_->WaitIdle(kWaitMs));
    }

    RecordingHttpCallback callback_;
    std::shared_ptr<FakeHttpTransport> transport_;
    std::shared_ptr<FakeDownloadFileSystem> files_;
    std::unique_ptr<HttpClient> client_;
};

TEST_F(HttpClientTest, OneAttemptInTheRequestForm) {
    Use({Body({Bytes(8192, 'a'), Bytes(8192, 'b'), Bytes(3616, 'c')}, 20000)});
    Run(3);
    EXPECT_EQ(callback_.Trace(), "start length=20000 data end=1");
    EXPECT_EQ(callback_.DataCalls(), 3);
    EXPECT_EQ(client_->GetContent(), Bytes(8192, 'a') + Bytes(8192, 'b') + Bytes(3616, 'c'));

    auto& seen = transport_->shared();
    ASSERT_EQ(seen.agents.size(), 1u);
    EXPECT_EQ(seen.agents[0], L"Launcher");
    EXPECT_EQ(seen.urls[0], L"http://res.torvessa.example/launcher2/launcher.ver");
    // The request headers reach the server: HttpClient_win_test.cpp.
    ASSERT_EQ(seen.timeouts.size(), 1u);
    EXPECT_EQ(seen.timeouts[0].connectMs, 2000u);
    EXPECT_EQ(seen.timeouts[0].sendMs, 2000u);
    EXPECT_EQ(seen.timeouts[0].receiveMs, 2000u);
    EXPECT_EQ(seen.timeouts[0].dataSendMs, 0xFFFFFFFFu);
    EXPECT_EQ(seen.timeouts[0].dataReceiveMs, 0xFFFFFFFFu);
}

// Each row: the transport's script, the attempts allowed, the trace expected.
struct FailureCase {
    const char* name;
    std::vector<FakeAttempt> script;
    uint32_t retries;
    std::string trace;
};

FakeAttempt Failing(bool FakeAttempt::*what) {
    FakeAttempt attempt;
    attempt.*what = true;
    return attempt;
}

FakeAttempt WithStatus(std::optional<std::wstring> status) {
    FakeAttempt attempt;
    attempt.status = std::move(status);
    return attempt;
}

FakeAttempt ReadFailsAfter(std::vector<std::string> blocks, std::optional<uint32_t> length) {
    FakeAttempt attempt = Body(std::move(blocks), length);
    attempt.readFailsAfterBlocks = true;
    return attempt;
}

std::vector<FailureCase> FailureCases() {
    const std::string ok = "start length=3 data end=1";
    return {
        {"no session, never reported as an error",
         {Failing(&FakeAttempt::sessionFails)},
         3,
         "start end=0 start end=0 start end=0"},
        {"open fails, then succeeds",
         {Failing(&FakeAttempt::openFails), Body({"abc"}, 3)},
         3,
         "start error=InternetOpenUrl end=0 " + ok},
        {"status query fails",
         {WithStatus(std::nullopt)},
         2,
         "start error=HttpQueryInfo end=0 start error=HttpQueryInfo end=0"},
        {"404", {WithStatus(L"404")}, 1, "start error=HttpQueryInfo end=0"},
        {"status must be exactly 200",
         {WithStatus(L"2000"), WithStatus(L"20 "), Body({"abc"}, 3)},
         3,
         "start error=HttpQueryInfo end=0 start error=HttpQueryInfo end=0 " + ok},
        {"no Content-Length: the end of data is believed",
         {Body({"ab", "c"}, std::nullopt)},
         3,
         "start length=none data end=1"},
        {"Content-Length 0: no data, no success, no retry",
         {Body({}, 0)},
         3,
         "start length=0 end=0"},
        {"read fails midway",
         {ReadFailsAfter({"ab"}, 3), Body({"abc"}, 3)},
         3,
         "start length=3 data error=InternetReadFile end=0 " + ok},
        {"read fails after every announced byte: still a broken attempt",
         {ReadFailsAfter({"abc"}, 3), Body({"abc"}, 3)},
         3,
         "start length=3 data error=InternetReadFile end=0 " + ok},
        {"read fails without Content-Length: no success either",
         {ReadFailsAfter({"ab"}, std::nullopt)},
         1,
         "start length=none data error=InternetReadFile end=0"},
        {"body ends short of its length",
         {Body({"ab"}, 3), Body({"abc"}, 3)},
         3,
         "start length=3 data error=InternetReadFile end=0 " + ok},
        {"body longer than announced", {Body({"abcd"}, 3)}, 3, "start length=3 data end=0"},
        {"no attempt at all", {Body({"abc"}, 3)}, 0, ""},
    };
}

TEST_F(HttpClientTest, FailureTable) {
    for (const FailureCase& row : FailureCases()) {
        SCOPED_TRACE(row.name);
        RecordingHttpCallback callback;
        Use(row.script);
        client_->SetCallback(&callback);
        callback.Expect(client_.get(), 7);
        Run(row.retries);
        EXPECT_EQ(callback.Trace(), row.trace);
        EXPECT_EQ(transport_->shared().agents.size(), static_cast<size_t>(callback.Ends()));
    }
}

TEST_F(HttpClientTest, ContentHoldsOnlyTheLastAttempt) {
    Use({ReadFailsAfter({"first-", "attempt"}, 20), Body({"second"}, 6)});
    Run(3);
    EXPECT_EQ(callback_.Trace(),
              "start length=20 data error=InternetReadFile end=0 start length=6 data end=1");
    EXPECT_EQ(client_->GetContent(), "second");
    EXPECT_EQ(callback_.AttemptBytes(), "second");

    // A later run starts from nothing too.
    client_->SetUrl(L"http://res.torvessa.example/other");
    Run(1);
    EXPECT_EQ(client_->GetContent(), "second");  // the script's last attempt repeats
    EXPECT_EQ(transport_->shared().urls.back(), L"http://res.torvessa.example/other");
}

TEST_F(HttpClientTest, FileMode) {
    const std::wstring path = L"C:\\game\\launcherqamb.exe.lzma";
    Use({ReadFailsAfter({"stale-bytes"}, 100), Body({"pack", "age"}, 7)});
    files_->files[path] = "an old package";
    client_->SetFilePath(path);
    Run(3);
    EXPECT_EQ(callback_.Trace(),
              "start length=100 data error=InternetReadFile end=0 start length=7 data end=1");
    EXPECT_EQ(files_->files[path], "package");
    EXPECT_EQ(files_->recreations, 2);
    EXPECT_TRUE(client_->GetContent().empty());
}

TEST_F(HttpClientTest, FailedWriteFailsTheAttemptSilentlyAndRetries) {
    const std::wstring path = L"C:\\full-disk\\launcherqamb.exe.lzma";
    Use({Body({"abc", "def"}, 6)});
    files_->writeLimit = 4;
    client_->SetFilePath(path);
    Run(2);
    EXPECT_EQ(
        callback_.Trace(),
        "start length=6 data end=0 start length=6 data end=0");
}

TEST_F(HttpClientTest, StartRefusals) {
    FakeAttempt blocking = Body({"abc"}, 10);
    blocking.blockAfterBlocks = true;
    Use({blocking, Body({"xyz"}, 3)});
    client_->SetUrl(L"");
    EXPECT_FALSE(client_->Start());
    EXPECT_FALSE(client_->IsRunning());
    EXPECT_TRUE(transport_->shared().agents.empty());

    client_->SetUrl(L"http://res.torvessa.example/slow");
    ASSERT_TRUE(client_->Start());
    ASSERT_TRUE(transport_->WaitUntilBlocked(kWaitMs));
    EXPECT_TRUE(client_->IsRunning());
    EXPECT_FALSE(client_->Start());  // refused, and the running transfer goes on
    EXPECT_EQ(transport_->shared().agents.size(), 1u);
    EXPECT_EQ(transport_->shared().aborts, 0);
    client_->Stop();
    EXPECT_FALSE(client_->IsRunning());

    // Idle again: a new start with new settings runs.
    RecordingHttpCallback next;
    next.Expect(client_.get(), 8);
    client_->SetCallback(&next);
    client_->SetTag(8);
    Run(1);
    EXPECT_EQ(next.Trace(), "start length=3 data end=1");
    EXPECT_EQ(client_->GetContent(), "xyz");
}

// A receiver that reacts to the end of the first download by starting the
// next one, as the self-update does with its package.
class ChainingReceiver : public HttpClientCallback {
public:
    HttpClient* client = nullptr;
    std::atomic<int> refusedStarts{0};
    void OnEnd(HttpClient*, uint32_t, uint32_t) override {
        if (!client->Start()) ++refusedStarts;
    }
};

TEST_F(HttpClientTest, StartFromTheLastOnEndIsRefused) {
    Use({Body({"abc"}, 3)});
    ChainingReceiver receiver;
    receiver.client = client_.get();
    client_->SetCallback(&receiver);
    Run(1);
    EXPECT_EQ(receiver.refusedStarts, 1);
    EXPECT_FALSE(client_->IsRunning());
}

// Stop, or the owner destroying a running client: the blocked read is
// aborted and the worker joined before they return; the failed read is
// neither reported nor retried.
TEST_F(HttpClientTest, StopOrDestructionBreaksABlockedReadAndSilencesTheWorker) {
    for (bool destroy : {false, true}) {
        SCOPED_TRACE(destroy ? "destroyed" : "stopped");
        FakeAttempt blocking = Body({"abc"}, 10);
        blocking.blockAfterBlocks = true;
        RecordingHttpCallback callback;
        Use({blocking});
        client_->SetCallback(&callback);
        callback.Expect(client_.get(), 7);
        client_->SetRetryCount(3);
        ASSERT_TRUE(client_->Start());
        ASSERT_TRUE(transport_->WaitUntilBlocked(kWaitMs));
        if (destroy) {
            client_.reset();
        } else {
            client_->Stop();
            EXPECT_FALSE(client_->IsRunning());
        }
        callback.MarkStopped();
        EXPECT_EQ(transport_->shared().aborts, 1);
        EXPECT_EQ(callback.Trace(), "start length=10 data");
        EXPECT_EQ(transport_->shared().agents.size(), 1u);
    }
}

// Stops its own client from inside a notification (an owner tearing down
// while its worker reports).
class StoppingReceiver : public HttpClientCallback {
public:
    HttpClient* client = nullptr;
    std::atomic<int> calls{0};
    void OnStart(HttpClient*, uint32_t) override { ++calls; }
    void OnContentLength(HttpClient*, uint32_t, uint32_t) override {
        ++calls;
        client->Stop();
    }
    void OnData(HttpClient*, uint32_t, const uint8_t*, uint32_t, uint32_t, uint32_t) override {
        ++calls;
    }
    void OnEnd(HttpClient*, uint32_t, uint32_t) override { ++calls; }
};

TEST_F(HttpClientTest, StopFromInsideANotification) {
    Use({Body({"abc"}, 3)});
    StoppingReceiver receiver;
    receiver.client = client_.get();
    client_->SetCallback(&receiver);
    client_->SetRetryCount(3);
    ASSERT_TRUE(client_->Start());
    ASSERT_TRUE(client_->WaitIdle(kWaitMs));
    EXPECT_EQ(receiver.calls, 2);  // OnStart and OnContentLength, nothing after
}

}  // namespace

// What an owner that acts only on a download's real end sees inside OnEnd:
// one letter per attempt, R for an attempt that will be retried, F for the
// final one.
class FinalityCallback : public HttpClientCallback {
public:
    void OnEnd(HttpClient* client, uint32_t, uint32_t success) override {
        std::lock_guard<std::mutex> lock(mutex_);
        trace_ += client->IsFinalAttempt() ? 'F' : 'R';
        trace_ += success ? '1' : '0';
    }
    std::string Trace() {
        std::lock_guard<std::mutex> lock(mutex_);
        return trace_;
    }

private:
    std::mutex mutex_;
    std::string trace_;
};

TEST_F(HttpClientTest, OnEndTellsWhetherAnotherAttemptFollows) {
    FakeAttempt refused;
    refused.status = std::wstring(L"503");
    const struct {
        const char* name;
        std::vector<FakeAttempt> script;
        uint32_t retries;
        bool uncreatable;
        const char* trace;
    } rows[] = {
        {"every attempt fails", {refused}, 3, false, "R0R0F0"},
        {"a retry succeeds", {refused, Body({"ok"}, 2)}, 3, false, "R0F1"},
        {"the first succeeds", {Body({"ok"}, 2)}, 3, false, "F1"},
        {"a single attempt fails", {refused}, 1, false, "F0"},
        {"an uncreatable file is not retried", {Body({"ok"}, 2)}, 3, true, "F0"},
        {"a short body is retried", {Body({"o"}, 2), Body({"ok"}, 2)}, 3, false, "R0F1"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        FinalityCallback callback;
        Use(row.script);
        client_->SetCallback(&callback);
        if (row.uncreatable) {
            files_->uncreatable.push_back(L"C:\\x\\p");
            client_->SetFilePath(L"C:\\x\\p");
        }
        Run(row.retries);
        EXPECT_EQ(callback.Trace(), row.trace);
    }
}
