#pragma once
// The database application: one card a record, built by the templates of a
// usage file. The records come from a record source: the usage file's CSV
// file with its resume point in a history file, or a batch on a batch server
// shared by several stations (the session's DatabaseSourceChoice says which).

#include "files/UsageFile.h"
#include "operations/files/RecordSource.h"
#include "operations/files/SavedSetup.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace msrw {

class Session;

struct DatabaseRun {
    bool active = false;
    std::string usageFile; // DataFileName
    std::string databaseFile;
    std::string historyFile;
    usage::Setup setup;
    std::int64_t RecordNo = 1;
    std::int64_t recordCount = 0; // records of the source
    bool firstRecord = true;
    std::unique_ptr<RecordSource> source;
    SavedSetup saved;
    std::string progress; // "record n of N", shown beside the result line
};

void cmdDatabase_Click(Session& session);
// Builds and arms the write of record RecordNo; ends the run at the end of
// the records or at a record that cannot be written.
void WriteDatabaseRecord(Session& session, DatabaseRun& run);
// Branch 15 of the receive dispatcher.
void DatabaseBranch(Session& session, std::string_view replyText, bool ok);
// The End action's part: the resume point kept, the set-up put back.
void EndDatabase(Session& session);

} // namespace msrw
