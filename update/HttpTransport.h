// The platform services HttpClient's attempts run over: an Internet session
// that opens URLs, the open request, and the target file of file mode.
// WinINet and Win32 files implement them in the Windows build
// (HttpTransport_win.cpp); unit tests hand HttpClient fakes.
//
// Objects are used by one download worker at a time. The one exception is
// HttpRequest::Abort, which HttpClient::Stop calls from another thread to
// break a blocking call.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

// One opened URL: the answer's head has arrived.
class HttpRequest {
public:
    virtual ~HttpRequest() = default;

    // The status code as the server sent it ("200").
    virtual bool QueryStatusText(std::wstring* status) = 0;
    // The Content-Length header as a number; false when there is none.
    virtual bool QueryContentLength(uint32_t* length) = 0;
    // Reads at most |size| bytes; |*read| 0 with true is the end of the body.
    virtual bool Read(uint8_t* buffer, uint32_t size, uint32_t* read) = 0;
    // Makes a blocking or later Read fail soon. Any thread may call it.
    virtual void Abort() = 0;
};

struct HttpTimeouts {
    uint32_t connectMs;
    uint32_t sendMs;
    uint32_t receiveMs;
    uint32_t dataSendMs;
    uint32_t dataReceiveMs;
};

// An Internet session with the system's preconfigured proxy settings.
class HttpSession {
public:
    virtual ~HttpSession() = default;

    virtual bool SetTimeouts(const HttpTimeouts& timeouts) = 0;
    // Sends a GET for |url| with the extra |headers| (CR LF terminated lines),
    // always from the server, never from a cache. Null on failure.
    virtual std::unique_ptr<HttpRequest> OpenUrl(const std::wstring& url,
                                                 const std::wstring& headers) = 0;
};

class HttpTransport {
public:
    virtual ~HttpTransport() = default;

    // Null when no session can be opened.
    virtual std::unique_ptr<HttpSession> OpenSession(const std::wstring& agent) = 0;
};

// A target file opened for writing.
class DownloadFile {
public:
    virtual ~DownloadFile() = default;

    virtual bool Write(const uint8_t* data, uint32_t size) = 0;
};

class DownloadFileSystem {
public:
    virtual ~DownloadFileSystem() = default;

    // Deletes |path| and creates it anew, empty, for exclusive writing.
    // Null when it cannot be created.
    virtual std::unique_ptr<DownloadFile> Recreate(const std::wstring& path) = 0;
};
