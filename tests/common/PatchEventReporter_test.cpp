#include "common/PatchEventReporter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "support/RecordingAppender.h"

namespace {

constexpr uint32_t kWaitMs = 10000;
constexpr const char* kIdentityAddress =
    "http://www.torvessa.example/play?platform=web&sid=7&uid=42";

class FakeMachine : public ReportMachine {
public:
    void GetScreenSize(int* width, int* height) override {
        *width = 1920;
        *height = 1080;
    }
    std::string GetMacAddressList() override { return "00-1A-2B-3C-4D-5E;11-22-33-44-55-66;"; }
    std::string GetOsName() override { return "Windows_7"; }
    uint32_t GetProcessId() override { return 4712; }
};

// The settings file, shared by the "launches" of one test.
class FakeSettings : public ReportSettings {
public:
    std::string Read(const std::string& section, const std::string& key) override {
        std::lock_guard<std::mutex> hold(mutex);
        auto found = values.find(section + "/" + key);
        return found == values.end() ? std::string() : found->second;
    }
    bool Write(const std::string& section, const std::string& key,
               const std::string& value) override {
        std::lock_guard<std::mutex> hold(mutex);
        ++writeAttempts;
        if (failWrites) return false;
        values[section + "/" + key] = value;
        return true;
    }

    std::mutex mutex;
    std::map<std::string, std::string> values;
    bool failWrites = false;
    int writeAttempts = 0;
};

// Records every perform. Answers 200 unless told otherwise; with |hold| a
// perform lasts until the reporter abandons it, as a silent server would.
class FakeTransport : public ReportTransport {
public:
    std::unique_ptr<ReportConnection> Connect(std::function<bool()> keepGoing) override {
        if (refuseConnect) return nullptr;
        return std::make_unique<Connection>(*this, std::move(keepGoing));
    }

    std::vector<std::string> Urls() {
        std::lock_guard<std::mutex> hold(mutex);
        return urls;
    }
    bool WaitForPerforms(size_t count) {
        std::unique_lock<std::mutex> hold(mutex);
        return changed.wait_for(hold, std::chrono::milliseconds(kWaitMs),
                                [&] { return urls.size() >= count; });
    }

    bool refuseConnect = false;
    bool hold = false;
    ReportConnection::Outcome answer{true, 200};

private:
    class Connection : public ReportConnection {
    public:
        Connection(FakeTransport& owner, std::function<bool()> keepGoing)
            : owner_(owner), keepGoing_(std::move(keepGoing)) {}
        Outcome Perform(const std::string& url) override {
            {
                std::lock_guard<std::mutex> hold(owner_.mutex);
                owner_.urls.push_back(url);
                owner_.changed.notify_all();
            }
            if (!owner_.hold) return owner_.answer;
            // libcurl asks its progress callback about this often.
            while (keepGoing_()) std::this_thread::sleep_for(std::chrono::milliseconds(2));
            return {false, 0};
        }

    private:
        FakeTransport& owner_;
        std::function<bool()> keepGoing_;
    };

    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::string> urls;
};

class PatchEventReporterTest : public testing::Test {
protected:
    void SetUp() override {
        QLogger::Shutdown();
        QLogger::AddAppender(std::make_unique<testsupport::RecordingAppender>(&lines_, "%m"));
    }
    void TearDown() override { QLogger::Shutdown(); }

    std::unique_ptr<PatchEventReporter> Launch(uint32_t identityWaitMs = 0) {
        return std::make_unique<PatchEventReporter>(
            std::make_shared<FakeMachine>(), settings_, transport_,
            PatchEventReporter::Timing{identityWaitMs, 250});
    }

    // One launch from start-up to teardown that reports action 4, result 1.
    void LaunchAndReport(const char* address) {
        auto reporter = Launch();
        if (address) reporter->SetParameters(std::wstring(address, address + strlen(address)));
        reporter->Start();
        reporter->Report(4, 1);
        EXPECT_TRUE(reporter->WaitIdle(kWaitMs));
        reporter->Stop();
    }

    std::vector<std::string> ReportLines() {
        std::vector<std::string> found;
        for (const auto& line : lines_) {
            if (line.rfind("PatchEventReporter: ", 0) == 0) found.push_back(line);
        }
        return found;
    }

    std::shared_ptr<FakeSettings> settings_ = std::make_shared<FakeSettings>();
    std::shared_ptr<FakeTransport> transport_ = std::make_shared<FakeTransport>();
    std::vector<std::string> lines_;
};

TEST_F(PatchEventReporterTest, AnIdentityIsReportedOnceAcrossLaunches) {
    LaunchAndReport(kIdentityAddress);
    EXPECT_EQ(settings_->values["PatchEventReport/web_42_7"], "4");
    auto urls = transport_->Urls();
    ASSERT_EQ(urls.size(), 1u);
    EXPECT_EQ(urls[0], ReportBaseUrl() +
                           "mac=00-1A-2B-3C-4D-5E&&net=exe&&os=Windows_7&&browser=launcherqamb"
                           "&&resolution=1920*1080&&acttype=4&&result=1&&transid=4712"
                           "&&platform=web&&uid=42&&skey=7");
    EXPECT_EQ(ReportLines(), std::vector<std::string>{"PatchEventReporter: " + urls[0]});

    // The next launch finds the report remembered: no request, no log line.
    LaunchAndReport(kIdentityAddress);
    EXPECT_EQ(transport_->Urls().size(), 1u);
    EXPECT_EQ(ReportLines().size(), 1u);
    EXPECT_EQ(settings_->values["PatchEventReport/web_42_7"], "4");

    // Another action of the same player is new, and joins the list.
    auto reporter = Launch();
    reporter->SetParameters(L"platform=web&sid=7&uid=42");
    reporter->Start();
    reporter->Report(5, 0);
    reporter->Report(4, 1);
    ASSERT_TRUE(reporter->WaitIdle(kWaitMs));
    reporter->Stop();
    EXPECT_EQ(settings_->values["PatchEventReport/web_42_7"], "4 5");
    urls = transport_->Urls();
    ASSERT_EQ(urls.size(), 2u);
    EXPECT_NE(urls[1].find("&&acttype=5&&result=0&&"), std::string::npos);
}

TEST_F(PatchEventReporterTest, WithoutAnIdentityEveryLaunchSends) {
    LaunchAndReport(nullptr);
    LaunchAndReport("http://www.torvessa.example/play?platform=web&uid=42");  // no sid
    const auto urls = transport_->Urls();
    ASSERT_EQ(urls.size(), 2u);
    for (const auto& url : urls) EXPECT_EQ(url.find("platform="), std::string::npos) << url;
    EXPECT_EQ(settings_->values["PatchEventReport/__"], "4");
    EXPECT_EQ(settings_->values["PatchEventReport/web_42_"], "4");
    EXPECT_EQ(settings_->writeAttempts, 2);
    LaunchAndReport(nullptr);
    EXPECT_EQ(transport_->Urls().size(), 3u);
    EXPECT_EQ(settings_->writeAttempts, 2);  // already listed under "__"
}

TEST_F(PatchEventReporterTest, SettingsThatCannotBeKeptStillLetTheReportOut) {
    settings_->failWrites = true;
    LaunchAndReport(kIdentityAddress);
    EXPECT_EQ(settings_->writeAttempts, 9);
    EXPECT_EQ(transport_->Urls().size(), 1u);

    // A value that may have been cut on reading is not written back short.
    settings_->failWrites = false;
    settings_->writeAttempts = 0;
    const std::string longValue = "1" + std::string(kReportSettingsValueMax - 1, '0');
    settings_->values["PatchEventReport/web_42_7"] = longValue;
    LaunchAndReport(kIdentityAddress);
    EXPECT_EQ(settings_->writeAttempts, 0);
    EXPECT_EQ(settings_->values["PatchEventReport/web_42_7"], longValue);
    EXPECT_EQ(transport_->Urls().size(), 2u);
}

TEST_F(PatchEventReporterTest, WithoutAConnectionReportsAreRememberedAndLoggedOnly) {
    transport_->refuseConnect = true;
    LaunchAndReport(kIdentityAddress);
    EXPECT_EQ(settings_->values["PatchEventReport/web_42_7"], "4");
    EXPECT_EQ(ReportLines().size(), 1u);
    EXPECT_TRUE(transport_->Urls().empty());
}

TEST_F(PatchEventReporterTest, EventsOutsideStartAndStopAreDropped) {
    auto reporter = Launch();
    reporter->SetParameters(L"platform=web&sid=7&uid=42");
    reporter->Report(4, 1);
    reporter->Start();
    reporter->Stop();
    reporter->Report(5, 1);
    EXPECT_TRUE(reporter->WaitIdle(0));
    EXPECT_TRUE(transport_->Urls().empty());
    EXPECT_TRUE(settings_->values.empty());
}

TEST_F(PatchEventReporterTest, StopDiscardsQueuedEventsAndAbandonsTheOneUnderWay) {
    // Queued while the worker still waits for an identity.
    auto waiting = Launch(60 * 60 * 1000);
    waiting->Start();
    waiting->Report(4, 1);
    waiting->Stop();
    EXPECT_TRUE(transport_->Urls().empty());
    EXPECT_TRUE(settings_->values.empty());

    // One event on its way to a silent server, one behind it.
    transport_->hold = true;
    auto sending = Launch();
    sending->SetParameters(L"platform=web&sid=7&uid=42");
    sending->Start();
    sending->Report(4, 1);
    sending->Report(5, 1);
    ASSERT_TRUE(transport_->WaitForPerforms(1));
    sending->Stop();
    const auto urls = transport_->Urls();
    ASSERT_EQ(urls.size(), 1u);  // not tried again, and the next never sent
    EXPECT_NE(urls[0].find("&&acttype=4&&"), std::string::npos);
    EXPECT_EQ(settings_->values["PatchEventReport/web_42_7"], "4");
}

TEST_F(PatchEventReporterTest, AnIdentityFromAnotherThreadEndsTheWait) {
    auto reporter = Launch(60 * 60 * 1000);
    EXPECT_EQ(PatchEventReporter::Instance(), reporter.get());
    reporter->Start();
    reporter->Report(4, 1);
    // As the application controller does from its download worker.
    std::thread download([] {
        PatchEventReporter::Instance()->SetParameters(L"http://x.example/?platform=qq&sid=3&uid=9");
    });
    download.join();
    ASSERT_TRUE(reporter->WaitIdle(kWaitMs));
    reporter->Stop();
    const auto urls = transport_->Urls();
    ASSERT_EQ(urls.size(), 1u);
    EXPECT_NE(urls[0].find("&&platform=qq&&uid=9&&skey=3"), std::string::npos);
    reporter.reset();
    EXPECT_EQ(PatchEventReporter::Instance(), nullptr);
}

TEST_F(PatchEventReporterTest, EachReportCarriesOneWholeIdentity) {
    auto reporter = Launch();
    reporter->SetParameters(L"platform=a&sid=a&uid=a");
    reporter->Start();
    std::thread writer([&] {
        for (int i = 0; i < 2000; ++i) {
            reporter->SetParameters(i % 2 ? L"platform=a&sid=a&uid=a"
                                          : L"platform=bb&sid=bb&uid=bb");
        }
    });
    for (int action = 0; action < 200; ++action) reporter->Report(action, 1);
    writer.join();
    ASSERT_TRUE(reporter->WaitIdle(kWaitMs));
    reporter->Stop();
    for (const auto& url : transport_->Urls()) {
        const std::string tail = url.substr(url.find("&&platform="));
        EXPECT_TRUE(tail == "&&platform=a&&uid=a&&skey=a" ||
                    tail == "&&platform=bb&&uid=bb&&skey=bb")
            << tail;
    }
    for (const auto& [key, value] : settings_->values) {
        EXPECT_TRUE(key == "PatchEventReport/a_a_a" || key == "PatchEventReport/bb_bb_bb") << key;
    }
    EXPECT_EQ(transport_->Urls().size(), 200u);
}

// The send rule over scripted answers.
class ScriptedConnection : public ReportConnection {
public:
    explicit ScriptedConnection(std::vector<Outcome> script) : script_(std::move(script)) {}
    Outcome Perform(const std::string&) override {
        const Outcome next = script_[std::min(performs, script_.size() - 1)];
        ++performs;
        return next;
    }
    size_t performs = 0;

private:
    std::vector<Outcome> script_;
};

TEST(SendReportUrl, RetriesUntilSuccessAnAnswerOfFourHundredOrTen) {
    using Outcome = ReportConnection::Outcome;
    struct Case {
        const char* what;
        std::vector<Outcome> script;
        bool sent;
        size_t performs;
    } cases[] = {
        {"answered", {{true, 200}}, true, 1},
        {"not found", {{true, 404}}, false, 1},
        {"server error", {{true, 500}}, false, 1},
        {"refused", {{false, 0}}, false, 10},
        {"cut, then answered", {{false, 200}, {false, 0}, {true, 204}}, true, 3},
        {"redirected to a missing page", {{false, 0}, {true, 410}}, false, 2},
    };
    for (const auto& c : cases) {
        ScriptedConnection connection(c.script);
        EXPECT_EQ(SendReportUrl(connection, "u", [] { return true; }), c.sent) << c.what;
        EXPECT_EQ(connection.performs, c.performs) << c.what;
    }
    ScriptedConnection stopped({{false, 0}});
    EXPECT_FALSE(SendReportUrl(stopped, "u", [] { return false; }));
    EXPECT_EQ(stopped.performs, 1u);
}

}  // namespace
