// A launcher's run as the event reporter meets it, for the Wine tests:
// start-up creates, parameterises and starts the process-wide reporter, the
// application controller reports on the main thread and hands a fetched
// login address over from its download worker, teardown stops it. Run in a
// scratch folder (".\launcher.ini"), with the dev portal as libcurl's proxy.
//
//   reporter_host [--login=ADDRESS] [--report=ACTION,RESULT]...
//                 [--login-by-download=ADDRESS] [--identity-wait-ms=N]
//                 [--stop-event=NAME]
//
// Without --stop-event the host stops once nothing is left to report; with
// it, as soon as the named event is set. Exit codes: 0 done, 2 bad
// arguments, 3 reports still pending after a minute, 4 the stop event never
// came, 5 the download did not end.
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "common/CurlReportTransport.h"
#include "common/PatchEventReporter.h"
#include "common/PatchEventReporter_win.h"
#include "common/qlogger/QLogger.h"
#include "update/HttpClient.h"

namespace {

constexpr DWORD kBoundMs = 60000;
// Any page of the portal: only the end of the download matters.
constexpr const wchar_t* kDownloadUrl = L"http://www.torvessa.example/_devportal/health";

struct Options {
    std::wstring login;
    std::wstring loginByDownload;
    std::vector<std::pair<int, int>> reports;
    PatchEventReporter::Timing timing;
    std::wstring stopEvent;
};

bool TakeValue(const std::wstring& argument, const wchar_t* name, std::wstring* value) {
    const std::wstring prefix = std::wstring(name) + L"=";
    if (argument.rfind(prefix, 0) != 0) return false;
    *value = argument.substr(prefix.size());
    return true;
}

bool ParseOptions(int argc, wchar_t** argv, Options* options) {
    for (int i = 1; i < argc; ++i) {
        const std::wstring argument = argv[i];
        std::wstring value;
        if (TakeValue(argument, L"--login", &options->login) ||
            TakeValue(argument, L"--login-by-download", &options->loginByDownload) ||
            TakeValue(argument, L"--stop-event", &options->stopEvent)) {
            continue;
        }
        if (TakeValue(argument, L"--report", &value)) {
            int action = 0, result = 0;
            if (swscanf(value.c_str(), L"%d,%d", &action, &result) != 2) return false;
            options->reports.emplace_back(action, result);
        } else if (TakeValue(argument, L"--identity-wait-ms", &value)) {
            options->timing.identityWaitMs =
                static_cast<uint32_t>(wcstoul(value.c_str(), nullptr, 10));
        } else {
            std::fwprintf(stderr, L"reporter_host: unknown argument %ls\n", argument.c_str());
            return false;
        }
    }
    return true;
}

// What the application controller does when the login-key reply arrives.
class LoginDownload : public HttpClientCallback {
public:
    explicit LoginDownload(std::wstring address) : address_(std::move(address)) {}
    void OnEnd(HttpClient*, uint32_t, uint32_t) override {
        PatchEventReporter::Instance()->SetParameters(address_);
    }

private:
    std::wstring address_;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    Options options;
    if (!ParseOptions(argc, argv, &options)) return 2;
    char logPath[64];
    std::snprintf(logPath, sizeof logPath, "log/reporter_host_%lu.log", GetCurrentProcessId());
    QLogger::AddFileAppender(logPath, "%d - {%tid}{%c}{%t} - %m%n", "file");

    PatchEventReporter reporter(std::make_shared<WindowsReportMachine>(),
                                std::make_shared<ProfileReportSettings>(),
                                std::make_shared<CurlReportTransport>(), options.timing);
    if (!options.login.empty()) reporter.SetParameters(options.login);
    reporter.Start();
    for (const auto& [action, result] : options.reports) reporter.Report(action, result);

    int exitCode = 0;
    if (!options.stopEvent.empty()) {
        HANDLE stop = OpenEventW(SYNCHRONIZE, FALSE, options.stopEvent.c_str());
        if (!stop || WaitForSingleObject(stop, kBoundMs) != WAIT_OBJECT_0) exitCode = 4;
        if (stop) CloseHandle(stop);
    } else {
        LoginDownload callback(options.loginByDownload);
        HttpClient download;
        if (!options.loginByDownload.empty()) {
            download.SetCallback(&callback);
            download.SetUrl(kDownloadUrl);
            if (!download.Start() || !download.WaitIdle(kBoundMs)) exitCode = 5;
        }
        if (exitCode == 0 && !reporter.WaitIdle(kBoundMs)) exitCode = 3;
    }
    reporter.Stop();
    return exitCode;
}
