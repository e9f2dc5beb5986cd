#include "common/SystemInfo.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Facts in field order: known, platform id, major, minor, second character
// of the service pack, workstation, server R2, native AMD64.
struct OsRow {
    OsVersionFacts facts;
    const char* name;
};

// One row per line of the version table, plus the neighbours of its ranges.
const OsRow kOsRows[] = {
    {{false, 2, 6, 1, 0, true, false, true}, "Win_Unknown"},
    {{true, 0, 3, 11, 0, false, false, false}, "Windows_32s"},
    {{true, 1, 4, 0, L'B', false, false, false}, "Windows_95 Win_OSR2"},
    {{true, 1, 4, 0, L'C', false, false, false}, "Windows_95 Win_OSR2"},
    {{true, 1, 4, 0, L'A', false, false, false}, "Windows_95"},
    {{true, 1, 4, 10, L'A', false, false, false}, "Windows_98 Win_SE"},
    {{true, 1, 4, 10, L'B', false, false, false}, "Windows_98"},
    {{true, 1, 4, 90, L'A', false, false, false}, "Windows_ME"},
    {{true, 1, 4, 3, 0, false, false, false}, "Win_4.3"},
    {{true, 1, 5, 0, 0, false, false, false}, "Win_5.0"},
    {{true, 2, 4, 0, 0, true, false, false}, "Windows_NT"},
    {{true, 2, 5, 0, 0, true, false, false}, "Windows_2000"},
    {{true, 2, 5, 1, 0, true, false, true}, "Windows_XP"},
    {{true, 2, 5, 2, 0, true, true, true}, "Windows_Server_2003_R2"},
    {{true, 2, 5, 2, 0, true, false, true}, "Windows_XP_x64"},
    {{true, 2, 5, 2, 0, true, false, false}, "Windows_Server_2003"},
    {{true, 2, 5, 2, 0, false, false, true}, "Windows_Server_2003"},
    {{true, 2, 5, 3, 0, true, false, false}, "Win_5.3"},
    {{true, 2, 6, 0, 0, true, false, false}, "Windows_Vista"},
    {{true, 2, 6, 0, 0, false, false, false}, "Windows_Server_2008"},
    {{true, 2, 6, 1, 0, true, false, true}, "Windows_7"},
    {{true, 2, 6, 1, 0, false, true, true}, "Windows_Server_2008_R2"},
    {{true, 2, 6, 2, 0, true, false, true}, "Windows_8"},
    {{true, 2, 6, 2, 0, false, false, true}, "Win8_Server_Unknow"},
    {{true, 2, 6, 3, 0, true, false, true}, "Win_6.3"},
    {{true, 2, 10, 0, 0, true, false, true}, "Win_10.0"},
    {{true, 3, 5, 0, 0, false, false, false}, "Win_CE"},
    {{true, 7, 1, 2, 0, false, false, false}, "Win_1.2"},
};

TEST(OsName, EveryLineOfTheVersionTable) {
    for (const OsRow& row : kOsRows) {
        EXPECT_EQ(OsNameFromVersion(row.facts), row.name)
            << "platform " << row.facts.platformId << ", " << row.facts.major << "."
            << row.facts.minor;
    }
}

TEST(MacAddressList, UpperCaseEntriesOfAtMostEightAdapters) {
    EXPECT_EQ(FormatMacAddressList(false, {{1, 2, 3, 4, 5, 6}}), "00-00-00-00-00-00");
    EXPECT_EQ(FormatMacAddressList(true, {}), "00-00-00-00-00-00");
    EXPECT_EQ(FormatMacAddressList(true, {{0x00, 0x1a, 0x2b, 0xc3, 0xd4, 0xff}}),
              "00-1A-2B-C3-D4-FF;");

    std::vector<MacAddress> nine;
    for (uint8_t i = 0; i < 9; ++i) nine.push_back({i, 0, 0, 0, 0, 0xab});
    const std::string list = FormatMacAddressList(true, nine);
    EXPECT_EQ(list.size(), 8 * std::string("00-00-00-00-00-AB;").size());
    EXPECT_EQ(list.substr(0, 36), "00-00-00-00-00-AB;01-00-00-00-00-AB;");
    EXPECT_EQ(list.find("08-"), std::string::npos);

    EXPECT_EQ(FirstMacAddress(list), "00-00-00-00-00-AB");
    EXPECT_EQ(FirstMacAddress("00-00-00-00-00-00"), "00-00-00-00-00-00");
}

}  // namespace
