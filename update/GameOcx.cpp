#include "update/GameOcx.h"

#include "common/qlogger/QLogger.h"

bool InstallGameOcx(OcxInstallPlatform& platform) {
    const std::wstring record = platform.ReadRegistrationRecord();
    QLogger::LogW(QLOG_NORMAL, L"begin to register plumegame.ocx");
    const std::wstring controlPath = platform.ControlFolder() + L"\\" + kGameOcxFileName;
    QLogger::LogW(QLOG_NORMAL, L"ocx path: %ls", controlPath.c_str());
    const bool exists = platform.FileExists(controlPath);

    if (exists && platform.SamePath(record, controlPath)) {
        QLogger::LogW(QLOG_NORMAL, L"ocx already registered");
        return true;
    }
    // A control file already there is registered as it is, never rewritten:
    // another launcher may be running the game with it.
    if (!exists) {
        QLogger::LogW(QLOG_NORMAL, L"ocx extracting...");
        std::vector<uint8_t> bytes;
        if (!platform.LoadControlBytes(bytes)) {
            QLogger::LogW(QLOG_ERROR, L"ocx extract failed");
            return false;
        }
        uint32_t error = 0;
        if (!platform.WriteNewFile(controlPath, bytes, error)) {
            QLogger::LogW(QLOG_ERROR, L"ocx write failed, code[%d]", static_cast<int>(error));
            return false;
        }
        QLogger::LogW(QLOG_NORMAL, L"ocx extract succeed");
    }
    return platform.StartRegistration(controlPath);
}

std::vector<std::wstring> DirectoryPathLevels(const std::wstring& path) {
    std::vector<std::wstring> levels;
    if (path.empty() || path.size() >= 260) return levels;
    std::wstring text = path;
    if (text.back() != L'\\' && text.back() != L'/') text += L'\\';
    for (size_t i = 0; i < text.size(); ++i) {
        if ((text[i] == L'\\' || text[i] == L'/') && i > 0) levels.push_back(text.substr(0, i));
    }
    return levels;
}

const wchar_t* Regsvr32Verb(uint32_t majorVersion, bool adminTestMade, bool isAdmin) {
    return majorVersion >= 6 && adminTestMade && !isAdmin ? L"runas" : L"open";
}
