#pragma once
// Re-wrapping a track field after each edit, so that long track data stays
// readable: 82 characters on the first line, 80 on each later one.

#include <cstddef>

namespace msrw {

struct TrackBox;

// txtTrk1_Change..txtTrk3_Change. `caret` is the field's caret offset, kept
// after the same data character. `beingShown` is true while the read display
// is writing the field, which then lays out the text itself.
void txtTrk_Change(TrackBox& box, std::size_t& caret, bool beingShown = false);

} // namespace msrw
