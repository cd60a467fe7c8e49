#pragma once
// The three track texts of a database record as the usage file's templates
// make them, checked against the alphabets its card format carries: what a
// station writes onto the card, and what an import checks before a record
// reaches a batch. Pure.

#include "cards/TrackAlphabet.h"
#include "files/UsageFile.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace msrw::usage {

inline constexpr const char* kAlphabetProblem =
    "a track holds characters the card format cannot carry";

// The card-type and BPC positions that the alphabet check takes from the set-up.
TrackAlphabetSetup AlphabetSetupOf(const Setup& setup);

struct RecordTracks {
    std::optional<std::array<std::string, 3>> texts;
    std::string problem; // why the record cannot be written, when there are no texts
};
RecordTracks TracksOfRecord(const Setup& setup, const std::vector<std::string>& fields);

} // namespace msrw::usage
