// One HTTP download on a worker thread of its own, into memory or to a file,
// reported to a HttpClientCallback while it runs.
//
// The owner embeds the client by value, sets the receiver once, and calls
// the setters, Start and Stop on its own (UI) thread; setters only while no
// worker runs. Every notification arrives on the worker thread: receivers
// that touch windows post a message instead. The owner reads GetContent and
// the target file after OnEnd.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <thread>

#include "update/HttpTransport.h"

class HttpClient;

// The receiver of a download's notifications; every one may be left as is.
// The client never owns its receiver, hence no virtual destructor: the five
// operations are the only slots.
class HttpClientCallback {
public:
    // At the start of every attempt.
    virtual void OnStart(HttpClient* /*client*/, uint32_t /*tag*/) {}
    // Once per attempt after a 200 status; HttpClient::kUnknownLength when
    // the server sent no Content-Length.
    virtual void OnContentLength(HttpClient* /*client*/, uint32_t /*tag*/, uint32_t /*length*/) {}
    // After every non-empty block.
    virtual void OnData(HttpClient* /*client*/, uint32_t /*tag*/, const uint8_t* /*data*/,
                        uint32_t /*size*/, uint32_t /*received*/, uint32_t /*length*/) {}
    // At the end of every attempt: 1 when the whole body arrived.
    virtual void OnEnd(HttpClient* /*client*/, uint32_t /*tag*/, uint32_t /*success*/) {}
    // The step that failed: "InternetOpenUrl", "HttpQueryInfo", "CreateFile"
    // or "InternetReadFile".
    virtual void OnError(HttpClient* /*client*/, const wchar_t* /*step*/) {}

protected:
    ~HttpClientCallback() = default;
};

class HttpClient {
public:
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    static constexpr uint32_t kUnknownLength = 0xFFFFFFFF;
    static constexpr uint32_t kReadBlockSize = 8192;
    static constexpr uint32_t kStopWaitMs = 300;
    static constexpr const wchar_t* kAgent = L"Launcher";
    // Sent with every request; 111 characters.
    static constexpr const wchar_t* kRequestHeaders =
        L"Accept: text/html, application/xhtml+xml, */*\r\n"
        L"User-Agent: Mozilla/4.0 (compatible; MSIE 8.0; Windows NT 5.1)\r\n";

    // Over WinINet and Win32 files (Windows build only).
    HttpClient();
    // Over the given platform services (tests, tools).
    HttpClient(std::shared_ptr<HttpTransport> transport, std::shared_ptr<DownloadFileSystem> files);
    // Stops a running worker.
    ~HttpClient();

    void SetCallback(HttpClientCallback* callback) { callback_ = callback; }
    void SetTag(uint32_t tag) { tag_ = tag; }
    void SetUrl(const std::wstring& url) { url_ = url; }
    const std::wstring& GetUrl() const { return url_; }
    // An empty path selects memory mode.
    void SetFilePath(const std::wstring& path) { filePath_ = path; }
    const std::wstring& GetFilePath() const { return filePath_; }
    void SetRetryCount(uint32_t count) { retryCount_ = count; }
    // Memory mode: the body of the last attempt.
    const std::string& GetContent() const;

    // Starts the worker. False, changing nothing, when the url is empty, a
    // worker is still registered (also from inside its own last OnEnd), or
    // no thread can be made.
    bool Start();
    // Cancels a running worker: returns within about kStopWaitMs (plus a
    // notification that is running), and afterwards no notification reaches
    // the receiver. Does nothing on an idle client. Receivers must not wait
    // for the calling thread inside a notification.
    void Stop();

    bool IsRunning() const;
    // Inside OnEnd, on the worker: true when no further attempt of this
    // download follows (it succeeded, failed for good, or was the last).
    bool IsFinalAttempt() const;
    // Waits until the worker has unregistered; true when idle.
    bool WaitIdle(uint32_t timeoutMs) const;

private:
    struct Job;
    enum class AttemptResult { kFailed, kDone, kCancelled };

    static void RunWorker(std::shared_ptr<Job> job);
    static AttemptResult RunAttempt(Job& job, uint8_t* buffer, bool lastAllowed);

    // The fields owners see; the worker works on a copy of them (Job), so
    // that one stopped while blocked can end later without touching this.
    std::thread thread_;
    HttpClientCallback* callback_ = nullptr;
    const uint32_t connectTimeout_ = 2000;
    const uint32_t sendTimeout_ = 2000;
    const uint32_t receiveTimeout_ = 2000;
    const uint32_t dataSendTimeout_ = 0xFFFFFFFF;
    const uint32_t dataReceiveTimeout_ = 0xFFFFFFFF;
    std::wstring url_;
    std::wstring filePath_;
    uint32_t tag_ = 0;
    uint32_t retryCount_ = 1;
    std::shared_ptr<Job> job_;  // run state and content, shared with the worker

    std::shared_ptr<HttpTransport> transport_;
    std::shared_ptr<DownloadFileSystem> files_;
};
