#pragma once
// The records of a card data file, taken line by line: a "[SETUP]" header,
// when the file begins with one, is passed over up to its "[DATA]" line; a
// record is its track lines (the control byte 1-3 first), ended by a line
// that names no track. Pure.

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace msrw::cardfile {

using RecordTracksText = std::array<std::string, 3>;

class RecordReader {
public:
    // The record that `line` ends, if it ends one.
    std::optional<RecordTracksText> take(std::string_view line);
    // The record the file ends inside, if any.
    std::optional<RecordTracksText> finish();
    // Whether the file ended inside its header (no "[DATA]" line).
    bool inHeader() const { return part_ == Part::Header; }

private:
    enum class Part { Start, Header, Records };
    std::optional<RecordTracksText> close();

    Part part_ = Part::Start;
    RecordTracksText tracks_;
    bool holdsTrack_ = false;
};

} // namespace msrw::cardfile
