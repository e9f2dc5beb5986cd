// The self-update's decisions, apart from the window that drives them: which
// version wins, where the package lives, what the progress bar says, and the
// replacement script with the command that starts it. Portable; any thread.
#pragma once

#include <cstdint>
#include <string>

// Names the self-update meets on disk and on the resource host. The package
// and the temporary folder live in the launcher's own folder; the script in
// the working directory (the two coincide when the launcher runs from its
// own folder, as the script starts it).
inline constexpr wchar_t kSelfUpdatePackageFile[] = L"launcherqamb.exe.lzma";
inline constexpr wchar_t kSelfUpdateTempFolder[] = L"qmtemp";
inline constexpr char kSelfUpdateEntryName[] = "LauncherQAMB.exe";
inline constexpr wchar_t kSelfUpdateScriptFile[] = L"selfupdate.bat";
inline constexpr wchar_t kSelfUpdateNoRestartOption[] = L"-disable_update_restart";
// The script starts with the old launcher possibly still ending: it retries
// the swap once a second this many times before it gives up and starts the
// launcher that is there.
inline constexpr int kSelfUpdateSwapTries = 20;
// The command line's buffer, in characters with its terminating NUL.
inline constexpr size_t kSelfUpdateCommandCapacity = 4096;

// The version file's text without the line ends at its end.
std::string RemoteVersionFromFile(const std::string& content);

// True when |version| sorts before |other| as a byte string: bytes of the
// common length first, then the shorter one is the smaller. "2016-04-2"
// therefore counts as older than "2016-04-25".
bool IsOlderVersion(const std::string& version, const std::string& other);

// "http://<host>/launcher2/launcher.ver" and
// "http://<host>/launcher2/<version>/launcherqamb.exe.lzma".
std::wstring VersionFileUrl(const std::wstring& resourceHost);
std::wstring PackageUrl(const std::wstring& resourceHost, const std::wstring& version);

// The bar's percentage: received x 100 / length in single precision, cut
// toward zero, kept within 0..100. A length of 0 shows 0; so does the
// unknown length (0xFFFFFFFF) until about 43 MB have arrived.
int DownloadPercent(uint32_t received, uint32_t length);
// "%2d%%": " 5%", "42%", "100%".
std::wstring ProgressText(int percent);

// The replacement script, CR LF line ends. It ends every running launcher,
// moves the new executable from the temporary folder over the old one (a
// rename, so the old one stays whole until the new one is in place), waits
// a second and tries again while the old one is still locked, at most
// kSelfUpdateSwapTries times, and in every case starts the launcher that is
// then in the folder with the quoted options as its one argument.
std::string SelfUpdateScript();

// "selfupdate.bat" followed by the options, each its own quoted argument
// (QuoteCommandLineOptions), which the script hands on to the new launcher
// as they are. False when it would not fit kSelfUpdateCommandCapacity.
bool SelfUpdateCommandLine(const std::wstring& quotedOptions, std::wstring* command);

// How often one remote version may restart the launcher through the script.
// A package whose executable still calls itself older than the version file
// says (one without a version resource that was built with the old version
// compiled in, say) would otherwise be swapped in again at every start, the
// player never reaching the login. The launcher remembers the version it
// last restarted for and how often, in "launcher.ini" beside itself.
inline constexpr int kSelfUpdateRestartLimit = 3;
struct SelfUpdateRestarts {
    std::string version;
    int count = 0;
};
// Whether an update to |remote| may go on to the restart, given what was
// remembered; true also sets |*next| to what to remember before restarting.
bool MayRestartForUpdate(const SelfUpdateRestarts& remembered, const std::string& remote,
                         SelfUpdateRestarts* next);
