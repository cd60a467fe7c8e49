#pragma once
// The statements a station runs for every record, each prepared once a
// connection: what they say, and the values bound to their placeholders.

#include <QString>
#include <vector>

namespace msrw::batch {

enum class RecordStatement { Claim, Mark, Release, Renew, Retry };
inline constexpr int kRecordStatements = 5;

// The values a statement takes, in the order of its placeholders.
enum class Parameter { Batch, Record, Station, LeaseSeconds };

struct StatementText {
    QString text;
    std::vector<Parameter> parameters;
};

const StatementText& TextOf(RecordStatement statement);

} // namespace msrw::batch
