// Helpers for tests that run under Wine: scratch folders, processes, files.
#pragma once

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <utility>
#include <string>
#include <vector>

namespace testsupport {

// A fresh folder under %TEMP% that is deleted with everything in it.
class ScratchDir {
public:
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    ScratchDir();
    ~ScratchDir();

    const std::wstring& path() const { return path_; }
    std::wstring Join(const std::wstring& name) const { return path_ + L"\\" + name; }

private:
    std::wstring path_;
};

// Deletes a folder with everything in it.
void DeleteTree(const std::wstring& path);

// A Unix path of the build (Wine's drive Z:) as a Windows path.
std::wstring FromUnixPath(const std::string& unixPath);

// The launcher executable of this build.
std::wstring LauncherExePath();

struct ProcessResult {
    bool started = false;
    bool finished = false;
    DWORD exitCode = 0;
    DWORD processId = 0;
};

// A launcher runs until the player closes its main page. Tests that are
// about start-up, installation or the update end it the player's way: they
// close the main page window of every launcher (any other process) as soon
// as it exists, which ends its message loop and its normal teardown.
void CloseLauncherMainPages();
// Waits up to |timeoutMs| for |process| to end, closing main pages
// meanwhile; WaitForSingleObject's answer.
DWORD WaitForLauncherEnd(HANDLE process, DWORD timeoutMs);

// Starts |commandLine| in |workingDir| and waits up to |timeoutMs| (a
// launcher among them ended at its main page, as above).
ProcessResult RunProcess(const std::wstring& commandLine, const std::wstring& workingDir,
                         DWORD timeoutMs = 60000);

// Starts without waiting; the caller waits on and closes |process|.
HANDLE StartProcess(const std::wstring& commandLine, const std::wstring& workingDir,
                    DWORD* processId);

std::string ReadFileBytes(const std::wstring& path);
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);

// Lines of a text file split at CR LF (the last, empty piece dropped).
std::vector<std::string> ReadLines(const std::wstring& path);

// Sets a file's last-write time to |ageSeconds| before now.
bool SetFileAge(const std::wstring& path, long long ageSeconds);

bool FileExists(const std::wstring& path);

// A file of the running dev portal's state folder ("port", "requests.log").
std::string DevPortalFile(const char* name);

// Lines of the dev portal's request log that contain |needle|.
std::vector<std::string> LoggedRequests(const std::string& needle);

// Names the dev portal as libcurl's proxy (http_proxy) for this process and
// the programs it starts; WinINet has it from the prefix's settings. False
// when the devportal fixture is not running.
bool UseDevPortalAsCurlProxy();

// GETs |pathAndQuery| from the running dev portal directly (not through the
// proxy); the body goes to |body|. False unless it answered 200.
bool DevPortalGet(const std::string& pathAndQuery, std::string* body = nullptr);

// Key presses (virtual key, released) as the keyboard makes them, through
// SendInput: they reach the window that has the keyboard focus.
void SendKeys(std::initializer_list<std::pair<WORD, bool>> keys);

// Checks |done| every few milliseconds until it holds or |timeoutMs| passes.
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs);

// A message-only window for tests that stand in for a controller's hidden
// window: each message goes to |handle| first; true from it means handled
// (result 0), false passes it on to the default handling.
class MessageWindow {
public:
    MessageWindow(const MessageWindow&) = delete;
    MessageWindow& operator=(const MessageWindow&) = delete;

    explicit MessageWindow(std::function<bool(UINT, WPARAM, LPARAM)> handle);
    ~MessageWindow();
    HWND hwnd() const { return hwnd_; }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    std::function<bool(UINT, WPARAM, LPARAM)> handle_;
    HWND hwnd_ = nullptr;
};

}  // namespace testsupport

namespace testsupport {

// Pixels read back from the screen (0x00RRGGBB, top row first).
struct ScreenImage {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// What the X server shows of |window|'s client area.
ScreenImage CaptureClient(HWND window);

// Writes |image| as <LAUNCHER_SCREENSHOT_DIR>/<name>.bmp when that variable
// names a Unix folder; nothing otherwise.
void SaveScreenshot(const ScreenImage& image, const std::string& name);

}  // namespace testsupport
