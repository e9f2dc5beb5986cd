// One page fetched through WinINet on a worker thread, so that the
// prefix's proxy settings route it to the dev portal as they route every
// other request of the launcher. The worker posts |message| (wParam the
// caller's serial) to the browser's window when the result is ready; the
// window may be gone by then, and the result is dropped with the last
// owner. Cancel ends a blocking read.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <atomic>
#include <memory>
#include <string>

namespace testbrowser {

struct FetchResult {
    DWORD error = 0;  // WinINet's error when no answer came
    long status = 0;  // the HTTP status of the answer
    std::string contentType;
    std::string disposition;  // Content-Disposition
    std::string body;         // at most kMaxBody bytes
    std::wstring finalUrl;    // after redirects
};

class PageFetch {
public:
    static constexpr size_t kMaxBody = 8u << 20;

    // Nullptr when no worker could be started.
    static std::shared_ptr<PageFetch> Start(const std::wstring& url, HWND notify, UINT message,
                                            WPARAM serial);
    PageFetch(const PageFetch&) = delete;
    PageFetch& operator=(const PageFetch&) = delete;
    ~PageFetch();

    void Cancel();
    // Valid once the message arrived.
    const FetchResult& Result() const { return result_; }

private:
    PageFetch(std::wstring url, HWND notify, UINT message, WPARAM serial)
        : url_(std::move(url)), notify_(notify), message_(message), serial_(serial) {}
    static DWORD WINAPI ThreadMain(void* parameter);
    void Run();
    bool Use(HINTERNET handle);

    std::wstring url_;
    HWND notify_;
    UINT message_;
    WPARAM serial_;
    FetchResult result_;
    std::atomic<bool> cancelled_{false};
    std::atomic<HINTERNET> request_{nullptr};
};

// The status code that the browser reports in NavigateError for a fetch
// that got no HTTP answer (the URL moniker's INET_E_* results).
long NavigateErrorStatus(const FetchResult& result);

}  // namespace testbrowser
