#pragma once
// What the tests of stations ask the batch server: a batch imported as an
// operator does (msrw-cli batch import), and every record's state and station
// as the server holds them.

#include "batch/BatchStore.h"
#include "batch/ConnectionText.h"

#include <QString>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace msrw::test {

// `msrw-cli batch import`; the batch number, 0 (the test failed) when the
// import did not say it made one of `records` records.
std::int64_t ImportWithCli(const QString& usagePath, const std::string& connection,
                           std::int64_t records);

struct RecordRow {
    std::string state; // "uncertain" for a claim whose lease ran out
    std::string station;
};
// Every record of the batch by its number; empty (the test failed) when the
// server cannot be asked.
std::map<std::int64_t, RecordRow> RecordRows(const batch::ConnectionSettings& settings,
                                             std::int64_t batch);

// Waits up to `timeoutMs` until at least `written` records are written.
bool WaitForWritten(batch::BatchStore& store, std::int64_t batch, std::int64_t written,
                    int timeoutMs);

// Waits up to `timeoutMs` until the record is uncertain (its lease ran out).
bool WaitForUncertain(batch::BatchStore& store, std::int64_t batch, std::int64_t record,
                      int timeoutMs);

// The numbers of the records in `state` (and held by `station`, unless empty).
std::vector<std::int64_t> RecordsIn(const std::map<std::int64_t, RecordRow>& rows,
                                    const std::string& state, const std::string& station = {});

class StationProcess;

// Stops the station (SIGSTOP) at moments spread over its cycle until it is
// caught holding a claim, and leaves it stopped there; the record held, 0
// (the station running) when it was never caught.
std::int64_t PauseWhileHolding(StationProcess& station, const batch::ConnectionSettings& settings,
                               std::int64_t batch);

// A PostgreSQL cluster of the test's own (scripts/pg-test-cluster.sh), to be
// stopped and started again under the stations.
class OwnCluster {
public:
    OwnCluster();
    ~OwnCluster();
    // Starts it (again); the connection text, empty (the test failed) when it does not start.
    std::string start();
    bool stop();
    // Stops every process of the server (SIGSTOP) as a hung server would be,
    // and lets them go on (SIGCONT); the destructor lets them go on too.
    bool freeze();
    void thaw();

private:
    QString script(const QString& action, QString& out);
    QString dir_;
    std::vector<int> frozen_;
};

} // namespace msrw::test
