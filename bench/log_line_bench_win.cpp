// Cost of one log line against the floor it cannot beat: a bare
// open-append-close of the same bytes. Both run in the same process, in
// alternating rounds, and the medians are compared.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "common/qlogger/QLogger.h"

namespace {

constexpr int kRounds = 9;
constexpr int kLinesPerRound = 2000;

double Seconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void BareAppend(const char* path, const std::string& line) {
    HANDLE file =
        CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
}

}  // namespace

int main() {
    QLogger::AddFileAppender("log/launcher_bench.log", "%d - {%tid}{%c}{%t} - %m%n", "file");
    const std::string sample =
        "2016.04.25 09.05.07 - { 4712}{file}{Normal } - UIUpdate::OnProgress, 1234567/7654321\r\n";

    std::vector<double> logger, bare;
    for (int round = 0; round < kRounds; ++round) {
        auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < kLinesPerRound; ++i) {
            QLogger::LogW(QLOG_NORMAL, L"%ls, %d/%d", L"UIUpdate::OnProgress", 1234567, 7654321);
        }
        logger.push_back(Seconds(std::chrono::steady_clock::now() - start) / kLinesPerRound);

        start = std::chrono::steady_clock::now();
        for (int i = 0; i < kLinesPerRound; ++i) BareAppend("log/bare_bench.log", sample);
        bare.push_back(Seconds(std::chrono::steady_clock::now() - start) / kLinesPerRound);
    }
    DeleteFileA("log/launcher_bench.log");
    DeleteFileA("log/bare_bench.log");

    const double loggerMedian = Median(logger), bareMedian = Median(bare);
    std::printf("log line: median %.2f us per line (QLogger::LogW, file appender)\n",
                loggerMedian * 1e6);
    std::printf("floor:    median %.2f us per line (bare open-append-close, same bytes)\n",
                bareMedian * 1e6);
    std::printf("ratio:    %.3f (log line / floor; 1.0 is the floor)\n", loggerMedian / bareMedian);
    return 0;
}
