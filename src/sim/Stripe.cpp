#include "sim/Stripe.h"

#include "link/Notation.h"

#include <algorithm>

namespace msrw::sim {

namespace {

bool BitAt(const Bits& bits, std::size_t index) {
    return index < bits.size() && bits[index];
}

bool ParityBitFor(int value, Parity parity) {
    const bool oddOnes = (__builtin_popcount(static_cast<unsigned>(value)) % 2) == 1;
    // Odd parity makes the total count of ones odd, even parity even.
    return parity == Parity::Odd ? !oddOnes : oddOnes;
}

void AppendCharacter(Bits& bits, int value, const CharFormat& format) {
    for (int i = 0; i < DataBits(format); ++i)
        bits.push_back(((value >> i) & 1) != 0);
    if (format.parity != Parity::None)
        bits.push_back(ParityBitFor(value, format.parity));
}

struct RecordedChar {
    int value = 0;
    bool parityOk = true;
};

RecordedChar ReadCharacter(const Bits& bits, std::size_t at, const CharFormat& format) {
    RecordedChar c;
    const int dataBits = DataBits(format);
    for (int i = 0; i < dataBits; ++i)
        if (BitAt(bits, at + static_cast<std::size_t>(i)))
            c.value |= 1 << i;
    if (format.parity != Parity::None)
        c.parityOk = BitAt(bits, at + static_cast<std::size_t>(dataBits)) ==
                     ParityBitFor(c.value, format.parity);
    return c;
}

} // namespace

std::optional<CharFormat> DeviceCharFormat(int bitsPerChar) {
    switch (bitsPerChar) {
    case 7:
    case 5:
        return CharFormat{bitsPerChar, Parity::Odd};
    case 6:
    case 4:
        return CharFormat{bitsPerChar, Parity::None};
    default:
        return std::nullopt;
    }
}

int DataBits(const CharFormat& format) {
    return format.parity == Parity::None ? format.bitsPerChar : format.bitsPerChar - 1;
}

char AlphabetBase(const CharFormat& format) {
    return format.bitsPerChar >= 6 ? 0x20 : 0x30;
}

char StartSentinel(const CharFormat& format) {
    return format.bitsPerChar >= 6 ? '%' : ';';
}

std::optional<Bits> EncodeCharacters(std::string_view chars, const CharFormat& format) {
    const int alphabetSize = 1 << DataBits(format);
    Bits bits;
    int check = 0;
    for (const char ch : chars) {
        const int value = static_cast<unsigned char>(ch) - AlphabetBase(format);
        if (value < 0 || value >= alphabetSize)
            return std::nullopt;
        AppendCharacter(bits, value, format);
        check ^= value;
    }
    AppendCharacter(bits, check, format);
    return bits;
}

DecodedTrack DecodeCharacters(const Bits& bits, std::size_t from, const CharFormat& format,
                              std::string_view endSentinels) {
    const auto width = static_cast<std::size_t>(format.bitsPerChar);
    DecodedTrack result;
    int check = 0;
    std::size_t at = from;
    bool ended = false;
    while (!ended && at < bits.size()) {
        const RecordedChar c = ReadCharacter(bits, at, format);
        if (!c.parityOk)
            return {};
        check ^= c.value;
        const char ch = static_cast<char>(AlphabetBase(format) + c.value);
        result.chars.push_back(ch);
        ended = endSentinels.find(ch) != std::string_view::npos;
        at += width;
    }
    if (!ended)
        return {};
    const RecordedChar lrc = ReadCharacter(bits, at, format);
    if (!lrc.parityOk || lrc.value != check)
        return {};
    result.ok = true;
    return result;
}

Bits BitsOfBytesLsbFirst(std::string_view bytes) {
    Bits bits;
    bits.reserve(bytes.size() * 8);
    for (const char byte : bytes)
        for (int i = 0; i < 8; ++i)
            bits.push_back(((static_cast<unsigned char>(byte) >> i) & 1) != 0);
    return bits;
}

std::optional<Bits> BitsOfHexDigits(std::string_view hex) {
    Bits bits;
    bits.reserve(hex.size() * 4);
    for (const char digit : hex) {
        if (!msrw::IsHexDigitChar(digit))
            return std::nullopt;
        const int value = msrw::HexDigitValue(digit);
        for (int i = 3; i >= 0; --i)
            bits.push_back(((value >> i) & 1) != 0);
    }
    return bits;
}

std::string HexDigitsOf(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    for (const char byte : bytes) {
        const auto value = static_cast<unsigned char>(byte);
        hex.push_back(kDigits[value >> 4]);
        hex.push_back(kDigits[value & 0x0F]);
    }
    return hex;
}

void Stripe::record(std::size_t leadingZeros, const Bits& payload) {
    bits_.assign(leadingZeros, false);
    bits_.insert(bits_.end(), payload.begin(), payload.end());
}

std::optional<std::size_t> Stripe::firstOne() const {
    const auto it = std::find(bits_.begin(), bits_.end(), true);
    if (it == bits_.end())
        return std::nullopt;
    return static_cast<std::size_t>(it - bits_.begin());
}

std::string Stripe::rawBytes() const {
    const auto first = firstOne();
    if (!first)
        return {};
    const std::size_t count = bits_.size() - *first;
    const std::size_t byteCount = std::min((count + 7) / 8, kMaxRawBytes);
    std::string bytes(byteCount, '\0');
    for (std::size_t i = 0; i < byteCount * 8; ++i)
        if (BitAt(bits_, *first + i))
            bytes[i / 8] = static_cast<char>(bytes[i / 8] | (0x80 >> (i % 8)));
    return bytes;
}

bool VirtualCard::isDamaged() const {
    return std::any_of(tracks.begin(), tracks.end(), [](const Stripe& s) { return s.damaged(); });
}

} // namespace msrw::sim
