#include <windows.h>

#include <gtest/gtest.h>

#include "app/CommandLine.h"
#include "common/win/ModulePath_win.h"

namespace {

class ParseCommandLineTest : public testing::Test {
protected:
    void SetUp() override { CommandLineOptions.clear(); }
    void TearDown() override { CommandLineOptions.clear(); }
};

TEST_F(ParseCommandLineTest, QuotedModulePathAndShellQuotingRules) {
    const std::wstring line = L"\"" + ModulePath() +
                              L"\" -disable_move_self -x= \"-LoginUrl:=?url=a=b\" "
                              L"\"-name=with blanks\"";
    ParseCommandLine(line.c_str());
    EXPECT_EQ(CommandLineOptions.size(), 4u);
    ASSERT_NE(FindOption(L"-LoginUrl:"), nullptr);
    EXPECT_EQ(FindOption(L"-LoginUrl:")->value, L"?url=a=b");
    EXPECT_EQ(FindOption(L"-name")->value, L"with blanks");
    EXPECT_EQ(JoinCommandLineOptions(),
              L"-LoginUrl:=?url=a=b -disable_move_self -name=with blanks -x=");
}

TEST_F(ParseCommandLineTest, QuotedOptionsComeBackAsTheyWereOneByOne) {
    const CommandLineOptionTable table = {
        {L"-LoginUrl:", {L"?url=http%3A%2F%2Fa&b=c d", true}},
        {L"-logout", {}},
        {L"-dir", {L"C:\\games\\", true}},          // a trailing backslash
        {L"-say", {L"he said \"hi\\\" twice", true}},  // quotes, one after a backslash
        {L"-share", {L"\\\\host\\share", true}},
        {L"-empty", {L"", true}},
    };
    ParseCommandLine((L"\"" + ModulePath() + L"\" " + QuoteOptions(table)).c_str());
    ASSERT_EQ(CommandLineOptions.size(), table.size()) << QuoteOptions(table);
    for (const auto& [name, option] : table) {
        const CommandLineOption* parsed = FindOption(name);
        ASSERT_NE(parsed, nullptr) << std::wstring(name);
        EXPECT_EQ(parsed->value, option.value) << std::wstring(name);
        EXPECT_EQ(parsed->hasValue, option.hasValue) << std::wstring(name);
    }
}

}  // namespace
