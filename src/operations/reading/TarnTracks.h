#pragma once
// Reading a card in "Quell Mode": after the swipe the program asks the
// reader/writer for each track in turn. Read, compare and the Tarn read
// branch share these steps.

#include "protocol/TrackText.h"

#include <string>
#include <string_view>

namespace msrw {

class Session;

struct TarnCard {
    track::TrackTexts tracks; // as shown (backslashes single); CUSTOM tracks as hex digits
    bool ok = true;           // every track asked for was read or blank
};

// Asks for the tracks of the card just swiped. ISO and AAMVA: tracks 1 and
// 2, and track 3 when all three are in use, first in the type's own layout
// and then in the other one, with fraTrk3's caption naming the layout found.
// CUSTOM: each track in the character size of the Tarn set-up file. A track
// that fails, or whose request gets no valid reply, is empty and fails the card.
TarnCard RequestTarnTracks(Session& session);

// The hexadecimal digits of a CUSTOM track reply, however short the track.
std::string CustomTrackDigits(std::string_view trackText);

// fraTrk3's caption for a track 3 found in the 7-bit layout (`sevenBit`) or
// the ISO layout, at the density `bpi` ("210", "75").
std::string Track3LayoutCaption(std::string_view cardType, bool sevenBit, std::string_view bpi);

// The tracks written into the track fields as a read shows them: spaces as
// "~", lines wrapped as the fields wrap them.
void ShowTarnTracks(Session& session, const track::TrackTexts& tracks);

} // namespace msrw
