// The Tarn set-up file as the program keeps it in the data folder.

#include "files/TarnSetupLoad.h"

#include "link/DataFolder.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace msrw;

namespace {

using Lines = std::vector<std::string>;

TEST(TarnSetupFile, StoredAsTheOtherLineFilesAre) {
    QTemporaryDir dir;
    const DataFolder data(dir.path());
    QString error;
    ASSERT_TRUE(data.writeLines(kTarnSetupFile, TarnSetupFileLines(DefaultTarnSetup()), error));
    QFile file(data.path(kTarnSetupFile));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.fileName(), dir.path() + "/tarnsetup.stp");
    EXPECT_EQ(file.readAll(), QByteArray("9\r\n9\r\n9\r\n0\r\n2\r\n2\r\n0\r\n1\r\n0\r\n1\r\n"));
}

// Read as the settings record is: a value its key cannot hold, a missing
// line or a file too large takes the default, the damaged file is kept as
// ".bad" and replaced, and the notice names the file and the first bad line.
TEST(TarnSetupFile, ADamagedFileIsKeptAsBadAndRepairedWithDefaults) {
    struct Case {
        const char* what;
        QByteArray file;
        Lines repaired;
        int firstBad; // 0: nothing damaged
    };
    const Case cases[] = {
        {"whole",
         "12\r\n0\r\n255\r\n2\r\n1\r\n0\r\n1\r\n0\r\n1\r\n0\r\n",
         {"12", "0", "255", "2", "1", "0", "1", "0", "1", "0"},
         0},
        {"letters",
         "9\r\n9\r\n9\r\n0\r\n2\r\n2\r\nL\r\nL\r\nL\r\n1\r\n",
         {"9", "9", "9", "0", "2", "2", "0", "1", "0", "1"},
         7},
        {"two lines", "4\r\n5\r\n", {"4", "5", "9", "0", "2", "2", "0", "1", "0", "1"}, 3},
        {"out of range",
         "256\r\n9\r\n9\r\n3\r\n2\r\n2\r\n0\r\n2\r\n0\r\n7\r\n",
         {"9", "9", "9", "0", "2", "2", "0", "1", "0", "1"},
         1},
        {"too large",
         QByteArray(3 << 20, '1'),
         {"9", "9", "9", "0", "2", "2", "0", "1", "0", "1"},
         1},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        const DataFolder data(dir.path());
        QFile file(data.path(kTarnSetupFile));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(c.file);
        file.close();
        const TarnSetupLoad load = LoadTarnSetup(data);
        EXPECT_EQ(TarnSetupFileLines(load.values), c.repaired) << c.what;
        const QString badPath = data.path(kTarnSetupFile) + ".bad";
        if (c.firstBad == 0) {
            EXPECT_TRUE(load.notice.isEmpty()) << c.what;
            EXPECT_FALSE(QFile::exists(badPath)) << c.what;
            continue;
        }
        EXPECT_TRUE(load.notice.contains(data.path(kTarnSetupFile))) << c.what;
        EXPECT_TRUE(load.notice.contains(QString("from line %1 on").arg(c.firstBad)))
            << c.what << ": " << load.notice.toStdString();
        QFile kept(badPath);
        ASSERT_TRUE(kept.open(QIODevice::ReadOnly)) << c.what;
        EXPECT_EQ(kept.readAll(), c.file) << c.what;
        EXPECT_EQ(data.readLines(kTarnSetupFile), c.repaired) << c.what;
    }
}

TEST(TarnSetupFile, AMissingFileIsWrittenWithTheDefaults) {
    QTemporaryDir dir;
    const DataFolder data(dir.path());
    const TarnSetupLoad load = LoadTarnSetup(data);
    EXPECT_TRUE(load.notice.isEmpty());
    EXPECT_EQ(data.readLines(kTarnSetupFile), TarnSetupFileLines(DefaultTarnSetup()));
}

} // namespace
