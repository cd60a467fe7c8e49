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
    EXPECT_EQ(TarnSettingOf(lines, "L3"), "9");
    EXPECT_EQ(TarnSettingOf(lines, "t1xbit"), "0");
    EXPECT_EQ(TarnSettingOf(lines, "t2bpi"), "1");
    EXPECT_EQ(TarnSettingOf(lines, "p"), "1");
}

TEST(TarnSetupFile, EachKeyReadsItsOwnLine) {
    const Lines lines{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"};
    for (std::size_t i = 0; i < kTarnSetupKeys.size(); ++i)
        EXPECT_EQ(TarnSettingOf(lines, kTarnSetupKeys[i]), lines[i]) << kTarnSetupKeys[i];
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
