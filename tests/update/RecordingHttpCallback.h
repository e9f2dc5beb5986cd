// A HttpClientCallback that writes what it is told as a trace line, e.g.
//   "start length=5 data end=1"   (a run of OnData counts as one "data")
// and checks the invariants of every notification on the way: the tag, the
// client, running totals and the length that OnData repeats. A broken
// invariant shows up in the trace as "bad:<what>"; a notification after
// MarkStopped() as "late".
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>

#include "update/HttpClient.h"

namespace testsupport {

class RecordingHttpCallback : public HttpClientCallback {
public:
    explicit RecordingHttpCallback(uint32_t expectedTag = 0) : expectedTag_(expectedTag) {}

    void Expect(HttpClient* client, uint32_t tag) {
        std::lock_guard<std::mutex> lock(mutex_);
        client_ = client;
        expectedTag_ = tag;
    }

    void OnStart(HttpClient* client, uint32_t tag) override {
        std::lock_guard<std::mutex> lock(mutex_);
        Check(client, tag);
        Add("start");
        attemptBytes_.clear();
        received_ = 0;
        length_ = 0;
        lengthSeen_ = false;
    }
    void OnContentLength(HttpClient* client, uint32_t tag, uint32_t length) override {
        std::lock_guard<std::mutex> lock(mutex_);
        Check(client, tag);
        Add(length == HttpClient::kUnknownLength ? "length=none"
                                                 : "length=" + std::to_string(length));
        length_ = length;
        lengthSeen_ = true;
    }
    void OnData(HttpClient* client, uint32_t tag, const uint8_t* data, uint32_t size,
                uint32_t received, uint32_t length) override {
        std::lock_guard<std::mutex> lock(mutex_);
        Check(client, tag);
        if (!lengthSeen_ || length != length_) Add("bad:length");
        if (size == 0 || size > HttpClient::kReadBlockSize) Add("bad:size");
        if (received != received_ + size) Add("bad:received");
        received_ = received;
        attemptBytes_.append(reinterpret_cast<const char*>(data), size);
        if (lastToken_ != "data") Add("data");
        ++dataCalls_;
        changed_.notify_all();
    }
    void OnEnd(HttpClient* client, uint32_t tag, uint32_t success) override {
        std::lock_guard<std::mutex> lock(mutex_);
        Check(client, tag);
        Add("end=" + std::to_string(success));
        ++ends_;
        changed_.notify_all();
    }
    void OnError(HttpClient* client, const wchar_t* step) override {
        std::lock_guard<std::mutex> lock(mutex_);
        if (client_ && client != client_) Add("bad:client");
        std::string narrow;
        for (const wchar_t* p = step; p && *p; ++p) narrow += static_cast<char>(*p);
        Add("error=" + narrow);
    }

    void MarkStopped() {
        std::lock_guard<std::mutex> lock(mutex_);
        stopped_ = true;
    }

    std::string Trace() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return trace_;
    }
    // The bytes OnData delivered in the latest attempt.
    std::string AttemptBytes() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return attemptBytes_;
    }
    int Ends() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return ends_;
    }
    int DataCalls() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return dataCalls_;
    }
    bool WaitForData(int calls, int timeoutMs) {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                 [&] { return dataCalls_ >= calls; });
    }

private:
    void Check(HttpClient* client, uint32_t tag) {
        if (client_ && client != client_) Add("bad:client");
        if (tag != expectedTag_) Add("bad:tag");
    }
    void Add(const std::string& token) {
        if (stopped_) {
            stopped_ = false;  // one mark is enough
            Add("late");
            stopped_ = true;
        }
        if (!trace_.empty()) trace_ += ' ';
        trace_ += token;
        lastToken_ = token;
    }

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    HttpClient* client_ = nullptr;
    uint32_t expectedTag_;
    std::string trace_;
    std::string lastToken_;
    std::string attemptBytes_;
    uint32_t received_ = 0;
    uint32_t length_ = 0;
    bool lengthSeen_ = false;
    bool stopped_ = false;
    int ends_ = 0;
    int dataCalls_ = 0;
};

}  // namespace testsupport
