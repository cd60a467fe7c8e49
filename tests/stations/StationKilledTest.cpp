// A station killed (SIGKILL) while it holds a claim: the other station writes
// the rest of the batch; when the lease runs out the claim is uncertain, is
// not offered again until `batch retry`, and is then written by a station.

#include "batch/PgTestServer.h"
#include "stations/BatchOnServer.h"
#include "stations/StationKit.h"

using namespace msrw;
using namespace msrw::test;

namespace {

constexpr std::int64_t kRecords = 120;
constexpr int kLeaseSeconds = 3;
constexpr int kRunMs = 180000;
// The killed station's operator takes a while to swipe each card, so that
// it holds a claim most of the time (and renews its lease meanwhile).
constexpr int kSlowSwipeMs = 1200;

class StationKilled : public PgTest {
protected:
    std::string statusLine(std::int64_t batchNo) {
        const CliRun run =
            RunCli({"batch", "status", "--db", QString::fromStdString(connectionText()), "--batch",
                    QString::number(batchNo)});
        EXPECT_EQ(run.status, 0) << run.err.toStdString();
        return run.out.toStdString();
    }

    StationKit kit;
};

TEST_F(StationKilled, ItsClaimTurnsUncertainAndIsWrittenOnceRetried) {
    kit.files.writeRecords(int(kRecords));
    const std::int64_t batchNo = ImportWithCli(kit.files.usagePath(), connectionText(), kRecords);
    ASSERT_NE(batchNo, 0);
    const QStringList lease{"--lease", QString::number(kLeaseSeconds)};
    const auto a = kit.station("station-a", kSlowSwipeMs);
    const auto b = kit.station("station-b");
    a->start(kit.files.usagePath(), connectionText(), lease);
    b->start(kit.files.usagePath(), connectionText(), lease);
    const std::unique_ptr<batch::BatchStore> store = open("checker");
    ASSERT_TRUE(WaitForWritten(*store, batchNo, 20, 60000));

    const std::int64_t held = PauseWhileHolding(*a, settings, batchNo);
    ASSERT_NE(held, 0) << "station-a was never caught holding a claim";
    a->killNow();
    EXPECT_EQ(a->exitCode(), -1);
    ASSERT_TRUE(b->wait(kRunMs));
    EXPECT_EQ(b->exitCode(), 0) << b->errors().toStdString();

    // The status below tells whether it became uncertain in time.
    (void)WaitForUncertain(*store, batchNo, held, (kLeaseSeconds + 10) * 1000);
    std::string error;
    const std::string uncertain = statusLine(batchNo);
    EXPECT_NE(uncertain.find(std::to_string(kRecords - 1) +
                             " written, 0 claimed, 1 uncertain, 0 still to write"),
              std::string::npos)
        << uncertain;
    EXPECT_NE(uncertain.find("station station-a: "), std::string::npos) << uncertain;
    EXPECT_NE(uncertain.find("  uncertain: record " + std::to_string(held) + " (station-a)\n"),
              std::string::npos)
        << uncertain;
    const auto beforeRetry = store->status(batchNo, error);
    ASSERT_TRUE(beforeRetry) << error;
    EXPECT_EQ(beforeRetry->stations.at("station-a").uncertain, 1);

    const CliRun retry = RunCli({"batch", "retry", QString::number(batchNo), QString::number(held),
                                 "--db", QString::fromStdString(connectionText())});
    EXPECT_EQ(retry.status, 0) << retry.err.toStdString();
    const std::string retried = statusLine(batchNo);
    EXPECT_NE(retried.find("0 uncertain, 1 still to write"), std::string::npos) << retried;

    const auto c = kit.station("station-c");
    c->start(kit.files.usagePath(), connectionText(), {"--batch", QString::number(batchNo)});
    ASSERT_TRUE(c->wait(kRunMs));
    EXPECT_EQ(c->exitCode(), 0) << c->errors().toStdString();
    EXPECT_EQ(c->okRecords(), std::vector<std::int64_t>{held});

    // Every record is written once, by the station that had the device's OK
    // (station-a's OK for the record it held, if it came, is not counted).
    const std::map<std::int64_t, RecordRow> rows = RecordRows(settings, batchNo);
    ASSERT_EQ(rows.size(), std::size_t(kRecords));
    EXPECT_EQ(RecordsIn(rows, "written").size(), std::size_t(kRecords));
    EXPECT_EQ(rows.at(held).station, "station-c");
    std::vector<std::int64_t> wrong;
    for (const StationProcess* station : {a.get(), b.get()}) {
        for (const std::int64_t record : station->okRecords()) {
            if (record != held && rows.at(record).station != station->name())
                wrong.push_back(record);
        }
    }
    EXPECT_TRUE(wrong.empty()) << "record " << wrong.front() << " is marked by another station";
    const std::size_t byA = RecordsIn(rows, "written", "station-a").size();
    const std::size_t byB = RecordsIn(rows, "written", "station-b").size();
    EXPECT_EQ(byA + byB + 1, std::size_t(kRecords));
    std::printf("[ stations ] station-a killed holding record %lld after writing %zu; station-b "
                "wrote %zu; station-c the retried one\n",
                static_cast<long long>(held), byA, byB);
}

} // namespace
