#pragma once
// The characters a track can carry: the 6-bit alphabet (space to "_"), the
// 4-bit alphabet ("0" to "?") and the hexadecimal digits of RAW data.

#include <array>
#include <optional>
#include <span>
#include <string>

namespace msrw {

bool InSixBitAlphabet(int code);  // 32-95
bool InFourBitAlphabet(int code); // "0123456789:;<=>?"
bool IsUpperHexDigit(int code);   // "0"-"9", "A"-"F"

// What the database application has prepared for the alphabet check: the
// card-type list position and each track's BPC list position ("7", "6", "5",
// "4").
struct TrackAlphabetSetup {
    int cardTypePosition = 0;
    std::array<int, 3> bpcPosition{};
};

// The database's set-up values (numbered from 0: value 1 the card-type
// position, values 5-7 the BPC positions of tracks 1-3); nullopt when the
// list is too short to hold them.
std::optional<TrackAlphabetSetup> TrackAlphabetSetupFromValues(std::span<const int> values);

// True when every character of every track lies in the alphabet that the
// set-up requires: all 4-bit for a pass book, else by each track's BPC
// (7 or 6 bits: 6-bit alphabet, 5 or 4 bits: 4-bit alphabet, other: any).
bool CheckTrackAlphabet(const std::array<std::string, 3>& tracks, const TrackAlphabetSetup& setup);

} // namespace msrw
