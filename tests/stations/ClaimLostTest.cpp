// A station that stops (here: SIGSTOP) past its lease while an operator,
// believing it dead, retries its record: when it goes on, it is told that the
// claim is no longer its own, stops, and exits 1, and the record is left as
// the retry made it, not marked written by the station.

#include "batch/PgTestServer.h"
#include "stations/BatchOnServer.h"
#include "stations/StationKit.h"

using namespace msrw;
using namespace msrw::test;

namespace {

constexpr std::int64_t kRecords = 30;
constexpr int kLeaseSeconds = 2;
constexpr int kSlowSwipeMs = 1200;

class ClaimLost : public PgTest {
protected:
    StationKit kit;
};

TEST_F(ClaimLost, AStationWhoseRecordWasRetriedStopsWithExitStatus1) {
    kit.files.writeRecords(int(kRecords));
    const std::int64_t batchNo = ImportWithCli(kit.files.usagePath(), connectionText(), kRecords);
    ASSERT_NE(batchNo, 0);
    const auto a = kit.station("station-a", kSlowSwipeMs);
    a->start(kit.files.usagePath(), connectionText(),
             {"--lease", QString::number(kLeaseSeconds), "--batch", QString::number(batchNo)});
    const std::unique_ptr<batch::BatchStore> store = open("checker");
    ASSERT_TRUE(WaitForWritten(*store, batchNo, 2, 60000));

    const std::int64_t held = PauseWhileHolding(*a, settings, batchNo);
    ASSERT_NE(held, 0) << "station-a was never caught holding a claim";
    ASSERT_TRUE(WaitForUncertain(*store, batchNo, held, (kLeaseSeconds + 10) * 1000));
    const CliRun retry = RunCli({"batch", "retry", QString::number(batchNo), QString::number(held),
                                 "--db", QString::fromStdString(connectionText())});
    ASSERT_EQ(retry.status, 0) << retry.err.toStdString();

    a->resume();
    ASSERT_TRUE(a->wait(60000));
    EXPECT_EQ(a->exitCode(), 1) << a->errors().toStdString();
    const std::string errors = a->errors().toStdString();
    EXPECT_NE(errors.find("record no. " + std::to_string(held)), std::string::npos) << errors;
    EXPECT_NE(errors.find("no longer held by this station"), std::string::npos) << errors;

    // The retried record is open for the next station; the others the
    // station wrote are its own, and it wrote nothing after the record.
    const std::map<std::int64_t, RecordRow> rows = RecordRows(settings, batchNo);
    ASSERT_EQ(rows.size(), std::size_t(kRecords));
    EXPECT_EQ(rows.at(held).state, "open");
    const std::vector<std::int64_t> written = RecordsIn(rows, "written", "station-a");
    EXPECT_EQ(written.size(), std::size_t(held - 1));
    for (const std::int64_t record : written)
        EXPECT_LT(record, held);
    EXPECT_TRUE(RecordsIn(rows, "claimed").empty());
}

} // namespace
