// The reporter's HTTP over libcurl's easy interface: one handle per worker,
// redirects followed, agent "libcurl-agent/1.0", 5 s to connect and 10 s in
// all per transfer. Proxies come from libcurl's usual environment variables
// (http_proxy), which is how tests point it at the dev portal.
//
// Constructing the transport initialises libcurl for the whole process and
// destroying it ends libcurl, so the owner keeps it until every connection
// is gone. Connections are used by one thread at a time.
#pragma once

#include "common/PatchEventReporter.h"

class CurlReportTransport : public ReportTransport {
public:
    CurlReportTransport(const CurlReportTransport&) = delete;
    CurlReportTransport& operator=(const CurlReportTransport&) = delete;

    static constexpr const char* kUserAgent = "libcurl-agent/1.0";
    static constexpr long kConnectTimeoutSeconds = 5;
    static constexpr long kTimeoutSeconds = 10;

    CurlReportTransport();
    ~CurlReportTransport() override;

    std::unique_ptr<ReportConnection> Connect(std::function<bool()> keepGoing) override;

private:
    bool initialised_ = false;
};
