#pragma once
// The magnetic stripe as the simulated reader/writer sees it: each track is the
// run of bits that lies on it (leading zeros, characters, trailing zeros).
// Characters are recorded least significant bit first with their parity bit
// last; the end sentinel is followed by a check character (longitudinal
// redundancy check) carrying the exclusive-or of the data bits before it.

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace msrw::sim {

using Bits = std::vector<bool>;

// A raw read reports a track after one length byte, so at most 255 bytes.
inline constexpr std::size_t kMaxRawBytes = 255;
// The most bits a write may put after the leading zeros, so that a raw read
// can always give the whole track back.
inline constexpr std::size_t kMaxPayloadBits = kMaxRawBytes * 8;

enum class Parity { None, Odd, Even };

struct CharFormat {
    int bitsPerChar = 7; // 4 to 7, the parity bit included
    Parity parity = Parity::Odd;
};

// The reader/writer's own format for a bits-per-character setting: 7 and 5
// carry an odd parity bit, 6 and 4 none; nullopt for any other size.
std::optional<CharFormat> DeviceCharFormat(int bitsPerChar);
int DataBits(const CharFormat& format);
// First character of the alphabet: 0x20 on 7/6-bit tracks, 0x30 on 5/4-bit.
char AlphabetBase(const CharFormat& format);
// "%" on 7/6-bit tracks, ";" on 5/4-bit ones.
char StartSentinel(const CharFormat& format);
inline constexpr char kEndSentinel = '?';

// The recorded bits of `chars` followed by their check character; nullopt when
// a character lies outside the format's alphabet.
std::optional<Bits> EncodeCharacters(std::string_view chars, const CharFormat& format);

struct DecodedTrack {
    bool ok = false;
    std::string chars; // start to end sentinel inclusive when ok
};
// Decodes characters from bit `from` up to the first character found in
// `endSentinels`, then checks the check character. Bits past the end read 0.
DecodedTrack DecodeCharacters(const Bits& bits, std::size_t from, const CharFormat& format,
                              std::string_view endSentinels = "?");

// Each byte least significant bit first, as a raw write lays it down.
Bits BitsOfBytesLsbFirst(std::string_view bytes);
// Each hexadecimal digit most significant bit first; nullopt for a non-digit.
std::optional<Bits> BitsOfHexDigits(std::string_view hex);
std::string HexDigitsOf(std::string_view bytes); // upper case, two a byte

class Stripe {
public:
    // Replaces whatever lay on the track.
    void record(std::size_t leadingZeros, const Bits& payload);
    void erase() { bits_.clear(); }
    bool isBlank() const { return !firstOne().has_value(); }
    std::optional<std::size_t> firstOne() const;
    const Bits& bits() const { return bits_; }
    // The track from its first 1 bit, eight bits a byte, the first bit the most
    // significant, zero-padded to whole bytes, at most kMaxRawBytes. Trailing
    // zeros after the recorded data are not reported.
    std::string rawBytes() const;

    bool damaged() const { return damaged_; }
    void setDamaged(bool damaged) { damaged_ = damaged; }

    bool operator==(const Stripe&) const = default;

private:
    Bits bits_;
    bool damaged_ = false;
};

enum class Coercivity { High, Low };

struct VirtualCard {
    std::array<Stripe, 3> tracks;
    Coercivity coercivity = Coercivity::High;

    bool isDamaged() const;
};

} // namespace msrw::sim
