// What tests that start the real launcher share in the Wine prefix: the
// user's profile folders (game folder, desktop) and the plug-in control's
// registration. A PrefixUserState holds them for one test at a time (a
// named mutex across test processes), gives the test a profile of its own
// with a blank in its path, and puts everything back afterwards. Every test
// that starts a launcher which may register the control or relocate itself
// should hold one.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testsupport {

class PrefixUserState {
public:
    PrefixUserState(const PrefixUserState&) = delete;
    PrefixUserState& operator=(const PrefixUserState&) = delete;

    PrefixUserState();
    // Waits for registrations still running, restores the profile folders,
    // removes the test's profile and the control's registration.
    ~PrefixUserState();

    bool ok() const { return ok_; }
    const std::wstring& profile() const { return profile_; }
    std::wstring GameFolder() const { return profile_ + L"\\plume\\qamb"; }
    std::wstring Desktop() const { return profile_ + L"\\Desktop"; }
    std::wstring Shortcut() const { return Desktop() + L"\\Torvessa-\u5FAE\u7AEF.lnk"; }

private:
    HANDLE mutex_ = nullptr;
    bool ok_ = false;
    std::wstring profilesRoot_;
    std::wstring profile_;
    std::wstring savedProfiles_;
    DWORD savedType_ = REG_EXPAND_SZ;
};

// The control's type-library record ("win64" path), empty when missing.
std::wstring ReadPluginRecord();
bool WritePluginRecord(const std::wstring& path);
// The control's class registration (CLSID key) exists.
bool PluginClassRegistered();
// Removes the class registration, or everything the control registers.
void RemovePluginClass();
void RemovePluginRegistration();

// Waits until no regsvr32.exe runs in the prefix; false after |timeoutMs|.
bool WaitForNoRegsvr32(DWORD timeoutMs = 30000);

// Polls |done| every few milliseconds until it holds or |timeoutMs| passes.
template <class Pred>
bool WaitFor(Pred done, DWORD timeoutMs = 30000) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(20);
    }
    return true;
}

// Finds the one log file in |folder|\log and returns its lines once one of
// them contains |lastLine|; empty after |timeoutMs|.
std::vector<std::string> WaitForLog(const std::wstring& folder, const std::string& lastLine,
                                    DWORD timeoutMs = 30000);

}  // namespace testsupport
