#pragma once
// The records of a batch on the server, shared by several stations: a station
// claims the lowest open record (others skip the rows it has locked), holds
// it under a lease while the card is written, and marks it written after the
// device's OK. A lease that runs out leaves its record "uncertain" (a card may
// or may not have been written): it is not offered again until an operator
// retries it, since a duplicate card is worse than a gap.
//
// A station holds at most one claim in a batch; claiming again gives the
// record it holds. Every step is one statement, so one transaction: a step
// repeated after a lost connection (which the store does once, on a new
// connection) never marks a record wrongly.

#include "batch/RecordStatements.h"
#include "batch/ServerConnection.h"

#include <QDateTime>
#include <QSqlQuery>
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace msrw::batch {

inline constexpr int kDefaultLeaseSeconds = 60;

// "<host name>-<process id>".
std::string DefaultStationName();

struct BatchInfo {
    std::int64_t id = 0;
    std::string name;         // the usage file's name
    std::string usageText;    // the usage file's whole text
    std::string databaseFile; // the CSV file's name
    QDateTime created;
};

struct ClaimedRecord {
    std::int64_t number = 0;
    std::vector<std::string> fields;
};

struct StateCounts {
    std::int64_t written = 0, claimed = 0, uncertain = 0, open = 0;
    bool operator==(const StateCounts&) const = default;
};

// A record whose card may or may not have been written, and the station
// that held it.
struct UncertainRecord {
    std::int64_t number = 0;
    std::string station;
    bool operator==(const UncertainRecord&) const = default;
};

// How many uncertain records a status names (the count has them all).
inline constexpr int kListedUncertain = 20;

struct BatchStatus {
    StateCounts total;
    std::map<std::string, StateCounts> stations; // records claimed or written by each
    std::vector<UncertainRecord> uncertain;      // the first kListedUncertain, by number
};

class BatchStore {
public:
    // Connects and brings the tables to this program's version; nullptr with
    // the operator's message in `error`.
    static std::unique_ptr<BatchStore> Open(const ConnectionSettings& settings, std::string station,
                                            std::string& error);
    ~BatchStore();
    BatchStore(const BatchStore&) = delete;
    BatchStore& operator=(const BatchStore&) = delete;

    const std::string& station() const { return station_; }
    // The lease, and with it the time a statement may take: a claim whose
    // statement outlasts its lease is lost anyway.
    void setLeaseSeconds(int seconds);
    int leaseSeconds() const { return leaseSeconds_; }
    ServerConnection& connection() { return *connection_; }

    // The batch numbered `id`, or the newest named `name`; nullopt with
    // `error` set when there is none.
    std::optional<BatchInfo> findBatch(const std::string& name, std::optional<std::int64_t> id,
                                       std::string& error);
    std::optional<std::vector<BatchInfo>> listBatches(std::string& error);

    enum class Outcome { Done, NoneLeft, ClaimLost, Failed };
    struct Claim {
        Outcome outcome = Outcome::Failed;
        ClaimedRecord record;
    };
    // The record this station holds, else the lowest open one, claimed for
    // the lease. NoneLeft when every record is written, claimed or uncertain.
    Claim claim(std::int64_t batch, std::string& error);
    // After the device's OK. ClaimLost (and `error` says what became of the
    // record) when this station no longer holds it.
    Outcome markWritten(std::int64_t batch, std::int64_t record, std::string& error);
    // The claim given back: the record is open again. ClaimLost when it was
    // no longer held.
    Outcome release(std::int64_t batch, std::int64_t record, std::string& error);
    // The lease pushed on by its length from now.
    Outcome renew(std::int64_t batch, std::int64_t record, std::string& error);
    // An uncertain record (or one whose lease ran out) made open again, by an
    // operator who checked that its card was not written.
    Outcome retry(std::int64_t batch, std::int64_t record, std::string& error);
    std::optional<BatchStatus> status(std::int64_t batch, std::string& error);

    // A record's state as stations see it ("" when there is no such record).
    struct RecordState {
        std::string state, station;
    };
    std::optional<RecordState> recordState(std::int64_t batch, std::int64_t record,
                                           std::string& error);

private:
    BatchStore(std::unique_ptr<ServerConnection> connection, std::string station);
    // The statement for the record, prepared on this connection and bound;
    // nullptr (`error` and `lost` set) when it cannot be prepared.
    QSqlQuery* bound(RecordStatement which, std::int64_t batch, std::int64_t record,
                     std::string& error, bool& lost);
    bool runRecordStatement(RecordStatement which, std::int64_t batch, std::int64_t record,
                            std::string& error, const std::function<void(QSqlQuery&)>& take);
    // Runs an update of the record: ClaimLost when it did not meet the
    // statement's condition.
    Outcome updateRecord(RecordStatement which, std::int64_t batch, std::int64_t record,
                         std::string& error);
    // Runs `step` (one statement: its own transaction), once more on a new
    // connection when the connection was lost; false with `error` set when
    // it fails.
    bool withConnection(const std::function<bool(std::string&, bool&)>& step, std::string& error);

    std::unique_ptr<ServerConnection> connection_;
    std::string station_;
    int leaseSeconds_ = kDefaultLeaseSeconds;
    std::array<std::unique_ptr<QSqlQuery>, kRecordStatements> prepared_;
};

} // namespace msrw::batch
