#include "cards/CustomTrack.h"

#include "link/Notation.h"

namespace msrw {
namespace {

constexpr unsigned kCharacterMark = 0x80; // every CUSTOM character byte carries it

bool IsCustomCharacterSize(int bits) {
    return bits >= 5 && bits <= 7;
}

// The data bytes' bits, first bit the most significant; nullopt for an odd
// count of digits or a character that is no hexadecimal digit.
std::optional<std::string> BitsOfHexDigits(std::string_view hexDigits) {
    if (hexDigits.size() % 2 != 0)
        return std::nullopt;
    std::string bits;
    for (const char digit : hexDigits) {
        if (!IsHexDigitChar(digit))
            return std::nullopt;
        const int value = HexDigitValue(digit);
        for (int bit = 3; bit >= 0; --bit)
            bits += ((value >> bit) & 1) ? '1' : '0';
    }
    return bits;
}

// "\55" for track 1, "\56" for 2, "\57" for 3, then `middle`, then the size
// digit; "" for a track or size that does not exist.
std::string CustomCommand(int track, int bitsPerCharacter, const char* middle) {
    if (track < 1 || track > 3 || !IsCustomCharacterSize(bitsPerCharacter))
        return "";
    return "\\" + HexByte(unsigned(0x54 + track)) + middle + "\\" +
           HexByte(unsigned('0' + bitsPerCharacter));
}

} // namespace

int CustomBitsPerCharacter(std::string_view setupValue) {
    if (setupValue == "0")
        return 7;
    if (setupValue == "1")
        return 6;
    if (setupValue == "2")
        return 5;
    return 0;
}

std::string CustomBpcText(std::string_view setupValue) {
    const int bits = CustomBitsPerCharacter(setupValue);
    return bits ? std::to_string(bits) : "";
}

std::optional<std::string> CustomTrackLoad(std::string_view hexDigits, int bitsPerCharacter,
                                           int leadingZeroBytes) {
    if (!IsCustomCharacterSize(bitsPerCharacter) || leadingZeroBytes < 0)
        return std::nullopt;
    std::optional<std::string> bits = BitsOfHexDigits(hexDigits);
    if (!bits)
        return std::nullopt;
    const auto size = static_cast<std::size_t>(bitsPerCharacter);
    if (bits->size() % size != 0)
        bits->append(size - bits->size() % size, '0'); // the last piece's fill
    std::string load;
    for (int i = 0; i < leadingZeroBytes; ++i)
        load += "\\00";
    for (std::size_t at = 0; at < bits->size(); at += size) {
        unsigned value = 0;
        for (std::size_t i = at; i < at + size; ++i)
            value = value * 2 + unsigned((*bits)[i] == '1');
        load += "\\" + HexByte(kCharacterMark | value);
    }
    return load + "\\04";
}

std::string CustomLoadSelector(int track, int bitsPerCharacter) {
    return CustomCommand(track, bitsPerCharacter, "\\3D");
}

std::string CustomTrackRequest(int track, int bitsPerCharacter) {
    return CustomCommand(track, bitsPerCharacter, "\\5F");
}

} // namespace msrw
