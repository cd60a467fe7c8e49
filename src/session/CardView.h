#pragma once
// How the card type and the card format show on the main window: the frame
// captions, the check of shown tracks, and the track fields' key filter.

#include "cards/FrameCaptions.h"
#include "cards/KeyFilter.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace msrw {

class Session;
struct MainView;

// The captions for the session's current card type: in the Tarn family from
// the Tarn set-up file's densities and CUSTOM character sizes, otherwise from
// the format store. nullopt for a type with no captions of its own.
std::optional<FrameCaptions> CurrentFrameCaptions(const Session& session);
// The Tarn family's captions for ISO, AAMVA and CUSTOM ("Track1   7-BPC
// 210-BPI"); a track whose density in the set-up file is neither "0" nor "1"
// gets no caption.
std::optional<FrameCaptions> TarnFrameCaptions(const Session& session);
// The Tarn set-up file's density of each track as the captions and the key
// filter name it: "210", "75", or "" for another value.
std::array<std::string, 3> TarnTrackDensities(const Session& session);

void ShowFrameCaptions(MainView& view, const FrameCaptions& captions);

// After a card was read and shown: whether each shown track looks like the
// chosen card type. A track that does not turns its frame red with a caption
// that says what it looks like; the write operation refuses while the frame
// of track 1 or 3 is red. `bpi`: the densities of tracks 1-3 in the captions.
void CheckShownFormat(MainView& view, std::string_view cardType,
                      const std::array<std::string, 3>& bpi);
// The same for the session's card type and the format store's densities.
void CheckShownFormat(Session& session);

// The key filter's context for the session's card type and format store. In
// the Tarn family the densities come from the Tarn set-up file.
KeyFilterContext KeyFilterContextFor(const Session& session);

// txtTrk1_KeyPress..txtTrk3_KeyPress: sets the field's length limit, then
// filters the key. Returns the key to insert (kKeyCancelled: none).
int txtTrk_KeyPress(Session& session, int track, int keyAscii,
                    const KeyReplacement& replacement = {});

} // namespace msrw
