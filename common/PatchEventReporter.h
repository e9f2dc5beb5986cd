// The process-wide event reporter: events queued from any thread are sent
// to the statistics host, one HTTP GET each, by one worker thread that runs
// between Start and Stop. Each event is reported once per player identity;
// the settings file ".\launcher.ini" remembers which were.
//
// Start-up owns the one reporter of the process and reaches it through
// Instance() until it is destroyed. SetParameters and Report may be called
// from any thread (the main thread and a download worker) and never wait for
// the network; Start, Stop and destruction belong to the owner's thread.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "common/PatchEventReport.h"
#include "common/Utility/UT_Lock.h"

// The machine facts that reports carry (the Windows side: GetSystemMetrics,
// GetAdaptersInfo, GetVersionExW). Called on the worker thread.
class ReportMachine {
public:
    virtual ~ReportMachine() = default;

    virtual void GetScreenSize(int* width, int* height) = 0;
    virtual std::string GetMacAddressList() = 0;
    virtual std::string GetOsName() = 0;
    virtual uint32_t GetProcessId() = 0;
};

// Named values in sections of the settings file. Called on the worker thread.
class ReportSettings {
public:
    virtual ~ReportSettings() = default;

    // The value, cut at kReportSettingsValueMax characters; empty when the
    // key is missing or the file unreadable.
    virtual std::string Read(const std::string& section, const std::string& key) = 0;
    virtual bool Write(const std::string& section, const std::string& key,
                       const std::string& value) = 0;
};

// One open HTTP connection of the worker (a libcurl easy handle).
class ReportConnection {
public:
    virtual ~ReportConnection() = default;

    struct Outcome {
        bool completed = false;  // the transfer itself succeeded
        long httpCode = 0;       // 0 when no answer arrived
    };
    // One GET of |url|; the body is read and dropped.
    virtual Outcome Perform(const std::string& url) = 0;
};

class ReportTransport {
public:
    virtual ~ReportTransport() = default;

    // Null when no connection can be made. A transfer under way asks
    // |keepGoing| now and then and is abandoned when it answers false.
    virtual std::unique_ptr<ReportConnection> Connect(std::function<bool()> keepGoing) = 0;
};

// Sends one report URL: up to kReportPerformMax performs, no pause between
// them, giving up at once on an HTTP status of 400 or more, and before a
// retry when |keepGoing| answers false. True when a transfer succeeded.
bool SendReportUrl(ReportConnection& connection, const std::string& url,
                   const std::function<bool()>& keepGoing);
constexpr int kReportPerformMax = 10;

class PatchEventReporter {
public:
    PatchEventReporter(const PatchEventReporter&) = delete;
    PatchEventReporter& operator=(const PatchEventReporter&) = delete;

    // How long the worker waits. Tests shorten the identity wait; the wait
    // for the queue is only a bound, Report wakes the worker at once.
    struct Timing {
        uint32_t identityWaitMs = 10000;
        uint32_t queuePollMs = 250;
    };

    // Over this machine, ".\launcher.ini" and libcurl (Windows build only;
    // PatchEventReporter_win.cpp). Initialises libcurl for the process.
    PatchEventReporter();
    // Over the given services (tests, test hosts).
    PatchEventReporter(std::shared_ptr<ReportMachine> machine,
                       std::shared_ptr<ReportSettings> settings,
                       std::shared_ptr<ReportTransport> transport, Timing timing);
    // Stops, and stops being the process-wide reporter.
    ~PatchEventReporter();

    // The reporter that other parts report to, or nullptr.
    static PatchEventReporter* Instance();

    // Takes the identity from a login address (see ParseReportParameters;
    // wide text goes through the ANSI code page first). Any thread.
    void SetParameters(const std::wstring& loginAddress);
    // Starts the worker; does nothing while it runs.
    void Start();
    // Queues an event while running, drops it otherwise. Any thread.
    void Report(int actionType, int result);
    // Discards the queue, abandons a report under way and waits for the
    // worker to end. Queued events are never sent.
    void Stop();

    bool IsRunning() const;
    ReportIdentity GetIdentity() const;
    // Waits until no event is queued or being handled; true when so.
    bool WaitIdle(uint32_t timeoutMs) const;

private:
    struct Event {
        int actionType;
        int result;
    };

    void RunWorker();
    bool WaitForIdentity();
    bool TakeEvent(Event* event);
    void FinishEvent();
    void HandleEvent(const Event& event, const ReportFacts& facts, ReportConnection* connection);
    void RememberReport(const std::string& key, const std::string& storedValue, int actionType);

    std::shared_ptr<ReportMachine> machine_;
    std::shared_ptr<ReportSettings> settings_;
    std::shared_ptr<ReportTransport> transport_;
    const Timing timing_;
    const std::string baseUrl_;

    int32_t transid_ = 0;
    bool running_ = false;           // under lock_
    mutable Utility::UT_Lock lock_;  // the queue, running_, busy_ and the identity
    mutable std::condition_variable_any changed_;
    std::deque<Event> queue_;  // under lock_
    bool busy_ = false;        // an event is being handled; under lock_
    ReportIdentity identity_;  // under lock_
    std::thread worker_;
};
