#include "update/SelfUpdate.h"

#include <algorithm>
#include <cwchar>

std::string RemoteVersionFromFile(const std::string& content) {
    size_t end = content.size();
    while (end > 0 && (content[end - 1] == '\r' || content[end - 1] == '\n')) --end;
    return content.substr(0, end);
}

bool IsOlderVersion(const std::string& version, const std::string& other) {
    // char_traits<char> compares bytes as unsigned, like memcmp.
    return version.compare(other) < 0;
}

std::wstring VersionFileUrl(const std::wstring& resourceHost) {
    return L"http://" + resourceHost + L"/launcher2/launcher.ver";
}

std::wstring PackageUrl(const std::wstring& resourceHost, const std::wstring& version) {
    return L"http://" + resourceHost + L"/launcher2/" + version + L"/" + kSelfUpdatePackageFile;
}

int DownloadPercent(uint32_t received, uint32_t length) {
    if (length == 0) return 0;
    // Single precision as the bar has always shown it; a server that sends
    // more than it announced must not push the text out of its field.
    const float quotient = static_cast<float>(received) * 100.0f / static_cast<float>(length);
    if (!(quotient > 0.0f)) return 0;
    if (quotient >= 100.0f) return 100;
    return static_cast<int>(quotient);
}

std::wstring ProgressText(int percent) {
    wchar_t text[16];
    std::swprintf(text, 16, L"%2d%%", percent);
    return text;
}

std::string SelfUpdateScript() {
    const std::string exe = kSelfUpdateEntryName;
    const std::string temp = "qmtemp";
    const std::string fresh = temp + "\\" + exe;
    const std::string tries = std::to_string(kSelfUpdateSwapTries);
    const char* const eol = "\r\n";
    std::string s;
    auto line = [&](const std::string& text) { s += text + eol; };
    line("echo %*");
    line("taskkill /F /IM " + exe);
    line("if not exist " + fresh + " goto end");
    line("set tries=0");
    line(":begin");
    // A rename over the old file: it fails, changing nothing, while the old
    // launcher is still running or otherwise locked.
    line("move /Y " + fresh + " .\\");
    line("if not exist " + fresh + " goto moved");
    line("set /a tries+=1");
    line("if %tries% geq " + tries + " goto end");
    // cmd has no sleep of its own; ping waits a second between its echoes.
    line("ping -n 2 127.0.0.1 >nul");
    line("goto begin");
    line(":moved");
    line("rmdir " + temp);
    line(":end");
    line("start " + exe + " %*");
    return s;
}

bool SelfUpdateCommandLine(const std::wstring& quotedOptions, std::wstring* command) {
    std::wstring text = kSelfUpdateScriptFile;
    if (!quotedOptions.empty()) text += L" " + quotedOptions;
    if (text.size() >= kSelfUpdateCommandCapacity) return false;
    *command = std::move(text);
    return true;
}

bool MayRestartForUpdate(const SelfUpdateRestarts& remembered, const std::string& remote,
                         SelfUpdateRestarts* next) {
    const int earlier = remembered.version == remote ? std::max(remembered.count, 0) : 0;
    if (earlier >= kSelfUpdateRestartLimit) return false;
    *next = SelfUpdateRestarts{remote, earlier + 1};
    return true;
}
