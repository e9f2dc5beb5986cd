// The game's browser plug-in control "plumegame.ocx": written out from the
// launcher's own resources into the working directory and registered with
// the system, elevated where the user is no administrator, so that the game
// page can create it. Also the per-user game folder, which the relocation
// into the game folder uses. Start-up calls this once, on the main thread,
// before any window exists; registration then runs in its own process and
// may end after the launcher has gone on.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What the installation needs from the system; the Windows implementation
// is in GameOcx_win.cpp, tests hand in a fake.
class OcxInstallPlatform {
public:
    virtual ~OcxInstallPlatform() = default;
    // The registered control's type-library path, empty when unregistered.
    virtual std::wstring ReadRegistrationRecord() = 0;
    // The folder the control file is written to (the working directory).
    virtual std::wstring ControlFolder() = 0;
    virtual bool FileExists(const std::wstring& path) = 0;
    // Paths compared the way the file system compares them.
    virtual bool SamePath(const std::wstring& a, const std::wstring& b) = 0;
    virtual bool LoadControlBytes(std::vector<uint8_t>& bytes) = 0;
    // Creates |path| anew with all of |bytes|; on failure |error| is the
    // system's error code.
    virtual bool WriteNewFile(const std::wstring& path, const std::vector<uint8_t>& bytes,
                              uint32_t& error) = 0;
    virtual bool StartRegistration(const std::wstring& path) = 0;
};

inline constexpr const wchar_t* kGameOcxFileName = L"plumegame.ocx";

// The installation step over any platform: true when the control is
// registered at its path or its registration has started.
bool InstallGameOcx(OcxInstallPlatform& platform);

// The folder levels CreateDirectoryPath makes, shortest first: the text
// before each "\" or "/" of |path| (a closing separator is added when it
// has none). Empty levels (a path that starts at the root) are left out;
// so is everything of a path of 260 characters or more, which would not
// fit the system's path buffers.
std::vector<std::wstring> DirectoryPathLevels(const std::wstring& path);

// The ShellExecute verb for regsvr32: "runas" when the system can elevate
// (major version 6 or later) and the user is known not to be an
// administrator, "open" otherwise.
const wchar_t* Regsvr32Verb(uint32_t majorVersion, bool adminTestMade, bool isAdmin);

// Windows only, below.

// The user's profile folder + "\plume\qamb"; empty when the profile is unknown.
std::wstring GetGameFolder();

// Creates every missing level of |path|; false when one cannot be made.
bool CreateDirectoryPath(const std::wstring& path);

// Makes sure the control is present and registered; start-up goes on
// whatever the result.
bool RegisterGameOcx();

// Copies the "ZIPRES" resource 132 of the launcher into |bytes|.
bool LoadControlResource(std::vector<uint8_t>& bytes);

// Starts the registration of |path|: a direct regsvr32 process for an
// administrator, the shell (elevated where needed) otherwise.
bool RegisterOcxFile(const std::wstring& path);

// Whether the administrators-group test could be made; its answer in |member|.
bool IsUserAdmin(bool& member);

// Starts "regsvr32.exe" with |arguments| through the shell.
bool RunRegsvr32Elevated(const std::wstring& arguments);
