// The database application as a station on a batch: against the simulated
// reader/writer and a real batch server, each record is written once, a
// failed write claims nothing new, End gives the claim back, and a lease is
// renewed while its card waits for the swipe.

#include "batch/BatchFiles.h"
#include "batch/BatchImport.h"
#include "batch/PgTestServer.h"
#include "operations/files/DatabaseApplication.h"
#include "operations/files/DatabaseSource.h"
#include "session/Dispatcher.h"
#include "session/OpStates.h"
#include "sim/CardOps.h"
#include "support/CardsSession.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

using namespace msrw;
using namespace msrw::test;

namespace {

class BatchFlow : public SimCardsFlow {
protected:
    void SetUp() override {
        SimCardsFlow::SetUp();
        if (!server.create())
            GTEST_SKIP() << "MSRW_TEST_PG names no test server";
        importer = server.open("importer");
        ASSERT_TRUE(importer);
    }
    std::int64_t importCsv(const std::string& csv) {
        files.write("db.txt", kIsoUsageText);
        files.write("db.csv", csv);
        std::string error;
        const auto imported = batch::ImportBatch(*importer, files.usagePath(), error);
        EXPECT_TRUE(imported) << error;
        return imported ? imported->batch : 0;
    }
    void useBatch(Session& session, const std::string& station, int leaseSeconds = 0) {
        DatabaseSourceChoice choice;
        choice.connection = server.connectionText();
        choice.station = station;
        choice.leaseSeconds = leaseSeconds;
        std::string problem;
        ASSERT_TRUE(SetDatabaseSource(session, choice, problem)) << problem;
    }
    void start(SimSession& station) {
        station.dialogs.fileAnswers.push_back(files.usagePath().toStdString());
        cmdDatabase_Click(*station.session);
    }
    std::string lastMessage(const SimSession& station) const {
        return station.dialogs.messages.empty() ? std::string() : station.dialogs.messages.back();
    }
    void swipe(SimSession& station, sim::VirtualCard& card) {
        ASSERT_TRUE(station.device->swipe(card)) << lastMessage(station);
        station.settle();
    }
    std::string written(SimSession& station, sim::VirtualCard& card, int track) {
        return sim::ReadCardDecoded(card, station.device->settings())[std::size_t(track - 1)].data;
    }
    std::string states() {
        return server
            .query("SELECT string_agg(record_no || ':' || state || ':' || coalesce(station, '-'),"
                   " ' ' ORDER BY record_no) FROM msrw_records")
            .toString()
            .toStdString();
    }

    PgTestDatabase server;
    BatchFiles files;
    std::unique_ptr<batch::BatchStore> importer;
};

TEST_F(BatchFlow, WritesEveryRecordOnceAndAsksNoResumeQuestion) {
    importCsv("SMITH,JOHN,1234,5678\n\"DOE, JANE\",Q,99,11\nA,B,1,2\n");
    useBatch(s(), "one");
    start(t);
    ASSERT_EQ(s().g.OpState, kOpDatabaseWrite) << lastMessage(t);
    EXPECT_EQ(states(), "1:claimed:one 2:open:- 3:open:-");
    EXPECT_EQ(s().operationState<DatabaseRun>().progress, "record 1 of 3");
    sim::VirtualCard a, b, c;
    swipe(t, a);
    EXPECT_EQ(s().view.message.text, "Write Record no. 1 OK!");
    EXPECT_EQ(written(t, a, 1), "%SMITH^JOHN?");
    EXPECT_EQ(written(t, a, 2), ";12345678?");
    EXPECT_EQ(states(), "1:written:one 2:claimed:one 3:open:-");
    swipe(t, b);
    EXPECT_EQ(written(t, b, 1), "%DOE, JANE^Q?");
    swipe(t, c);
    EXPECT_EQ(written(t, c, 1), "%A^B?");
    EXPECT_EQ(lastMessage(t), "End of record.");
    EXPECT_EQ(states(), "1:written:one 2:written:one 3:written:one");
    EXPECT_EQ(s().g.OpState, kOpIdle);
    EXPECT_TRUE(s().view.isEnabled("cmdDatabase"));
    EXPECT_EQ(t.dialogs.messages, std::vector<std::string>{"End of record."});
    EXPECT_FALSE(QFile::exists(files.dir.filePath("db.his")));
}

TEST_F(BatchFlow, AFailedWriteTriesTheSameRecordAgainAndClaimsNothingNew) {
    importCsv("A,B,1,2\nC,D,3,4\n");
    useBatch(s(), "one");
    start(t);
    t.takePauses();
    ASSERT_TRUE(t.swipeAtLowCoercivity("AAMVA sample"));
    EXPECT_EQ(s().view.message.text, "Write Record no. 1 Error!!");
    EXPECT_EQ(t.takePauses(), std::vector<int>{500});
    EXPECT_EQ(states(), "1:claimed:one 2:open:-");
    sim::VirtualCard a;
    swipe(t, a);
    EXPECT_EQ(written(t, a, 1), "%A^B?");
    EXPECT_EQ(states(), "1:written:one 2:claimed:one");
}

TEST_F(BatchFlow, EndGivesTheClaimBackForAnotherStation) {
    importCsv("A,B,1,2\nC,D,3,4\n");
    useBatch(s(), "one");
    start(t);
    EXPECT_EQ(states(), "1:claimed:one 2:open:-");
    cmdCancel_Click(s());
    EXPECT_EQ(states(), "1:open:- 2:open:-");
    EXPECT_EQ(s().g.OpState, kOpIdle);
    start(t); // the same station again: the lowest open record
    EXPECT_EQ(states(), "1:claimed:one 2:open:-");
    cmdCancel_Click(s());
}

TEST_F(BatchFlow, TwoStationsShareTheBatchAndNoRecordIsWrittenTwice) {
    importCsv("A,B,1,2\nC,D,3,4\nE,F,5,6\n");
    SimSession other;
    ASSERT_TRUE(other.start());
    other.device->settings().coercivity = sim::Coercivity::High;
    useBatch(s(), "one");
    useBatch(*other.session, "two");
    start(t);
    start(other);
    EXPECT_EQ(states(), "1:claimed:one 2:claimed:two 3:open:-");
    sim::VirtualCard a, b, c;
    swipe(other, b);
    EXPECT_EQ(written(other, b, 1), "%C^D?");
    swipe(t, a);
    EXPECT_EQ(written(t, a, 1), "%A^B?");
    EXPECT_EQ(states(), "1:written:one 2:written:two 3:claimed:two");
    swipe(other, c);
    EXPECT_EQ(written(other, c, 1), "%E^F?");
    EXPECT_EQ(lastMessage(other), "End of record.");
    // The first station's next claim finds nothing left.
    EXPECT_EQ(lastMessage(t), "End of record.");
    EXPECT_EQ(states(), "1:written:one 2:written:two 3:written:two");
}

TEST_F(BatchFlow, TheLeaseIsRenewedWhileTheCardWaits) {
    importCsv("A,B,1,2\n");
    useBatch(s(), "one", 1);
    start(t);
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 1500)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_EQ(states(), "1:claimed:one");
    EXPECT_GT(
        server.query("SELECT extract(epoch FROM lease_until - now()) FROM msrw_records").toDouble(),
        0.2);
    sim::VirtualCard a;
    swipe(t, a);
    EXPECT_EQ(states(), "1:written:one");
}

TEST_F(BatchFlow, AClaimLostBeforeTheOkIsToldAndTheRecordLeftUncertain) {
    importCsv("A,B,1,2\nC,D,3,4\n");
    useBatch(s(), "one");
    start(t);
    server.execute("UPDATE msrw_records SET state = 'uncertain' WHERE record_no = 1");
    sim::VirtualCard a;
    swipe(t, a);
    EXPECT_EQ(written(t, a, 1), "%A^B?");
    EXPECT_NE(lastMessage(t).find("Record no. 1 of batch"), std::string::npos) << lastMessage(t);
    EXPECT_NE(lastMessage(t).find("left as it is for an operator to check"), std::string::npos);
    EXPECT_EQ(s().g.OpState, kOpIdle);
    EXPECT_EQ(states(), "1:uncertain:one 2:open:-");
}

TEST_F(BatchFlow, AConnectionLostWhileTheCardWaitsGoesOnOnANewOne) {
    importCsv("A,B,1,2\nC,D,3,4\n");
    useBatch(s(), "one");
    start(t);
    server.execute("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE "
                   "application_name = '' AND datname = current_database() AND "
                   "pid <> pg_backend_pid()");
    sim::VirtualCard a, b;
    swipe(t, a);
    EXPECT_EQ(s().view.message.text, "Write Record no. 1 OK!") << lastMessage(t);
    swipe(t, b);
    EXPECT_EQ(written(t, b, 1), "%C^D?");
    EXPECT_EQ(states(), "1:written:one 2:written:one");
    EXPECT_TRUE(t.dialogs.messages == std::vector<std::string>{"End of record."}) << lastMessage(t);
}

TEST_F(BatchFlow, AServerOrBatchThatCannotBeUsedStopsTheRunBeforeItStarts) {
    importCsv("A,B,1,2\n");
    struct Case {
        const char* what;
        std::string connection;
        std::optional<std::int64_t> batch;
        std::string told;
    };
    for (const Case& c : {
             Case{"no such database",
                  server.adminText + " dbname=msrw_no_such_db",
                  {},
                  "The database msrw_no_such_db does not exist"},
             Case{"no such batch", server.connectionText(), 999, "There is no batch 999"},
         }) {
        DatabaseSourceChoice choice;
        choice.connection = c.connection;
        choice.batch = c.batch;
        std::string problem;
        ASSERT_TRUE(SetDatabaseSource(s(), choice, problem)) << problem;
        start(t);
        EXPECT_NE(lastMessage(t).find(c.told), std::string::npos) << c.what << lastMessage(t);
        EXPECT_EQ(s().g.OpState, kOpIdle) << c.what;
        EXPECT_TRUE(s().view.isEnabled("cmdDatabase")) << c.what;
    }
    EXPECT_EQ(states(), "1:open:-");
}

TEST(DatabaseSourceMenu, TakesAConnectionTextOrNothingAndRefusesABadOne) {
    SimSession t;
    ASSERT_TRUE(t.start());
    Session& s = *t.session;
    t.dialogs.textAnswers.push_back("host=db1 dbname=cards");
    mnuDatabaseSource_Click(s);
    EXPECT_EQ(DatabaseSourceOf(s).connection, "host=db1 dbname=cards");
    t.dialogs.textAnswers.push_back("host='db1");
    mnuDatabaseSource_Click(s);
    EXPECT_NE(t.dialogs.messages.back().find("The connection text is not one: "),
              std::string::npos);
    EXPECT_EQ(DatabaseSourceOf(s).connection, "host=db1 dbname=cards");
    t.dialogs.textAnswers.push_back(std::nullopt); // cancelled: nothing changes
    mnuDatabaseSource_Click(s);
    EXPECT_EQ(DatabaseSourceOf(s).connection, "host=db1 dbname=cards");
    t.dialogs.textAnswers.push_back("  ");
    mnuDatabaseSource_Click(s);
    EXPECT_EQ(DatabaseSourceOf(s).connection, ""); // the CSV file again
}

} // namespace
