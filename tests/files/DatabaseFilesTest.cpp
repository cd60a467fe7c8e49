// The database's files on disk: the CSV file's forward reader and the
// history file's whole reads and writes.

#include "files/CsvReader.h"
#include "files/HistoryFileIo.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace msrw;

namespace {

class CsvReaderTest : public ::testing::Test {
protected:
    QString write(const QByteArray& bytes) {
        const QString path = dir.filePath("db.csv");
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
    QTemporaryDir dir;
    csv::Reader reader;
};

TEST_F(CsvReaderTest, ReadsForwardRepeatsTheLastAndGoesBack) {
    QString error;
    ASSERT_TRUE(reader.open(write("a,1\r\nb,2\nc,3"), error));
    EXPECT_EQ(reader.countLines(), 3);
    EXPECT_EQ(reader.record(2).record.fields, (std::vector<std::string>{"b", "2"}));
    EXPECT_EQ(reader.record(2).record.fields[0], "b");
    EXPECT_EQ(reader.record(3).record.fields[0], "c"); // no line end after the last
    EXPECT_EQ(reader.record(4).status, csv::Reader::Status::EndOfFile);
    EXPECT_EQ(reader.record(1).record.fields[0], "a");
    EXPECT_EQ(reader.record(0).status, csv::Reader::Status::EndOfFile);
}

TEST_F(CsvReaderTest, BinaryAndOverlongLinesAreBad) {
    QString error;
    ASSERT_TRUE(
        reader.open(write(QByteArray("a\0b,1\n", 6) + QByteArray(70000, 'x') + "\n"), error));
    EXPECT_EQ(reader.record(1).status, csv::Reader::Status::Bad);
    EXPECT_EQ(reader.record(2).status, csv::Reader::Status::Bad);
    EXPECT_FALSE(reader.open(dir.filePath("none.csv"), error));
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(CsvReaderTest, RecordNIsLineNWhateverTheLengthOfTheLinesBefore) {
    // A line over the limit is refused by its number; the lines after it keep theirs.
    QByteArray first = "1001,NAME1,991,";
    first += QByteArray(65535 - first.size(), 'Z') + "9999,EVIL,666";
    QString error;
    ASSERT_TRUE(reader.open(write(first + "\n2002,NAME2,992\r\n3003,NAME3,993\n"), error));
    EXPECT_EQ(reader.countLines(), 3);
    for (const std::int64_t start : {2, 1}) { // resumed at 2, then from the start
        const csv::Reader::Result r = reader.record(start);
        if (start == 1) {
            EXPECT_EQ(r.status, csv::Reader::Status::Bad);
            EXPECT_NE(r.record.problem.find("longer than 65536 bytes"), std::string::npos);
            continue;
        }
        EXPECT_EQ(r.record.fields, (std::vector<std::string>{"2002", "NAME2", "992"}));
        EXPECT_EQ(reader.record(3).record.fields[0], "3003");
        EXPECT_EQ(reader.record(4).status, csv::Reader::Status::EndOfFile);
    }
    // Exactly at the limit it is a record (a CR before the line end not counted).
    ASSERT_TRUE(reader.open(write(QByteArray(65536, '7') + "\r\n8\n"), error));
    EXPECT_EQ(reader.record(1).record.fields[0].size(), 65536u);
    EXPECT_EQ(reader.record(2).record.fields[0], "8");
}

TEST(HistoryFile, WholeWrites) {
    QTemporaryDir dir;
    const QString path = dir.filePath("m.his");
    QString error;
    ASSERT_TRUE(history::WriteWholeFile(path, "7\r\n", error));
    EXPECT_EQ(history::ReadSmallFile(path, error), "7\r\n");
    EXPECT_FALSE(history::WriteWholeFile(dir.filePath("no/such/dir/m.his"), "1", error));
    EXPECT_FALSE(history::ReadSmallFile(dir.filePath("none.his"), error));
}

} // namespace
