#pragma once
// Pass-book tracks as they are recorded: 5-bit characters in the USER track
// layout with the Pass Book frame's sentinels and parity, optionally recorded
// twice with a run of sync zeros between the two copies.

#include "cards/CardFormat.h"
#include "cards/UserTrackCodec.h"

#include <string>
#include <string_view>

namespace msrw {

// The zero digits put between the two copies of a track for a sync-zero
// setting ("25": 7 digits on track 1, 8 on tracks 2 and 3; "60": 16 digits);
// empty for any other setting, which records the track once.
std::string SyncZeroFiller(int track, std::string_view syncZeros);

// The hexadecimal digits to record for track 1-3 of a pass book. The Pass
// Book frame's start and end sentinels are added when the text does not
// already begin with ";" or "=" and end with "<" or "?" (both pairs are
// pass-book sentinels, and a reader ends the track at either end sentinel, so
// one inside the data is refused). Empty text records nothing.
track::EncodedTrack EncodePassBookTrack(std::string_view text, int track, const CardFormat& format);

} // namespace msrw
