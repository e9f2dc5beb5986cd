#include "common/SystemInfo_win.h"

#include <iphlpapi.h>
#include <windows.h>

#include <cstring>
#include <vector>

namespace {

// Room for a good many adapters; a machine with more reports an error and
// so the zero address, as it always has.
constexpr ULONG kAdapterBufferSize = 20736;

}  // namespace

std::string GetMacAddressList() {
    std::vector<unsigned char> buffer(kAdapterBufferSize);
    auto* first = reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data());
    ULONG size = kAdapterBufferSize;
    if (GetAdaptersInfo(first, &size) != ERROR_SUCCESS) return FormatMacAddressList(false, {});
    std::vector<MacAddress> addresses;
    for (const IP_ADAPTER_INFO* adapter = first; adapter && addresses.size() < kMacAddressListMax;
         adapter = adapter->Next) {
        MacAddress address{};
        std::memcpy(address.data(), adapter->Address, address.size());
        addresses.push_back(address);
    }
    return FormatMacAddressList(true, addresses);
}

OsVersionFacts GetOsVersionFacts() {
    OsVersionFacts facts;
    OSVERSIONINFOEXW version = {};
    version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    // What the system says to a program without a manifest naming newer
    // versions is exactly what the statistics have always recorded.
    if (!GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&version))) return facts;
#pragma GCC diagnostic pop
    facts.known = true;
    facts.platformId = version.dwPlatformId;
    facts.major = version.dwMajorVersion;
    facts.minor = version.dwMinorVersion;
    facts.servicePackSecond = version.szCSDVersion[0] ? version.szCSDVersion[1] : L'\0';
    facts.workstation = version.wProductType == VER_NT_WORKSTATION;
    facts.serverR2 = GetSystemMetrics(SM_SERVERR2) != 0;

    // Looked up by name: systems before XP have no GetNativeSystemInfo.
    SYSTEM_INFO system = {};
    using NativeSystemInfoFn = void(WINAPI*)(SYSTEM_INFO*);
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    const auto native = kernel ? reinterpret_cast<NativeSystemInfoFn>(reinterpret_cast<void*>(
                                     GetProcAddress(kernel, "GetNativeSystemInfo")))
                               : nullptr;
    if (native) {
        native(&system);
    } else {
        GetSystemInfo(&system);
    }
    facts.nativeAmd64 = system.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64;
    return facts;
}

std::string GetOsName() {
    return OsNameFromVersion(GetOsVersionFacts());
}
