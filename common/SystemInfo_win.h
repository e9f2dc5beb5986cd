// The machine facts of the reports, read from Windows. Any thread.
#pragma once

#include <string>

#include "common/SystemInfo.h"

// The hardware addresses of the first eight network adapters, each as
// "XX-XX-XX-XX-XX-XX;" (GetAdaptersInfo); "00-00-00-00-00-00" when the list
// cannot be read.
std::string GetMacAddressList();

// The version facts GetVersionExW, GetSystemMetrics and GetNativeSystemInfo
// give, and the system's name from them.
OsVersionFacts GetOsVersionFacts();
std::string GetOsName();
