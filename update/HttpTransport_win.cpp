// HttpClient's platform services in the Windows build: WinINet with the
// system's proxy settings, and Win32 files for file mode.
#include <windows.h>
#include <wininet.h>

#include <atomic>
#include <string>

#include "common/qlogger/QLogger.h"
#include "common/win/UniqueHandle_win.h"
#include "update/HttpClient.h"
#include "update/HttpTransport.h"

namespace {

// The text of a WinINet error comes from wininet.dll, any other from the
// system; trailing line ends dropped.
std::wstring ErrorText(DWORD error) {
    const bool fromWinInet = error >= INTERNET_ERROR_BASE && error <= INTERNET_ERROR_LAST;
    HMODULE wininet = fromWinInet ? GetModuleHandleW(L"wininet.dll") : nullptr;
    wchar_t* text = nullptr;
    const DWORD flags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS |
                        (wininet ? FORMAT_MESSAGE_FROM_HMODULE : FORMAT_MESSAGE_FROM_SYSTEM);
    const DWORD size =
        FormatMessageW(flags, wininet, error, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
    UniqueLocalMemory owner(text);
    std::wstring result = size && text ? std::wstring(text, size) : L"unknown error";
    while (!result.empty() && (result.back() == L'\r' || result.back() == L'\n' ||
                               result.back() == L' ' || result.back() == L'.')) {
        result.pop_back();
    }
    return result;
}

void LogFailure(const wchar_t* where, const wchar_t* call, const std::wstring& subject) {
    const DWORD error = GetLastError();
    QLogger::LogW(QLOG_WARNING, L"%ls:%ls failed:%lu (%ls) %ls", where, call,
                  static_cast<unsigned long>(error), ErrorText(error).c_str(), subject.c_str());
}

class WinInetRequest final : public HttpRequest {
public:
    explicit WinInetRequest(HINTERNET handle) : handle_(handle) {}
    ~WinInetRequest() override { Close(); }

    bool QueryStatusText(std::wstring* status) override {
        wchar_t text[256] = {};
        DWORD size = 256;  // bytes, as the request form has always passed it
        if (!HttpQueryInfoW(handle_.load(), HTTP_QUERY_STATUS_CODE, text, &size, nullptr)) {
            LogFailure(L"WinInetRequest::QueryStatusText", L"HttpQueryInfoW", L"");
            return false;
        }
        status->assign(text, wcsnlen(text, 256));
        return true;
    }

    bool QueryContentLength(uint32_t* length) override {
        DWORD value = 0;
        DWORD size = sizeof(value);
        if (!HttpQueryInfoW(handle_.load(), HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER,
                            &value, &size, nullptr)) {
            return false;  // no Content-Length: an ordinary answer
        }
        *length = value;
        return true;
    }

    bool Read(uint8_t* buffer, uint32_t size, uint32_t* read) override {
        DWORD n = 0;
        if (!InternetReadFile(handle_.load(), buffer, size, &n)) {
            LogFailure(L"WinInetRequest::Read", L"InternetReadFile", L"");
            return false;
        }
        *read = n;
        return true;
    }

    // Closing the request handle is WinINet's way to end a blocking read on
    // another thread.
    void Abort() override { Close(); }

private:
    void Close() {
        if (HINTERNET handle = handle_.exchange(nullptr)) InternetCloseHandle(handle);
    }

    std::atomic<HINTERNET> handle_;
};

class WinInetSession final : public HttpSession {
public:
    explicit WinInetSession(UniqueInternetHandle internet) : internet_(std::move(internet)) {}

    bool SetTimeouts(const HttpTimeouts& timeouts) override {
        const struct {
            DWORD option;
            DWORD value;
        } options[] = {
            {INTERNET_OPTION_CONNECT_TIMEOUT, timeouts.connectMs},
            {INTERNET_OPTION_SEND_TIMEOUT, timeouts.sendMs},
            {INTERNET_OPTION_RECEIVE_TIMEOUT, timeouts.receiveMs},
            {INTERNET_OPTION_DATA_SEND_TIMEOUT, timeouts.dataSendMs},
            {INTERNET_OPTION_DATA_RECEIVE_TIMEOUT, timeouts.dataReceiveMs},
        };
        bool ok = true;
        for (const auto& option : options) {
            DWORD value = option.value;
            if (!InternetSetOptionW(internet_.get(), option.option, &value, sizeof(value))) {
                LogFailure(L"WinInetSession::SetTimeouts", L"InternetSetOptionW",
                           std::to_wstring(option.option));
                ok = false;
            }
        }
        return ok;
    }

    std::unique_ptr<HttpRequest> OpenUrl(const std::wstring& url,
                                         const std::wstring& headers) override {
        HINTERNET request =
            InternetOpenUrlW(internet_.get(), url.c_str(), headers.c_str(),
                             static_cast<DWORD>(headers.size()), INTERNET_FLAG_RELOAD, 0);
        if (!request) {
            LogFailure(L"WinInetSession::OpenUrl", L"InternetOpenUrlW", url);
            return nullptr;
        }
        return std::make_unique<WinInetRequest>(request);
    }

private:
    UniqueInternetHandle internet_;
};

class WinInetTransport final : public HttpTransport {
public:
    std::unique_ptr<HttpSession> OpenSession(const std::wstring& agent) override {
        UniqueInternetHandle internet(
            InternetOpenW(agent.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
        if (!internet) {
            LogFailure(L"WinInetTransport::OpenSession", L"InternetOpenW", agent);
            return nullptr;
        }
        return std::make_unique<WinInetSession>(std::move(internet));
    }
};

class Win32DownloadFile final : public DownloadFile {
public:
    explicit Win32DownloadFile(UniqueHandle file) : file_(std::move(file)) {}

    bool Write(const uint8_t* data, uint32_t size) override {
        while (size > 0) {
            DWORD written = 0;
            if (!WriteFile(file_.get(), data, size, &written, nullptr) || written == 0) {
                LogFailure(L"Win32DownloadFile::Write", L"WriteFile", L"");
                return false;
            }
            data += written;
            size -= written;
        }
        return true;
    }

private:
    UniqueHandle file_;
};

class Win32DownloadFileSystem final : public DownloadFileSystem {
public:
    std::unique_ptr<DownloadFile> Recreate(const std::wstring& path) override {
        DeleteFileW(path.c_str());  // a missing file is fine; CREATE_ALWAYS truncates anyway
        UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            LogFailure(L"Win32DownloadFileSystem::Recreate", L"CreateFileW", path);
            return nullptr;
        }
        return std::make_unique<Win32DownloadFile>(std::move(file));
    }
};

}  // namespace

HttpClient::HttpClient()
    : HttpClient(std::make_shared<WinInetTransport>(),
                 std::make_shared<Win32DownloadFileSystem>()) {}
