#pragma once
// The database's history file: one line, the number of the record to write
// next. Written whole each time, so that a crash leaves the old number or the
// new one, never a broken file.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace msrw::history {

// The number in the file's text (blanks around it allowed, one line); nullopt
// when it is not a whole number of at least 1.
std::optional<std::int64_t> ParseRecordNumber(std::string_view text);
std::string RecordNumberText(std::int64_t number); // "6\r\n"

// The file's name for a usage file: its last four characters become ".his";
// the database file's, its last three "csv".
std::string HistoryFileName(const std::string& usageFile);
std::string DatabaseFileName(const std::string& usageFile);

} // namespace msrw::history
