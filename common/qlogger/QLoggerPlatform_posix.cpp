// Native builds run the portable core's tests and tools; their log lines go
// to a plain file the same way, and wide text is taken as UTF-8.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <cwchar>
#include <filesystem>
#include <fnmatch.h>
#include <string>
#include <sys/syscall.h>

#include "common/qlogger/QLogLayout.h"
#include "common/qlogger/QLoggerPlatform.h"

namespace qlogger_platform {

LocalTime CurrentLocalTime() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
            local.tm_hour,        local.tm_min,     local.tm_sec};
}

uint32_t CurrentThreadId() { return static_cast<uint32_t>(syscall(SYS_gettid)); }

uint32_t TickCount() {
    using namespace std::chrono;
    return static_cast<uint32_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void FormatWide(wchar_t* buffer, size_t size, const wchar_t* format, va_list args) {
    const int written = std::vswprintf(buffer, size, format, args);
    // glibc reports a cut message as -1 and leaves the buffer unspecified.
    if (written < 0) buffer[size - 1] = L'\0';
}

std::string WideToAnsi(const wchar_t* text) {
    std::string out;
    for (; *text; ++text) {
        const auto c = static_cast<uint32_t>(*text);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

bool AppendLineToFile(const std::string& path, const std::string& line) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    const ssize_t written = ::write(fd, line.data(), line.size());
    (void)written;
    ::close(fd);
    return true;
}

void DebugOutput(const std::string&) {}

void CreateLogDirectory() { ::mkdir("log", 0755); }

void DeleteFileQuietly(const std::string& path) { ::unlink(path.c_str()); }

void RemoveOldLogFiles(const wchar_t* pattern) {
    const std::string narrow = WideToAnsi(pattern);
    const std::string prefix = LogFolderPrefix(narrow);
    const std::string mask = narrow.substr(prefix.size());
    std::error_code error;
    const auto now = std::filesystem::file_time_type::clock::now();
    for (const auto& entry : std::filesystem::directory_iterator(prefix.empty() ? "." : prefix, error)) {
        const std::string name = entry.path().filename().string();
        if (fnmatch(mask.c_str(), name.c_str(), 0) != 0) continue;
        const auto written = entry.last_write_time(error);
        if (error) continue;
        const auto age = std::chrono::duration_cast<std::chrono::nanoseconds>(now - written);
        if (IsOldLogFile(static_cast<uint64_t>(age.count() / 100), 0)) {
            std::filesystem::remove(entry.path(), error);
        }
    }
}

void AtExit(void (*fn)()) { std::atexit(fn); }

}  // namespace qlogger_platform
