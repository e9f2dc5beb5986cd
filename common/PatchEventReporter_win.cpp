#include "common/PatchEventReporter_win.h"

#include <windows.h>

#include "common/CurlReportTransport.h"
#include "common/SystemInfo_win.h"

void WindowsReportMachine::GetScreenSize(int* width, int* height) {
    *width = GetSystemMetrics(SM_CXSCREEN);
    *height = GetSystemMetrics(SM_CYSCREEN);
}

std::string WindowsReportMachine::GetMacAddressList() {
    return ::GetMacAddressList();
}

std::string WindowsReportMachine::GetOsName() {
    return ::GetOsName();
}

uint32_t WindowsReportMachine::GetProcessId() {
    return GetCurrentProcessId();
}

std::string ProfileReportSettings::Read(const std::string& section, const std::string& key) {
    char value[kReportSettingsValueMax + 1] = {};
    const DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), "", value,
                                                  sizeof value, path_.c_str());
    return std::string(value, length);
}

bool ProfileReportSettings::Write(const std::string& section, const std::string& key,
                                  const std::string& value) {
    return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), path_.c_str()) !=
           FALSE;
}

PatchEventReporter::PatchEventReporter()
    : PatchEventReporter(std::make_shared<WindowsReportMachine>(),
                         std::make_shared<ProfileReportSettings>(),
                         std::make_shared<CurlReportTransport>(), Timing{}) {}
