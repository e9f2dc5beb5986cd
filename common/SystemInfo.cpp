#include "common/SystemInfo.h"

#include <cstdio>

namespace {

// The platform ids of the version structure.
constexpr uint32_t kPlatformWin32s = 0;
constexpr uint32_t kPlatformWindows9x = 1;
constexpr uint32_t kPlatformNt = 2;
constexpr uint32_t kPlatformCe = 3;

std::string NumberedName(const OsVersionFacts& facts) {
    char name[32];
    std::snprintf(name, sizeof name, "Win_%d.%d", static_cast<int>(facts.major),
                  static_cast<int>(facts.minor));
    return name;
}

std::string Windows9xName(const OsVersionFacts& f) {
    if (f.major != 4) return NumberedName(f);
    switch (f.minor) {
        case 0: {
            const bool osr2 = f.servicePackSecond == L'B' || f.servicePackSecond == L'C';
            return osr2 ? "Windows_95 Win_OSR2" : "Windows_95";
        }
        case 10:
            return f.servicePackSecond == L'A' ? "Windows_98 Win_SE" : "Windows_98";
        case 90:
            return "Windows_ME";
        default:
            return NumberedName(f);
    }
}

std::string WindowsNtName(const OsVersionFacts& f) {
    if (f.major <= 4) return "Windows_NT";
    if (f.major == 5) {
        switch (f.minor) {
            case 0:
                return "Windows_2000";
            case 1:
                return "Windows_XP";
            case 2:
                if (f.serverR2) return "Windows_Server_2003_R2";
                if (f.workstation && f.nativeAmd64) return "Windows_XP_x64";
                return "Windows_Server_2003";
            default:
                return NumberedName(f);
        }
    }
    if (f.major == 6) {
        switch (f.minor) {
            case 0:
                return f.workstation ? "Windows_Vista" : "Windows_Server_2008";
            case 1:
                return f.workstation ? "Windows_7" : "Windows_Server_2008_R2";
            case 2:
                return f.workstation ? "Windows_8" : "Win8_Server_Unknow";
            default:
                break;
        }
    }
    return NumberedName(f);
}

}  // namespace

std::string FormatMacAddressList(bool listRead, const std::vector<MacAddress>& adapters) {
    if (!listRead || adapters.empty()) return kNoMacAddress;
    std::string list;
    for (size_t i = 0; i < adapters.size() && i < kMacAddressListMax; ++i) {
        const MacAddress& a = adapters[i];
        char entry[24];
        std::snprintf(entry, sizeof entry, "%02X-%02X-%02X-%02X-%02X-%02X;", a[0], a[1], a[2], a[3],
                      a[4], a[5]);
        list += entry;
    }
    return list;
}

std::string FirstMacAddress(const std::string& list) {
    return list.substr(0, list.find(';'));
}

std::string OsNameFromVersion(const OsVersionFacts& facts) {
    if (!facts.known) return "Win_Unknown";
    switch (facts.platformId) {
        case kPlatformWin32s:
            return "Windows_32s";
        case kPlatformWindows9x:
            return Windows9xName(facts);
        case kPlatformNt:
            return WindowsNtName(facts);
        case kPlatformCe:
            return "Win_CE";
        default:
            return NumberedName(facts);
    }
}
