#include "tools/testbrowser/PageFetch_win.h"

#include <wininet.h>

#include <algorithm>

#include "common/win/UniqueHandle_win.h"
#include "tools/testbrowser/Module_win.h"

namespace testbrowser {

namespace {

constexpr wchar_t kAgent[] = L"Mozilla/4.0 (compatible; MSIE 8.0; Windows NT 6.1; TestBrowser)";

std::string QueryHeader(HINTERNET request, DWORD which) {
    char text[1024] = {};
    DWORD size = sizeof(text) - 1;
    if (!HttpQueryInfoA(request, which, text, &size, nullptr)) return {};
    return std::string(text, size);
}

}  // namespace

std::shared_ptr<PageFetch> PageFetch::Start(const std::wstring& url, HWND notify, UINT message,
                                            WPARAM serial) {
    std::shared_ptr<PageFetch> fetch(new PageFetch(url, notify, message, serial));
    // The worker runs code of this DLL: it holds the module until its last
    // instruction, which FreeLibraryAndExitThread returns it with.
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                            reinterpret_cast<LPCWSTR>(&PageFetch::ThreadMain), &module)) {
        Trace(L"PageFetch::Start: GetModuleHandleExW failed:%lu", GetLastError());
        return nullptr;
    }
    auto* owner = new std::shared_ptr<PageFetch>(fetch);
    UniqueKernelHandle thread(CreateThread(nullptr, 0, &PageFetch::ThreadMain, owner, 0, nullptr));
    if (!thread) {
        Trace(L"PageFetch::Start: CreateThread failed:%lu", GetLastError());
        delete owner;
        FreeLibrary(module);
        return nullptr;
    }
    return fetch;
}

PageFetch::~PageFetch() = default;

DWORD WINAPI PageFetch::ThreadMain(void* parameter) {
    {
        std::unique_ptr<std::shared_ptr<PageFetch>> owner(
            static_cast<std::shared_ptr<PageFetch>*>(parameter));
        (*owner)->Run();
    }
    FreeLibraryAndExitThread(ModuleHandle(), 0);
    return 0;  // not reached
}

void PageFetch::Cancel() {
    cancelled_ = true;
    if (HINTERNET request = request_.exchange(nullptr)) InternetCloseHandle(request);
}

// Publishes the request handle for Cancel; false when cancelled already.
bool PageFetch::Use(HINTERNET handle) {
    request_ = handle;
    if (cancelled_) {
        if (HINTERNET request = request_.exchange(nullptr)) InternetCloseHandle(request);
        return false;
    }
    return true;
}

void PageFetch::Run() {
    UniqueInternetHandle internet(
        InternetOpenW(kAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!internet) {
        result_.error = GetLastError();
    } else {
        DWORD timeout = 30000;
        InternetSetOptionW(internet.get(), INTERNET_OPTION_RECEIVE_TIMEOUT, &timeout,
                           sizeof timeout);
        InternetSetOptionW(internet.get(), INTERNET_OPTION_CONNECT_TIMEOUT, &timeout,
                           sizeof timeout);
        HINTERNET request = InternetOpenUrlW(
            internet.get(), url_.c_str(), nullptr, 0,
            INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_UI, 0);
        if (request == nullptr) {
            result_.error = GetLastError();
        } else if (Use(request)) {
            DWORD status = 0;
            DWORD size = sizeof status;
            if (HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status,
                               &size, nullptr)) {
                result_.status = static_cast<long>(status);
            } else {
                result_.status = 200;  // not HTTP (a file:// page)
            }
            result_.contentType = QueryHeader(request, HTTP_QUERY_CONTENT_TYPE);
            result_.disposition = QueryHeader(request, HTTP_QUERY_CONTENT_DISPOSITION);
            wchar_t finalUrl[INTERNET_MAX_URL_LENGTH] = {};
            DWORD urlSize = sizeof finalUrl;
            if (InternetQueryOptionW(request, INTERNET_OPTION_URL, finalUrl, &urlSize)) {
                result_.finalUrl = finalUrl;
            }
            char buffer[16384];
            DWORD read = 0;
            while (!cancelled_ && InternetReadFile(request, buffer, sizeof buffer, &read) &&
                   read > 0) {
                const size_t room = kMaxBody - result_.body.size();
                result_.body.append(buffer, std::min<size_t>(read, room));
                if (room <= read) {
                    Trace(L"PageFetch: %ls is cut at %u bytes", url_.c_str(),
                          static_cast<unsigned>(kMaxBody));
                    break;
                }
            }
            if (HINTERNET mine = request_.exchange(nullptr)) InternetCloseHandle(mine);
        }
    }
    if (result_.finalUrl.empty()) result_.finalUrl = url_;
    if (!cancelled_) PostMessageW(notify_, message_, serial_, 0);
}

long NavigateErrorStatus(const FetchResult& result) {
    // The URL moniker's results, as the system browser reports them.
    constexpr long kResourceNotFound = static_cast<long>(0x800C0005);  // INET_E_RESOURCE_NOT_FOUND
    constexpr long kCannotConnect = static_cast<long>(0x800C0004);     // INET_E_CANNOT_CONNECT
    constexpr long kTimeout = static_cast<long>(0x800C000B);           // INET_E_CONNECTION_TIMEOUT
    constexpr long kDownloadFailure = static_cast<long>(0x800C0008);   // INET_E_DOWNLOAD_FAILURE
    switch (result.error) {
        case ERROR_INTERNET_NAME_NOT_RESOLVED:
            return kResourceNotFound;
        case ERROR_INTERNET_CANNOT_CONNECT:
            return kCannotConnect;
        case ERROR_INTERNET_TIMEOUT:
            return kTimeout;
        default:
            return kDownloadFailure;
    }
}

}  // namespace testbrowser
