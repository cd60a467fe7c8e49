#pragma once
// What the reader/writer does to a card when it is swiped: reading tracks into
// reply fields, and writing or erasing them. Pure code over VirtualCard.

#include "sim/Stripe.h"

#include <array>
#include <optional>
#include <string>

namespace msrw::sim {

inline constexpr char kEsc = '\x1B';

struct DeviceSettings {
    std::array<int, 3> bitsPerChar{7, 5, 5};
    std::array<int, 3> density{210, 75, 210}; // bits per inch
    int leadingZeros210 = 61;
    int leadingZeros75 = 22;
    Coercivity coercivity = Coercivity::High;
    char trackModel = '3';
    char leadZeroBias = 0x20;
    // The head's own delay before the leading zeros, in bits: the bias that
    // lays down exactly the leading zeros set. Another bias shifts them.
    int headLag = 0x20;

    std::size_t leadingZerosOf(int trackIndex) const;
};

struct TrackRead {
    enum class State { Data, Blank, Failed };
    State state = State::Blank;
    std::string data; // characters, or raw bytes, when state is Data
};
using CardRead = std::array<TrackRead, 3>;

// Decoded read at the track's bits per character (8 or unknown fails).
TrackRead ReadDecoded(const Stripe& stripe, int bitsPerChar);
// Raw read: the stripe's bytes from its first 1 bit.
TrackRead ReadRaw(const Stripe& stripe);
// Pass-book read: 5-bit odd-parity characters ending at "<" or "?".
TrackRead ReadPassBook(const Stripe& stripe);

CardRead ReadCardDecoded(const VirtualCard& card, const DeviceSettings& settings);
CardRead ReadCardRaw(const VirtualCard& card);
CardRead ReadCardPassBook(const VirtualCard& card);

// ESC 01 f1 ESC 02 f2 ESC 03 f3 "?" FS ESC status. Raw fields carry a length
// byte before their bytes; blank tracks are ESC "+", failed ones ESC "*".
std::string EscapeReadReply(const CardRead& read, bool rawFields);
// "T1:" CR t1 CR "T2:" CR t2 CR "T3:" CR t3 CR, or "Err" CR when a track
// failed. Raw tracks are given as hexadecimal digits.
std::string TextReadReply(const CardRead& read, bool rawAsHex);
bool AnyTrackFailed(const CardRead& read);

// A write as the device has taken it from a command: for each track, nothing
// (left as it is) or the bits to lay down after the leading zeros. `valid` is
// false when the command's data could not be encoded; the write then fails
// when the card is swiped.
struct WritePlan {
    bool valid = true;
    std::array<std::optional<Bits>, 3> payloads;
};
using TrackTexts = std::array<std::optional<std::string>, 3>;

// Decoded write: start sentinel + text + end sentinel + check character, in
// each track's format. An end sentinel inside the text is refused because the
// card could not be read back.
WritePlan PlanDecodedWrite(const TrackTexts& texts, const std::array<int, 3>& bitsPerChar);
// Raw write: each block's bytes least significant bit first. A block's closing
// 00 byte (the terminator every block carries) is not data.
WritePlan PlanRawWrite(const TrackTexts& blocks);
// Raw write given as hexadecimal digits, each digit's bits in order.
WritePlan PlanHexWrite(const TrackTexts& hexDigits);

// A card takes a write when undamaged and not of a higher coercivity than the
// device writes at.
bool CanWrite(const VirtualCard& card, const DeviceSettings& settings);
// Applies the plan; false (card unchanged) when it cannot be written.
bool ApplyWrite(VirtualCard& card, const WritePlan& plan, const DeviceSettings& settings);
// Erases the tracks of the mask (bit 0 track 1 ... bit 2 track 3).
bool EraseTracks(VirtualCard& card, int mask, const DeviceSettings& settings);
// The bits that a write left on the tracks it wrote (others nullopt), for a
// later verifying swipe.
using WrittenTracks = std::array<std::optional<Bits>, 3>;
WrittenTracks TracksWrittenBy(const VirtualCard& card, const WritePlan& plan);
// Whether the card holds exactly those bits on those tracks.
bool Holds(const VirtualCard& card, const WrittenTracks& written);

} // namespace msrw::sim
