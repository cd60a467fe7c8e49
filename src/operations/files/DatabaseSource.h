#pragma once
// Where this session's database application takes its records from: the
// usage file's CSV file (no connection text, the default) or a batch on a
// batch server. Set from the window's menu or from the console, kept for the
// session; the connection text holds no password unless the operator typed
// one, and it is never written to the data folder.

#include "operations/files/RecordSource.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace msrw {

class Session;

struct DatabaseSourceChoice {
    std::string connection; // libpq's keyword/value text or a URI; empty: the CSV file
    // The batch to write; by default the newest named as the usage file.
    std::optional<std::int64_t> batch;
    std::string station;  // empty: "<host name>-<process id>"
    int leaseSeconds = 0; // 0: the store's default
};

// The session's choice (the CSV file until one is made).
DatabaseSourceChoice& DatabaseSourceOf(Session& session);
// Sets the choice; false (nothing changed) with the reason in `problem` when
// the connection text is not one.
[[nodiscard]] bool SetDatabaseSource(Session& session, DatabaseSourceChoice choice,
                                     std::string& problem);

// The menu item Tools > Database Source...: asks for the connection text
// (empty for the usage file's CSV file).
void mnuDatabaseSource_Click(Session& session);

// The source for a run that starts now.
std::unique_ptr<RecordSource> MakeRecordSource(Session& session);

} // namespace msrw
