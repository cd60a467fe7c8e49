// Two stations, each msrw-cli with its own simulated reader/writer, on one
// batch of a real batch server: every record is written exactly once, by the
// station the server names, and none is lost.

#include "batch/PgTestServer.h"
#include "stations/BatchOnServer.h"
#include "stations/StationKit.h"

using namespace msrw;
using namespace msrw::test;

namespace {

constexpr std::int64_t kRecords = 1000;
constexpr int kRunMs = 480000;

class TwoStations : public PgTest {
protected:
    StationKit kit;
};

TEST_F(TwoStations, WriteEveryRecordOfTheBatchExactlyOnce) {
    kit.files.writeRecords(int(kRecords));
    const std::int64_t batchNo = ImportWithCli(kit.files.usagePath(), connectionText(), kRecords);
    ASSERT_NE(batchNo, 0);
    const auto a = kit.station("station-a");
    const auto b = kit.station("station-b");
    a->start(kit.files.usagePath(), connectionText());
    b->start(kit.files.usagePath(), connectionText(), {"--batch", QString::number(batchNo)});
    ASSERT_TRUE(a->wait(kRunMs) && b->wait(kRunMs)) << "the stations did not finish";
    EXPECT_EQ(a->exitCode(), 0) << a->errors().toStdString();
    EXPECT_EQ(b->exitCode(), 0) << b->errors().toStdString();

    const std::map<std::int64_t, std::string> okBy = OkStations({a.get(), b.get()});
    ASSERT_EQ(okBy.size(), std::size_t(kRecords));
    EXPECT_EQ(okBy.begin()->first, 1);
    EXPECT_EQ(okBy.rbegin()->first, kRecords);
    const std::map<std::int64_t, RecordRow> rows = RecordRows(settings, batchNo);
    ASSERT_EQ(rows.size(), std::size_t(kRecords));
    std::vector<std::int64_t> wrong;
    for (const auto& [number, row] : rows) {
        if (row.state != "written" || !okBy.count(number) || row.station != okBy.at(number))
            wrong.push_back(number);
    }
    EXPECT_TRUE(wrong.empty()) << wrong.size() << " records not written by the station that "
                               << "had the OK, the first no. " << wrong.front();

    std::string error;
    const auto status = open("checker")->status(batchNo, error);
    ASSERT_TRUE(status) << error;
    EXPECT_EQ(status->total, (batch::StateCounts{kRecords, 0, 0, 0}));
    const std::int64_t byA = status->stations.at("station-a").written;
    const std::int64_t byB = status->stations.at("station-b").written;
    EXPECT_EQ(byA, std::int64_t(a->okRecords().size()));
    EXPECT_EQ(byB, std::int64_t(b->okRecords().size()));
    EXPECT_GT(byA, kRecords / 4) << "the stations shared the batch";
    EXPECT_GT(byB, kRecords / 4) << "the stations shared the batch";
    std::printf("[ stations ] %lld records: station-a wrote %lld, station-b %lld; %d failed "
                "writes\n",
                static_cast<long long>(kRecords), static_cast<long long>(byA),
                static_cast<long long>(byB), a->failedCards() + b->failedCards());
}

} // namespace
