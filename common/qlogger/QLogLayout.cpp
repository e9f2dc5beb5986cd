#include "common/qlogger/QLogLayout.h"

#include <cstdio>

namespace {

// Numbers go through a fixed buffer as the facility always did.
std::string FormatNumber(const char* format, long long value) {
    char buffer[1024];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

template <typename String>
String FolderPrefix(const String& pattern) {
    const auto back = pattern.find_last_of(static_cast<typename String::value_type>('\\'));
    const auto fwd = pattern.find_last_of(static_cast<typename String::value_type>('/'));
    size_t last = String::npos;
    if (back != String::npos) last = back;
    if (fwd != String::npos && (last == String::npos || fwd > last)) last = fwd;
    return last == String::npos ? String() : pattern.substr(0, last + 1);
}

}  // namespace

void ReplaceAllTokens(std::string& text, const std::string& token, const std::string& value) {
    size_t pos = 0;
    while ((pos = text.find(token, pos)) != std::string::npos) {
        text.replace(pos, token.size(), value);
        pos += value.size();
    }
}

std::string FormatLogLayout(const std::string& layout, const QLogLineFields& f) {
    char date[1024];
    std::snprintf(date, sizeof date, "%04d.%02d.%02d %02d.%02d.%02d", f.year, f.month, f.day,
                  f.hour, f.minute, f.second);

    std::string line = layout;
    ReplaceAllTokens(line, "%d", date);
    ReplaceAllTokens(line, "%tid", FormatNumber("%5lld", static_cast<int32_t>(f.threadId)));
    ReplaceAllTokens(line, "%r", FormatNumber("%lld", static_cast<int32_t>(f.elapsedMs)));
    ReplaceAllTokens(line, "%c", f.category);
    ReplaceAllTokens(line, "%i", FormatNumber("%lld", f.line));
    ReplaceAllTokens(line, "%f", f.file);
    ReplaceAllTokens(line, "%t", f.levelName);
    ReplaceAllTokens(line, "%m", f.message);
    ReplaceAllTokens(line, "%n", "\r\n");
    return line;
}

bool IsOldLogFile(uint64_t now, uint64_t lastWrite) {
    // Signed difference: a clock set back must not make every log look old.
    const int64_t age = static_cast<int64_t>(now - lastWrite);
    return age >= kOldLogAge;
}

std::string LogFolderPrefix(const std::string& pattern) { return FolderPrefix(pattern); }

std::wstring LogFolderPrefix(const std::wstring& pattern) { return FolderPrefix(pattern); }

std::wstring OldLogPath(const std::wstring& prefix, const std::wstring& name) {
    constexpr size_t kMaxPath = 260;
    std::wstring path = prefix + name;
    if (path.size() > kMaxPath - 1) path.resize(kMaxPath - 1);
    return path;
}
