#pragma once
// Records of the database file: one line a record, fields separated by ",".
// A field that begins with a double quote runs to its closing quote (a doubled
// quote inside is one quote), so it may hold commas.

#include <string>
#include <string_view>
#include <vector>

namespace msrw::csv {

inline constexpr std::size_t kMaxFields = 100;

struct Record {
    std::vector<std::string> fields;
    std::string problem; // why the line is no record; empty when it is one
};

// A line without its line end.
Record ParseRecord(std::string_view line);

} // namespace msrw::csv
