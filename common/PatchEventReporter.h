// The process-wide event reporter: events queued from the main thread are
// sent to the statistics host by one worker thread between Start and Stop.
#pragma once

#include <string>

class PatchEventReporter {
public:
    PatchEventReporter(const PatchEventReporter&) = delete;
    PatchEventReporter& operator=(const PatchEventReporter&) = delete;

    PatchEventReporter();
    ~PatchEventReporter();

    // The reporter that other parts report to, or nullptr.
    static PatchEventReporter* Instance();

    void SetParameters(const std::wstring& loginAddress);
    void Start();
    void Report(int actionType, int result);
    void Stop();

    bool running() const { return running_; }

private:
    bool running_ = false;
};
