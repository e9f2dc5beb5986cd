// Scripted stand-ins for HttpClient's platform services. Each attempt takes
// the next FakeAttempt of the script (the last one repeats); what the client
// asked for is recorded for the test to check.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "update/HttpTransport.h"

namespace testsupport {

struct FakeAttempt {
    bool sessionFails = false;
    bool openFails = false;
    std::optional<std::wstring> status = std::wstring(L"200");  // nullopt: the query fails
    std::optional<uint32_t> contentLength;                      // nullopt: none sent
    std::vector<std::string> blocks;  // what successive reads return, then the end
    bool readFailsAfterBlocks = false;
    bool blockAfterBlocks = false;  // the next read waits until Abort
};

class FakeHttpTransport : public HttpTransport {
public:
    struct Shared {
        std::mutex mutex;
        std::condition_variable changed;
        std::deque<FakeAttempt> script;
        std::vector<std::wstring> agents;
        std::vector<std::wstring> urls;
        std::vector<HttpTimeouts> timeouts;
        bool blockedInRead = false;
        int aborts = 0;

        FakeAttempt Next() {
            std::lock_guard<std::mutex> lock(mutex);
            FakeAttempt attempt = script.empty() ? FakeAttempt{} : script.front();
            if (script.size() > 1) script.pop_front();
            return attempt;
        }
    };

    explicit FakeHttpTransport(std::vector<FakeAttempt> script = {})
        : shared_(std::make_shared<Shared>()) {
        shared_->script.assign(script.begin(), script.end());
    }

    Shared& shared() { return *shared_; }

    std::unique_ptr<HttpSession> OpenSession(const std::wstring& agent) override;

    // Waits until a read is blocked in a blockAfterBlocks attempt.
    bool WaitUntilBlocked(int timeoutMs) {
        std::unique_lock<std::mutex> lock(shared_->mutex);
        return shared_->changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                         [&] { return shared_->blockedInRead; });
    }

private:
    std::shared_ptr<Shared> shared_;
};

class FakeRequest : public HttpRequest {
public:
    FakeRequest(std::shared_ptr<FakeHttpTransport::Shared> shared, FakeAttempt attempt)
        : shared_(std::move(shared)), attempt_(std::move(attempt)) {}

    bool QueryStatusText(std::wstring* status) override {
        if (!attempt_.status) return false;
        *status = *attempt_.status;
        return true;
    }
    bool QueryContentLength(uint32_t* length) override {
        if (!attempt_.contentLength) return false;
        *length = *attempt_.contentLength;
        return true;
    }
    bool Read(uint8_t* buffer, uint32_t size, uint32_t* read) override {
        *read = 0;
        if (next_ < attempt_.blocks.size()) {
            const std::string& block = attempt_.blocks[next_++];
            if (block.size() > size) return false;
            std::copy(block.begin(), block.end(), buffer);
            *read = static_cast<uint32_t>(block.size());
            return true;
        }
        if (attempt_.blockAfterBlocks) {
            std::unique_lock<std::mutex> lock(shared_->mutex);
            shared_->blockedInRead = true;
            shared_->changed.notify_all();
            shared_->changed.wait(lock, [&] { return aborted_; });
            return false;
        }
        return !attempt_.readFailsAfterBlocks;
    }
    void Abort() override {
        std::lock_guard<std::mutex> lock(shared_->mutex);
        aborted_ = true;
        ++shared_->aborts;
        shared_->changed.notify_all();
    }

private:
    std::shared_ptr<FakeHttpTransport::Shared> shared_;
    FakeAttempt attempt_;
    size_t next_ = 0;
    bool aborted_ = false;  // under shared_->mutex
};

class FakeSession : public HttpSession {
public:
    FakeSession(std::shared_ptr<FakeHttpTransport::Shared> shared, FakeAttempt attempt)
        : shared_(std::move(shared)), attempt_(std::move(attempt)) {}

    bool SetTimeouts(const HttpTimeouts& timeouts) override {
        std::lock_guard<std::mutex> lock(shared_->mutex);
        shared_->timeouts.push_back(timeouts);
        return true;
    }
    std::unique_ptr<HttpRequest> OpenUrl(const std::wstring& url, const std::wstring&) override {
        {
            std::lock_guard<std::mutex> lock(shared_->mutex);
            shared_->urls.push_back(url);
        }
        if (attempt_.openFails) return nullptr;
        return std::make_unique<FakeRequest>(shared_, attempt_);
    }

private:
    std::shared_ptr<FakeHttpTransport::Shared> shared_;
    FakeAttempt attempt_;
};

inline std::unique_ptr<HttpSession> FakeHttpTransport::OpenSession(const std::wstring& agent) {
    {
        std::lock_guard<std::mutex> lock(shared_->mutex);
        shared_->agents.push_back(agent);
    }
    FakeAttempt attempt = shared_->Next();
    if (attempt.sessionFails) return nullptr;
    return std::make_unique<FakeSession>(shared_, std::move(attempt));
}

// Files in memory. A path listed in |uncreatable| cannot be created; writes
// fail once a file would grow past |writeLimit|.
class FakeDownloadFileSystem : public DownloadFileSystem {
public:
    std::map<std::wstring, std::string> files;
    std::vector<std::wstring> uncreatable;
    size_t writeLimit = SIZE_MAX;
    int recreations = 0;

    std::unique_ptr<DownloadFile> Recreate(const std::wstring& path) override {
        ++recreations;
        files.erase(path);
        for (const auto& bad : uncreatable) {
            if (bad == path) return nullptr;
        }
        files[path];
        return std::make_unique<File>(*this, path);
    }

private:
    class File : public DownloadFile {
    public:
        File(FakeDownloadFileSystem& fs, std::wstring path) : fs_(fs), path_(std::move(path)) {}
        bool Write(const uint8_t* data, uint32_t size) override {
            std::string& content = fs_.files[path_];
            if (content.size() + size > fs_.writeLimit) return false;
            content.append(reinterpret_cast<const char*>(data), size);
            return true;
        }

    private:
        FakeDownloadFileSystem& fs_;
        std::wstring path_;
    };
};

}  // namespace testsupport
