#include "common/CurlReportTransport.h"

#include <curl/curl.h>

#include <algorithm>
#include <cstdio>
#include <new>
#include <string>

#include "common/qlogger/QLogger.h"

namespace {

// Nobody reads the answer's body; keeping its start is enough to see it in
// a debugger, and a server that sends without end cannot fill the memory.
constexpr size_t kKeptBodyMax = 64 * 1024;

class CurlReportConnection : public ReportConnection {
public:
    CurlReportConnection(const CurlReportConnection&) = delete;
    CurlReportConnection& operator=(const CurlReportConnection&) = delete;

    CurlReportConnection(CURL* handle, std::function<bool()> keepGoing)
        : handle_(handle), keepGoing_(std::move(keepGoing)) {
        body_.reserve(256);
        curl_easy_setopt(handle_, CURLOPT_FOLLOWLOCATION, 1L);
        curl_easy_setopt(handle_, CURLOPT_USERAGENT, CurlReportTransport::kUserAgent);
        curl_easy_setopt(handle_, CURLOPT_WRITEFUNCTION, &CurlReportConnection::OnBody);
        curl_easy_setopt(handle_, CURLOPT_WRITEDATA, this);
        // The progress callback is how Stop reaches a transfer that waits on
        // a slow or silent server.
        curl_easy_setopt(handle_, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(handle_, CURLOPT_XFERINFOFUNCTION, &CurlReportConnection::OnProgress);
        curl_easy_setopt(handle_, CURLOPT_XFERINFODATA, this);
    }

    ~CurlReportConnection() override { curl_easy_cleanup(handle_); }

    Outcome Perform(const std::string& url) override {
        body_.clear();
        curl_easy_setopt(handle_, CURLOPT_URL, url.c_str());
        curl_easy_setopt(handle_, CURLOPT_CONNECTTIMEOUT,
                         CurlReportTransport::kConnectTimeoutSeconds);
        curl_easy_setopt(handle_, CURLOPT_TIMEOUT, CurlReportTransport::kTimeoutSeconds);
        Outcome outcome;
        outcome.completed = curl_easy_perform(handle_) == CURLE_OK;
        long code = 0;
        if (curl_easy_getinfo(handle_, CURLINFO_RESPONSE_CODE, &code) == CURLE_OK) {
            outcome.httpCode = code;
        }
        return outcome;
    }

private:
    static size_t OnBody(char* data, size_t size, size_t count, void* user) {
        auto* self = static_cast<CurlReportConnection*>(user);
        const size_t bytes = size * count;
        const size_t kept =
            std::min(bytes, kKeptBodyMax - std::min(kKeptBodyMax, self->body_.size()));
        try {
            self->body_.append(data, kept);
        } catch (const std::bad_alloc&) {
            std::printf("not enough memory (realloc returned NULL)\n");
            return 0;
        }
        return bytes;
    }

    static int OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
        auto* self = static_cast<CurlReportConnection*>(user);
        return self->keepGoing_() ? 0 : 1;
    }

    CURL* handle_;
    std::function<bool()> keepGoing_;
    std::string body_;
};

}  // namespace

CurlReportTransport::CurlReportTransport() {
    const CURLcode result = curl_global_init(CURL_GLOBAL_ALL);
    initialised_ = result == CURLE_OK;
    if (!initialised_) {
        QLogger::Log(QLOG_ERROR, "CurlReportTransport:curl_global_init failed:%d",
                     static_cast<int>(result));
    }
}

CurlReportTransport::~CurlReportTransport() {
    if (initialised_) curl_global_cleanup();
}

std::unique_ptr<ReportConnection> CurlReportTransport::Connect(std::function<bool()> keepGoing) {
    if (!initialised_) return nullptr;
    CURL* handle = curl_easy_init();
    if (!handle) {
        QLogger::Log(QLOG_ERROR, "CurlReportTransport::Connect:curl_easy_init failed");
        return nullptr;
    }
    return std::make_unique<CurlReportConnection>(handle, std::move(keepGoing));
}
