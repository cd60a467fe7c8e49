#include "batch/Schema.h"

#include "batch/ServerConnection.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <array>

namespace msrw::batch {
namespace {

// Any number, the same in every release: the stations that start together
// apply a migration one after the other.
constexpr long long kMigrationLockKey = 0x6d737277'62617463LL; // "msrwbatc"

constexpr std::array<const char*, 1> kVersionTable{"CREATE TABLE msrw_schema_version ("
                                                   " version integer PRIMARY KEY,"
                                                   " applied timestamptz NOT NULL DEFAULT now())"};

// Migration n brings the tables from version n - 1 to n.
constexpr std::array<const char*, 2> kVersion1{
    "CREATE TABLE msrw_batches ("
    " id bigserial PRIMARY KEY,"
    " name text NOT NULL,"
    " usage_text text NOT NULL,"
    " database_file text NOT NULL,"
    " created timestamptz NOT NULL DEFAULT now())",
    "CREATE TABLE msrw_records ("
    " batch bigint NOT NULL REFERENCES msrw_batches (id) ON DELETE CASCADE,"
    " record_no bigint NOT NULL,"
    " fields text[] NOT NULL,"
    " state text NOT NULL DEFAULT 'open'"
    "  CHECK (state IN ('open', 'claimed', 'written', 'uncertain')),"
    " station text,"
    " lease_until timestamptz,"
    " claimed_at timestamptz,"
    " written_at timestamptz,"
    " PRIMARY KEY (batch, record_no))"};

// What keeps a claim, a station's own claim and the expiry of leases
// O(log n) however many records are written already.
constexpr std::array<const char*, 4> kVersion2{
    "CREATE INDEX msrw_records_open ON msrw_records (batch, record_no) WHERE state = 'open'",
    "CREATE INDEX msrw_records_leases ON msrw_records (lease_until) WHERE state = 'claimed'",
    "CREATE INDEX msrw_records_held ON msrw_records (batch, station) WHERE state = 'claimed'",
    "CREATE INDEX msrw_batches_by_name ON msrw_batches (name, id)"};

template <std::size_t N>
bool RunAll(QSqlQuery& q, const std::array<const char*, N>& statements, std::string& error) {
    for (const char* statement : statements)
        if (!Run(q, statement, error))
            return false;
    return true;
}

bool ApplyMigration(QSqlQuery& q, int version, std::string& error) {
    const bool applied = version == 1 ? RunAll(q, kVersion1, error) : RunAll(q, kVersion2, error);
    if (!applied)
        return false;
    q.prepare("INSERT INTO msrw_schema_version (version) VALUES (?)");
    q.addBindValue(version);
    return Run(q, error);
}

// Tables of our names that no migration of ours made.
bool ForeignTables(QSqlQuery& q, std::string& error, bool& foreign) {
    if (!Run(q,
             "SELECT to_regclass('msrw_schema_version') IS NULL AND "
             "(to_regclass('msrw_batches') IS NOT NULL OR to_regclass('msrw_records') IS NOT "
             "NULL)",
             error))
        return false;
    foreign = q.next() && q.value(0).toBool();
    return true;
}

std::optional<int> CurrentVersion(QSqlQuery& q, std::string& error) {
    if (!Run(q, "SELECT coalesce(max(version), 0) FROM msrw_schema_version", error)) {
        // A role without rights on it is told so (Run names the role).
        if (!IsPermissionDenied(q.lastError()))
            error =
                "The table msrw_schema_version on the batch server is not this program's: " + error;
        return std::nullopt;
    }
    return q.next() ? q.value(0).toInt() : 0;
}

bool Migrate(QSqlDatabase db, int upTo, std::string& error) {
    QSqlQuery q(db);
    bool foreign = false;
    if (!Run(q, QString("SELECT pg_advisory_xact_lock(%1)").arg(kMigrationLockKey), error) ||
        !ForeignTables(q, error, foreign))
        return false;
    if (foreign) {
        error = "The database holds tables named msrw_batches or msrw_records that this program "
                "did not make; use another database for the batches.";
        return false;
    }
    // A station whose role may only read and write the records finds the
    // tables made already: nothing is created then.
    if (!Run(q, "SELECT to_regclass('msrw_schema_version') IS NULL", error))
        return false;
    if (q.next() && q.value(0).toBool() && !RunAll(q, kVersionTable, error))
        return false;
    const std::optional<int> current = CurrentVersion(q, error);
    if (!current)
        return false;
    if (*current > kSchemaVersion) {
        error = "The batch tables are at version " + std::to_string(*current) +
                ", made by a newer release of this program (this one knows up to " +
                std::to_string(kSchemaVersion) + ").";
        return false;
    }
    for (int version = *current + 1; version <= upTo; ++version)
        if (!ApplyMigration(q, version, error))
            return false;
    return true;
}

} // namespace

bool EnsureSchema(QSqlDatabase db, std::string& error, int upTo) {
    if (!db.transaction())
        return Failed(db.lastError(), error);
    if (!Migrate(db, upTo, error)) {
        db.rollback();
        return false;
    }
    return db.commit() || Failed(db.lastError(), error);
}

std::optional<int> SchemaVersion(QSqlDatabase db, std::string& error) {
    QSqlQuery q(db);
    if (!Run(q, "SELECT to_regclass('msrw_schema_version') IS NOT NULL", error))
        return std::nullopt;
    if (!q.next() || !q.value(0).toBool())
        return 0;
    return CurrentVersion(q, error);
}

} // namespace msrw::batch
