#pragma once
// After a card was read and shown: whether each shown track looks like the
// chosen card type. A track that does not turns its frame red with a caption
// that says what it looks like; the write operation refuses while the frame
// of track 1 or 3 is red.

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace msrw {

// A shown track's frame: red or not, and its caption.
struct FrameVerdict {
    bool red = false;
    std::string caption;
};
// Per track; nullopt where the frame keeps its caption and colour.
using ShownFormatVerdicts = std::array<std::optional<FrameVerdict>, 3>;

// Checks the shown tracks 1-3 (line breaks of the fields included) against
// `cardType` (ISO, AAMVA and PASS BOOK; other types are left alone), with
// the densities `bpi` of tracks 1-3 in the captions. Empty tracks keep their
// caption and colour.
ShownFormatVerdicts CheckShownTracks(const std::array<std::string, 3>& shown,
                                     std::string_view cardType,
                                     const std::array<std::string, 3>& bpi);

} // namespace msrw
