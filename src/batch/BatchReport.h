#pragma once
// What an operator reads of a batch, and the one thing typed about it: the
// status, one line for the batch and one for each station, the uncertain
// records named; the word that a batch was made or a record is open again;
// and "BATCH RECORD" as an operator types it. Pure.

#include "batch/BatchStore.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace msrw::batch {

// "batch 3 (members.txt): 120 written, 2 claimed, 1 uncertain, 877 still to write"
// then "  station host-12: 60 written, 1 claimed, 0 uncertain", a line each,
// then, when there are any, "  uncertain: record 117 (host-12)", the first
// kListedUncertain by number, ", and N more" after them.
std::string StatusText(const BatchInfo& batch, const BatchStatus& status);

// "batch 3: 1000 records imported from members.txt"
std::string ImportedText(std::int64_t batch, std::int64_t records, const std::string& usageName);

// "Record no. 117 of batch 3 is open again: the next station to claim a record writes it."
std::string RetriedText(std::int64_t batch, std::int64_t record);

struct RecordRef {
    std::int64_t batch = 0, record = 0;
};
// Two whole numbers of at least 1, blanks (or one comma) between them and
// around them: "3 117", " 3, 117 ". nullopt for anything else.
std::optional<RecordRef> ParseRecordRef(std::string_view text);

} // namespace msrw::batch
