#include "batch/BatchReport.h"

namespace msrw::batch {
namespace {

std::string Counts(const StateCounts& c) {
    return std::to_string(c.written) + " written, " + std::to_string(c.claimed) + " claimed, " +
           std::to_string(c.uncertain) + " uncertain";
}

} // namespace

std::string StatusText(const BatchInfo& batch, const BatchStatus& status) {
    std::string text = "batch " + std::to_string(batch.id) + " (" + batch.name +
                       "): " + Counts(status.total) + ", " + std::to_string(status.total.open) +
                       " still to write\n";
    for (const auto& [station, counts] : status.stations)
        text += "  station " + station + ": " + Counts(counts) + "\n";
    return text;
}

} // namespace msrw::batch
