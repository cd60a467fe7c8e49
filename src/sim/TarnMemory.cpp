#include "sim/TarnMemory.h"

#include "link/Notation.h"

namespace msrw::sim {

namespace {

constexpr std::array<int, 5> kBauds{19200, 9600, 4800, 2400, 1200};
constexpr std::array<char, 4> kParities{'O', 'E', 'M', 'S'};

// Two hexadecimal digits as a byte, -1 when they are not.
int HexPairValue(std::string_view digits) {
    if (digits.size() != 2 || !IsHexDigitChar(digits[0]) || !IsHexDigitChar(digits[1]))
        return -1;
    return HexDigitValue(digits[0]) * 16 + HexDigitValue(digits[1]);
}

int AddressOf(std::string_view digits) {
    const int address = HexPairValue(digits);
    return address > TarnMemory::kLastAddress ? -1 : address;
}

} // namespace

std::optional<LineFormat> LineFormatOf(std::uint8_t code) {
    const std::size_t baud = code & 0x07;
    const std::size_t parity = (code >> 3) & 0x03;
    if (baud >= kBauds.size() || (code & 0xE0) != 0)
        return std::nullopt;
    return LineFormat{kBauds[baud], kParities[parity], 7, 1};
}

TarnMemory::TarnMemory() {
    bytes_.fill(0xFF);
    bytes_[0x00] = 0x1A;
    bytes_[0x01] = 22; // leading zeros at 75 BPI
    bytes_[0x02] = 61; // leading zeros at 210 BPI
    bytes_[kSerialFormat] = 0x19;
    bytes_[0x04] = 0x01; // protocol 0, mode 2
    bytes_[kLockAddress] = 0x00;
    bytes_[kCoercivity] = 0x34; // low
    line_ = *LineFormatOf(bytes_[kSerialFormat]);
}

bool TarnMemory::listensAt(const LineFormat& line) const {
    return line == line_ || (escapeLineToo_ && line == kEscapeLine);
}

void TarnMemory::close() {
    open_ = false;
    if (!formatWritten_)
        return;
    formatWritten_ = false;
    // A byte that names no line leaves the line as it was.
    if (const auto format = LineFormatOf(bytes_[kSerialFormat])) {
        line_ = *format;
        escapeLineToo_ = false;
    }
}

std::string TarnMemory::readCommand(std::string_view addressDigits) const {
    const int address = AddressOf(addressDigits);
    if (address < 0)
        return "*";
    return HexByte(bytes_[static_cast<std::size_t>(address)]);
}

std::string TarnMemory::writeCommand(std::string_view addressAndValueDigits) {
    const int address = AddressOf(addressAndValueDigits.substr(0, 2));
    const int value = HexPairValue(addressAndValueDigits.substr(2));
    if (!open_ || address < 0 || value < 0)
        return "*";
    bytes_[static_cast<std::size_t>(address)] = static_cast<std::uint8_t>(value);
    formatWritten_ = formatWritten_ || address == kSerialFormat;
    return "^";
}

Coercivity TarnMemory::coercivity() const {
    if (bytes_[kLockAddress] == kLowCoOnly)
        return Coercivity::Low;
    return bytes_[kCoercivity] == 0xFF ? Coercivity::High : Coercivity::Low;
}

} // namespace msrw::sim
