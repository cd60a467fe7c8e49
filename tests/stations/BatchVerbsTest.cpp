// msrw-cli batch import, status and retry, and the database verb's --db
// options, end to end: what each prints, what each refuses, and the exit
// statuses (2 bad usage, 3 no batch server).

#include "batch/PgTestServer.h"
#include "stations/BatchOnServer.h"
#include "stations/StationKit.h"

#include <QThread>

using namespace msrw;
using namespace msrw::test;

namespace {

const QString kNoServer = "host=127.0.0.1 port=1 dbname=cards user=msrw";

TEST(BatchVerbs, BadUsageIsRefusedBeforeAnyServerIsAsked) {
    const QStringList cases[] = {
        {"batch"},
        {"batch", "frob", "--db", kNoServer},
        {"batch", "import", "--db", kNoServer},
        {"batch", "retry", "1", "--db", kNoServer},
        {"batch", "status"},
        {"batch", "status", "--db", "host=h frob=1"},
        {"batch", "retry", "1", "2", "--db", kNoServer, "--batch", "1"},
        {"database", "u.txt", "--db", kNoServer, "--resume"},
        {"database", "u.txt", "--db", kNoServer, "--lease", "0"},
        {"database", "u.txt", "--db", kNoServer, "--batch", "x"},
        {"database", "u.txt", "--batch", "1"},
        {"database", "u.txt", "--station", "s"},
        {"read", "--db", kNoServer},
    };
    for (const QStringList& args : cases) {
        const CliRun run = RunCli(args);
        EXPECT_EQ(run.status, 2) << args.join(' ').toStdString() << ": " << run.err.toStdString();
        EXPECT_FALSE(run.err.isEmpty()) << args.join(' ').toStdString();
        EXPECT_FALSE(run.err.contains("refused the connection")) << args.join(' ').toStdString();
    }
}

class BatchVerbsOnServer : public PgTest {
protected:
    CliRun cli(QStringList args) {
        return RunCli(args << "--db" << QString::fromStdString(connectionText()));
    }
    StationKit kit;
};

TEST_F(BatchVerbsOnServer, ImportMakesOneBatchAndABadLineLeavesNone) {
    kit.files.writeRecords(5);
    EXPECT_EQ(ImportWithCli(kit.files.usagePath(), connectionText(), 5), 1);
    kit.files.write("db.csv", "A,B,1,2\nC,D,3,4\nE,,,\n");
    const CliRun bad = cli({"batch", "import", kit.files.usagePath()});
    EXPECT_EQ(bad.status, 2);
    EXPECT_TRUE(bad.err.contains("db.csv, line 3")) << bad.err.toStdString();
    const CliRun status = cli({"batch", "status"});
    EXPECT_EQ(status.status, 0);
    EXPECT_EQ(status.out.toStdString(),
              "batch 1 (db.txt): 0 written, 0 claimed, 0 uncertain, 5 still to write\n");
}

TEST_F(BatchVerbsOnServer, StatusCountsEachBatchAndEachStation) {
    EXPECT_EQ(cli({"batch", "status"}).out.toStdString().rfind("There is no batch", 0), 0u);
    kit.files.writeRecords(4);
    ASSERT_EQ(ImportWithCli(kit.files.usagePath(), connectionText(), 4), 1);
    kit.files.writeRecords(3);
    ASSERT_EQ(ImportWithCli(kit.files.usagePath(), connectionText(), 3), 2);
    const auto s1 = open("s1");
    std::string error;
    const auto claim = s1->claim(2, error);
    ASSERT_EQ(claim.outcome, batch::BatchStore::Outcome::Done) << error;
    ASSERT_EQ(s1->markWritten(2, claim.record.number, error), batch::BatchStore::Outcome::Done);
    ASSERT_EQ(s1->claim(2, error).outcome, batch::BatchStore::Outcome::Done) << error;

    const CliRun all = cli({"batch", "status"});
    EXPECT_EQ(all.status, 0);
    EXPECT_EQ(all.out.toStdString(),
              "batch 1 (db.txt): 0 written, 0 claimed, 0 uncertain, 4 still to write\n"
              "batch 2 (db.txt): 1 written, 1 claimed, 0 uncertain, 1 still to write\n"
              "  station s1: 1 written, 1 claimed, 0 uncertain\n");
    const CliRun one = cli({"batch", "status", "--batch", "1"});
    EXPECT_EQ(one.out.toStdString(),
              "batch 1 (db.txt): 0 written, 0 claimed, 0 uncertain, 4 still to write\n");
    const CliRun none = cli({"batch", "status", "--batch", "9"});
    EXPECT_EQ(none.status, 2);
    EXPECT_TRUE(none.err.contains("no batch 9")) << none.err.toStdString();
}

TEST_F(BatchVerbsOnServer, RetryOffersAnUncertainRecordAgainAndRefusesOthers) {
    kit.files.writeRecords(3);
    ASSERT_EQ(ImportWithCli(kit.files.usagePath(), connectionText(), 3), 1);
    const auto s1 = open("s1");
    s1->setLeaseSeconds(1);
    std::string error;
    ASSERT_EQ(s1->claim(1, error).outcome, batch::BatchStore::Outcome::Done) << error;
    EXPECT_EQ(cli({"batch", "retry", "1", "1"}).status, 2) << "its lease is still running";
    QThread::msleep(1300);
    const CliRun retry = cli({"batch", "retry", "1", "1"});
    EXPECT_EQ(retry.status, 0) << retry.err.toStdString();
    EXPECT_TRUE(retry.out.contains("Record no. 1 of batch 1 is open again"))
        << retry.out.toStdString();
    const auto state = s1->recordState(1, 1, error);
    ASSERT_TRUE(state) << error;
    EXPECT_EQ(state->state, "open");
    const CliRun again = cli({"batch", "retry", "1", "1"});
    EXPECT_EQ(again.status, 2);
    EXPECT_TRUE(again.err.contains("is not uncertain: it is open")) << again.err.toStdString();
    EXPECT_EQ(cli({"batch", "retry", "1", "9"}).status, 2);
}

TEST_F(BatchVerbsOnServer, NoServerIsExitStatus3AndNoBatchIs2ForEveryVerb) {
    kit.files.writeRecords(2);
    const QStringList noServer{"--db", kNoServer};
    for (const QStringList& args :
         {QStringList{"batch", "import", kit.files.usagePath()}, QStringList{"batch", "status"},
          QStringList{"batch", "retry", "1", "1"}}) {
        const CliRun run = RunCli(args + noServer);
        EXPECT_EQ(run.status, 3) << args.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains("127.0.0.1:1 refused the connection"))
            << run.err.toStdString();
    }
    const auto station = kit.station("s1");
    station->start(kit.files.usagePath(), kNoServer.toStdString());
    ASSERT_TRUE(station->wait(30000));
    EXPECT_EQ(station->exitCode(), 3);
    EXPECT_TRUE(station->errors().contains("refused the connection"))
        << station->errors().toStdString();
    station->start(kit.files.usagePath(), connectionText());
    ASSERT_TRUE(station->wait(30000));
    EXPECT_EQ(station->exitCode(), 2) << "no batch of the usage file was imported";
    EXPECT_TRUE(station->errors().contains("There is no batch of db.txt"))
        << station->errors().toStdString();
}

} // namespace
