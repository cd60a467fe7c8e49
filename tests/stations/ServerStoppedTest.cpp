// The batch server stopped under two stations (a cluster of the test's own,
// not the shared one): both stop with a message naming the server, and once
// it is back no record is marked written that its station had no OK for; the
// record a station held when the server went, its card's OK untold, stays
// claimed.

#include "stations/BatchOnServer.h"
#include "stations/StationKit.h"

#include <QElapsedTimer>
#include <cstdlib>
#include <set>

using namespace msrw;
using namespace msrw::test;

namespace {

constexpr std::int64_t kRecords = 200;
constexpr int kStopMs = 60000;
// Station-b's operator takes a while to swipe: the server is stopped while
// it holds a claim, and its card's OK comes when the server is gone.
constexpr int kSlowSwipeMs = 1200;

class ServerStopped : public ::testing::Test {
protected:
    void SetUp() override {
        const char* shared = std::getenv("MSRW_TEST_PG");
        if (!shared || !*shared)
            GTEST_SKIP() << "MSRW_TEST_PG is not set: no PostgreSQL for the tests";
        connection = cluster.start();
        ASSERT_FALSE(connection.empty());
        settings = *batch::ParseConnectionText(connection).settings;
    }

    OwnCluster cluster;
    std::string connection;
    batch::ConnectionSettings settings;
    StationKit kit;
};

TEST_F(ServerStopped, BothStationsStopAndNoRecordIsMarkedWrongly) {
    kit.files.writeRecords(int(kRecords));
    const std::int64_t batchNo = ImportWithCli(kit.files.usagePath(), connection, kRecords);
    ASSERT_NE(batchNo, 0);
    const auto a = kit.station("station-a");
    const auto b = kit.station("station-b", kSlowSwipeMs);
    a->start(kit.files.usagePath(), connection);
    b->start(kit.files.usagePath(), connection);
    {
        std::string error;
        const auto store = batch::BatchStore::Open(settings, "checker", error);
        ASSERT_TRUE(store) << error;
        ASSERT_TRUE(WaitForWritten(*store, batchNo, 20, 60000));
    }
    const std::int64_t heldByB = PauseWhileHolding(*b, settings, batchNo);
    ASSERT_NE(heldByB, 0) << "station-b was never caught holding a claim";
    const bool stopped = cluster.stop();
    b->resume();
    ASSERT_TRUE(stopped);
    ASSERT_TRUE(a->wait(kStopMs) && b->wait(kStopMs)) << "a station went on without its server";
    const std::string place = "127.0.0.1:" + std::to_string(*settings.port);
    for (const StationProcess* station : {a.get(), b.get()}) {
        EXPECT_EQ(station->exitCode(), 3) << station->errors().toStdString();
        EXPECT_TRUE(station->errors().contains(QString::fromStdString(place)))
            << station->errors().toStdString();
    }

    ASSERT_FALSE(cluster.start().empty());
    const std::map<std::int64_t, RecordRow> rows = RecordRows(settings, batchNo);
    ASSERT_EQ(rows.size(), std::size_t(kRecords));
    const std::map<std::int64_t, std::string> okBy = OkStations({a.get(), b.get()});
    std::size_t held = 0;
    for (const StationProcess* station : {a.get(), b.get()}) {
        const std::vector<std::int64_t> ok = station->okRecords();
        const std::set<std::int64_t> okSet(ok.begin(), ok.end());
        const std::vector<std::int64_t> marked = RecordsIn(rows, "written", station->name());
        for (const std::int64_t record : marked)
            EXPECT_TRUE(okSet.count(record))
                << "record " << record << " marked for " << station->name() << " without an OK";
        const std::vector<std::int64_t> claimed = RecordsIn(rows, "claimed", station->name());
        EXPECT_LE(claimed.size(), 1u) << station->name();
        held += claimed.size();
        // An OK the server never heard of is the claim the station still holds.
        for (const std::int64_t record : ok) {
            if (rows.at(record).state != "written") {
                EXPECT_EQ(claimed, std::vector<std::int64_t>{record}) << station->name();
            }
        }
    }
    const std::size_t written = RecordsIn(rows, "written").size();
    const std::size_t open = RecordsIn(rows, "open").size();
    EXPECT_EQ(written + held + open, std::size_t(kRecords));
    EXPECT_GE(written, 20u);
    EXPECT_EQ(rows.at(heldByB).state, "claimed");
    EXPECT_EQ(rows.at(heldByB).station, "station-b");
    EXPECT_GT(open, 0u) << "the server was stopped mid-run";
    std::printf("[ stations ] server stopped: %zu written, %zu claimed, %zu open; "
                "%zu OKs seen\n",
                written, held, open, okBy.size());
}

// A server that stops answering (its processes stopped, as a hung machine
// or a network that drops everything would leave it): the station stops
// within about twice its lease, naming the server, and the record it held
// stays claimed until its lease runs out, then uncertain.
TEST_F(ServerStopped, AStationWhoseServerStopsAnsweringStopsWithinTwiceItsLease) {
    constexpr int kLeaseSeconds = 3;
    kit.files.writeRecords(30);
    const std::int64_t batchNo = ImportWithCli(kit.files.usagePath(), connection, 30);
    ASSERT_NE(batchNo, 0);
    const auto station = kit.station("station-a", kSlowSwipeMs);
    station->start(kit.files.usagePath(), connection, {"--lease", QString::number(kLeaseSeconds)});
    const std::int64_t held = PauseWhileHolding(*station, settings, batchNo);
    ASSERT_NE(held, 0) << "the station was never caught holding a claim";
    ASSERT_TRUE(cluster.freeze());
    QElapsedTimer since;
    since.start();
    station->resume();
    const bool stopped = station->wait(2 * kLeaseSeconds * 1000 + 2000);
    const qint64 tookMs = since.elapsed();
    cluster.thaw();
    ASSERT_TRUE(stopped || station->wait(30000)) << "the station waited on its server for ever";
    EXPECT_LE(tookMs, 2 * kLeaseSeconds * 1000 + 2000);
    EXPECT_EQ(station->exitCode(), 3) << station->errors().toStdString();
    const QString place = QString::fromStdString("127.0.0.1:" + std::to_string(*settings.port));
    EXPECT_TRUE(station->errors().contains(place + " did not answer within 3 s"))
        << station->errors().toStdString();
    // The driver's own complaints do not come before the station's message.
    EXPECT_TRUE(station->errors().startsWith("The ")) << station->errors().toStdString();

    const std::map<std::int64_t, RecordRow> rows = RecordRows(settings, batchNo);
    ASSERT_EQ(rows.count(held), 1u);
    EXPECT_EQ(rows.at(held).state, "uncertain"); // the freeze outlasted its lease
    EXPECT_EQ(rows.at(held).station, "station-a");
}

} // namespace
