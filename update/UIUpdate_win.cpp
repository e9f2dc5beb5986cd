#include "update/UIUpdate_win.h"

#include <cassert>
#include <memory>

#include "LauncherConfig.h"
#include "app/CommandLine.h"
#include "common/qlogger/QLogger.h"
#include "common/win/AnsiText_win.h"
#include "common/win/ModulePath_win.h"
#include "common/win/UniqueHandle_win.h"
#include "ui/controls/Progress.h"
#include "update/ExeVersion_win.h"
#include "update/LZMAPackage.h"
#include "update/LauncherVersion.h"
#include "update/SelfUpdate.h"

namespace {

constexpr uint32_t kAttempts = 3;
// The version file's worker has posted its last end and is only closing its
// handles when the package download is to start on the same downloader.
constexpr uint32_t kWorkerEndWaitMs = 5000;

// The running executable's folder, its closing "\" kept.
std::wstring OwnFolder() {
    return ModuleFolder();
}

constexpr wchar_t kRestartsSection[] = L"SelfUpdate";
constexpr wchar_t kRestartsFile[] = L"launcher.ini";

SelfUpdateRestarts ReadRestarts(const std::wstring& ownFolder) {
    const std::wstring file = ownFolder + kRestartsFile;
    wchar_t version[64] = {};
    GetPrivateProfileStringW(kRestartsSection, L"version", L"", version, 64, file.c_str());
    return SelfUpdateRestarts{
        ToAnsi(version),
        static_cast<int>(GetPrivateProfileIntW(kRestartsSection, L"restarts", 0, file.c_str()))};
}

void WriteRestarts(const std::wstring& ownFolder, const SelfUpdateRestarts& restarts) {
    const std::wstring file = ownFolder + kRestartsFile;
    WritePrivateProfileStringW(kRestartsSection, L"version", FromAnsi(restarts.version).c_str(),
                               file.c_str());
    WritePrivateProfileStringW(kRestartsSection, L"restarts",
                               std::to_wstring(restarts.count).c_str(), file.c_str());
}

void RemoveExtracted(const std::wstring& newExe, const std::wstring& tempFolder) {
    DeleteFileW(newExe.c_str());
    RemoveDirectoryW(tempFolder.c_str());  // only when nothing else is in it
}

}  // namespace

UIUpdate::UIUpdate(CApp* owner) : owner_(owner) {
    downloader_.SetCallback(this);
}

UIUpdate::~UIUpdate() {
    downloader_.Stop();
}

void UIUpdate::Start() {
    QLogger::LogW(QLOG_NORMAL, L"UIUpdate::Start");
    downloader_.SetTag(kVersionTag);
    downloader_.SetRetryCount(kAttempts);
    downloader_.SetUrl(VersionFileUrl(LAUNCHER_RESOURCE_HOST));
    downloader_.SetFilePath(L"");
    downloader_.Start();
}

LRESULT UIUpdate::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case kDownloadStarted:
            return 0;
        case kContentLength:
            if (wParam == kPackageTag && progress_) {
                progress_->SetValue(0);
                // The unknown length 0xFFFFFFFF becomes -1, as it always has.
                progress_->SetMaxValue(static_cast<int>(static_cast<uint32_t>(lParam)));
            }
            return 0;
        case kDataReceived: {
            std::unique_ptr<DownloadProgress> data(reinterpret_cast<DownloadProgress*>(lParam));
            if (wParam == kPackageTag && progress_ && data) {
                progress_->SetValue(static_cast<int>(data->received));
                progress_->SetText(ProgressText(DownloadPercent(data->received, data->length)));
            }
            return 0;
        }
        case kDownloadEnded:
            OnHttpDownloaderEnd(static_cast<uint32_t>(wParam), static_cast<uint32_t>(lParam));
            return 0;
        default:
            return ProgressPopup::HandleMessage(message, wParam, lParam);
    }
}

void UIUpdate::OnStart(HttpClient*, uint32_t tag) {
    PostMessage(kDownloadStarted, tag, 0);
}

void UIUpdate::OnContentLength(HttpClient*, uint32_t tag, uint32_t length) {
    PostMessage(kContentLength, tag, static_cast<LPARAM>(length));
}

void UIUpdate::OnData(HttpClient*, uint32_t tag, const uint8_t*, uint32_t, uint32_t received,
                      uint32_t length) {
    auto data = std::make_unique<DownloadProgress>(DownloadProgress{received, length});
    if (PostMessage(kDataReceived, tag, reinterpret_cast<LPARAM>(data.get()))) data.release();
}

void UIUpdate::OnEnd(HttpClient* client, uint32_t tag, uint32_t success) {
    QLogger::LogW(QLOG_NORMAL, L"%ls, %ls, code=%d", L"UIUpdate::OnEnd", client->GetUrl().c_str(),
                  static_cast<int>(success));
    // An attempt that the downloader retries is not the download's end: the
    // owner hears of a download once, and never after it has gone on.
    if (!client->IsFinalAttempt()) return;
    PostMessage(kDownloadEnded, tag, success);
}

void UIUpdate::EndUpdate(bool success) {
    if (callback_) callback_->OnUpdateEnd(success);
}

void UIUpdate::OnHttpDownloaderEnd(uint32_t tag, uint32_t success) {
    if (success == 0) {
        EndUpdate(false);
        return;
    }
    const std::wstring ownFolder = OwnFolder();
    if (tag == kVersionTag) {
        OnVersionFile(ownFolder);
    } else if (tag == kPackageTag) {
        OnPackage(ownFolder);
    }
}

void UIUpdate::OnVersionFile(const std::wstring& ownFolder) {
    QLogger::LogW(QLOG_NORMAL, L"%ls, %ls", L"UIUpdate::OnHttpDownloaderEnd",
                  downloader_.GetUrl().c_str());
    const std::wstring packageFile = ownFolder + kSelfUpdatePackageFile;
    DeleteFileW(packageFile.c_str());  // one left by an earlier run
    QLogger::LogW(QLOG_NORMAL, L"Local launcher version: %ls", kLauncherVersionW);

    // The worker has ended its last attempt: the content is ours to read.
    const std::string remote = RemoteVersionFromFile(downloader_.GetContent());
    const std::wstring remoteW = FromAnsi(remote);
    QLogger::LogW(QLOG_NORMAL, L"Remote launcher version: %ls", remoteW.c_str());
    if (remote.empty()) {
        EndUpdate(false);
        return;
    }
    if (!IsOlderVersion(kLauncherVersion, remote)) {
        EndUpdate(true);
        return;
    }
    const SelfUpdateRestarts remembered = ReadRestarts(ownFolder);
    if (!MayRestartForUpdate(remembered, remote, &restarts_)) {
        QLogger::LogW(QLOG_WARNING,
                      L"Launcher SelfUpdate, version %ls restarted the launcher %d times and it is "
                      L"still %ls: "
                      L"update skipped",
                      remoteW.c_str(), remembered.count, kLauncherVersionW);
        EndUpdate(false);
        return;
    }

    const std::wstring url = PackageUrl(LAUNCHER_RESOURCE_HOST, remoteW);
    QLogger::LogW(QLOG_NORMAL, L"Begin Download Launcher: %ls", url.c_str());
    // The same downloader fetches the package once the version file's worker
    // has unregistered; it posted its end just before.
    if (!downloader_.WaitIdle(kWorkerEndWaitMs)) {
        QLogger::LogW(QLOG_ERROR, L"%ls:version download still busy after %u ms",
                      L"UIUpdate::OnHttpDownloaderEnd", static_cast<unsigned>(kWorkerEndWaitMs));
        EndUpdate(false);
        return;
    }
    downloader_.SetTag(kPackageTag);
    downloader_.SetRetryCount(kAttempts);
    downloader_.SetUrl(url);
    downloader_.SetFilePath(packageFile);
    if (!downloader_.Start()) {
        QLogger::LogW(QLOG_ERROR, L"%ls:package download not started: %ls",
                      L"UIUpdate::OnHttpDownloaderEnd", url.c_str());
        EndUpdate(false);
    }
}

void UIUpdate::OnPackage(const std::wstring& ownFolder) {
    const std::wstring tempFolder = ownFolder + kSelfUpdateTempFolder;
    const std::wstring newExe = tempFolder + L"\\" + FromAnsi(kSelfUpdateEntryName);
    const std::wstring packageFile = downloader_.GetFilePath();
    QLogger::LogW(QLOG_NORMAL, L"Launcher SelfUpdate, extract from [%ls] to [%ls]",
                  packageFile.c_str(), newExe.c_str());

    bool extracted = false;
    {
        LZMAPackage package(ToAnsi(packageFile));
        if (!package.Open()) {
            QLogger::LogW(QLOG_WARNING, L"Launcher SelfUpdate lzma open %ls failed:%d",
                          packageFile.c_str(), static_cast<int>(GetLastError()));
            EndUpdate(false);
            // The reader may still hold the file when only its index was bad.
            package.Close();
            DeleteFileW(packageFile.c_str());
            return;
        }
        extracted = package.ExtractFileToDisk(kSelfUpdateEntryName, ToAnsi(tempFolder));
        package.Close();
    }
    if (!extracted) {
        QLogger::LogW(QLOG_WARNING, L"Launcher SelfUpdate, extract [%ls] failed:%d",
                      packageFile.c_str(), static_cast<int>(GetLastError()));
        EndUpdate(false);
        DeleteFileW(packageFile.c_str());
        RemoveExtracted(newExe, tempFolder);
        return;
    }
    QLogger::LogW(QLOG_NORMAL, L"Launcher SelfUpdate, extract ok");
    DeleteFileW(packageFile.c_str());

    // A release whose version file went out before its package would swap
    // the running launcher for itself at every start.
    std::string newVersion;
    if (ReadExecutableVersion(newExe, &newVersion) &&
        !IsOlderVersion(kLauncherVersion, newVersion)) {
        QLogger::LogW(QLOG_WARNING,
                      L"Launcher SelfUpdate, new launcher is version %ls, not newer than %ls: "
                      L"update abandoned",
                      FromAnsi(newVersion).c_str(), kLauncherVersionW);
        RemoveExtracted(newExe, tempFolder);
        EndUpdate(false);
        return;
    }

    if (!WriteSelfUpdateBat()) {
        // Starting whatever script an earlier run left would be a guess.
        QLogger::LogW(QLOG_WARNING, L"Launcher SelfUpdate, write bat failed:%d",
                      static_cast<int>(GetLastError()));
        EndUpdate(false);
        return;
    }
    if (FindOption(kSelfUpdateNoRestartOption)) {
        EndUpdate(true);
        return;
    }

    std::wstring command;
    const bool fits = SelfUpdateCommandLine(QuoteCommandLineOptions(), &command);
    QLogger::LogW(QLOG_NORMAL, L"Launcher SelfUpdate, Begin SelfUpdate, Process will quit...");
    if (fits) WriteRestarts(ownFolder, restarts_);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (fits && CreateProcessW(kSelfUpdateScriptFile, command.data(), nullptr, nullptr, FALSE,
                               CREATE_NO_WINDOW | NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup,
                               &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        ExitProcess(0);
    }
    const DWORD error = fits ? GetLastError() : ERROR_INSUFFICIENT_BUFFER;
    QLogger::LogW(QLOG_WARNING, L"Launcher SelfUpdate, start bat failed:%d; %ls\n",
                  static_cast<int>(error), command.c_str());
    EndUpdate(false);
}

bool UIUpdate::WriteSelfUpdateBat() {
    UniqueHandle file(CreateFileW(kSelfUpdateScriptFile, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    const std::string script = SelfUpdateScript();
    DWORD written = 0;
    return WriteFile(file.get(), script.data(), static_cast<DWORD>(script.size()), &written,
                     nullptr) &&
           written == script.size();
}
