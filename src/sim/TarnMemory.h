#pragma once
// The Tarn family's set-up memory: addresses 00-1C, one byte each, opened by
// 09 09 09 and closed by 40. It holds the leading zeros, the serial format the
// family listens at, the protocol byte and the coercivity, and it keeps what
// is written to it for the life of the device, resets included.

#include "sim/Stripe.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace msrw::sim {

// The coercivity lock: "5A" at 10 makes the device write low coercivity only.
inline constexpr std::uint8_t kLockAddress = 0x10;
inline constexpr std::uint8_t kLowCoOnly = 0x5A;

// A serial line as the device runs it.
struct LineFormat {
    int baud = 9600;
    char parity = 'N'; // N, O, E, M or S
    int dataBits = 8;
    int stopBits = 1;

    bool operator==(const LineFormat&) const = default;
};
// The escape family's line. Switched from that family, the Tarn family goes
// on answering on it too, until a new serial format takes effect.
inline constexpr LineFormat kEscapeLine{};

// The line of a serial format byte: the baud code (0 19200 ... 4 1200) plus
// the parity bits (00 odd, 08 even, 10 mark, 18 space), 7 data bits and one
// stop bit. nullopt for a byte that names no line.
std::optional<LineFormat> LineFormatOf(std::uint8_t code);

class TarnMemory {
public:
    static constexpr std::uint8_t kLastAddress = 0x1C;
    static constexpr std::uint8_t kSerialFormat = 0x03;
    static constexpr std::uint8_t kCoercivity = 0x1C;

    TarnMemory(); // the power-on contents

    bool isOpen() const { return open_; }
    void open() { open_ = true; }
    // Closing puts a serial format written meanwhile into effect.
    void close();

    // "51 a a": two hex digits, "*" for an address that is not one.
    std::string readCommand(std::string_view addressDigits) const;
    // "41 a a v v" while open: "^", or "*" for bad digits.
    std::string writeCommand(std::string_view addressAndValueDigits);

    std::uint8_t at(std::uint8_t address) const { return bytes_.at(address); }
    void set(std::uint8_t address, std::uint8_t value) { bytes_.at(address) = value; }

    // Whether the family understands a line set so.
    bool listensAt(const LineFormat& line) const;
    // The family was switched to over the escape family's line.
    void enterFamily() { escapeLineToo_ = true; }

    Coercivity coercivity() const;
    int leadingZeros75() const { return bytes_[0x01]; }
    int leadingZeros210() const { return bytes_[0x02]; }

private:
    std::array<std::uint8_t, kLastAddress + 1> bytes_{};
    bool open_ = false;
    bool formatWritten_ = false;
    LineFormat line_;
    bool escapeLineToo_ = false;
};

} // namespace msrw::sim
