// The batch store against a real server: the schema, imports, claims by
// several stations, leases that run out, the status, and lost connections.

#include "batch/BatchFiles.h"
#include "batch/BatchImport.h"
#include "batch/PgTestServer.h"
#include "batch/Schema.h"

#include <set>

using namespace msrw;
using namespace msrw::batch;
using namespace msrw::test;

namespace {

using Outcome = BatchStore::Outcome;

class BatchStoreTest : public PgTest {
protected:
    // A batch of `count` records imported by station "a".
    std::int64_t importRecords(int count) {
        files.writeRecords(count);
        const auto imported = ImportBatch(*a, files.usagePath(), error);
        EXPECT_TRUE(imported) << error;
        return imported ? imported->batch : 0;
    }
    std::int64_t claimed(BatchStore& store, std::int64_t batch) {
        const BatchStore::Claim c = store.claim(batch, error);
        EXPECT_EQ(c.outcome, Outcome::Done) << error;
        return c.record.number;
    }
    std::string stateOf(std::int64_t batch, std::int64_t record) {
        return query("SELECT state FROM msrw_records WHERE batch = " + std::to_string(batch) +
                     " AND record_no = " + std::to_string(record))
            .toString()
            .toStdString();
    }
    void SetUp() override {
        PgTest::SetUp();
        if (IsSkipped())
            return;
        a = open("station-a");
        b = open("station-b");
        ASSERT_TRUE(a && b);
    }

    BatchFiles files;
    std::unique_ptr<BatchStore> a, b;
    std::string error;
};

TEST_F(BatchStoreTest, SchemaIsCreatedOnceAndMigratedFromAnOlderVersion) {
    EXPECT_EQ(SchemaVersion(a->connection().database(), error), kSchemaVersion) << error;
    // Opening again (another station, a later start) applies nothing twice.
    ASSERT_TRUE(EnsureSchema(a->connection().database(), error)) << error;
    EXPECT_EQ(query("SELECT count(*) FROM msrw_schema_version").toInt(), kSchemaVersion);

    execute("DROP TABLE msrw_records, msrw_batches, msrw_schema_version");
    ASSERT_TRUE(EnsureSchema(a->connection().database(), error, 1)) << error;
    EXPECT_EQ(
        query("SELECT count(*) FROM pg_indexes WHERE indexname = 'msrw_records_open'").toInt(), 0);
    const std::int64_t batch = importRecords(2);
    ASSERT_TRUE(EnsureSchema(a->connection().database(), error)) << error;
    EXPECT_EQ(SchemaVersion(a->connection().database(), error), kSchemaVersion);
    EXPECT_EQ(
        query("SELECT count(*) FROM pg_indexes WHERE indexname = 'msrw_records_open'").toInt(), 1);
    EXPECT_EQ(claimed(*a, batch), 1); // the records stayed
}

TEST_F(BatchStoreTest, RefusesTablesThatAreNotItsOwnOrNewer) {
    execute("INSERT INTO msrw_schema_version (version) VALUES (99)");
    EXPECT_FALSE(EnsureSchema(a->connection().database(), error));
    EXPECT_NE(error.find("version 99, made by a newer release"), std::string::npos) << error;

    execute("DROP TABLE msrw_records, msrw_batches, msrw_schema_version");
    execute("CREATE TABLE msrw_batches (x integer)");
    EXPECT_FALSE(BatchStore::Open(settings, "c", error));
    EXPECT_NE(error.find("that this program did not make"), std::string::npos) << error;

    execute("DROP TABLE msrw_batches");
    execute("CREATE TABLE msrw_schema_version (release text)");
    EXPECT_FALSE(BatchStore::Open(settings, "c", error));
    EXPECT_NE(error.find("msrw_schema_version on the batch server is not this program's"),
              std::string::npos)
        << error;
}

TEST_F(BatchStoreTest, ImportKeepsTheUsageTextAndEveryRecordUpToTheEnd) {
    files.write("db.txt", kIsoUsageText);
    files.write("db.csv", "SMITH,JOHN,1234,5678\n\"DOE, JANE\",\"Q\"\"\\\",99,12\n,,\nX,Y,1,2\n");
    const auto imported = ImportBatch(*a, files.usagePath(), error);
    ASSERT_TRUE(imported) << error;
    EXPECT_EQ(imported->records, 2); // the empty first field ends the records, as on a station
    const auto info = a->findBatch("db.txt", std::nullopt, error);
    ASSERT_TRUE(info) << error;
    EXPECT_EQ(info->id, imported->batch);
    EXPECT_EQ(info->usageText, kIsoUsageText);
    EXPECT_EQ(info->databaseFile, "db.csv");
    BatchStore::Claim c = a->claim(imported->batch, error);
    ASSERT_EQ(a->markWritten(imported->batch, c.record.number, error), Outcome::Done) << error;
    c = a->claim(imported->batch, error);
    EXPECT_EQ(c.record.number, 2);
    EXPECT_EQ(c.record.fields, (std::vector<std::string>{"DOE, JANE", "Q\"\\", "99", "12"}));
}

TEST_F(BatchStoreTest, ABadLineLeavesNothingBehindAndSaysWhere) {
    struct Case {
        const char* what;
        std::string csv;
        std::string told;
    };
    for (const Case& c : {
             Case{"missing field", "A,B,1,2\nA,B,1\n", "db.csv, line 2: track 2 names field 4"},
             Case{"open quote", "A,B,1,2\nA,B,1,2\n\"A,B,1,2\n", "db.csv, line 3"},
             Case{"not UTF-8", "A,B,1,2\nA,\xff,1,2\n", "line 2: the line is not UTF-8 text"},
             Case{"no record", ",B,1,2\n", "holds no record"},
             // a letter on track 2, a lower-case one on track 1: what a
             // station would refuse when it came to the record
             Case{"track 2 alphabet", "A,B,1,2\nA,B,1X,2\n",
                  "db.csv, line 2: a track holds characters the card format cannot carry"},
             Case{"track 1 alphabet", "A,B,1,2\nA,B,1,2\nA,b,1,2\n",
                  "db.csv, line 3: a track holds characters"},
         }) {
        files.write("db.txt", kIsoUsageText);
        files.write("db.csv", c.csv);
        EXPECT_FALSE(ImportBatch(*a, files.usagePath(), error)) << c.what;
        EXPECT_NE(error.find(c.told), std::string::npos) << c.what << ": " << error;
        EXPECT_EQ(query("SELECT count(*) FROM msrw_batches").toInt(), 0) << c.what;
        EXPECT_EQ(query("SELECT count(*) FROM msrw_records").toInt(), 0) << c.what;
    }
    files.write("db.txt", "CARDTYPE=ISO\r\nTrk1:fa\r\n");
    EXPECT_FALSE(ImportBatch(*a, files.usagePath(), error));
    EXPECT_NE(error.find("Wrong data format!"), std::string::npos) << error;
    QFile::remove(files.dir.filePath("db.csv"));
    files.write("db.txt", kIsoUsageText);
    EXPECT_FALSE(ImportBatch(*a, files.usagePath(), error));
    EXPECT_NE(error.find("db.csv cannot be read"), std::string::npos) << error;
}

TEST_F(BatchStoreTest, ALongFileIsSentInBlocksAndAllOfItArrives) {
    const std::int64_t batch = importRecords(2500); // more than two blocks of rows
    EXPECT_EQ(
        query("SELECT count(*) FROM msrw_records WHERE batch = " + std::to_string(batch)).toInt(),
        2500);
    EXPECT_EQ(query("SELECT fields[4] FROM msrw_records WHERE record_no = 2500").toString(),
              "2500");
}

TEST_F(BatchStoreTest, StationsClaimInOrderAndEachHoldsOneRecord) {
    const std::int64_t batch = importRecords(4);
    EXPECT_EQ(claimed(*a, batch), 1);
    EXPECT_EQ(claimed(*a, batch), 1); // the claim it holds, not another
    EXPECT_EQ(claimed(*b, batch), 2);
    ASSERT_EQ(a->markWritten(batch, 1, error), Outcome::Done) << error;
    EXPECT_EQ(claimed(*a, batch), 3);
    ASSERT_EQ(b->release(batch, 2, error), Outcome::Done) << error;
    EXPECT_EQ(stateOf(batch, 2), "open");
    EXPECT_EQ(claimed(*b, batch), 2); // released: the lowest open one again
    ASSERT_EQ(b->markWritten(batch, 2, error), Outcome::Done);
    ASSERT_EQ(a->markWritten(batch, 3, error), Outcome::Done);
    EXPECT_EQ(claimed(*b, batch), 4);
    ASSERT_EQ(b->markWritten(batch, 4, error), Outcome::Done);
    EXPECT_EQ(a->claim(batch, error).outcome, Outcome::NoneLeft);
}

TEST_F(BatchStoreTest, AClaimSkipsTheRecordAnotherConnectionHasLocked) {
    const std::int64_t batch = importRecords(3);
    execute("BEGIN");
    execute("SELECT record_no FROM msrw_records WHERE record_no = 1 FOR UPDATE");
    EXPECT_EQ(claimed(*a, batch), 2); // not waiting for the lock
    EXPECT_EQ(claimed(*b, batch), 3);
    EXPECT_EQ(a->claim(batch, error).record.number, 2);
    execute("ROLLBACK");
    auto c = open("station-c");
    EXPECT_EQ(claimed(*c, batch), 1);
}

TEST_F(BatchStoreTest, ALeaseThatRunsOutLeavesTheRecordUncertainUntilRetried) {
    const std::int64_t batch = importRecords(2);
    a->setLeaseSeconds(90);
    EXPECT_EQ(claimed(*a, batch), 1);
    EXPECT_NEAR(query("SELECT extract(epoch FROM lease_until - now()) FROM msrw_records "
                      "WHERE record_no = 1")
                    .toDouble(),
                90, 5);
    expireLeases();
    EXPECT_EQ(claimed(*b, batch), 2); // record 1 is not offered again
    EXPECT_EQ(stateOf(batch, 1), "uncertain");
    ASSERT_EQ(b->markWritten(batch, 2, error), Outcome::Done);
    EXPECT_EQ(b->claim(batch, error).outcome, Outcome::NoneLeft);

    // The station that lost it may not mark it written, nor renew it.
    EXPECT_EQ(a->markWritten(batch, 1, error), Outcome::ClaimLost);
    EXPECT_NE(error.find("Record no. 1 of batch " + std::to_string(batch) +
                         " was no longer held by this station: it is uncertain"),
              std::string::npos)
        << error;
    EXPECT_EQ(a->renew(batch, 1, error), Outcome::ClaimLost);
    EXPECT_EQ(stateOf(batch, 1), "uncertain");

    EXPECT_EQ(a->retry(batch, 2, error), Outcome::Failed);
    EXPECT_NE(error.find("is not uncertain: it is written by station station-b"), std::string::npos)
        << error;
    ASSERT_EQ(a->retry(batch, 1, error), Outcome::Done) << error;
    EXPECT_EQ(claimed(*b, batch), 1);
}

TEST_F(BatchStoreTest, RenewingKeepsTheClaimPastItsFirstLease) {
    const std::int64_t batch = importRecords(2);
    a->setLeaseSeconds(1);
    EXPECT_EQ(claimed(*a, batch), 1);
    execute("UPDATE msrw_records SET lease_until = now() + interval '100 milliseconds'");
    a->setLeaseSeconds(60);
    ASSERT_EQ(a->renew(batch, 1, error), Outcome::Done) << error;
    EXPECT_GT(query("SELECT extract(epoch FROM lease_until - now()) FROM msrw_records "
                    "WHERE record_no = 1")
                  .toDouble(),
              50);
    EXPECT_EQ(a->markWritten(batch, 1, error), Outcome::Done);
    EXPECT_EQ(b->renew(batch, 2, error), Outcome::ClaimLost); // never claimed
}

TEST_F(BatchStoreTest, AMarkForARecordHeldByAnotherStationIsRefused) {
    const std::int64_t batch = importRecords(2);
    EXPECT_EQ(claimed(*a, batch), 1);
    EXPECT_EQ(b->markWritten(batch, 1, error), Outcome::ClaimLost);
    EXPECT_NE(error.find("it is claimed by station station-a"), std::string::npos) << error;
    EXPECT_EQ(b->release(batch, 1, error), Outcome::ClaimLost);
    EXPECT_EQ(b->markWritten(batch, 2, error), Outcome::ClaimLost);
    EXPECT_NE(error.find("it is open"), std::string::npos) << error;
    EXPECT_EQ(b->markWritten(batch, 7, error), Outcome::ClaimLost);
    EXPECT_NE(error.find("there is no such record"), std::string::npos) << error;
    EXPECT_EQ(stateOf(batch, 1), "claimed");
}

TEST_F(BatchStoreTest, StatusCountsEachStateForTheBatchAndEachStation) {
    const std::int64_t batch = importRecords(6);
    const std::int64_t other = importRecords(3);
    for (int i = 0; i < 2; ++i)
        ASSERT_EQ(a->markWritten(batch, claimed(*a, batch), error), Outcome::Done);
    (void)claimed(*a, batch);
    ASSERT_EQ(b->markWritten(batch, claimed(*b, batch), error), Outcome::Done);
    (void)claimed(*b, batch);
    expireLeases(); // both claims now count as uncertain
    auto c = open("station-c");
    (void)claimed(*c, batch);
    (void)claimed(*c, other);
    const auto status = a->status(batch, error);
    ASSERT_TRUE(status) << error;
    EXPECT_EQ(status->total, (StateCounts{3, 1, 2, 0}));
    EXPECT_EQ(status->stations.at("station-a"), (StateCounts{2, 0, 1, 0}));
    EXPECT_EQ(status->stations.at("station-b"), (StateCounts{1, 0, 1, 0}));
    EXPECT_EQ(status->stations.at("station-c"), (StateCounts{0, 1, 0, 0}));
    EXPECT_EQ(status->uncertain,
              (std::vector<UncertainRecord>{{3, "station-a"}, {5, "station-b"}}));
    EXPECT_EQ(a->status(other, error)->total, (StateCounts{0, 1, 0, 2}));
}

TEST_F(BatchStoreTest, FindsTheNewestBatchOfANameOrTheOneNumbered) {
    const std::int64_t first = importRecords(1);
    const std::int64_t second = importRecords(1);
    EXPECT_EQ(a->findBatch("db.txt", std::nullopt, error)->id, second);
    EXPECT_EQ(a->findBatch("db.txt", first, error)->id, first);
    EXPECT_FALSE(a->findBatch("other.txt", std::nullopt, error));
    EXPECT_NE(error.find("There is no batch of other.txt"), std::string::npos) << error;
    EXPECT_FALSE(a->findBatch("db.txt", second + 10, error));
    EXPECT_NE(error.find("There is no batch " + std::to_string(second + 10)), std::string::npos);
    EXPECT_EQ(a->listBatches(error)->size(), 2u);
}

TEST_F(BatchStoreTest, ALostConnectionGoesOnOnANewOneAndMarksNothingWrongly) {
    const std::int64_t batch = importRecords(3);
    EXPECT_EQ(claimed(*a, batch), 1);
    execute("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE datname = "
            "current_database() AND pid <> pg_backend_pid()");
    EXPECT_EQ(a->markWritten(batch, 1, error), Outcome::Done) << error;
    EXPECT_EQ(stateOf(batch, 1), "written");
    EXPECT_EQ(claimed(*b, batch), 2);
    EXPECT_EQ(stateOf(batch, 3), "open");
}

TEST_F(BatchStoreTest, AServerGoneForGoodIsToldAndNothingChanges) {
    const std::int64_t batch = importRecords(2);
    EXPECT_EQ(claimed(*a, batch), 1);
    // The station's role may no longer log in: the new connection fails too.
    execute("DROP ROLE IF EXISTS msrw_gone");
    execute("CREATE ROLE msrw_gone LOGIN");
    execute("GRANT ALL ON ALL TABLES IN SCHEMA public TO msrw_gone");
    ConnectionSettings gone = settings;
    gone.user = "msrw_gone";
    std::string openError;
    auto c = BatchStore::Open(gone, "station-c", openError);
    ASSERT_TRUE(c) << openError;
    EXPECT_EQ(claimed(*c, batch), 2);
    execute("ALTER ROLE msrw_gone NOLOGIN");
    execute("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE usename = 'msrw_gone'");
    EXPECT_EQ(c->markWritten(batch, 2, error), Outcome::Failed);
    EXPECT_NE(error.find("not permitted to log in"), std::string::npos) << error;
    EXPECT_EQ(stateOf(batch, 2), "claimed");
    c.reset();
    execute("DROP OWNED BY msrw_gone");
    execute("DROP ROLE msrw_gone");
}

} // namespace
