#include "batch/BatchStore.h"

#include "batch/RecordStatements.h"
#include "batch/Schema.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSqlError>
#include <QSqlQuery>
#include <QSysInfo>
#include <QVariant>
#include <algorithm>

namespace msrw::batch {
namespace {

// A record's state as stations see it: a claim whose lease ran out is uncertain.
// Even a short lease leaves a busy server time to answer.
constexpr int kLeastStatementSeconds = 2;

const QString kShownState = "(CASE WHEN state = 'claimed' AND lease_until < now() THEN "
                            "'uncertain' ELSE state END)";

QString Number(std::int64_t n) {
    return QString::number(static_cast<qlonglong>(n));
}

std::vector<std::string> FieldsOf(const QVariant& json) {
    std::vector<std::string> fields;
    for (const QJsonValue& v : QJsonDocument::fromJson(json.toString().toUtf8()).array())
        fields.push_back(v.toString().toStdString());
    return fields;
}

BatchInfo BatchOf(const QSqlQuery& q) {
    BatchInfo b;
    b.id = q.value(0).toLongLong();
    b.name = q.value(1).toString().toStdString();
    b.usageText = q.value(2).toString().toStdString();
    b.databaseFile = q.value(3).toString().toStdString();
    b.created = q.value(4).toDateTime();
    return b;
}

std::string RecordName(std::int64_t batch, std::int64_t record) {
    return "Record no. " + std::to_string(record) + " of batch " + std::to_string(batch);
}

std::string Describe(const BatchStore::RecordState& r) {
    if (r.state.empty())
        return "there is no such record";
    if (r.state == "uncertain")
        return "it is uncertain (its lease ran out), held back until it is retried";
    if (r.station.empty())
        return "it is " + r.state;
    return "it is " + r.state + " by station " + r.station;
}

void Count(StateCounts& counts, const std::string& state, std::int64_t n) {
    std::int64_t* slot = state == "written"     ? &counts.written
                         : state == "claimed"   ? &counts.claimed
                         : state == "uncertain" ? &counts.uncertain
                                                : &counts.open;
    *slot += n;
}

} // namespace

std::string DefaultStationName() {
    return QSysInfo::machineHostName().toStdString() + "-" +
           std::to_string(QCoreApplication::applicationPid());
}

BatchStore::BatchStore(std::unique_ptr<ServerConnection> connection, std::string station)
    : connection_(std::move(connection)), station_(std::move(station)) {}

BatchStore::~BatchStore() = default;

std::unique_ptr<BatchStore> BatchStore::Open(const ConnectionSettings& settings,
                                             std::string station, std::string& error) {
    auto connection = std::make_unique<ServerConnection>(settings);
    if (!connection->open(error) || !EnsureSchema(connection->database(), error))
        return nullptr;
    return std::unique_ptr<BatchStore>(new BatchStore(std::move(connection), std::move(station)));
}

void BatchStore::setLeaseSeconds(int seconds) {
    leaseSeconds_ = seconds;
    connection_->setStatementLimit(std::chrono::seconds(std::max(seconds, kLeastStatementSeconds)));
}

bool BatchStore::withConnection(const std::function<bool(std::string&, bool&)>& step,
                                std::string& error) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        // A server that let a statement wait out the limit is not asked again.
        if (connection_->unanswered()) {
            error = "The batch server at " + connection_->place() + " stopped answering.";
            return false;
        }
        if (!connection_->open(error))
            return false;
        bool lost = false;
        if (step(error, lost))
            return true;
        if (!lost || connection_->unanswered())
            return false;
        prepared_ = {};
        connection_->drop();
    }
    return false;
}

std::optional<BatchInfo> BatchStore::findBatch(const std::string& name,
                                               std::optional<std::int64_t> id, std::string& error) {
    std::optional<BatchInfo> found;
    const bool ran = withConnection(
        [&](std::string& e, bool& lost) {
            QSqlDatabase db = connection_->database();
            QSqlQuery q(db);
            const QString select =
                "SELECT id, name, usage_text, database_file, created FROM msrw_batches WHERE ";
            const QString which = id ? "id = " + Number(*id)
                                     : "name = " + SqlText(db, name) + " ORDER BY id DESC LIMIT 1";
            if (!Run(q, select + which, e, &lost))
                return false;
            if (q.next())
                found = BatchOf(q);
            return true;
        },
        error);
    if (ran && !found)
        error = id ? "There is no batch " + std::to_string(*id) + " on the server at " +
                         connection_->place() + "."
                   : "There is no batch of " + name + " on the server at " + connection_->place() +
                         ": import its records first.";
    return found;
}

std::optional<std::vector<BatchInfo>> BatchStore::listBatches(std::string& error) {
    std::vector<BatchInfo> batches;
    const bool ran = withConnection(
        [&](std::string& e, bool& lost) {
            QSqlQuery q(connection_->database());
            if (!Run(q,
                     "SELECT id, name, usage_text, database_file, created FROM msrw_batches "
                     "ORDER BY id",
                     e, &lost))
                return false;
            while (q.next())
                batches.push_back(BatchOf(q));
            return true;
        },
        error);
    if (!ran)
        return std::nullopt;
    return batches;
}

QSqlQuery* BatchStore::bound(RecordStatement which, std::int64_t batch, std::int64_t record,
                             std::string& error, bool& lost) {
    std::unique_ptr<QSqlQuery>& query = prepared_[std::size_t(which)];
    const StatementText& statement = TextOf(which);
    if (!query) {
        query = std::make_unique<QSqlQuery>(connection_->database());
        if (!Prepare(*query, statement.text, error, &lost)) {
            query.reset();
            return nullptr;
        }
    }
    for (std::size_t i = 0; i < statement.parameters.size(); ++i) {
        switch (statement.parameters[i]) {
        case Parameter::Batch:
            query->bindValue(int(i), qlonglong(batch));
            break;
        case Parameter::Record:
            query->bindValue(int(i), qlonglong(record));
            break;
        case Parameter::Station:
            query->bindValue(int(i), QString::fromStdString(station_));
            break;
        case Parameter::LeaseSeconds:
            query->bindValue(int(i), leaseSeconds_);
            break;
        }
    }
    return query.get();
}

bool BatchStore::runRecordStatement(RecordStatement which, std::int64_t batch, std::int64_t record,
                                    std::string& error,
                                    const std::function<void(QSqlQuery&)>& take) {
    return withConnection(
        [&](std::string& e, bool& lost) {
            QSqlQuery* q = bound(which, batch, record, e, lost);
            if (!q || !Run(*q, e, &lost))
                return false;
            take(*q);
            return true;
        },
        error);
}

BatchStore::Claim BatchStore::claim(std::int64_t batch, std::string& error) {
    Claim result;
    const bool ran = runRecordStatement(RecordStatement::Claim, batch, 0, error, [&](QSqlQuery& q) {
        if (!q.next()) {
            result.outcome = Outcome::NoneLeft;
            return;
        }
        result.outcome = Outcome::Done;
        result.record = {q.value(0).toLongLong(), FieldsOf(q.value(1))};
    });
    if (!ran)
        result.outcome = Outcome::Failed;
    return result;
}

BatchStore::Outcome BatchStore::updateRecord(RecordStatement which, std::int64_t batch,
                                             std::int64_t record, std::string& error) {
    bool changed = false;
    if (!runRecordStatement(which, batch, record, error,
                            [&](QSqlQuery& q) { changed = q.numRowsAffected() == 1; }))
        return Outcome::Failed;
    return changed ? Outcome::Done : Outcome::ClaimLost;
}

BatchStore::Outcome BatchStore::markWritten(std::int64_t batch, std::int64_t record,
                                            std::string& error) {
    const Outcome outcome = updateRecord(RecordStatement::Mark, batch, record, error);
    if (outcome != Outcome::ClaimLost)
        return outcome;
    const std::optional<RecordState> now = recordState(batch, record, error);
    if (!now)
        return Outcome::Failed;
    // The same step again after a lost connection: its first run went through.
    if (now->state == "written" && now->station == station_)
        return Outcome::Done;
    error =
        RecordName(batch, record) + " was no longer held by this station: " + Describe(*now) + ".";
    return Outcome::ClaimLost;
}

BatchStore::Outcome BatchStore::release(std::int64_t batch, std::int64_t record,
                                        std::string& error) {
    const Outcome outcome = updateRecord(RecordStatement::Release, batch, record, error);
    if (outcome == Outcome::ClaimLost)
        error = RecordName(batch, record) + " was no longer held by this station.";
    return outcome;
}

BatchStore::Outcome BatchStore::renew(std::int64_t batch, std::int64_t record, std::string& error) {
    const Outcome outcome = updateRecord(RecordStatement::Renew, batch, record, error);
    if (outcome == Outcome::ClaimLost)
        error = RecordName(batch, record) + " was no longer held by this station.";
    return outcome;
}

BatchStore::Outcome BatchStore::retry(std::int64_t batch, std::int64_t record, std::string& error) {
    const Outcome outcome = updateRecord(RecordStatement::Retry, batch, record, error);
    if (outcome != Outcome::ClaimLost)
        return outcome;
    const std::optional<RecordState> now = recordState(batch, record, error);
    if (!now)
        return Outcome::Failed;
    error = RecordName(batch, record) + " is not uncertain: " + Describe(*now) + ".";
    return Outcome::Failed;
}

std::optional<BatchStore::RecordState>
BatchStore::recordState(std::int64_t batch, std::int64_t record, std::string& error) {
    RecordState found;
    const bool ran = withConnection(
        [&](std::string& e, bool& lost) {
            QSqlQuery q(connection_->database());
            if (!Run(q,
                     "SELECT " + kShownState +
                         ", coalesce(station, '') FROM msrw_records WHERE batch = " +
                         Number(batch) + " AND record_no = " + Number(record),
                     e, &lost))
                return false;
            if (q.next())
                found = {q.value(0).toString().toStdString(), q.value(1).toString().toStdString()};
            return true;
        },
        error);
    if (!ran)
        return std::nullopt;
    return found;
}

std::optional<BatchStatus> BatchStore::status(std::int64_t batch, std::string& error) {
    BatchStatus result;
    const bool ran = withConnection(
        [&](std::string& e, bool& lost) {
            result = {}; // nothing counted twice when the step is run again
            QSqlQuery q(connection_->database());
            if (!Run(q,
                     "SELECT coalesce(station, ''), " + kShownState +
                         ", count(*) FROM msrw_records WHERE batch = " + Number(batch) +
                         " GROUP BY 1, 2",
                     e, &lost))
                return false;
            while (q.next()) {
                const std::string station = q.value(0).toString().toStdString();
                const std::string state = q.value(1).toString().toStdString();
                const std::int64_t count = q.value(2).toLongLong();
                Count(result.total, state, count);
                if (!station.empty())
                    Count(result.stations[station], state, count);
            }
            if (result.total.uncertain == 0)
                return true;
            if (!Run(q,
                     "SELECT record_no, coalesce(station, '') FROM msrw_records WHERE batch = " +
                         Number(batch) + " AND " + kShownState +
                         " = 'uncertain' ORDER BY record_no LIMIT " +
                         QString::number(kListedUncertain),
                     e, &lost))
                return false;
            while (q.next())
                result.uncertain.push_back(
                    {q.value(0).toLongLong(), q.value(1).toString().toStdString()});
            return true;
        },
        error);
    if (!ran)
        return std::nullopt;
    return result;
}

} // namespace msrw::batch
