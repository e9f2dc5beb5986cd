// The reporter's Windows services: this machine's facts and the settings
// file ".\launcher.ini" in the current folder. The default reporter uses
// them with libcurl; test hosts build reporters from them with other timing.
#pragma once

#include "common/PatchEventReporter.h"

class WindowsReportMachine : public ReportMachine {
public:
    void GetScreenSize(int* width, int* height) override;
    std::string GetMacAddressList() override;
    std::string GetOsName() override;
    uint32_t GetProcessId() override;
};

// A Windows profile file, read and written through the ANSI profile calls.
class ProfileReportSettings : public ReportSettings {
public:
    static constexpr const char* kDefaultPath = ".\\launcher.ini";

    explicit ProfileReportSettings(std::string path = kDefaultPath) : path_(std::move(path)) {}

    std::string Read(const std::string& section, const std::string& key) override;
    bool Write(const std::string& section, const std::string& key,
               const std::string& value) override;

private:
    std::string path_;
};
