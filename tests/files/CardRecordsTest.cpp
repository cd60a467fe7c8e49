#include "files/CardRecords.h"

#include <gtest/gtest.h>
#include <vector>

using namespace msrw::cardfile;

namespace {

std::vector<RecordTracksText> Records(const std::vector<std::string>& lines) {
    RecordReader reader;
    std::vector<RecordTracksText> records;
    for (const std::string& line : lines) {
        if (auto record = reader.take(line))
            records.push_back(*record);
    }
    if (auto record = reader.finish())
        records.push_back(*record);
    return records;
}

TEST(CardRecords, HeaderPassedOverAndEachRecordEndedByALineWithoutATrack) {
    const std::vector<RecordTracksText> records = Records({
        "[SETUP]\r\n",
        "\x01"
        "not a track: header\r\n",
        "[DATA]\r\n",
        "\x01"
        "B1^A^\r\n",
        "\x02"
        "1=2\r\n",
        "\r\n",
        "\r\n", // no track: no record
        "\x03"
        "333\r\n",
        "\x02"
        "22", // the file ends inside a record
    });
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0], (RecordTracksText{"B1^A^", "1=2", ""}));
    EXPECT_EQ(records[1], (RecordTracksText{"", "22", "333"}));
    RecordReader headerOnly;
    EXPECT_FALSE(headerOnly.take("[SETUP]\r\n"));
    EXPECT_FALSE(headerOnly.take("\x01"
                                 "1\r\n"));
    EXPECT_FALSE(headerOnly.finish());
    EXPECT_TRUE(headerOnly.inHeader());
}

} // namespace
