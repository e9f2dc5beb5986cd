#include "update/HttpClient.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "common/qlogger/QLogger.h"

static_assert(std::wstring_view(HttpClient::kRequestHeaders).size() == 111);

namespace {
// The job whose worker runs on this thread, if any: Start and Stop called
// from inside a notification must neither wait for nor join their caller.
thread_local const void* t_workerJob = nullptr;
}  // namespace

// What one Start hands its worker. The worker keeps it alive on its own, so
// a worker that Stop gave up on can still finish a blocking call safely.
struct HttpClient::Job {
    HttpClient* client = nullptr;  // used only while not cancelled
    HttpClientCallback* callback = nullptr;
    HttpTimeouts timeouts{};
    std::wstring url;
    std::wstring filePath;
    uint32_t tag = 0;
    uint32_t retryCount = 0;
    std::shared_ptr<HttpTransport> transport;
    std::shared_ptr<DownloadFileSystem> files;

    // Held around every notification and by Stop while it cancels: once Stop
    // has set the flag, no notification can begin. Recursive because a
    // receiver may call Stop from inside a notification.
    std::recursive_mutex notifyMutex;
    bool cancelled = false;  // under notifyMutex

    mutable std::mutex stateMutex;
    mutable std::condition_variable idle;
    bool running = false;                // under stateMutex
    HttpRequest* openRequest = nullptr;  // under stateMutex, for Stop's Abort

    std::string content;
    // Set by the worker before each OnEnd, read by the receiver inside it.
    bool finalAttempt = false;

    bool IsCancelled() {
        std::lock_guard<std::recursive_mutex> lock(notifyMutex);
        return cancelled;
    }

    // Runs |notify| on the receiver unless the job was cancelled; false then.
    template <typename F>
    bool Notify(F&& notify) {
        std::lock_guard<std::recursive_mutex> lock(notifyMutex);
        if (cancelled) return false;
        if (callback) notify(*callback);
        return true;
    }

    void SetOpenRequest(HttpRequest* request) {
        std::lock_guard<std::mutex> lock(stateMutex);
        openRequest = request;
    }
};

HttpClient::HttpClient(std::shared_ptr<HttpTransport> transport,
                       std::shared_ptr<DownloadFileSystem> files)
    : job_(std::make_shared<Job>()), transport_(std::move(transport)), files_(std::move(files)) {}

HttpClient::~HttpClient() {
    Stop();
    if (!thread_.joinable()) return;
    if (t_workerJob == job_.get()) {
        thread_.detach();  // destroyed by its own receiver: the worker ends cancelled
    } else {
        thread_.join();
    }
}

const std::string& HttpClient::GetContent() const {
    return job_->content;
}

bool HttpClient::IsRunning() const {
    std::lock_guard<std::mutex> lock(job_->stateMutex);
    return job_->running;
}

bool HttpClient::IsFinalAttempt() const {
    // Only meaningful inside OnEnd, where Start cannot replace the job and
    // Stop waits for the notification to return.
    return job_->finalAttempt;
}

bool HttpClient::WaitIdle(uint32_t timeoutMs) const {
    std::unique_lock<std::mutex> lock(job_->stateMutex);
    return job_->idle.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                               [this] { return !job_->running; });
}

bool HttpClient::Start() {
    if (url_.empty() || IsRunning()) return false;
    // A worker that has unregistered is only returning: collect it.
    if (thread_.joinable()) thread_.join();

    auto job = std::make_shared<Job>();
    job->client = this;
    job->callback = callback_;
    job->timeouts = {connectTimeout_, sendTimeout_, receiveTimeout_, dataSendTimeout_,
                     dataReceiveTimeout_};
    job->url = url_;
    job->filePath = filePath_;
    job->tag = tag_;
    job->retryCount = retryCount_;
    job->transport = transport_;
    job->files = files_;
    job->running = true;
    // Registered before the worker exists: its first notifications may come
    // before this function returns.
    std::shared_ptr<Job> previous = std::exchange(job_, job);
    try {
        thread_ = std::thread(&HttpClient::RunWorker, std::move(job));
    } catch (const std::system_error& error) {
        job_ = std::move(previous);
        QLogger::Log(QLOG_ERROR, "HttpClient::Start:create thread failed:%s", error.what());
        return false;
    }
    return true;
}

void HttpClient::Stop() {
    if (!IsRunning()) return;
    const std::shared_ptr<Job> job = job_;
    {
        // Waits out a notification in progress; none begins after this.
        std::lock_guard<std::recursive_mutex> lock(job->notifyMutex);
        job->cancelled = true;
    }
    {
        std::lock_guard<std::mutex> lock(job->stateMutex);
        if (job->openRequest) job->openRequest->Abort();
    }
    // From inside a notification the worker cannot be waited for; it sees
    // the flag as soon as the notification returns and ends by itself.
    if (t_workerJob == job.get()) return;
    if (WaitIdle(kStopWaitMs)) {
        thread_.join();
        return;
    }
    // Still inside a blocking call: the worker ends alone on its own copy of
    // the job, and this client starts afresh, idle.
    QLogger::LogW(QLOG_WARNING, L"%ls:worker still busy after %u ms, left to end alone: %ls",
                  L"HttpClient::Stop", static_cast<unsigned>(kStopWaitMs), job->url.c_str());
    thread_.detach();
    job_ = std::make_shared<Job>();
}

void HttpClient::RunWorker(std::shared_ptr<Job> job) {
    t_workerJob = job.get();
    std::vector<uint8_t> buffer(kReadBlockSize);
    for (uint32_t attempt = 0; attempt < job->retryCount; ++attempt) {
        const bool lastAllowed = attempt + 1 == job->retryCount;
        if (RunAttempt(*job, buffer.data(), lastAllowed) != AttemptResult::kFailed) break;
    }
    std::lock_guard<std::mutex> lock(job->stateMutex);
    job->running = false;
    job->idle.notify_all();
}

// One attempt, from nothing. Failures of the open, the status and the reads
// are worth another attempt; a target file that cannot be created is not.
HttpClient::AttemptResult HttpClient::RunAttempt(Job& job, uint8_t* buffer, bool lastAllowed) {
    const bool fileMode = !job.filePath.empty();
    HttpClient* const client = job.client;
    const uint32_t tag = job.tag;
    std::fill(buffer, buffer + kReadBlockSize, uint8_t{0});
    uint32_t received = 0;
    uint32_t length = 0;
    // The read loop reached the end of the body with every block stored.
    bool complete = false;
    AttemptResult result = AttemptResult::kDone;
    if (!fileMode) job.content.clear();

    if (!job.Notify([&](HttpClientCallback& cb) { cb.OnStart(client, tag); })) {
        return AttemptResult::kCancelled;
    }

    std::unique_ptr<HttpSession> session;
    std::unique_ptr<HttpRequest> request;
    std::unique_ptr<DownloadFile> file;
    // Unregisters the request before it is closed, whatever the way out.
    struct RequestRegistration {
        Job& job;
        ~RequestRegistration() { job.SetOpenRequest(nullptr); }
    } registration{job};

    auto fail = [&](const wchar_t* step) {
        result = AttemptResult::kFailed;
        if (step) job.Notify([&](HttpClientCallback& cb) { cb.OnError(client, step); });
    };

    do {
        session = job.transport ? job.transport->OpenSession(kAgent) : nullptr;
        if (!session) {
            fail(nullptr);
            break;
        }
        session->SetTimeouts(job.timeouts);
        request = session->OpenUrl(job.url, kRequestHeaders);
        if (job.IsCancelled()) return AttemptResult::kCancelled;
        if (!request) {
            fail(L"InternetOpenUrl");
            break;
        }
        job.SetOpenRequest(request.get());

        std::wstring status;
        if (!request->QueryStatusText(&status) || status != L"200") {
            fail(L"HttpQueryInfo");
            break;
        }
        if (!request->QueryContentLength(&length)) length = kUnknownLength;
        job.Notify([&](HttpClientCallback& cb) { cb.OnContentLength(client, tag, length); });

        if (fileMode) {
            file = job.files ? job.files->Recreate(job.filePath) : nullptr;
            if (!file) {
                // The same file would fail again: not retried.
                job.Notify([&](HttpClientCallback& cb) { cb.OnError(client, L"CreateFile"); });
                break;
            }
        }

        for (;;) {
            if (job.IsCancelled()) return AttemptResult::kCancelled;
            uint32_t read = 0;
            const bool readOk = request->Read(buffer, kReadBlockSize, &read);
            if (job.IsCancelled()) return AttemptResult::kCancelled;
            if (!readOk || read > kReadBlockSize) {
                fail(L"InternetReadFile");
                break;
            }
            received += read;
            if (read == 0) {
                // WinINet reports a connection closed short of the announced
                // length as a plain end of data: that body is broken all the
                // same, and worth another attempt.
                if (length != kUnknownLength && received < length) {
                    fail(L"InternetReadFile");
                } else {
                    complete = true;
                }
                break;
            }
            if (fileMode) {
                // No notification names a write failure (the file logs it);
                // the attempt fails so a truncated file never counts.
                if (!file->Write(buffer, read)) {
                    fail(nullptr);
                    break;
                }
            } else {
                job.content.append(reinterpret_cast<const char*>(buffer), read);
            }
            if (!job.Notify([&](HttpClientCallback& cb) {
                    cb.OnData(client, tag, buffer, read, received, length);
                })) {
                return AttemptResult::kCancelled;
            }
        }
    } while (false);

    // Success needs the whole body: a server without Content-Length is
    // believed at its end of data; an announced length must be met exactly.
    const bool lengthMet = length == kUnknownLength || (length != 0 && received == length);
    const uint32_t success = complete && lengthMet ? 1 : 0;
    job.finalAttempt = result != AttemptResult::kFailed || lastAllowed;
    if (!job.Notify([&](HttpClientCallback& cb) { cb.OnEnd(client, tag, success); })) {
        return AttemptResult::kCancelled;
    }
    return result;
}
