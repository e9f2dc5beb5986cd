// What the reports say about the machine, decided from plain facts that
// SystemInfo_win.cpp gathers (GetAdaptersInfo, GetVersionExW and friends).
// No platform calls; any thread.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

using MacAddress = std::array<uint8_t, 6>;

// The text of a machine without a readable adapter list.
constexpr const char* kNoMacAddress = "00-00-00-00-00-00";
constexpr size_t kMacAddressListMax = 8;

// "%02X-%02X-%02X-%02X-%02X-%02X;" for each of the first eight adapters;
// kNoMacAddress when the list could not be read or holds none.
std::string FormatMacAddressList(bool listRead, const std::vector<MacAddress>& adapters);

// The first entry of such a list, without its ";".
std::string FirstMacAddress(const std::string& list);

// The version facts that name the system.
struct OsVersionFacts {
    bool known = false;  // the version could be read at all
    uint32_t platformId = 0;
    uint32_t major = 0;
    uint32_t minor = 0;
    wchar_t servicePackSecond = 0;  // second character of the service-pack text
    bool workstation = false;       // product type of a desktop system
    bool serverR2 = false;          // SM_SERVERR2
    bool nativeAmd64 = false;       // native processor architecture
};

// "Windows_7", "Windows_XP_x64", "Win_6.3", ... ("Win_Unknown" when unknown).
std::string OsNameFromVersion(const OsVersionFacts& facts);
