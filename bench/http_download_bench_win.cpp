// Throughput of a large download through HttpClient against the floor it
// cannot beat: a bare WinINet loop with the same request, the same 8192-byte
// reads and the same file writes, in alternating rounds of the same run.
// The dev portal serves the body; scripts/bench starts it, names it as the
// prefix's proxy and may pass curl's time for the same body for comparison.
//   http_download_bench URL [CURL_SECONDS]
#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

#include "common/win/UniqueHandle_win.h"
#include "update/HttpClient.h"

namespace {

constexpr int kRounds = 3;

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::wstring Widen(const char* text) {
    std::wstring wide;
    for (const char* p = text; *p; ++p) wide += static_cast<wchar_t>(*p);
    return wide;
}

// Counts what arrived and waits for the end, as an owner would.
class Receiver : public HttpClientCallback {
public:
    void OnData(HttpClient*, uint32_t, const uint8_t*, uint32_t, uint32_t received,
                uint32_t) override {
        received_ = received;
    }
    void OnEnd(HttpClient*, uint32_t, uint32_t success) override { success_ = success; }
    uint32_t received_ = 0;
    uint32_t success_ = 0;
};

// Seconds for one download through HttpClient to |path|; negative on failure.
double ThroughClient(const std::wstring& url, const std::wstring& path, uint32_t* bytes) {
    Receiver receiver;
    HttpClient client;
    client.SetCallback(&receiver);
    client.SetUrl(url);
    client.SetFilePath(path);
    const auto start = std::chrono::steady_clock::now();
    if (!client.Start() || !client.WaitIdle(600000)) return -1;
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    *bytes = receiver.received_;
    return receiver.success_ ? seconds : -1;
}

// The same request and reads with nothing around them.
double BareLoop(const std::wstring& url, const std::wstring& path, uint32_t* bytes) {
    const auto start = std::chrono::steady_clock::now();
    UniqueInternetHandle internet(
        InternetOpenW(L"Launcher", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!internet) return -1;
    const std::wstring headers = HttpClient::kRequestHeaders;
    UniqueInternetHandle request(InternetOpenUrlW(internet.get(), url.c_str(), headers.c_str(),
                                                  static_cast<DWORD>(headers.size()),
                                                  INTERNET_FLAG_RELOAD, 0));
    if (!request) return -1;
    DeleteFileW(path.c_str());
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return -1;
    std::vector<uint8_t> buffer(HttpClient::kReadBlockSize);
    uint32_t total = 0;
    for (;;) {
        DWORD n = 0;
        if (!InternetReadFile(request.get(), buffer.data(), HttpClient::kReadBlockSize, &n)) {
            return -1;
        }
        if (n == 0) break;
        DWORD written = 0;
        if (!WriteFile(file.get(), buffer.data(), n, &written, nullptr) || written != n) return -1;
        total += n;
    }
    *bytes = total;
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: http_download_bench URL [CURL_SECONDS]\n");
        return 2;
    }
    const std::wstring url = Widen(argv[1]);
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring path = std::wstring(temp) + L"http_download_bench.bin";

    std::vector<double> client, bare;
    uint32_t clientBytes = 0, bareBytes = 0;
    for (int round = 0; round < kRounds; ++round) {
        const double c = ThroughClient(url, path, &clientBytes);
        const double b = BareLoop(url, path, &bareBytes);
        if (c < 0 || b < 0 || clientBytes != bareBytes || clientBytes == 0) {
            std::fprintf(stderr, "download failed (client %u bytes, bare %u bytes)\n", clientBytes,
                         bareBytes);
            DeleteFileW(path.c_str());
            return 1;
        }
        client.push_back(c);
        bare.push_back(b);
    }
    DeleteFileW(path.c_str());

    const double mb = clientBytes / 1048576.0;
    const double clientMedian = Median(client), bareMedian = Median(bare);
    std::printf("download: %.0f MB, median of %d rounds each\n", mb, kRounds);
    std::printf("HttpClient:  %.3f s, %.1f MB/s (worker, notifications, file writes)\n",
                clientMedian, mb / clientMedian);
    std::printf(
        "floor:       %.3f s, %.1f MB/s (bare InternetReadFile loop, same reads and "
        "writes)\n",
        bareMedian, mb / bareMedian);
    std::printf("ratio:       %.3f (HttpClient throughput / floor; aim >= 0.9)\n",
                bareMedian / clientMedian);
    if (argc >= 3) {
        const double curlSeconds = std::atof(argv[2]);
        if (curlSeconds > 0) {
            std::printf(
                "curl:        %.3f s, %.1f MB/s (native curl -o /dev/null, for information)\n",
                curlSeconds, mb / curlSeconds);
            std::printf("ratio curl:  %.3f (HttpClient throughput / curl's)\n",
                        curlSeconds / clientMedian);
        }
    }
    return 0;
}
