#pragma once
// The USER track format as it lies on the stripe, in both directions.
//
// Bit layout (the reader/writer's, which every card written here must match):
// a character is b bits wide (b = 7, 6, 5 or 4). Its value is its code minus
// 32 (b = 7 or 6) or minus 48 (b = 5 or 4). The data bits come least
// significant first; with b = 7 or 5 a parity bit follows as the last bit
// (with parity "None" that position is recorded as 0 and not checked). After
// the end sentinel comes a check character: its data bits are the
// exclusive-or of the data bits of every character before it, and it carries
// a parity bit of its own in the same last position.
//
// Bit texts are strings of '0' and '1' in the order the bits lie on the
// stripe. Parity names: "None", "Odd"; any other text means even parity.

#include "cards/CardFormat.h"
#include "protocol/TrackText.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace msrw::track {

// Decoding looks at no more than this many characters of a track, the check
// character included; a track not ended within them fails.
inline constexpr std::size_t kMaxTrackCharacters = 300;
// An encoded track must fit one raw-write block, whose byte count (data bytes
// plus one) travels in a single byte.
inline constexpr std::size_t kMaxEncodedBytes = 254;

// Whether characters of this width carry a parity bit (7 and 5 do).
bool CarriesParityBit(int bitsPerCharacter);

// Whether one character's parity bit (its last bit) fits the parity rule. A
// character without a parity bit, or with parity "None", always passes.
bool CheckCharParity(std::string_view characterBits, int bitsPerCharacter, std::string_view parity);

// The bit text back to front.
std::string ReverseBits(std::string_view bits);

// The character that a value stands for at a width (no range check).
char CodeToChar(int bitsPerCharacter, int code);

// The bit text with its last bit made the parity bit of the bits before it
// (odd parity: the total count of ones becomes odd). "None" changes nothing.
std::string SetParityBit(std::string_view characterBits, std::string_view parity);

enum class TrackDecodeStatus {
    Empty,               // no raw data: nothing to decode, not a failure
    Decoded,             // start to end sentinel, check character correct
    BadFormat,           // bits per character other than 7, 6, 5 or 4
    BadDigits,           // the raw text is not hexadecimal digits
    ParityError,         // a character failed its parity check
    NoEndSentinel,       // the data ended before the end sentinel
    CheckCharacterError, // the check character is missing or wrong
    TooLong,             // no end within kMaxTrackCharacters characters
};

struct TrackDecode {
    TrackDecodeStatus status = TrackDecodeStatus::Empty;
    std::string text; // the characters read, sentinels included, when decoded
};

// One track from the hexadecimal digits of a raw read (the stripe from its
// first 1 bit, the first bit most significant). A start sentinel whose
// recorded bits begin with zeros ("<" on a 5-bit track) lost them to the raw
// read; they are put back before decoding.
TrackDecode DecodeUserTrack(std::string_view hexDigits, const UserTrackFormat& format);

struct DecodedTracks {
    TrackTexts tracks; // a failed track is empty
    std::array<TrackDecodeStatus, 3> status{};
    bool ok = true; // false when any non-empty track failed
};

DecodedTracks DecodeUserTracks(const TrackTexts& hexTracks,
                               const std::array<UserTrackFormat, 3>& formats);

struct EncodedTrack {
    std::string hexDigits; // the recorded bits, four a digit, an even number of digits
    std::string problem;   // why the text cannot be recorded; empty when it can

    bool ok() const { return problem.empty(); }
};

// The bits to record for a track text: the start sentinel put in front and the
// end sentinel at the end when the text lacks them, then the check character,
// padded with zero bits to whole bytes. An empty text records nothing. Refused
// with a message: a character outside the width's alphabet, a text that the
// decoder above would not give back (an end sentinel inside the data that a
// read would take for the end; one that a read goes on after is data), a
// track too long to write or to read back, a start sentinel recorded as zeros
// only (a read starts at the first 1 bit, so it could not find the start), a
// width other than 7, 6, 5 or 4.
EncodedTrack EncodeUserTrack(std::string_view text, const UserTrackFormat& format);

} // namespace msrw::track
