#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include "app/Install.h"

namespace {

const std::wstring kModule = L"C:\\Games\\Torvessa\\LauncherQAMB.exe";

CommandLineOptionTable Parse(const std::vector<std::wstring>& arguments) {
    CommandLineOptionTable table;
    ParseArguments(table, arguments, kModule);
    return table;
}

TEST(CommandLine, ModulePathIsSkippedOnlyWhenItIsTheFirstArgument) {
    EXPECT_TRUE(Parse({kModule}).empty());
    EXPECT_TRUE(Parse({L"c:\\GAMES\\torvessa\\launcherqamb.EXE"}).empty());

    // Started with an application name, the first argument is an option.
    auto table = Parse({L"-disable_update_self"});
    ASSERT_EQ(table.size(), 1u);
    EXPECT_FALSE(table.begin()->second.hasValue);

    // A different first argument is kept, and the module path later is too.
    table = Parse({L"launcher.exe", kModule});
    EXPECT_EQ(table.size(), 2u);
    EXPECT_EQ(table.count(L"launcher.exe"), 1u);
}

TEST(CommandLine, FirstEqualsSplitsNameAndValue) {
    auto table = Parse({kModule, L"-LoginUrl:=?url=a=b", L"-x=", L"-flag"});
    ASSERT_EQ(table.size(), 3u);
    EXPECT_EQ(table[L"-LoginUrl:"].value, L"?url=a=b");
    EXPECT_TRUE(table[L"-LoginUrl:"].hasValue);
    EXPECT_EQ(table[L"-x"].value, L"");
    EXPECT_TRUE(table[L"-x"].hasValue);
    EXPECT_FALSE(table[L"-flag"].hasValue);
    EXPECT_EQ(JoinOptions(table), L"-LoginUrl:=?url=a=b -flag -x=");
}

TEST(CommandLine, BlanksAndTabsAroundAnArgumentAreTrimmed) {
    auto table = Parse({kModule, L" \t-a=1 \t", L"\t-b\t", L"   ", L"-c = 2 "});
    EXPECT_EQ(table[L"-a"].value, L"1");
    EXPECT_EQ(table.count(L"-b"), 1u);
    // Only blanks: an option with an empty name.
    ASSERT_EQ(table.count(L""), 1u);
    EXPECT_FALSE(table[L""].hasValue);
    // Blanks inside are kept.
    EXPECT_EQ(table[L"-c "].value, L" 2");
}

TEST(CommandLine, LaterDuplicatesWin) {
    auto table = Parse({kModule, L"-a=1", L"-a=2", L"-b=x", L"-b"});
    EXPECT_EQ(table[L"-a"].value, L"2");
    EXPECT_FALSE(table[L"-b"].hasValue);
    EXPECT_EQ(table[L"-b"].value, L"");
}

TEST(CommandLine, JoinFollowsCodeUnitOrder) {
    auto table = Parse({kModule, L"-logout", L"-LoginUrl:=k", L"-Login", L"-a", L"B"});
    // Upper case sorts before lower case; a prefix before its extensions.
    EXPECT_EQ(JoinOptions(table), L"-Login -LoginUrl:=k -a -logout B");
    EXPECT_EQ(JoinOptions({}), L"");
    CommandLineOptionTable blankOnly;
    blankOnly[L""] = {};
    EXPECT_EQ(JoinOptions(blankOnly), L"");
}

TEST(CommandLine, GlobalTableLookups) {
    CommandLineOptions.clear();
    ParseArguments(CommandLineOptions, {kModule, L"-disable_move_self", L"-x="}, kModule);
    ASSERT_NE(FindOption(L"-disable_move_self"), nullptr);
    EXPECT_EQ(FindOption(L"-Disable_move_self"), nullptr);
    EXPECT_EQ(FindOption(L"-x")->hasValue, true);
    EXPECT_EQ(JoinCommandLineOptions(), L"-disable_move_self -x=");
    CommandLineOptions.clear();
}

TEST(Relocation, LoginKeyComesFromTheFileName) {
    EXPECT_EQ(CdnKeyFromModulePath(L"C:\\dl\\LauncherQAMB_k3y.v2.exe"), L"k3y.v2");
    EXPECT_EQ(CdnKeyFromModulePath(L"C:\\dl\\LauncherQAMB_abc.EXE"), L"abc");
    EXPECT_EQ(CdnKeyFromModulePath(L"C:\\dl\\LauncherQAMB_a_b.exe"), L"a_b");
    EXPECT_EQ(CdnKeyFromModulePath(L"C:\\dl\\LauncherQAMB_.exe"), L"");
    EXPECT_EQ(CdnKeyFromModulePath(L"C:\\dl\\LauncherQAMB_abc.com"), L"");
    EXPECT_EQ(CdnKeyFromModulePath(L"C:\\dl\\LauncherQAMB_k3y.exe.part"), L"");
    EXPECT_EQ(CdnKeyFromModulePath(L"C:\\dl\\LauncherQAMB.exe"), L"");
    // The underscore must come before the extension's dot.
    EXPECT_EQ(CdnKeyFromModulePath(L"C:\\dl\\Launcher.QAMB_exe"), L"");
    // Only the file name counts, not the folders.
    EXPECT_EQ(CdnKeyFromModulePath(L"C:\\my_dl\\Launcher.exe"), L"");
}

TEST(Relocation, RestartCommandQuotesThePathAndEachOption) {
    const std::wstring path = L"C:\\users\\Jane Doe\\plume\\qamb\\LauncherQAMB.exe";
    EXPECT_EQ(RestartCommandLine(path, QuoteOptions({})), L"\"" + path + L"\"");
    EXPECT_EQ(RestartCommandLine(path, QuoteOptions({{L"-LoginUrl:", {L"key", true}}})),
              L"\"" + path + L"\" \"-LoginUrl:=key\" -disable_update_self");
    // A second option stays an option of its own (joined into one argument
    // it became part of the login key).
    EXPECT_EQ(RestartCommandLine(path, QuoteOptions({{L"-LoginUrl:", {L"key", true}},
                                                     {L"-logout", {}}})),
              L"\"" + path + L"\" \"-LoginUrl:=key\" \"-logout\" -disable_update_self");
}

}  // namespace
