// The status lines an operator reads, and the record numbers typed.

#include "batch/BatchReport.h"

#include <gtest/gtest.h>

using namespace msrw::batch;

TEST(BatchReport, OneLineForTheBatchAndOneForEachStation) {
    BatchInfo info;
    info.id = 3;
    info.name = "members.txt";
    BatchStatus status;
    status.total = {120, 2, 1, 877};
    status.stations["host-12"] = {60, 1, 0, 0};
    status.stations["host-7"] = {60, 1, 1, 0};
    EXPECT_EQ(StatusText(info, status),
              "batch 3 (members.txt): 120 written, 2 claimed, 1 uncertain, 877 still to write\n"
              "  station host-12: 60 written, 1 claimed, 0 uncertain\n"
              "  station host-7: 60 written, 1 claimed, 1 uncertain\n");
}

TEST(BatchReport, NamesTheUncertainRecordsAndHowManyMore) {
    BatchInfo info;
    info.id = 4;
    info.name = "db.txt";
    BatchStatus status;
    status.total = {10, 0, 3, 0};
    status.uncertain = {{117, "host-12"}, {204, ""}};
    EXPECT_EQ(StatusText(info, status),
              "batch 4 (db.txt): 10 written, 0 claimed, 3 uncertain, 0 still to write\n"
              "  uncertain: record 117 (host-12), record 204, and 1 more\n");
    status.total.uncertain = 2;
    EXPECT_EQ(StatusText(info, status).substr(StatusText(info, status).find("  uncertain")),
              "  uncertain: record 117 (host-12), record 204\n");
}

TEST(BatchReport, ABatchAndARecordNumberAsTyped) {
    for (const char* typed : {"3 117", " 3  117 ", "3,117", "3, 117", "3\t117"}) {
        const auto ref = ParseRecordRef(typed);
        ASSERT_TRUE(ref) << typed;
        EXPECT_EQ(ref->batch, 3) << typed;
        EXPECT_EQ(ref->record, 117) << typed;
    }
    for (const char* typed : {"", " ", "3", "3 ", ",117", "3 117 5", "3,,117", "0 117", "3 -1",
                              "3 1e2", "x 117", "99999999999999999999 1"})
        EXPECT_FALSE(ParseRecordRef(typed)) << typed;
}
