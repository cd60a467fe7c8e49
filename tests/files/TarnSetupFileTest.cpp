// The Tarn set-up file: ten values read by key.

#include "files/TarnSetupFile.h"

#include <gtest/gtest.h>

using namespace msrw;

namespace {

using Lines = std::vector<std::string>;

TEST(TarnSetupFile, DefaultsInLineOrder) {
    const TarnSetupLines defaults = DefaultTarnSetup();
    const Lines lines = TarnSetupFileLines(defaults);
    EXPECT_EQ(lines, (Lines{"9", "9", "9", "0", "2", "2", "0", "1", "0", "1"}));
}

TEST(TarnSetupFile, EachKeyReadsItsOwnLine) {
    const Lines lines{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"};
    const char* keys[] = {"L1",     "L2",    "L3",    "t1xbit", "t2xbit",
                          "t3xbit", "t1bpi", "t2bpi", "t3bpi",  "p"};
    for (std::size_t i = 0; i < lines.size(); ++i)
        EXPECT_EQ(TarnSettingOf(lines, keys[i]), lines[i]) << keys[i];
    for (const char* unknown : {"x", "", "l1", "L4", "P", "t1bpi "})
        EXPECT_EQ(TarnSettingOf(lines, unknown), "") << unknown;
}

TEST(TarnSetupFile, MissingLinesAndSpacesAroundValues) {
    const Lines shortFile{"12", " 7 ", "3"};
    EXPECT_EQ(TarnSettingOf(shortFile, "L1"), "12");
    EXPECT_EQ(TarnSettingOf(shortFile, "L2"), "7");
    EXPECT_EQ(TarnSettingOf(shortFile, "t1xbit"), "");
    EXPECT_EQ(TarnSettingOf(shortFile, "p"), "");
    EXPECT_EQ(TarnSettingOf({}, "L1"), "");
}

TEST(TarnSetupFile, ProtocolFlag) {
    for (const char* yes : {"1", "-1", "True", " 1"})
        EXPECT_TRUE(TarnFlagValue(yes)) << yes;
    for (const char* no : {"0", "", "False", "2", "10"})
        EXPECT_FALSE(TarnFlagValue(no)) << no;
}

} // namespace
