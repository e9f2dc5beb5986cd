#include "common/PatchEventReporter.h"

#include <atomic>
#include <chrono>
#include <system_error>

#include "common/SystemInfo.h"
#include "common/qlogger/QLogger.h"
#include "common/qlogger/QLoggerPlatform.h"

namespace {

std::atomic<PatchEventReporter*> g_reporter{nullptr};

// Write attempts for one remembered report before it is sent regardless.
constexpr int kSettingsWriteAttempts = 9;

// The critical section as the condition variable wants to hold it.
class HeldLock {
public:
    HeldLock(const HeldLock&) = delete;
    HeldLock& operator=(const HeldLock&) = delete;

    explicit HeldLock(Utility::UT_Lock& lock) : lock_(lock) { lock_.Lock(); }
    ~HeldLock() { lock_.Unlock(); }
    void lock() { lock_.Lock(); }
    void unlock() { lock_.Unlock(); }

private:
    Utility::UT_Lock& lock_;
};

}  // namespace

bool SendReportUrl(ReportConnection& connection, const std::string& url,
                   const std::function<bool()>& keepGoing) {
    for (int perform = 0; perform < kReportPerformMax; ++perform) {
        if (perform > 0 && !keepGoing()) return false;
        const ReportConnection::Outcome outcome = connection.Perform(url);
        // The server has answered and does not want this report: asking
        // again would only be refused again.
        if (outcome.httpCode >= 400) return false;
        if (outcome.completed) return true;
    }
    return false;
}

PatchEventReporter::PatchEventReporter(std::shared_ptr<ReportMachine> machine,
                                       std::shared_ptr<ReportSettings> settings,
                                       std::shared_ptr<ReportTransport> transport, Timing timing)
    : machine_(std::move(machine)),
      settings_(std::move(settings)),
      transport_(std::move(transport)),
      timing_(timing),
      baseUrl_(ReportBaseUrl()) {
    g_reporter = this;
}

PatchEventReporter::~PatchEventReporter() {
    Stop();
    PatchEventReporter* self = this;
    g_reporter.compare_exchange_strong(self, nullptr);
}

PatchEventReporter* PatchEventReporter::Instance() {
    return g_reporter;
}

void PatchEventReporter::SetParameters(const std::wstring& loginAddress) {
    const std::string address = qlogger_platform::WideToAnsi(loginAddress.c_str());
    // Parsed into a copy: the worker reads the identity under the lock, and
    // a report must never carry half an old and half a new identity.
    HeldLock hold(lock_);
    ReportIdentity identity = identity_;
    ParseReportParameters(address, identity);
    identity_ = std::move(identity);
    changed_.notify_all();
}

void PatchEventReporter::Start() {
    {
        HeldLock hold(lock_);
        if (running_) return;
        transid_ = static_cast<int32_t>(machine_->GetProcessId());
        running_ = true;
    }
    if (worker_.joinable()) worker_.join();  // one whose Start failed half-way
    try {
        worker_ = std::thread(&PatchEventReporter::RunWorker, this);
    } catch (const std::system_error& error) {
        QLogger::Log(QLOG_ERROR, "PatchEventReporter::Start:create thread failed:%s", error.what());
        HeldLock hold(lock_);
        running_ = false;
    }
}

void PatchEventReporter::Report(int actionType, int result) {
    HeldLock hold(lock_);
    if (!running_) return;
    queue_.push_back({actionType, result});
    changed_.notify_all();
}

void PatchEventReporter::Stop() {
    {
        HeldLock hold(lock_);
        running_ = false;
        queue_.clear();
        changed_.notify_all();
    }
    if (worker_.joinable()) worker_.join();
}

bool PatchEventReporter::IsRunning() const {
    HeldLock hold(lock_);
    return running_;
}

ReportIdentity PatchEventReporter::GetIdentity() const {
    HeldLock hold(lock_);
    return identity_;
}

bool PatchEventReporter::WaitIdle(uint32_t timeoutMs) const {
    HeldLock hold(lock_);
    return changed_.wait_for(hold, std::chrono::milliseconds(timeoutMs),
                             [this] { return queue_.empty() && !busy_; });
}

bool PatchEventReporter::WaitForIdentity() {
    HeldLock hold(lock_);
    changed_.wait_for(hold, std::chrono::milliseconds(timing_.identityWaitMs),
                      [this] { return !running_ || identity_.IsComplete(); });
    return running_;
}

bool PatchEventReporter::TakeEvent(Event* event) {
    HeldLock hold(lock_);
    for (;;) {
        if (!queue_.empty()) {
            *event = queue_.front();
            queue_.pop_front();
            busy_ = true;
            return true;
        }
        if (!running_) return false;
        changed_.wait_for(hold, std::chrono::milliseconds(timing_.queuePollMs),
                          [this] { return !running_ || !queue_.empty(); });
    }
}

void PatchEventReporter::FinishEvent() {
    HeldLock hold(lock_);
    busy_ = false;
    changed_.notify_all();
}

void PatchEventReporter::RunWorker() {
    ReportFacts facts;
    machine_->GetScreenSize(&facts.screenWidth, &facts.screenHeight);
    if (!WaitForIdentity()) return;

    facts.mac = FirstMacAddress(machine_->GetMacAddressList());
    facts.os = machine_->GetOsName();
    std::unique_ptr<ReportConnection> connection =
        transport_->Connect([this] { return IsRunning(); });
    if (!connection) {
        QLogger::Log(QLOG_ERROR,
                     "PatchEventReporter::RunWorker:no HTTP connection, reports are not sent");
    }

    Event event{};
    while (TakeEvent(&event)) {
        HandleEvent(event, facts, connection.get());
        FinishEvent();
    }
}

void PatchEventReporter::HandleEvent(const Event& event, const ReportFacts& facts,
                                     ReportConnection* connection) {
    const ReportIdentity identity = GetIdentity();
    const std::string key = ReportSettingsKey(identity);
    const std::string stored = settings_->Read(kReportSettingsSection, key);
    const bool reported = IsActionReported(stored, event.actionType);
    // Without an identity there is no player to remember a report for: the
    // event goes out on every launch.
    if (reported && key != kUnknownIdentityKey) return;
    if (!reported) RememberReport(key, stored, event.actionType);

    const std::string url =
        BuildReportUrl(baseUrl_, facts, event.actionType, event.result, transid_, identity);
    QLogger::Log(QLOG_NORMAL, "PatchEventReporter: %s", url.c_str());
    if (connection && IsRunning()) SendReportUrl(*connection, url, [this] { return IsRunning(); });
}

void PatchEventReporter::RememberReport(const std::string& key, const std::string& storedValue,
                                        int actionType) {
    // A value this long may have been cut when it was read; writing it back
    // would lose its end. The event is sent all the same.
    if (storedValue.size() >= kReportSettingsValueMax) {
        QLogger::Log(QLOG_WARNING,
                     "PatchEventReporter::RememberReport:value of %s too long, left as it is",
                     key.c_str());
        return;
    }
    const std::string value = AppendReportedAction(storedValue, actionType);
    for (int attempt = 0; attempt < kSettingsWriteAttempts; ++attempt) {
        if (settings_->Write(kReportSettingsSection, key, value)) return;
    }
    QLogger::Log(QLOG_WARNING, "PatchEventReporter::RememberReport:cannot write %s=%s", key.c_str(),
                 value.c_str());
}
