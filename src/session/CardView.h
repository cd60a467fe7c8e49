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

// The captions for the session's current card type; nullopt in the Tarn
// family, whose captions follow the Tarn set-up and are set where that is read.
std::optional<FrameCaptions> CurrentFrameCaptions(const Session& session);

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
// the Tarn family the densities come from the Tarn set-up, which is not read
// here, so the BPI texts are left empty.
KeyFilterContext KeyFilterContextFor(const Session& session);

// txtTrk1_KeyPress..txtTrk3_KeyPress: sets the field's length limit, then
// filters the key. Returns the key to insert (kKeyCancelled: none).
int txtTrk_KeyPress(Session& session, int track, int keyAscii,
                    const KeyReplacement& replacement = {});

} // namespace msrw
