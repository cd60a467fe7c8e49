// The status lines an operator reads.

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
