#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <vector>

#include "common/qlogger/QLogLayout.h"
#include "common/qlogger/QLoggerPlatform.h"
#include "common/win/UniqueHandle_win.h"

namespace qlogger_platform {

LocalTime CurrentLocalTime() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

uint32_t CurrentThreadId() { return GetCurrentThreadId(); }

uint32_t TickCount() { return GetTickCount(); }

void FormatWide(wchar_t* buffer, size_t size, const wchar_t* format, va_list args) {
    // The C runtime's own _vsnwprintf reads %s in a wide format as a wide
    // string, as every caller of LogW expects; MinGW's C99 vswprintf would not.
    const int written = _vsnwprintf(buffer, size - 1, format, args);
    if (written < 0 || static_cast<size_t>(written) >= size - 1) buffer[size - 1] = L'\0';
}

std::string WideToAnsi(const wchar_t* text) {
    const int length = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1) return {};
    std::string result(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, -1, result.data(), length, nullptr, nullptr);
    result.resize(static_cast<size_t>(length - 1));
    return result;
}

bool AppendLineToFile(const std::string& path, const std::string& line) {
    UniqueHandle file(CreateFileA(path.c_str(), FILE_APPEND_DATA,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    // One write per line: with FILE_APPEND_DATA each write lands at the end
    // as a whole, even with other writers on the same file. Nothing is
    // buffered in the process, so the line is in the file once this returns.
    DWORD written = 0;
    WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    return true;
}

void DebugOutput(const std::string& line) { OutputDebugStringA(line.c_str()); }

void CreateLogDirectory() { CreateDirectoryW(L"log", nullptr); }

void DeleteFileQuietly(const std::string& path) { DeleteFileA(path.c_str()); }

void RemoveOldLogFiles(const wchar_t* pattern) {
    WIN32_FIND_DATAW found;
    UniqueFindHandle search(FindFirstFileW(pattern, &found));
    if (!search) return;

    SYSTEMTIME nowSystem;
    GetSystemTime(&nowSystem);
    FILETIME nowFile;
    SystemTimeToFileTime(&nowSystem, &nowFile);
    const uint64_t now = (uint64_t{nowFile.dwHighDateTime} << 32) | nowFile.dwLowDateTime;
    const std::wstring prefix = LogFolderPrefix(std::wstring(pattern));

    do {
        const uint64_t written = (uint64_t{found.ftLastWriteTime.dwHighDateTime} << 32) |
                                 found.ftLastWriteTime.dwLowDateTime;
        if (IsOldLogFile(now, written)) {
            DeleteFileW(OldLogPath(prefix, found.cFileName).c_str());
        }
    } while (FindNextFileW(search.get(), &found));
}

void AtExit(void (*fn)()) { std::atexit(fn); }

}  // namespace qlogger_platform
