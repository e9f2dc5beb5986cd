#include "support/WinTestSupport_win.h"

#include <shellapi.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>

#include "update/HttpClient.h"

namespace testsupport {

void DeleteTree(const std::wstring& path) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring child = path + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                DeleteTree(child);
            } else {
                SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(child.c_str());
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(path.c_str());
}

ScratchDir::ScratchDir() {
    static std::atomic<int> counter{0};
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    path_ = std::wstring(temp) + L"launcher-test-" + std::to_wstring(GetCurrentProcessId()) +
            L"-" + std::to_wstring(counter++);
    DeleteTree(path_);
    CreateDirectoryW(path_.c_str(), nullptr);
}

ScratchDir::~ScratchDir() { DeleteTree(path_); }

std::wstring FromUnixPath(const std::string& unixPath) {
    std::wstring path = L"Z:";
    for (char c : unixPath) path += (c == '/') ? L'\\' : static_cast<wchar_t>(c);
    return path;
}

std::wstring LauncherExePath() { return FromUnixPath(LAUNCHER_EXE_PATH); }

HANDLE StartProcess(const std::wstring& commandLine, const std::wstring& workingDir,
                    DWORD* processId) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::wstring command = commandLine;
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        workingDir.empty() ? nullptr : workingDir.c_str(), &startup, &process)) {
        return nullptr;
    }
    CloseHandle(process.hThread);
    if (processId) *processId = process.dwProcessId;
    return process.hProcess;
}

MessageWindow::MessageWindow(std::function<bool(UINT, WPARAM, LPARAM)> handle)
    : handle_(std::move(handle)) {
    static const ATOM atom = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &MessageWindow::Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TestMessageWindow";
        return RegisterClassW(&wc);
    }();
    hwnd_ = CreateWindowExW(0, MAKEINTATOM(atom), L"", WS_POPUP, 0, 0, 0, 0, HWND_MESSAGE,
                            nullptr, GetModuleHandleW(nullptr), this);
}

MessageWindow::~MessageWindow() {
    if (hwnd_ != nullptr) DestroyWindow(hwnd_);
}

LRESULT CALLBACK MessageWindow::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<MessageWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self != nullptr && self->handle_(message, wParam, lParam)) return 0;
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

void CloseLauncherMainPages() {
    EnumWindows(
        [](HWND window, LPARAM) -> BOOL {
            wchar_t name[16] = {};
            DWORD processId = 0;
            GetWindowThreadProcessId(window, &processId);
            if (processId != GetCurrentProcessId() && GetClassNameW(window, name, 16) > 0 &&
                wcscmp(name, L"UIMain") == 0) {
                PostMessageW(window, WM_CLOSE, 0, 0);
            }
            return TRUE;
        },
        0);
}

DWORD WaitForLauncherEnd(HANDLE process, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        CloseLauncherMainPages();
        const DWORD waited = GetTickCount() - start;
        const DWORD slice = waited >= timeoutMs ? 0 : std::min<DWORD>(100, timeoutMs - waited);
        const DWORD answer = WaitForSingleObject(process, slice);
        if (answer != WAIT_TIMEOUT || slice == 0) return answer;
    }
}

ProcessResult RunProcess(const std::wstring& commandLine, const std::wstring& workingDir,
                         DWORD timeoutMs) {
    ProcessResult result;
    HANDLE process = StartProcess(commandLine, workingDir, &result.processId);
    if (!process) return result;
    result.started = true;
    if (WaitForLauncherEnd(process, timeoutMs) == WAIT_OBJECT_0) {
        result.finished = true;
        GetExitCodeProcess(process, &result.exitCode);
    } else {
        TerminateProcess(process, 99);
    }
    CloseHandle(process);
    return result;
}

std::string ReadFileBytes(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string bytes;
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) {
        bytes.append(buffer, read);
    }
    CloseHandle(file);
    return bytes;
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                              nullptr) &&
                    written == bytes.size();
    CloseHandle(file);
    return ok;
}

std::vector<std::string> ReadLines(const std::wstring& path) {
    const std::string bytes = ReadFileBytes(path);
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        const size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(bytes.substr(start));
            break;
        }
        lines.push_back(bytes.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

bool SetFileAge(const std::wstring& path, long long ageSeconds) {
    SYSTEMTIME nowSystem;
    GetSystemTime(&nowSystem);
    FILETIME now;
    SystemTimeToFileTime(&nowSystem, &now);
    ULARGE_INTEGER value;
    value.LowPart = now.dwLowDateTime;
    value.HighPart = now.dwHighDateTime;
    value.QuadPart -= static_cast<ULONGLONG>(ageSeconds) * 10000000ULL;
    FILETIME stamp{value.LowPart, value.HighPart};
    HANDLE file = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool ok = SetFileTime(file, nullptr, nullptr, &stamp);
    CloseHandle(file);
    return ok;
}

bool FileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string DevPortalFile(const char* name) {
    return ReadFileBytes(FromUnixPath(std::string(LAUNCHER_DEVPORTAL_DIR) + "/" + name));
}

std::vector<std::string> LoggedRequests(const std::string& needle) {
    std::vector<std::string> found;
    const std::string log = DevPortalFile("requests.log");
    size_t start = 0;
    while (start < log.size()) {
        size_t end = log.find('\n', start);
        if (end == std::string::npos) end = log.size();
        std::string line = log.substr(start, end - start);
        if (line.find(needle) != std::string::npos) found.push_back(line);
        start = end + 1;
    }
    return found;
}

bool UseDevPortalAsCurlProxy() {
    std::string port = DevPortalFile("port");
    while (!port.empty() && (port.back() == '\n' || port.back() == '\r')) port.pop_back();
    if (port.empty()) return false;
    const std::string proxy = "http://127.0.0.1:" + port;
    return SetEnvironmentVariableA("http_proxy", proxy.c_str()) != FALSE;
}

bool DevPortalGet(const std::string& pathAndQuery, std::string* body) {
    std::string port = DevPortalFile("port");
    while (!port.empty() && (port.back() == '\n' || port.back() == '\r')) port.pop_back();
    if (port.empty()) return false;
    struct StatusCallback : HttpClientCallback {
        bool ok = false;
        void OnEnd(HttpClient*, uint32_t, uint32_t success) override { ok = success != 0; }
    } callback;
    HttpClient client;
    client.SetCallback(&callback);
    const std::string url = "http://127.0.0.1:" + port + pathAndQuery;
    client.SetUrl(std::wstring(url.begin(), url.end()));
    if (!client.Start() || !client.WaitIdle(30000)) return false;
    if (body) *body = client.GetContent();
    return callback.ok;
}

void SendKeys(std::initializer_list<std::pair<WORD, bool>> keys) {
    std::vector<INPUT> inputs;
    for (const auto& [key, up] : keys) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        inputs.push_back(input);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(20);
    }
    return true;
}

}  // namespace testsupport

namespace testsupport {

ScreenImage CaptureClient(HWND window) {
    ScreenImage image;
    RECT client = {};
    GetClientRect(window, &client);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    image.width = client.right;
    image.height = client.bottom;
    if (image.width <= 0 || image.height <= 0) return image;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = image.width;
    info.bmiHeader.biHeight = -image.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, image.width, image.height, screen, origin.x, origin.y, SRCCOPY);
    GdiFlush();
    const auto* first = static_cast<const uint32_t*>(bits);
    image.pixels.assign(first, first + static_cast<size_t>(image.width) * image.height);
    for (auto& p : image.pixels) p &= 0x00FFFFFFu;
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return image;
}

void SaveScreenshot(const ScreenImage& image, const std::string& name) {
    const char* dir = std::getenv("LAUNCHER_SCREENSHOT_DIR");
    if (!dir || image.pixels.empty()) return;
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = image.width;
    info.biHeight = -image.height;
    info.biPlanes = 1;
    info.biBitCount = 32;
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(image.pixels.size() * 4);
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char*>(&info), sizeof info);
    bytes.append(reinterpret_cast<const char*>(image.pixels.data()), image.pixels.size() * 4);
    WriteFileBytes(FromUnixPath(std::string(dir) + "/" + name + ".bmp"), bytes);
}

}  // namespace testsupport
