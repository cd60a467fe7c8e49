#pragma once
// What every test of stations sets up: the usage file and its CSV file, and
// the blank deck the stations' simulators swipe.

#include "batch/BatchFiles.h"
#include "stations/StationProcess.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <string>

namespace msrw::test {

struct StationKit {
    BatchFiles files;
    QTemporaryDir deckDir;
    QString deck = WriteBlankDeck(deckDir);

    std::unique_ptr<StationProcess> station(const std::string& name, int swipeAfterMs = 0) const {
        auto station = std::make_unique<StationProcess>(name, deck, swipeAfterMs);
        EXPECT_TRUE(station->ready()) << name;
        return station;
    }
};

// Which station the device said OK to for each record; a record said OK
// twice fails the test.
inline std::map<std::int64_t, std::string>
OkStations(std::initializer_list<const StationProcess*> stations) {
    std::map<std::int64_t, std::string> by;
    for (const StationProcess* station : stations) {
        for (const std::int64_t record : station->okRecords()) {
            const auto [at, first] = by.emplace(record, station->name());
            EXPECT_TRUE(first) << "record " << record << " written by " << at->second << " and "
                               << station->name();
        }
    }
    return by;
}

} // namespace msrw::test
