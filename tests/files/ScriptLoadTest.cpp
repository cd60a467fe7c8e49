// The bounded loading of a script file.

#include "files/ScriptLoad.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace msrw;

namespace {

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
