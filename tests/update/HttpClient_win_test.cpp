// HttpClient over WinINet against the dev portal, which the test prefix's
// Internet settings name as the proxy (the devportal fixture). Requests for
// 127.0.0.1 bypass the proxy, which gives the refused-port case. The attempt
// logic itself (retries, Start's refusals, Stop) is HttpClient_test.cpp's;
// here what WinINet and real files make of it.
#include <gtest/gtest.h>
#include <windows.h>
#include <winsock2.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "LauncherConfig.h"
#include "common/qlogger/QLogger.h"
#include "support/RecordingAppender.h"
#include "support/WinTestSupport_win.h"
#include "update/HttpClient.h"
#include "update/RecordingHttpCallback.h"

namespace {

using testsupport::DevPortalFile;
using testsupport::LoggedRequests;
using testsupport::RecordingHttpCallback;

constexpr uint32_t kWaitMs = 30000;

// The dev portal's body pattern: byte i is i % 251.
std::string Pattern(size_t size) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i % 251);
    return bytes;
}

// Compares bodies without printing megabytes of binary on failure.
testing::AssertionResult SameBytes(const std::string& actual, const std::string& expected) {
    if (actual == expected) return testing::AssertionSuccess();
    size_t at = 0;
    while (at < actual.size() && at < expected.size() && actual[at] == expected[at]) ++at;
    return testing::AssertionFailure() << "got " << actual.size() << " bytes, expected "
                                       << expected.size() << "; first difference at " << at;
}

std::wstring Widen(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

// A name no other test run uses, for the dev portal's per-token faults.
std::string UniqueToken() {
    static std::atomic<int> counter{0};
    char token[64];
    std::snprintf(token, sizeof token, "t%lu-%lu-%d", GetCurrentProcessId(), GetTickCount(),
                  counter++);
    return token;
}

std::wstring FaultUrl(const std::string& route) {
    return L"http://www.torvessa.example/_fault/" + Widen(route);
}

// A loopback port that nothing listens on.
int ClosedPort() {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
    int size = sizeof address;
    getsockname(s, reinterpret_cast<sockaddr*>(&address), &size);
    closesocket(s);
    return ntohs(address.sin_port);
}

// Keeps the messages logged while a test runs.
class HttpClientWinTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(DevPortalFile("port").empty()) << "the devportal fixture is not running";
        client_.SetCallback(&callback_);
        callback_.Expect(&client_, 0);
        QLogger::Shutdown();
        QLogger::AddAppender(std::make_unique<testsupport::RecordingAppender>(&messages_, "%m"));
    }
    void TearDown() override {
        client_.Stop();
        QLogger::Shutdown();
    }

    // Starts the download and waits for its worker to end.
    void Run(const std::wstring& url, uint32_t retries = 1) {
        client_.SetUrl(url);
        client_.SetRetryCount(retries);
        ASSERT_TRUE(client_.Start());
        ASSERT_TRUE(client_.WaitIdle(kWaitMs));
    }

    std::vector<std::string> messages_;  // written by the worker: read after WaitIdle
    RecordingHttpCallback callback_;
    HttpClient client_;
};

TEST_F(HttpClientWinTest, FetchesTheVersionFileThroughTheProxyInTheRequestForm) {
    const std::string expected = testsupport::ReadFileBytes(
        testsupport::FromUnixPath(std::string(LAUNCHER_DEVPORTAL_DIR) + "/resources/launcher.ver"));
    ASSERT_FALSE(expected.empty());
    Run(L"http://" LAUNCHER_RESOURCE_HOST L"/launcher2/launcher.ver");
    EXPECT_EQ(callback_.Trace(), "start length=" + std::to_string(expected.size()) + " data end=1");
    EXPECT_TRUE(SameBytes(client_.GetContent(), expected));

    const auto logged = LoggedRequests("/launcher2/launcher.ver");
    ASSERT_FALSE(logged.empty());
    const std::string& line = logged.back();
    // Absolute form with the explicit port: the dev portal was asked as the proxy.
    EXPECT_NE(line.find("\"target\": \"http://res.torvessa.example:80/launcher2/launcher.ver\""),
              std::string::npos)
        << line;
    EXPECT_NE(line.find("[\"Accept\", \"text/html, application/xhtml+xml, */*\"]"),
              std::string::npos)
        << line;
    EXPECT_NE(line.find("Mozilla/4.0 (compatible; MSIE 8.0; Windows NT 5.1)"), std::string::npos)
        << line;
}

TEST_F(HttpClientWinTest, RefusedPortFailsEveryAttemptAtTheOpen) {
    Run(L"http://127.0.0.1:" + std::to_wstring(ClosedPort()) + L"/launcher2/launcher.ver", 3);
    const std::string attempt = "start error=InternetOpenUrl end=0";
    EXPECT_EQ(callback_.Trace(), attempt + " " + attempt + " " + attempt);
    // Each failure is logged once with WinINet's own text for the error.
    ASSERT_EQ(messages_.size(), 3u);
    const std::string& line = messages_[0];
    EXPECT_EQ(line.rfind("WinInetSession::OpenUrl:InternetOpenUrlW failed:12029 (", 0), 0u) << line;
    EXPECT_EQ(line.find("unknown error"), std::string::npos) << line;
}

TEST_F(HttpClientWinTest, LengthRules) {
    // No Content-Length: the end of data is believed.
    Run(FaultUrl("nolength?size=20000"), 3);
    EXPECT_EQ(callback_.Trace(), "start length=none data end=1");
    EXPECT_TRUE(SameBytes(client_.GetContent(), Pattern(20000)));

    // Content-Length 0: nothing to deliver, and no success either; not retried.
    RecordingHttpCallback zero;
    zero.Expect(&client_, 0);
    client_.SetCallback(&zero);
    Run(FaultUrl("zerolength"), 3);
    EXPECT_EQ(zero.Trace(), "start length=0 end=0");
}

// A connection reset mid-body fails the read; one closed short of its
// length ends the body early. Both are broken attempts.
TEST_F(HttpClientWinTest, BrokenOrShortBodyIsRetriedAndOnlyTheLastAttemptIsKept) {
    for (const char* mode : {"reset", "close"}) {
        SCOPED_TRACE(mode);
        RecordingHttpCallback callback;
        callback.Expect(&client_, 0);
        client_.SetCallback(&callback);
        const std::string token = UniqueToken();
        Run(FaultUrl("cut/" + token + "?size=100000&cut=30000&mode=" + mode), 3);
        EXPECT_EQ(callback.Trace(),
                  "start length=100000 data error=InternetReadFile end=0 "
                  "start length=100000 data end=1");
        EXPECT_TRUE(SameBytes(client_.GetContent(), Pattern(100000)));
        EXPECT_EQ(LoggedRequests(token).size(), 2u);
    }
}

TEST_F(HttpClientWinTest, FileModeReplacesAnOldFileWhole) {
    testsupport::ScratchDir scratch;
    const std::wstring target = scratch.Join(L"launcherqamb.exe.lzma");
    ASSERT_TRUE(testsupport::WriteFileBytes(target, std::string(400000, 'x')));  // longer
    client_.SetFilePath(target);
    Run(FaultUrl("bytes?size=300000"), 3);
    EXPECT_EQ(callback_.Trace(), "start length=300000 data end=1");
    EXPECT_TRUE(SameBytes(testsupport::ReadFileBytes(target), Pattern(300000)));
    EXPECT_TRUE(client_.GetContent().empty());
}

TEST_F(HttpClientWinTest, UncreatableTargetIsNotRetriedNorASuccess) {
    testsupport::ScratchDir scratch;
    client_.SetFilePath(scratch.Join(L"missing-folder\\launcherqamb.exe.lzma"));
    Run(FaultUrl("nolength?size=1000"), 3);
    EXPECT_EQ(callback_.Trace(), "start length=none error=CreateFile end=0");
}

TEST_F(HttpClientWinTest, StopDuringASlowBodyIsPromptAndSilent) {
    // 100 blocks, one every 200 ms: 20 s if left alone.
    client_.SetUrl(FaultUrl("slow?size=100000&chunk=1000&delay=200"));
    client_.SetRetryCount(3);
    ASSERT_TRUE(client_.Start());
    ASSERT_TRUE(callback_.WaitForData(1, kWaitMs));
    const auto before = std::chrono::steady_clock::now();
    client_.Stop();
    const auto took = std::chrono::steady_clock::now() - before;
    callback_.MarkStopped();
    EXPECT_FALSE(client_.IsRunning());
    // A generous bound: the wait plus one blocking read of a 200 ms trickle.
    EXPECT_LT(took, std::chrono::seconds(3));
    // The aborted read ended while Stop waited for the worker: unreported.
    const std::string trace = callback_.Trace();
    EXPECT_EQ(trace.find("end="), std::string::npos) << trace;

    // The client is usable again at once.
    RecordingHttpCallback next;
    next.Expect(&client_, 0);
    client_.SetCallback(&next);
    Run(FaultUrl("bytes?size=10"));
    EXPECT_EQ(next.Trace(), "start length=10 data end=1");
}

}  // namespace
