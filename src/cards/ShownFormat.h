#pragma once
// After a card was read and shown: whether each shown track looks like the
// chosen card type. A track that does not turns its frame red with a caption
// that says what it looks like; the write operation refuses while the frame
// of track 1 or 3 is red.

#include <array>
#include <string>
#include <string_view>

namespace msrw {

class Session;
struct MainView;

// Checks the tracks shown in `view` against `cardType` (ISO, AAMVA and PASS
// BOOK; other types are left alone), with the densities `bpi` of tracks 1-3
// in the captions. Empty tracks keep their caption and colour.
void CheckShownFormat(MainView& view, std::string_view cardType,
                      const std::array<std::string, 3>& bpi);

// The same for the session's card type and the format store's densities.
void CheckShownFormat(Session& session);

} // namespace msrw
