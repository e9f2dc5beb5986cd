#include "common/PatchEventReport.h"

#include <gtest/gtest.h>

#include <string>

#include "common/UrlDecode.h"

namespace {

TEST(UrlDecode, PercentPlusAndShortEscapes) {
    struct Case {
        const char* in;
        std::string out;
    } cases[] = {
        {"", ""},
        {"a+b%20c", "a b c"},
        {"%3d%3D%26", "==&"},
        {"%41%6a", "Aj"},
        {"%e4%B8%ad", "\xe4\xb8\xad"},
        {"%00x", std::string("\0x", 2)},
        // Escapes without two characters end the text there.
        {"ab%4", "ab"},
        {"ab%", "ab"},
        {"ab%%41", "abT1"},  // "%%4" is one escape (-172 mod 256), "1" follows
        // Non-hex digits count as their distance from "0", modulo 256.
        {"%zz", std::string(1, static_cast<char>((16 * ('z' - '0') + ('z' - '0')) & 0xFF))},
        {"% 1", std::string(1, static_cast<char>((16 * (' ' - '0') + 1) & 0xFF))},
    };
    for (const auto& c : cases) EXPECT_EQ(UrlDecode(c.in), c.out) << c.in;
}

ReportIdentity Parsed(const std::string& address, ReportIdentity start = {}) {
    ParseReportParameters(address, start);
    return start;
}

TEST(ReportParameters, PairsOfALoginAddress) {
    struct Case {
        const char* address;
        ReportIdentity expected;  // platform, uid, skey
    } cases[] = {
        {"http://www.torvessa.example/play?platform=web&sid=7&uid=42", {"web", "42", "7"}},
        // Encoded pairs are split after decoding.
        {"http://g.example/p?x%3D1%26platform%3Dweb%26sid%3D7%26uid%3D42", {"web", "42", "7"}},
        {"platform=we%62&uid=4%32&sid=%37", {"web", "42", "7"}},
        // Blanks, tabs and CRs around a pair go; inside a pair they stay.
        {" platform=web \t&\r\nsid=7\r& uid=4 2", {"web", "4 2", "7"}},
        {"platform=a+b", {"a b", "", ""}},
        // A key may stand anywhere in its pair; platform is looked for first.
        {"?xplatform=web", {"web", "", ""}},
        {"uid=1 platform=2", {"2", "", ""}},
        {"sid=1uid=2", {"", "", "1uid"}},
        // The value ends at the next "=".
        {"platform=web=x&uid=42==", {"web", "42", ""}},
        // Nothing that looks like a key.
        {"http://example/?platformx=1&usidx=1&u_id=3&PLATFORM=4", {"", "", ""}},
    };
    for (const auto& c : cases) EXPECT_EQ(Parsed(c.address), c.expected) << c.address;
}

TEST(ReportParameters, LaterPairsAndCallsOverwriteOnlyWhatTheyName) {
    EXPECT_EQ(Parsed("uid=1&platform=a&uid=2&platform=b"), (ReportIdentity{"b", "2", ""}));
    const ReportIdentity known{"web", "42", "7"};
    EXPECT_EQ(Parsed("sid=8", known), (ReportIdentity{"web", "42", "8"}));
    EXPECT_EQ(Parsed("http://example/none", known), known);
    // A key with nothing after it says the address has no such value.
    EXPECT_EQ(Parsed("uid=&platform=", known), (ReportIdentity{"", "", "7"}));
    EXPECT_EQ(Parsed("sid=", known), (ReportIdentity{"web", "42", ""}));
}

TEST(ReportedActions, MatchByLeadingDigitsAndAppend) {
    EXPECT_FALSE(IsActionReported("", 4));
    EXPECT_TRUE(IsActionReported("4", 4));
    EXPECT_TRUE(IsActionReported("1 12 4", 4));
    EXPECT_FALSE(IsActionReported("14 40", 4));
    EXPECT_TRUE(IsActionReported("4x", 4));
    EXPECT_TRUE(IsActionReported("-3", -3));
    // Entries without digits, and doubled blanks, match nothing.
    EXPECT_FALSE(IsActionReported("a  x", 0));
    EXPECT_FALSE(IsActionReported("99999999999", 2147483647));

    EXPECT_EQ(AppendReportedAction("", 4), "4");
    EXPECT_EQ(AppendReportedAction("1 2", 4), "1 2 4");
    EXPECT_EQ(LeadingNumber("2147483647"), 2147483647);
    EXPECT_EQ(LeadingNumber("-2147483648"), -2147483647 - 1);
    EXPECT_EQ(LeadingNumber("2147483648"), std::nullopt);
    EXPECT_EQ(LeadingNumber("+"), std::nullopt);
}

ReportFacts SampleFacts() {
    ReportFacts facts;
    facts.mac = "00-1A-2B-3C-4D-5E";
    facts.os = "Windows_7";
    facts.screenWidth = 1920;
    facts.screenHeight = 1080;
    return facts;
}

TEST(ReportUrl, TextWithAndWithoutThePlatformPart) {
    // Where the base address leads is the Wine test's (PatchEventReporter_win_test.cpp).
    const std::string base = ReportBaseUrl();

    const std::string common =
        "mac=00-1A-2B-3C-4D-5E&&net=exe&&os=Windows_7&&browser=launcherqamb"
        "&&resolution=1920*1080&&acttype=4&&result=1&&transid=4712";
    EXPECT_EQ(BuildReportUrl(base, SampleFacts(), 4, 1, 4712, {"web", "42", "7"}),
              base + common + "&&platform=web&&uid=42&&skey=7");
    // An incomplete identity sends no part of it.
    EXPECT_EQ(BuildReportUrl(base, SampleFacts(), 4, 1, 4712, {"web", "42", ""}), base + common);
    // Values go in unencoded.
    EXPECT_EQ(BuildReportUrl("b?", SampleFacts(), -1, 0, 1, {"a&b", "c d", "%"}),
              "b?mac=00-1A-2B-3C-4D-5E&&net=exe&&os=Windows_7&&browser=launcherqamb"
              "&&resolution=1920*1080&&acttype=-1&&result=0&&transid=1&&platform=a&b&&uid=c d"
              "&&skey=%");
}

TEST(ReportUrl, EachPartIsCutAt1023Characters) {
    ReportFacts facts = SampleFacts();
    facts.os = std::string(2000, 'o');
    const ReportIdentity identity{std::string(1500, 'p'), "42", "7"};
    const std::string url = BuildReportUrl("b?", facts, 4, 1, 9, identity);
    ASSERT_EQ(url.size(), 2 * kReportUrlPartMax);
    EXPECT_EQ(url.substr(kReportUrlPartMax),
              "&&platform=" + std::string(kReportUrlPartMax - 11, 'p'));
}

}  // namespace
