// The batch followed from the window: its status with the uncertain records
// named, and an uncertain record retried, against a real batch server.

#include "operations/files/BatchTools.h"
#include "batch/BatchFiles.h"
#include "batch/BatchImport.h"
#include "batch/PgTestServer.h"
#include "operations/files/DatabaseSource.h"
#include "support/CardsSession.h"

using namespace msrw;
using namespace msrw::test;

namespace {

using Outcome = batch::BatchStore::Outcome;

class BatchTools : public PgTest {
protected:
    void SetUp() override {
        PgTest::SetUp();
        if (IsSkipped())
            return;
        ASSERT_TRUE(t.start());
        station = open("station-a");
        ASSERT_TRUE(station);
    }
    std::int64_t importRecords(int count) {
        files.writeRecords(count);
        std::string error;
        const auto imported = batch::ImportBatch(*station, files.usagePath(), error);
        EXPECT_TRUE(imported) << error;
        return imported ? imported->batch : 0;
    }
    // A record claimed by station-a whose lease then ran out.
    std::int64_t uncertainRecord(std::int64_t batchNo) {
        std::string error;
        const batch::BatchStore::Claim claim = station->claim(batchNo, error);
        EXPECT_EQ(claim.outcome, Outcome::Done) << error;
        execute("UPDATE msrw_records SET lease_until = now() - interval '1 second' "
                "WHERE state = 'claimed'");
        return claim.record.number;
    }
    void chooseServer(const std::string& connection) {
        DatabaseSourceChoice choice;
        choice.connection = connection;
        std::string problem;
        ASSERT_TRUE(SetDatabaseSource(*t.session, choice, problem)) << problem;
    }
    std::string lastMessage() const {
        return t.dialogs.messages.empty() ? std::string() : t.dialogs.messages.back();
    }
    std::string stateOf(std::int64_t batchNo, std::int64_t record) {
        std::string error;
        const auto state = station->recordState(batchNo, record, error);
        EXPECT_TRUE(state) << error;
        return state ? state->state : error;
    }

    SimSession t;
    BatchFiles files;
    std::unique_ptr<batch::BatchStore> station;
};

TEST_F(BatchTools, WithoutAServerBothSayWhereToChooseOneAndAskNothing) {
    mnuBatchStatus_Click(*t.session);
    EXPECT_NE(lastMessage().find("choose a batch server first (Tools > Database Source...)"),
              std::string::npos)
        << lastMessage();
    t.dialogs.textAnswers.push_back("1 1"); // would be taken if a question were asked
    mnuBatchRetry_Click(*t.session);
    EXPECT_EQ(t.dialogs.messages.size(), 2u);
    EXPECT_EQ(t.dialogs.textAnswers.size(), 1u); // not asked
}

TEST_F(BatchTools, StatusShowsEachBatchItsStationsAndItsUncertainRecords) {
    chooseServer(connectionText());
    mnuBatchStatus_Click(*t.session);
    EXPECT_NE(lastMessage().find("There is no batch on the server at "), std::string::npos)
        << lastMessage();

    const std::int64_t first = importRecords(3);
    const std::int64_t second = importRecords(4);
    const std::int64_t held = uncertainRecord(second);
    mnuBatchStatus_Click(*t.session);
    const std::string expected = "batch " + std::to_string(first) +
                                 " (db.txt): 0 written, 0 claimed, 0 uncertain, 3 still to write\n"
                                 "batch " +
                                 std::to_string(second) +
                                 " (db.txt): 0 written, 0 claimed, 1 uncertain, 3 still to write\n"
                                 "  station station-a: 0 written, 0 claimed, 1 uncertain\n"
                                 "  uncertain: record " +
                                 std::to_string(held) + " (station-a)\n";
    EXPECT_EQ(lastMessage(), expected);
}

TEST_F(BatchTools, StatusShowsOnlyTheNewestTenBatches) {
    chooseServer(connectionText());
    for (int i = 0; i < 12; ++i)
        (void)importRecords(1);
    mnuBatchStatus_Click(*t.session);
    const std::string told = lastMessage();
    EXPECT_EQ(told.rfind("The newest 10 of 12 batches on the server at ", 0), 0u) << told;
    EXPECT_EQ(told.find("batch 2 ("), std::string::npos) << told;
    EXPECT_NE(told.find("batch 3 ("), std::string::npos) << told;
    EXPECT_NE(told.find("batch 12 ("), std::string::npos) << told;
}

TEST_F(BatchTools, RetryMakesAnUncertainRecordOpenAndRefusesAnythingElse) {
    chooseServer(connectionText());
    const std::int64_t batchNo = importRecords(3);
    const std::int64_t held = uncertainRecord(batchNo);
    const std::string typed = std::to_string(batchNo) + " " + std::to_string(held);

    t.dialogs.textAnswers.push_back(std::nullopt); // cancelled: nothing happens
    mnuBatchRetry_Click(*t.session);
    ASSERT_EQ(t.dialogs.messages.size(), 1u);
    EXPECT_NE(lastMessage().find("after checking that its card was not written"), std::string::npos)
        << lastMessage();
    t.dialogs.textAnswers.push_back("three");
    mnuBatchRetry_Click(*t.session);
    EXPECT_EQ(lastMessage(), "Type the batch number and the record number, as \"3 117\".");
    EXPECT_EQ(stateOf(batchNo, held), "uncertain");

    t.dialogs.textAnswers.push_back(typed);
    mnuBatchRetry_Click(*t.session);
    EXPECT_EQ(lastMessage(), "Record no. " + std::to_string(held) + " of batch " +
                                 std::to_string(batchNo) +
                                 " is open again: the next station to claim a record writes it.");
    EXPECT_EQ(stateOf(batchNo, held), "open");

    t.dialogs.textAnswers.push_back(typed); // open now: not uncertain
    mnuBatchRetry_Click(*t.session);
    EXPECT_NE(lastMessage().find("is not uncertain"), std::string::npos) << lastMessage();
    EXPECT_EQ(stateOf(batchNo, held), "open");
}

TEST_F(BatchTools, AServerThatCannotBeReachedIsNamed) {
    chooseServer(adminText + " dbname=msrw_no_such_db");
    mnuBatchStatus_Click(*t.session);
    EXPECT_NE(lastMessage().find("The database msrw_no_such_db does not exist"), std::string::npos)
        << lastMessage();
    t.dialogs.textAnswers.push_back("1 1");
    mnuBatchRetry_Click(*t.session);
    EXPECT_NE(lastMessage().find("msrw_no_such_db"), std::string::npos) << lastMessage();
}

} // namespace
