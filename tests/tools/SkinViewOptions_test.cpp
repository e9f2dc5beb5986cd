// The skin viewer's command line: what each option sets and the clear
// errors for anything else.
#include "tools/skinview/SkinViewOptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using skinview::ParseSkinViewOptions;
using skinview::TSkinViewOptions;

TEST(SkinViewOptions, ReadsEveryOption) {
    TSkinViewOptions options;
    std::wstring error;
    ASSERT_TRUE(ParseSkinViewOptions(
        {L"--set", L"progress=value:40", L"update.xml", L"--at", L"-20,35", L"--class", L"UIUpdate",
         L"--swallow-escape", L"--set", L"tab=text:a:b=c"},
        options, error))
        << std::string(error.begin(), error.end());
    EXPECT_EQ(options.layout, L"update.xml");
    EXPECT_TRUE(options.file.empty());
    EXPECT_EQ(options.className, L"UIUpdate");
    EXPECT_TRUE(options.hasPosition);
    EXPECT_EQ(options.x, -20);
    EXPECT_EQ(options.y, 35);
    EXPECT_TRUE(options.swallowEscape);
    ASSERT_EQ(options.settings.size(), 2u);
    EXPECT_EQ(options.settings[0].control, L"progress");
    EXPECT_EQ(options.settings[0].attribute, L"value");
    EXPECT_EQ(options.settings[0].value, L"40");
    // Only the first ':' after the name separates: values may hold both.
    EXPECT_EQ(options.settings[1].attribute, L"text");
    EXPECT_EQ(options.settings[1].value, L"a:b=c");
}

TEST(SkinViewOptions, LayoutFilesAreNamedInsideTheirResourceFolder) {
    TSkinViewOptions options;
    std::wstring error;
    ASSERT_TRUE(ParseSkinViewOptions({L"--file", L"C:\\skins\\dark\\main.xml"}, options, error));
    EXPECT_EQ(options.resourceDir, L"C:\\skins\\dark\\");
    EXPECT_EQ(options.layout, L"main.xml");

    ASSERT_TRUE(ParseSkinViewOptions(
        {L"--file", L"c:/Skins/dark/sub/main.xml", L"--resdir", L"C:\\skins\\DARK"}, options,
        error));
    EXPECT_EQ(options.layout, L"sub/main.xml");

    EXPECT_FALSE(ParseSkinViewOptions(
        {L"--file", L"C:\\other\\main.xml", L"--resdir", L"C:\\skins\\"}, options, error));
    EXPECT_EQ(error, L"--file must lie inside --resdir");
    // A folder prefix that is not a whole folder name does not count.
    EXPECT_FALSE(ParseSkinViewOptions(
        {L"--file", L"C:\\skins2\\main.xml", L"--resdir", L"C:\\skins"}, options, error));
}

TEST(SkinViewOptions, RejectsWhatItCannotMeanWithAReason) {
    const std::vector<std::pair<std::vector<std::wstring>, std::wstring>> cases = {
        {{}, L"no layout given"},
        {{L"a.xml", L"b.xml"}, L"more than one layout: b.xml"},
        {{L"a.xml", L"--file", L"C:\\b.xml"}, L"a layout and --file both given"},
        {{L"a.xml", L"--set"}, L"--set needs a value"},
        {{L"a.xml", L"--set", L"noequals"}, L"--set wants NAME=ATTRIBUTE:VALUE, not \"noequals\""},
        {{L"a.xml", L"--set", L"=value:1"}, L"--set wants NAME=ATTRIBUTE:VALUE, not \"=value:1\""},
        {{L"a.xml", L"--set", L"p=:1"}, L"--set wants NAME=ATTRIBUTE:VALUE, not \"p=:1\""},
        {{L"a.xml", L"--at", L"10"}, L"--at wants X,Y, not \"10\""},
        {{L"a.xml", L"--at", L"1,y"}, L"--at wants X,Y, not \"1,y\""},
        {{L"a.xml", L"--at", L"99999999,1"}, L"--at wants X,Y, not \"99999999,1\""},
        {{L"a.xml", L"--class", L""}, L"--class needs a name"},
        {{L"a.xml", L"--zoom"}, L"unknown option --zoom"},
    };
    for (const auto& [args, expected] : cases) {
        TSkinViewOptions options;
        std::wstring error;
        EXPECT_FALSE(ParseSkinViewOptions(args, options, error))
            << std::string(expected.begin(), expected.end());
        EXPECT_EQ(error, expected);
    }
}

}  // namespace
