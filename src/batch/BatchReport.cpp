#include "batch/BatchReport.h"

#include "files/HistoryFile.h"

namespace msrw::batch {
namespace {

std::string Counts(const StateCounts& c) {
    return std::to_string(c.written) + " written, " + std::to_string(c.claimed) + " claimed, " +
           std::to_string(c.uncertain) + " uncertain";
}

std::string UncertainLine(const BatchStatus& status) {
    std::string line = "  uncertain:";
    const char* between = " ";
    for (const UncertainRecord& r : status.uncertain) {
        line += between + std::string("record ") + std::to_string(r.number);
        if (!r.station.empty())
            line += " (" + r.station + ")";
        between = ", ";
    }
    const std::int64_t more = status.total.uncertain - std::int64_t(status.uncertain.size());
    if (more > 0)
        line += ", and " + std::to_string(more) + " more";
    return line + "\n";
}

} // namespace

std::string StatusText(const BatchInfo& batch, const BatchStatus& status) {
    std::string text = "batch " + std::to_string(batch.id) + " (" + batch.name +
                       "): " + Counts(status.total) + ", " + std::to_string(status.total.open) +
                       " still to write\n";
    for (const auto& [station, counts] : status.stations)
        text += "  station " + station + ": " + Counts(counts) + "\n";
    if (!status.uncertain.empty())
        text += UncertainLine(status);
    return text;
}

std::string ImportedText(std::int64_t batch, std::int64_t records, const std::string& usageName) {
    return "batch " + std::to_string(batch) + ": " + std::to_string(records) +
           " records imported from " + usageName;
}

std::string RetriedText(std::int64_t batch, std::int64_t record) {
    return "Record no. " + std::to_string(record) + " of batch " + std::to_string(batch) +
           " is open again: the next station to claim a record writes it.";
}

std::optional<RecordRef> ParseRecordRef(std::string_view text) {
    const std::size_t comma = text.find(',');
    std::size_t split = comma;
    if (comma == std::string_view::npos) {
        const std::size_t first = text.find_first_not_of(" \t");
        split = first == std::string_view::npos ? first : text.find_first_of(" \t", first);
    }
    if (split == std::string_view::npos)
        return std::nullopt;
    const auto batch = history::ParseRecordNumber(text.substr(0, split));
    const auto record = history::ParseRecordNumber(text.substr(split + 1));
    if (!batch || !record)
        return std::nullopt;
    return RecordRef{*batch, *record};
}

} // namespace msrw::batch
