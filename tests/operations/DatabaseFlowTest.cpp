// The database application against the simulated reader/writer: record
// after record, the resume point kept after every card, End, the end of the
// records, and bad usage, database and history files.

#include "files/HistoryFile.h"
#include "operations/files/DatabaseApplication.h"
#include "session/Dispatcher.h"
#include "session/OpStates.h"
#include "sim/CardOps.h"
#include "support/CardsSession.h"
#include "support/FileSizeLimit.h"

#include <QCoreApplication>
#include <QFile>
#include <QLockFile>
#include <QSysInfo>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

using namespace msrw;
using namespace msrw::test;

namespace {

const char* kIsoUsage = "//members\r\nCARDTYPE=ISO\r\nBPI1=210\r\n//BPI2=\r\nBPI3=210\r\n"
                        "Trk1:fa^fb\r\nTrk2:fcfd\r\nTrk3:\r\n";

class DatabaseFlow : public SimCardsFlow {
protected:
    std::string file(const char* name) { return t.dir.filePath(name).toStdString(); }
    void write(const char* name, const std::string& bytes) {
        QFile f(t.dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes.data(), qint64(bytes.size()));
    }
    std::string read(const char* name) {
        QFile f(t.dir.filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : "<none>";
    }
    std::string lastMessage() const {
        return t.dialogs.messages.empty() ? std::string() : t.dialogs.messages.back();
    }
    void start() {
        t.dialogs.fileAnswers.push_back(file("db.txt"));
        cmdDatabase_Click(s());
    }
    std::string written(sim::VirtualCard& card, int track) {
        return sim::ReadCardDecoded(card, t.device->settings())[std::size_t(track - 1)].data;
    }
    void swipe(sim::VirtualCard& card) {
        ASSERT_TRUE(t.device->swipe(card)) << lastMessage();
        t.settle();
    }
};

TEST_F(DatabaseFlow, WritesRecordAfterRecordAndKeepsTheResumePointEachTime) {
    write("db.txt", kIsoUsage);
    write("db.csv", "SMITH,JOHN,1234,5678\n\"DOE, JANE\",Q,99,11\n,,\n");
    start();
    ASSERT_EQ(s().g.OpState, kOpDatabaseWrite) << lastMessage();
    EXPECT_EQ(read("db.his"), "1\r\n");
    EXPECT_EQ(s().view.prompt.caption, "Write Card From Database");
    EXPECT_EQ(s().operationState<DatabaseRun>().progress, "record 1 of 3");
    sim::VirtualCard a, b;
    swipe(a);
    EXPECT_EQ(s().view.message.text, "Write Record no. 1 OK!");
    EXPECT_EQ(read("db.his"), "2\r\n"); // kept before the next card is armed
    EXPECT_EQ(written(a, 1), "%SMITH^JOHN?");
    EXPECT_EQ(written(a, 2), ";12345678?");
    ASSERT_TRUE(t.swipeAtLowCoercivity("AAMVA sample"));
    EXPECT_EQ(s().view.message.text, "Write Record no. 2 Error!!");
    swipe(b);
    EXPECT_EQ(written(b, 1), "%DOE, JANE^Q?");
    // Record 3's first field is empty: the end of the database.
    EXPECT_EQ(lastMessage(), "End of record.");
    EXPECT_EQ(read("db.his"), "1\r\n");
    EXPECT_EQ(s().g.OpState, kOpIdle);
    EXPECT_TRUE(s().view.isEnabled("cmdDatabase"));
}

TEST_F(DatabaseFlow, EndKeepsTheRecordAndTheNextStartOffersToResume) {
    write("db.txt", kIsoUsage);
    write("db.csv", "A,B,1,2\nC,D,3,4\nE,F,5,6\n");
    start();
    sim::VirtualCard a;
    swipe(a);
    cmdCancel_Click(s());
    EXPECT_EQ(read("db.his"), "2\r\n");

    t.dialogs.okCancelAnswers.push_back(true);
    start();
    EXPECT_EQ(lastMessage(), "Last record no. is:     2\n\rOK         -     Resume.\n\r"
                             "CANCEL -    Restart from record no. 1.");
    sim::VirtualCard b;
    swipe(b);
    EXPECT_EQ(written(b, 1), "%C^D?");
    cmdCancel_Click(s());

    t.dialogs.okCancelAnswers.push_back(false); // restart
    start();
    sim::VirtualCard c;
    swipe(c);
    EXPECT_EQ(written(c, 1), "%A^B?");
    cmdCancel_Click(s());
}

TEST_F(DatabaseFlow, ACrashBetweenTwoRecordsLeavesTheResumePoint) {
    write("db.txt", kIsoUsage);
    write("db.csv", "A,B,1,2\nC,D,3,4\n");
    {
        SimSession crashed;
        // Another run of the program on the same files, dropped without End.
        ASSERT_TRUE(crashed.start());
        crashed.device->settings().coercivity = sim::Coercivity::High;
        crashed.dialogs.fileAnswers.push_back(file("db.txt"));
        cmdDatabase_Click(*crashed.session);
        sim::VirtualCard a;
        ASSERT_TRUE(crashed.device->swipe(a));
        crashed.settle();
    }
    EXPECT_EQ(read("db.his"), "2\r\n");
}

// The history must take a write before any card is armed: here no file may
// grow (a full disk), and nothing is armed.
TEST_F(DatabaseFlow, AFolderThatCannotKeepTheResumePointArmsNoCard) {
    write("db.txt", kIsoUsage);
    write("db.csv", "A,B,1,2\nC,D,3,4\nE,F,5,6\n");
    write("db.his", "2\r\n");
    t.dialogs.okCancelAnswers.push_back(true);
    {
        const FileSizeLimit none(0);
        ASSERT_TRUE(none.set());
        start();
    }
    EXPECT_NE(lastMessage().find("The resume point cannot be kept in " + file("db.his")),
              std::string::npos)
        << lastMessage();
    EXPECT_EQ(s().g.OpState, kOpIdle);
    EXPECT_FALSE(s().view.prompt.visible);
    EXPECT_EQ(read("db.his"), "2\r\n");
}

// One run at a time writes a usage file's records: a second one is refused,
// naming the process and host that hold them.
TEST_F(DatabaseFlow, ASecondRunOnTheSameRecordsIsRefusedNamingTheFirst) {
    write("db.txt", kIsoUsage);
    write("db.csv", "A,B,1,2\nC,D,3,4\n");
    QLockFile other(t.dir.filePath("db.his.lock"));
    ASSERT_TRUE(other.tryLock(0));
    start();
    EXPECT_NE(lastMessage().find("are being written by another run (process " +
                                 std::to_string(QCoreApplication::applicationPid()) + " on " +
                                 QSysInfo::machineHostName().toStdString() + ")"),
              std::string::npos)
        << lastMessage();
    EXPECT_EQ(s().g.OpState, kOpIdle);
    EXPECT_EQ(read("db.his"), "<none>");
    other.unlock();
    // Once the first run is over, the next one starts and holds the records in turn.
    start();
    ASSERT_EQ(s().g.OpState, kOpDatabaseWrite) << lastMessage();
    QLockFile third(t.dir.filePath("db.his.lock"));
    EXPECT_FALSE(third.tryLock(0));
    cmdCancel_Click(s());
    EXPECT_TRUE(third.tryLock(0));
}

TEST_F(DatabaseFlow, BadFilesEndCleanlyAndChangeNothing) {
    struct Case {
        const char* what;
        std::string usage, csv, his;
        std::string message;
    };
    for (const Case& c : {
             Case{"empty usage", "", "a\n", "1", "File empty"},
             Case{"usage out of order",
                  "CARDTYPE=ISO\r\nTrk1:fa\r\nBPI1=210\r\nBPI2=210\r\nBPI3=210\r\n", "a\n", "1",
                  "Wrong data format!"},
             Case{"no csv", kIsoUsage, "", "1", "Database file (.csv) not found!"},
             Case{"missing field", kIsoUsage, "A,B,1\n", "1", "Wrong data format!"},
             Case{"a letter on track 2", kIsoUsage, "A,B,1X,2\n", "1",
                  "a track holds characters the card format cannot carry"},
             Case{"too many fields", kIsoUsage, "a" + std::string(200, ','), "1",
                  "Wrong data format!"},
             Case{"history not a number", kIsoUsage, "A,B,1,2\n", "x7", "The resume point"},
             Case{"history past the end", kIsoUsage, "A,B,1,2\n", "9",
                  "The resume point lies past the end of the records.\n" + file("db.his") +
                      ", line 1: record no. 9, but the records of " + file("db.csv") +
                      " end at line 1"},
             Case{"history past a blank line", kIsoUsage, "A,B,1,2\nC,D,3,4\n\nE,F,5,6\n", "3",
                  "record no. 3, but the records of " + file("db.csv") + " end at line 2"},
             Case{"history past no records", kIsoUsage, ",\n", "2", "holds no records"},
             Case{"history with a line end and a NUL", kIsoUsage, "A,B,1,2\n",
                  std::string("7\r\n\0x", 5), "\"7\\0D\\0A\\00x\" is not a record number"},
         }) {
        write("db.txt", c.usage);
        QFile::remove(t.dir.filePath("db.csv"));
        if (!c.csv.empty())
            write("db.csv", c.csv);
        write("db.his", c.his);
        t.dialogs.okCancelAnswers.push_back(true);
        start();
        EXPECT_NE(lastMessage().find(c.message), std::string::npos)
            << c.what << ": " << lastMessage();
        EXPECT_EQ(s().g.OpState, kOpIdle) << c.what;
        EXPECT_TRUE(s().view.isEnabled("cmdDatabase")) << c.what;
        EXPECT_FALSE(s().view.prompt.visible) << c.what;
        EXPECT_EQ(read("db.his"), c.his) << c.what;
        t.dialogs.okCancelAnswers.clear();
    }
}

} // namespace
