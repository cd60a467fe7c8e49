#pragma once
// The batch tables on the server, created and migrated by the program: each
// migration is applied once, in a transaction, and noted in
// msrw_schema_version, so that stations of several releases agree on what
// the tables hold.

#include <QSqlDatabase>
#include <optional>
#include <string>

namespace msrw::batch {

inline constexpr int kSchemaVersion = 2;

// Brings the tables to version `upTo` (the newest unless a test asks for an
// older one); false with the operator's message when the database holds
// tables of the same names that are not this program's, or a newer version.
[[nodiscard]] bool EnsureSchema(QSqlDatabase db, std::string& error, int upTo = kSchemaVersion);

// The version the tables are at, 0 when there are none.
std::optional<int> SchemaVersion(QSqlDatabase db, std::string& error);

} // namespace msrw::batch
