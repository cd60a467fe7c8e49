#include "cards/UserTrackCodec.h"

#include "link/Notation.h"

#include <algorithm>
#include <optional>

namespace msrw::track {
namespace {

bool IsOddParity(std::string_view parity) {
    return parity == "Odd";
}
bool IsNoParity(std::string_view parity) {
    return parity == "None";
}

bool IsValidWidth(int bitsPerCharacter) {
    return bitsPerCharacter >= 4 && bitsPerCharacter <= 7;
}

int DataBitCount(int bitsPerCharacter) {
    return CarriesParityBit(bitsPerCharacter) ? bitsPerCharacter - 1 : bitsPerCharacter;
}

int AlphabetBase(int bitsPerCharacter) {
    return bitsPerCharacter >= 6 ? 32 : 48;
}

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// The value a character records at a width; nullopt outside the alphabet.
std::optional<int> ValueOf(char c, int bitsPerCharacter) {
    const int value = static_cast<unsigned char>(c) - AlphabetBase(bitsPerCharacter);
    if (value < 0 || value >= (1 << DataBitCount(bitsPerCharacter)))
        return std::nullopt;
    return value;
}

// The bits of one character as they lie on the stripe.
std::string CharacterBits(int value, const UserTrackFormat& format) {
    std::string bits;
    for (int i = 0; i < DataBitCount(format.bitsPerCharacter); ++i)
        bits += ((value >> i) & 1) != 0 ? '1' : '0';
    if (CarriesParityBit(format.bitsPerCharacter))
        bits = SetParityBit(bits + '0', format.parity);
    return bits;
}

// The value of a character's data bits.
int CharacterValue(std::string_view characterBits, int bitsPerCharacter) {
    const std::string reversed = ReverseBits(characterBits);
    std::string_view data = reversed;
    if (CarriesParityBit(bitsPerCharacter))
        data.remove_prefix(1);
    int value = 0;
    for (const char bit : data)
        value = value * 2 + (bit == '1' ? 1 : 0);
    return value;
}

// The check character, built up one recorded character at a time.
class CheckCharacter {
public:
    explicit CheckCharacter(int bitsPerCharacter)
        : width_(bitsPerCharacter), bits_(static_cast<std::size_t>(bitsPerCharacter), '0') {}

    void add(std::string_view characterBits) {
        for (std::size_t i = 0; i < bits_.size() && i < characterBits.size(); ++i)
            bits_[i] = bits_[i] == characterBits[i] ? '0' : '1';
    }

    // The data bits gathered so far, with a parity bit of their own.
    std::string recorded(std::string_view parity) const {
        std::string bits = bits_;
        if (CarriesParityBit(width_)) {
            bits.back() = '0';
            bits = SetParityBit(bits, parity);
        }
        return bits;
    }

private:
    int width_;
    std::string bits_;
};

// A raw read starts at the first 1 bit, so the zero bits that begin the
// start sentinel's recorded form are missing from it.
std::size_t LeadingZerosLostToRawRead(const UserTrackFormat& format) {
    const std::optional<int> value = ValueOf(format.startSentinel, format.bitsPerCharacter);
    if (!value)
        return 0;
    const std::string bits = CharacterBits(*value, format);
    return std::min(bits.find('1'), bits.size());
}

bool HasOneBit(std::string_view bits, std::size_t from, std::size_t count) {
    return from < bits.size() && bits.substr(from, count).find('1') != std::string_view::npos;
}

TrackDecode Failed(TrackDecodeStatus status) {
    return {status, {}};
}

TrackDecode DecodeBits(std::string_view bits, const UserTrackFormat& format) {
    const int b = format.bitsPerCharacter;
    const auto width = static_cast<std::size_t>(b);
    const std::size_t available = bits.size() / width;
    const std::size_t examined = std::min(available, kMaxTrackCharacters);
    CheckCharacter check(b);
    std::string text;
    bool endSeen = false;
    for (std::size_t i = 0; i < examined; ++i) {
        const std::string_view c = bits.substr(i * width, width);
        if (!CheckCharParity(c, b, format.parity))
            return Failed(TrackDecodeStatus::ParityError);
        if (endSeen) {
            if (c != check.recorded(format.parity))
                return Failed(TrackDecodeStatus::CheckCharacterError);
            return {TrackDecodeStatus::Decoded, std::move(text)};
        }
        check.add(c);
        text += CodeToChar(b, CharacterValue(c, b));
        // An end sentinel is the end only when nothing but zeros follows the
        // check character after it; otherwise it is data.
        endSeen = text.back() == format.endSentinel && !HasOneBit(bits, (i + 2) * width, width);
    }
    if (available > examined)
        return Failed(TrackDecodeStatus::TooLong);
    return Failed(endSeen ? TrackDecodeStatus::CheckCharacterError
                          : TrackDecodeStatus::NoEndSentinel);
}

std::string Shown(char c) {
    return "\"" + DisplayForm(std::string_view(&c, 1)) + "\"";
}

EncodedTrack Refused(std::string problem) {
    return {{}, std::move(problem)};
}

// What a raw read of recorded bits gives: the bits from the first 1 bit on,
// four a hexadecimal digit.
std::string RawReadOf(const std::string& bits) {
    const std::size_t first = bits.find('1');
    std::string read = first == std::string::npos ? std::string() : bits.substr(first);
    read.append((4 - read.size() % 4) % 4, '0');
    return ConvertBinaryToHexadecimal(read);
}

std::string WithSentinels(std::string_view text, const UserTrackFormat& format) {
    std::string framed(text);
    if (framed.front() != format.startSentinel)
        framed.insert(framed.begin(), format.startSentinel);
    if (framed.back() != format.endSentinel)
        framed += format.endSentinel;
    return framed;
}

} // namespace

bool CarriesParityBit(int bitsPerCharacter) {
    return bitsPerCharacter == 7 || bitsPerCharacter == 5;
}

bool CheckCharParity(std::string_view characterBits, int bitsPerCharacter,
                     std::string_view parity) {
    if (!CarriesParityBit(bitsPerCharacter) || IsNoParity(parity))
        return true;
    return !characterBits.empty() && SetParityBit(characterBits, parity) == characterBits;
}

std::string ReverseBits(std::string_view bits) {
    return {bits.rbegin(), bits.rend()};
}

char CodeToChar(int bitsPerCharacter, int code) {
    return static_cast<char>(AlphabetBase(bitsPerCharacter) + code);
}

std::string SetParityBit(std::string_view characterBits, std::string_view parity) {
    std::string bits(characterBits);
    if (bits.empty() || IsNoParity(parity))
        return bits;
    const auto ones = std::count(bits.begin(), bits.end() - 1, '1');
    const bool oddSoFar = ones % 2 == 1;
    bits.back() = (IsOddParity(parity) ? !oddSoFar : oddSoFar) ? '1' : '0';
    return bits;
}

TrackDecode DecodeUserTrack(std::string_view hexDigits, const UserTrackFormat& format) {
    if (hexDigits.empty())
        return {};
    if (!IsValidWidth(format.bitsPerCharacter))
        return Failed(TrackDecodeStatus::BadFormat);
    if (!std::all_of(hexDigits.begin(), hexDigits.end(), IsHexDigit))
        return Failed(TrackDecodeStatus::BadDigits);
    const std::string bits =
        std::string(LeadingZerosLostToRawRead(format), '0') + ConvertHexadecimalToBinary(hexDigits);
    return DecodeBits(bits, format);
}

DecodedTracks DecodeUserTracks(const TrackTexts& hexTracks,
                               const std::array<UserTrackFormat, 3>& formats) {
    DecodedTracks result;
    for (std::size_t k = 0; k < hexTracks.size(); ++k) {
        TrackDecode decoded = DecodeUserTrack(hexTracks[k], formats[k]);
        result.status[k] = decoded.status;
        result.tracks[k] = std::move(decoded.text);
        if (decoded.status != TrackDecodeStatus::Empty &&
            decoded.status != TrackDecodeStatus::Decoded)
            result.ok = false;
    }
    return result;
}

EncodedTrack EncodeUserTrack(std::string_view text, const UserTrackFormat& format) {
    if (text.empty())
        return {};
    const int b = format.bitsPerCharacter;
    if (!IsValidWidth(b))
        return Refused("bits per character must be 7, 6, 5 or 4, not " + std::to_string(b));
    if (LeadingZerosLostToRawRead(format) == static_cast<std::size_t>(b))
        return Refused("the start sentinel " + Shown(format.startSentinel) +
                       " records no 1 bit, so a read could not find the start of the track");
    const std::string framed = WithSentinels(text, format);
    if (framed.size() + 1 > kMaxTrackCharacters)
        return Refused("the track data is too long to read back");
    std::string bits;
    CheckCharacter check(b);
    for (const char c : framed) {
        const std::optional<int> value = ValueOf(c, b);
        if (!value)
            return Refused("the character " + Shown(c) + " cannot be recorded at " +
                           std::to_string(b) + " bits per character");
        const std::string recorded = CharacterBits(*value, format);
        check.add(recorded);
        bits += recorded;
    }
    bits += check.recorded(format.parity);
    // An end sentinel inside the data, or a start sentinel that is also the
    // end sentinel, reads back as data unless what follows it looks like the
    // end: what decides is whether the read gives the text back.
    const TrackDecode back = DecodeUserTrack(RawReadOf(bits), format);
    if (back.status != TrackDecodeStatus::Decoded || back.text != framed)
        return Refused("the track data would not read back as written" +
                       (framed.find(format.endSentinel) + 1 != framed.size()
                            ? ": a read would end at the end sentinel " +
                                  Shown(format.endSentinel) + " inside it"
                            : std::string()));
    bits.append((8 - bits.size() % 8) % 8, '0');
    if (bits.size() / 8 > kMaxEncodedBytes)
        return Refused("the track data is too long to write");
    return {ConvertBinaryToHexadecimal(bits), {}};
}

} // namespace msrw::track
