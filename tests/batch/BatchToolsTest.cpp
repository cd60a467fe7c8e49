// The batches from the window, against a real batch server: an import on a
// thread of its own (followed, stopped), the status with the uncertain
// records named, and an uncertain record retried.

#include "operations/files/BatchTools.h"
#include "batch/BatchFiles.h"
#include "batch/BatchImport.h"
#include "batch/PgTestServer.h"
#include "operations/files/DatabaseSource.h"
#include "session/OpStates.h"
#include "support/CardsSession.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

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
        expireLeases();
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

    // Runs the window's event loop until the job's outcome is shown.
    bool outcomeShown(int timeoutMs = 60000) {
        QElapsedTimer clock;
        clock.start();
        const std::size_t before = t.dialogs.messages.size();
        while (clock.elapsed() < timeoutMs) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            if (t.dialogs.messages.size() > before &&
                t.session->view.isEnabled("cmdDatabase") == buttonsBefore)
                return true;
            QThread::msleep(5);
        }
        return false;
    }
    void startImport() {
        noteButtons();
        t.dialogs.fileAnswers.push_back(files.usagePath().toStdString());
        mnuImportBatch_Click(*t.session);
    }
    void noteButtons() { buttonsBefore = t.session->view.isEnabled("cmdDatabase"); }
    void showStatus() {
        noteButtons();
        mnuBatchStatus_Click(*t.session);
        EXPECT_TRUE(outcomeShown());
    }
    std::int64_t batches() { return query("SELECT count(*) FROM msrw_batches").toLongLong(); }

    SimSession t;
    bool buttonsBefore = false;
    BatchFiles files;
    std::unique_ptr<batch::BatchStore> station;
};

TEST_F(BatchTools, WithoutAServerEachSaysWhereToChooseOneAndAsksNothing) {
    mnuBatchStatus_Click(*t.session);
    EXPECT_NE(lastMessage().find("choose a batch server first (Tools > Database Source...)"),
              std::string::npos)
        << lastMessage();
    t.dialogs.textAnswers.push_back("1 1"); // would be taken if a question were asked
    mnuBatchRetry_Click(*t.session);
    t.dialogs.fileAnswers.push_back(files.usagePath().toStdString());
    mnuImportBatch_Click(*t.session);
    EXPECT_EQ(t.dialogs.messages.size(), 3u);
    EXPECT_EQ(t.dialogs.textAnswers.size(), 1u); // not asked
    EXPECT_EQ(t.dialogs.fileAnswers.size(), 1u);
}

TEST_F(BatchTools, ImportRunsBesideTheWindowAndShowsHowFarItGot) {
    chooseServer(connectionText());
    files.writeRecords(30000);
    startImport();
    EXPECT_FALSE(t.session->view.isEnabled("cmdDatabase")); // until it is done
    EXPECT_EQ(t.session->view.message.text.rfind("Importing db.txt: ", 0), 0u)
        << t.session->view.message.text;
    ASSERT_TRUE(outcomeShown());
    EXPECT_EQ(lastMessage(), "batch 1: 30000 records imported from db.txt.");
    EXPECT_TRUE(t.session->view.isEnabled("cmdDatabase"));
    EXPECT_EQ(t.session->view.message.text, "");
    EXPECT_EQ(query("SELECT count(*) FROM msrw_records WHERE batch = 1").toLongLong(), 30000);

    files.write("db.csv", "A,B,1,2\nA,B,1X,2\n"); // a letter on track 2
    startImport();
    ASSERT_TRUE(outcomeShown());
    EXPECT_NE(lastMessage().find("db.csv, line 2: a track holds characters"), std::string::npos)
        << lastMessage();
    EXPECT_EQ(batches(), 1);
}

TEST_F(BatchTools, AnyBatchItemChosenWhileAnImportRunsOffersToStopItAndNothingIsKept) {
    chooseServer(connectionText());
    files.writeRecords(400000);
    startImport();
    t.dialogs.yesNoAnswers.push_back(false); // not stopped: it goes on
    mnuImportBatch_Click(*t.session);
    EXPECT_NE(lastMessage().find("An import of db.txt is running: "), std::string::npos)
        << lastMessage();
    t.dialogs.yesNoAnswers.push_back(true); // the status asked meanwhile: the same offer
    mnuBatchStatus_Click(*t.session);
    EXPECT_NE(lastMessage().find("An import of db.txt is running: "), std::string::npos)
        << lastMessage();
    ASSERT_TRUE(outcomeShown());
    EXPECT_EQ(lastMessage(), "The import was stopped: no batch was made.");
    EXPECT_EQ(t.dialogs.icons.back(), MessageIcon::Information);
    EXPECT_EQ(batches(), 0);
    EXPECT_EQ(query("SELECT count(*) FROM msrw_records").toLongLong(), 0);
    EXPECT_TRUE(t.session->view.isEnabled("cmdDatabase"));
}

TEST_F(BatchTools, AWindowClosedWhileItImportsStopsTheImportAndKeepsNothing) {
    files.writeRecords(400000);
    auto closing = std::make_unique<SimSession>();
    ASSERT_TRUE(closing->start());
    DatabaseSourceChoice choice;
    choice.connection = connectionText();
    std::string problem;
    ASSERT_TRUE(SetDatabaseSource(*closing->session, choice, problem)) << problem;
    closing->dialogs.fileAnswers.push_back(files.usagePath().toStdString());
    mnuImportBatch_Click(*closing->session);
    QElapsedTimer clock;
    clock.start();
    closing.reset(); // the session, and with it the import, ends
    EXPECT_LT(clock.elapsed(), 10000);
    EXPECT_EQ(batches(), 0);
}

TEST_F(BatchTools, ImportWaitsForTheOperationThatRunsAndForAFileChosen) {
    chooseServer(connectionText());
    files.writeRecords(3);
    t.dialogs.fileAnswers.push_back(std::nullopt); // no file chosen: nothing happens
    mnuImportBatch_Click(*t.session);
    EXPECT_TRUE(t.dialogs.messages.empty());
    t.session->g.OpState = kOpRead;
    startImport();
    EXPECT_EQ(lastMessage(), "A batch is imported while no operation runs.");
    EXPECT_EQ(t.dialogs.fileAnswers.size(), 1u); // not asked
    EXPECT_EQ(batches(), 0);
}

TEST_F(BatchTools, StatusShowsEachBatchItsStationsAndItsUncertainRecords) {
    chooseServer(connectionText());
    showStatus();
    EXPECT_NE(lastMessage().find("There is no batch on the server at "), std::string::npos)
        << lastMessage();

    const std::int64_t first = importRecords(3);
    const std::int64_t second = importRecords(4);
    const std::int64_t held = uncertainRecord(second);
    showStatus();
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
    showStatus();
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
    showStatus();
    EXPECT_NE(lastMessage().find("The database msrw_no_such_db does not exist"), std::string::npos)
        << lastMessage();
    t.dialogs.textAnswers.push_back("1 1");
    mnuBatchRetry_Click(*t.session);
    EXPECT_NE(lastMessage().find("msrw_no_such_db"), std::string::npos) << lastMessage();
}

} // namespace
