// HttpClient's attempt logic fed with arbitrary server behaviour: status
// texts, lengths, block sizes, failing reads and files. Checks the promises
// owners rely on: every attempt bracketed by OnStart/OnEnd, no more attempts
// than allowed, none after a success, consistent OnData totals, and content
// holding exactly the last attempt's bytes (all of them on success).
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/update/FakeHttpTransport.h"
#include "tests/update/RecordingHttpCallback.h"
#include "update/HttpClient.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

int Count(const std::string& trace, const std::string& token) {
    int n = 0;
    for (size_t at = trace.find(token); at != std::string::npos; at = trace.find(token, at + 1)) {
        ++n;
    }
    return n;
}

testsupport::FakeAttempt ConsumeAttempt(FuzzedDataProvider& in) {
    testsupport::FakeAttempt attempt;
    attempt.sessionFails = in.ConsumeProbability<float>() < 0.1f;
    attempt.openFails = in.ConsumeProbability<float>() < 0.1f;
    if (in.ConsumeBool()) {
        attempt.status = std::wstring(L"200");
    } else if (in.ConsumeBool()) {
        const std::string text = in.ConsumeRandomLengthString(8);
        attempt.status = std::wstring(text.begin(), text.end());
    } else {
        attempt.status.reset();
    }
    if (in.ConsumeBool()) attempt.contentLength = in.ConsumeIntegral<uint32_t>() % 40000;
    if (in.ConsumeBool()) attempt.contentLength = in.ConsumeIntegral<uint32_t>();
    const int blocks = in.ConsumeIntegralInRange(0, 6);
    for (int i = 0; i < blocks; ++i) {
        const size_t size = in.ConsumeIntegralInRange<size_t>(0, 9000);
        attempt.blocks.push_back(std::string(size, static_cast<char>('a' + i)));
    }
    attempt.readFailsAfterBlocks = in.ConsumeBool();
    return attempt;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const uint32_t retries = in.ConsumeIntegralInRange<uint32_t>(0, 4);
    const bool fileMode = in.ConsumeBool();
    const bool uncreatable = in.ConsumeBool();
    const size_t writeLimit =
        in.ConsumeBool() ? in.ConsumeIntegralInRange<size_t>(0, 60000) : SIZE_MAX;
    std::vector<testsupport::FakeAttempt> script;
    const int attempts = in.ConsumeIntegralInRange(1, 4);
    for (int i = 0; i < attempts; ++i) script.push_back(ConsumeAttempt(in));

    auto transport = std::make_shared<testsupport::FakeHttpTransport>(script);
    auto files = std::make_shared<testsupport::FakeDownloadFileSystem>();
    const std::wstring path = L"C:\\game\\launcherqamb.exe.lzma";
    if (uncreatable) files->uncreatable.push_back(path);
    files->writeLimit = writeLimit;

    testsupport::RecordingHttpCallback callback(3);
    HttpClient client(transport, files);
    callback.Expect(&client, 3);
    client.SetCallback(&callback);
    client.SetTag(3);
    client.SetRetryCount(retries);
    client.SetUrl(L"http://res.torvessa.example/launcher2/launcher.ver");
    if (fileMode) client.SetFilePath(path);
    Require(client.Start());
    Require(client.WaitIdle(10000));

    const std::string trace = callback.Trace();
    Require(trace.find("bad:") == std::string::npos);
    const int starts = Count(trace, "start");
    Require(starts == Count(trace, "end="));
    Require(static_cast<uint32_t>(starts) <= retries);
    const size_t success = trace.find("end=1");
    if (success != std::string::npos) {
        Require(success + 5 == trace.size());  // a success is the last attempt
    }
    const std::string lastBytes = callback.AttemptBytes();
    if (!fileMode) Require(client.GetContent() == lastBytes);
    if (success != std::string::npos) {
        const std::string stored = fileMode ? files->files[path] : client.GetContent();
        Require(stored == lastBytes);
    }
    return 0;
}
