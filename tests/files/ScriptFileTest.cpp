// The script file format: commands, comments, "//end", line ends, and the
// bounded loading of a file.

#include "files/ScriptFile.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
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

class ScriptLoading : public ::testing::Test {
protected:
    QString write(const QString& name, const QByteArray& bytes) {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    QTemporaryDir dir;
};

TEST_F(ScriptLoading, ReadsTheSteps) {
    const ScriptLoad load = LoadScriptFile(write("ok.txt", "//test\r\n\\1Be\r\n"));
    EXPECT_EQ(load.error, "");
    ASSERT_EQ(load.steps.size(), 1u);
    EXPECT_EQ(load.steps[0].comment, "test");
}

TEST_F(ScriptLoading, RefusesWhatIsNoScriptNamingTheFile) {
    struct Case {
        QString path;
        const char* says;
    };
    const QByteArray atBound(qsizetype(kMaxScriptBytes) - 4, ' ');
    const std::vector<Case> cases{
        {write("comments.txt", "//only a comment\r\nRR\r\n"), "holds no command"},
        {write("empty.txt", ""), "holds no command"},
        {write("big.txt", "\\1Ba\n" + QByteArray(qsizetype(kMaxScriptBytes), ' ')),
         "larger than 1024 KB"},
        {dir.filePath("missing.txt"), "cannot be read"},
    };
    for (const Case& c : cases) {
        const ScriptLoad load = LoadScriptFile(c.path);
        const std::string name = QFileInfo(c.path).fileName().toStdString();
        EXPECT_NE(load.error.find(c.says), std::string::npos) << load.error;
        EXPECT_NE(load.error.find(name), std::string::npos) << load.error;
        EXPECT_TRUE(load.steps.empty());
    }
    // A file exactly at the bound is still read.
    EXPECT_EQ(LoadScriptFile(write("edge.txt", "\\1Ba" + atBound)).error, "");
}

TEST_F(ScriptLoading, ADeviceFileWithoutSizeIsBounded) {
    if (!QFile::exists("/dev/zero"))
        GTEST_SKIP() << "no /dev/zero here";
    const ScriptLoad load = LoadScriptFile("/dev/zero");
    EXPECT_NE(load.error.find("larger than"), std::string::npos) << load.error;
}

} // namespace
