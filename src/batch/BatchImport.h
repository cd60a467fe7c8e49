#pragma once
// A usage file's records loaded into a new batch on the server: the usage
// file's text and every record of its CSV file, in one transaction, so that a
// bad line leaves no batch behind. The records are read and sent a block at
// a time: memory stays bounded however long the file is.

#include "batch/BatchStore.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace msrw::batch {

struct ImportedBatch {
    std::int64_t batch = 0;
    std::int64_t records = 0;
};

// Told the records sent so far after each block; false stops the import
// (nothing of it is kept).
using ImportProgress = std::function<bool(std::int64_t recordsSent)>;

inline constexpr const char* kImportStopped = "The import was stopped: no batch was made.";

// `usagePath` is the usage file; its CSV file is the one the database
// application would read. nullopt with the file, the line and the reason in
// `error` when anything is wrong.
std::optional<ImportedBatch> ImportBatch(BatchStore& store, const QString& usagePath,
                                         std::string& error, const ImportProgress& progress = {});

// A record's fields as a PostgreSQL text[] literal: {"a","b\"c"}.
std::string ArrayLiteral(const std::vector<std::string>& fields);

} // namespace msrw::batch
