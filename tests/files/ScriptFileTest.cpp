// The script file format: commands, comments, "//end" and line ends.

#include "files/ScriptFile.h"

#include <gtest/gtest.h>

using namespace msrw;

namespace {

using Steps = std::vector<std::pair<std::string, std::string>>;

Steps StepsOf(std::string_view text) {
    Steps out;
    for (const ScriptStep& step : ParseScript(text))
        out.push_back({step.command, step.comment});
    return out;
}

struct ParseCase {
    const char* name;
    std::string text;
    Steps expected;
};

class ScriptParse : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ScriptParse, GivesTheCommandsWithTheirComments) {
    EXPECT_EQ(StepsOf(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ScriptParse,
    ::testing::Values(
        ParseCase{"CommentBeforeCommand", "//reset\r\n\\1Ba\r\n", {{"\\1Ba", "reset"}}},
        ParseCase{"LaterCommentReplaces",
                  "//one\n//two\n\\1Be\n\\1Ba\n",
                  {{"\\1Be", "two"}, {"\\1Ba", ""}}},
        ParseCase{"OtherLinesSkipped", "RR\\0D\n \\1Ba\n\\1Be\n/ x\n", {{"\\1Be", ""}}},
        ParseCase{"EndStopsReading", "\\1Ba\n//end of it\n\\1Be\n", {{"\\1Ba", ""}}},
        ParseCase{"EndMustBeginTheLine", "\\1Ba\n //end\n\\1Be\n", {{"\\1Ba", ""}, {"\\1Be", ""}}},
        ParseCase{"LastLineWithoutLineEnd", "\\1Ba\n\\1Be", {{"\\1Ba", ""}, {"\\1Be", ""}}},
        ParseCase{"CrOnlyLineEnds", "//a\r\\1Ba\r\\1Be\r", {{"\\1Ba", "a"}, {"\\1Be", ""}}},
        ParseCase{"MixedLineEnds",
                  "\\1Ba\r\n\\1Be\n\\1Bi\r\\1Bt",
                  {{"\\1Ba", ""}, {"\\1Be", ""}, {"\\1Bi", ""}, {"\\1Bt", ""}}},
        ParseCase{"ByteOrderMarkIsNothing", "\xEF\xBB\xBF\\1Ba\r\n", {{"\\1Ba", ""}}},
        ParseCase{
            "ByteOrderMarkBeforeComment", "\xEF\xBB\xBF//first\n\\1Ba\n", {{"\\1Ba", "first"}}},
        ParseCase{"MarkElsewhereIsText", "\\1Ba\n\xEF\xBB\xBF\\1Be\n", {{"\\1Ba", ""}}},
        ParseCase{"Empty", "", {}}),
    [](const ::testing::TestParamInfo<ParseCase>& c) { return std::string(c.param.name); });

} // namespace
