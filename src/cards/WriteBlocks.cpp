#include "cards/WriteBlocks.h"

#include "link/Notation.h"

namespace msrw {
namespace {

unsigned ReversedByte(unsigned value) {
    unsigned reversed = 0;
    for (int bit = 0; bit < 8; ++bit) {
        reversed = (reversed << 1) | (value & 1u);
        value >>= 1;
    }
    return reversed;
}

std::string ByteEscape(unsigned value) {
    return "\\" + HexByte(value);
}

} // namespace

CommandByteText BitsToCommandBytes(std::string_view hexDigits) {
    std::string digits(hexDigits);
    if (digits.size() % 2 != 0)
        digits.insert(digits.begin(), '0');
    CommandByteText out;
    out.count = digits.size();
    out.text.reserve(digits.size() / 2 * 3);
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        const auto value =
            static_cast<unsigned>(HexDigitValue(digits[i]) * 16 + HexDigitValue(digits[i + 1]));
        out.text += ByteEscape(ReversedByte(value));
    }
    return out;
}

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

std::string RawTrackBlock(cmd::Track track, const CommandByteText& bytes) {
    std::string block = "\\1B" + ByteEscape(static_cast<unsigned>(track));
    if (bytes.count == 0)
        return block + "\\00";
    const auto length = static_cast<unsigned>(bytes.count / 2 + 1);
    return block + ByteEscape(length) + bytes.text + "\\00";
}

} // namespace msrw
