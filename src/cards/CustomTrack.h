#pragma once
// The CUSTOM track layout of the single-byte family, pure: what the program
// loads into the reader/writer for one CUSTOM track, from the field's
// hexadecimal digits and the track's Tarn set-up (character size, leading
// zero bytes).

#include <optional>
#include <string>
#include <string_view>

namespace msrw {

// 7, 6 or 5 bits for the set-up values "0", "1", "2" of "t1xbit".."t3xbit";
// 0 for anything else.
int CustomBitsPerCharacter(std::string_view setupValue);
// The BPC text of a track caption: "7", "6", "5", or "" for other values.
std::string CustomBpcText(std::string_view setupValue);

// The data load of one CUSTOM track, in the notation: `leadingZeroBytes`
// times "\00", then one byte a character (80 or'd with the character's value
// of `bitsPerCharacter` bits; the characters are the data bytes cut into such
// pieces, first bit the most significant, the last piece filled with zero
// bits), then "\04". nullopt for an odd digit count, a non-digit, or a
// character size other than 5, 6 or 7.
std::optional<std::string> CustomTrackLoad(std::string_view hexDigits, int bitsPerCharacter,
                                           int leadingZeroBytes);

// The command that selects a CUSTOM load of `track` (1..3) in characters of
// `bitsPerCharacter` bits: "\55\3D\37" for track 1 in 7 bits.
std::string CustomLoadSelector(int track, int bitsPerCharacter);
// The request for a CUSTOM track: "\55\5F\37" for track 1 in 7 bits.
std::string CustomTrackRequest(int track, int bitsPerCharacter);

} // namespace msrw
