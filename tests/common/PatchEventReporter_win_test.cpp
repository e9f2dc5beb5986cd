// The event reporter over libcurl, the profile file and this machine, in
// runs of the reporter host against the dev portal (libcurl's proxy through
// http_proxy). The portal's request log is the record of what was sent.
// The reporter's decisions (what is remembered, the identity's wait, what
// Stop discards) are the native test's, PatchEventReporter_test.cpp; here
// what libcurl, the profile file and this machine make of them.
#include "common/PatchEventReporter_win.h"

#include <curl/curl.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <regex>
#include <set>
#include <string>
#include <vector>

#include "common/SystemInfo_win.h"
#include "support/WinTestSupport_win.h"

namespace {

using testsupport::ScratchDir;

constexpr DWORD kBoundMs = 60000;

std::wstring Widen(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

// A player id no other test or run uses, for the portal's per-player answers.
std::string UniqueUid(const char* what) {
    return std::string(what) + std::to_string(GetCurrentProcessId()) + "t" +
           std::to_string(GetTickCount());
}

class ReporterHostTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(testsupport::UseDevPortalAsCurlProxy())
            << "the devportal fixture is not running";
    }

    std::wstring HostCommand(const std::wstring& arguments) {
        return L"\"" + testsupport::FromUnixPath(LAUNCHER_REPORTER_HOST_PATH) + L"\" " + arguments;
    }

    testsupport::ProcessResult RunHost(const std::wstring& arguments) {
        return testsupport::RunProcess(HostCommand(arguments), dir_.path(), kBoundMs);
    }

    // The statistics requests of one host run, by their transid.
    static std::vector<std::string> ReportQueries(DWORD processId) {
        static const std::regex kQuery(R"re("query": "([^"\\]*)")re");
        const std::regex transid("(^|&)transid=" + std::to_string(processId) + "(&|$)");
        std::vector<std::string> queries;
        for (const auto& line : testsupport::LoggedRequests("\"path\": \"/loginstat_rate\"")) {
            std::smatch query;
            if (std::regex_search(line, query, kQuery) &&
                std::regex_search(query[1].str(), transid)) {
                queries.push_back(query[1].str());
            }
        }
        return queries;
    }

    std::wstring Reported(const std::wstring& key) {
        wchar_t value[256] = {};
        GetPrivateProfileStringW(L"PatchEventReport", key.c_str(), L"<none>", value, 256,
                                 dir_.Join(L"launcher.ini").c_str());
        return value;
    }

    static void SetAnswer(const std::string& uid, const std::string& with) {
        CURL* curl = curl_easy_init();
        ASSERT_NE(curl, nullptr);
        const std::string url =
            "http://stat.torvessa.example/_devportal/loginstat_rate/answer?uid=" + uid +
            "&with=" + with;
        curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
        curl_easy_setopt(
            curl, CURLOPT_WRITEFUNCTION,
            +[](char*, size_t size, size_t count, void*) { return size * count; });
        long code = 0;
        EXPECT_EQ(curl_easy_perform(curl), CURLE_OK);
        curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &code);
        EXPECT_EQ(code, 200) << with;
        curl_easy_cleanup(curl);
    }

    ScratchDir dir_;
};

TEST_F(ReporterHostTest, TheReportCarriesThisMachineAndTheIdentity) {
    const auto run = RunHost(
        L"\"--login=http://www.torvessa.example/play?platform%3Dweb%26sid%3D7&uid=42\" "
        L"--report=4,1");
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(Reported(L"web_42_7"), L"4");

    const auto queries = ReportQueries(run.processId);
    ASSERT_EQ(queries.size(), 1u);
    const std::regex shape(
        "mac=([0-9A-F]{2}-){5}[0-9A-F]{2}&&net=exe&&os=[A-Za-z0-9_.]+&&browser=launcherqamb"
        "&&resolution=" +
        std::to_string(GetSystemMetrics(SM_CXSCREEN)) + "\\*" +
        std::to_string(GetSystemMetrics(SM_CYSCREEN)) + "&&acttype=4&&result=1&&transid=" +
        std::to_string(run.processId) + "&&platform=web&&uid=42&&skey=7");
    EXPECT_TRUE(std::regex_match(queries[0], shape)) << queries[0];

    const auto record = testsupport::LoggedRequests(queries[0]);
    ASSERT_EQ(record.size(), 1u);
    EXPECT_NE(record[0].find("\"target\": \"http://stat.torvessa.example:8075/loginstat_rate?"),
              std::string::npos);
    EXPECT_NE(record[0].find("[\"User-Agent\", \"libcurl-agent/1.0\"]"), std::string::npos);
    // The host's log carries the URL as sent.
    const auto log = testsupport::ReadFileBytes(
        dir_.Join(L"log\\reporter_host_" + std::to_wstring(run.processId) + L".log"));
    EXPECT_NE(log.find("{Normal } - PatchEventReporter: http://stat.torvessa.example:8075/"
                       "loginstat_rate?" +
                       queries[0] + "\r\n"),
              std::string::npos);
}

TEST_F(ReporterHostTest, ANotFoundIsAskedOnceARefusalTenTimes) {
    struct Case {
        const char* with;
        size_t requests;
    } cases[] = {{"404", 1}, {"refuse", 10}};
    for (const auto& c : cases) {
        const std::string uid = UniqueUid(c.with);
        SetAnswer(uid, c.with);
        const auto run =
            RunHost(L"--login=platform=web&sid=1&uid=" + Widen(uid) + L" --report=4,1");
        SetAnswer(uid, "ok");
        ASSERT_TRUE(run.finished);
        EXPECT_EQ(run.exitCode, 0u);
        EXPECT_EQ(ReportQueries(run.processId).size(), c.requests) << c.with;
    }
}

TEST_F(ReporterHostTest, StopAbandonsTheReportUnderWayAndSendsNothingMore) {
    const std::string uid = UniqueUid("hold");
    SetAnswer(uid, "hold&seconds=600");
    const std::wstring eventName = L"reporter-host-stop-" + Widen(uid);
    HANDLE stop = CreateEventW(nullptr, TRUE, FALSE, eventName.c_str());
    ASSERT_NE(stop, nullptr);
    DWORD processId = 0;
    HANDLE host = testsupport::StartProcess(
        HostCommand(L"--login=platform=web&sid=1&uid=" + Widen(uid) +
                    L" --report=4,1 --report=5,1 --stop-event=" + eventName),
        dir_.path(), &processId);
    ASSERT_NE(host, nullptr);

    // Stop once the first report waits on the silent server.
    ASSERT_TRUE(
        testsupport::WaitUntil([&] { return !ReportQueries(processId).empty(); }, kBoundMs));
    ASSERT_EQ(ReportQueries(processId).size(), 1u);
    SetEvent(stop);
    EXPECT_EQ(WaitForSingleObject(host, kBoundMs / 2), WAIT_OBJECT_0);
    DWORD exitCode = 99;
    GetExitCodeProcess(host, &exitCode);
    EXPECT_EQ(exitCode, 0u);
    CloseHandle(host);
    CloseHandle(stop);
    SetAnswer(uid, "ok");

    const auto queries = ReportQueries(processId);
    ASSERT_EQ(queries.size(), 1u);
    EXPECT_NE(queries[0].find("&&acttype=4&&"), std::string::npos);
    EXPECT_EQ(Reported(L"web_" + Widen(uid) + L"_1"), L"4");
}

TEST(ReportMachineFacts, AdaptersAndVersionAsWindowsGivesThem) {
    const std::string list = GetMacAddressList();
    EXPECT_TRUE(std::regex_match(list, std::regex("(([0-9A-F]{2}-){5}[0-9A-F]{2};){1,8}")) ||
                list == "00-00-00-00-00-00")
        << list;

    // Without a manifest naming newer systems, the version stops at 6.2.
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
    const auto rtlGetVersion = reinterpret_cast<RtlGetVersionFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
    ASSERT_NE(rtlGetVersion, nullptr);
    OSVERSIONINFOW actual = {sizeof actual};
    ASSERT_EQ(rtlGetVersion(&actual), 0);
    const OsVersionFacts facts = GetOsVersionFacts();
    ASSERT_TRUE(facts.known);
    EXPECT_EQ(facts.platformId, 2u);
    if (actual.dwMajorVersion == 6 && actual.dwMinorVersion <= 2) {
        EXPECT_EQ(facts.minor, actual.dwMinorVersion);
    }
    EXPECT_EQ(facts.nativeAmd64, true);  // this build runs only there
    const std::set<std::string> desktopNames = {"Windows_XP", "Windows_XP_x64", "Windows_Vista",
                                                "Windows_7", "Windows_8"};
    EXPECT_EQ(desktopNames.count(GetOsName()), 1u) << GetOsName();
}

TEST(ProfileReportSettings, ValuesInTheCurrentFolderCutOnReading) {
    ScratchDir dir;
    wchar_t previous[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryW(dir.path().c_str()));
    ProfileReportSettings settings;
    EXPECT_EQ(settings.Read("PatchEventReport", "web_42_7"), "");
    EXPECT_TRUE(settings.Write("PatchEventReport", "web_42_7", "4"));
    EXPECT_TRUE(settings.Write("PatchEventReport", "long", std::string(2000, '5')));
    EXPECT_EQ(settings.Read("PatchEventReport", "web_42_7"), "4");
    EXPECT_EQ(settings.Read("PatchEventReport", "long"), std::string(kReportSettingsValueMax, '5'));
    SetCurrentDirectoryW(previous);
    EXPECT_NE(testsupport::ReadFileBytes(dir.Join(L"launcher.ini")).find("[PatchEventReport]"),
              std::string::npos);

    // A settings file that cannot be written says so.
    const std::wstring missing = dir.Join(L"missing\\launcher.ini");
    ProfileReportSettings locked(std::string(missing.begin(), missing.end()));
    EXPECT_FALSE(locked.Write("PatchEventReport", "web_42_7", "4"));
}

}  // namespace
