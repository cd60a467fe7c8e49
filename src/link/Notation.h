#pragma once
// Command-text notation: a character stands for its own byte, "\XX" (two
// upper-case hexadecimal digits) for any byte, "\[" for the bracket itself.
// Received bytes come back as a display form (printable bytes as themselves,
// a backslash doubled, everything else "\XX") or a hex form (every byte "\XX").
//
// Texts are 8-bit strings: one char per byte, no encoding implied.

#include "link/OperatorDialogs.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace msrw {

// The most bytes one command text may yield: the byte count travels in 8 bits.
inline constexpr std::size_t kMaxCommandBytes = 255;

inline constexpr const char* kHexFormatErrorMessage = "Command Hex Format Error";

enum class CommandTextFault {
    None,
    EndsInsideEscape, // a backslash in the last or next-to-last position
    TooLong,          // more than kMaxCommandBytes bytes
};

struct CommandBytes {
    std::string bytes;    // the bytes the text denotes (empty when faulty)
    int badHexDigits = 0; // digits taken as 0; each deserves one hex-format message
    CommandTextFault fault = CommandTextFault::None;

    bool usable() const { return fault == CommandTextFault::None; }
};

// Parses a command text. A bad hexadecimal digit counts 0 and parsing goes on;
// a text ending inside an escape or yielding too many bytes is refused whole.
CommandBytes ParseCommandText(std::string_view text);

// The operator's message for a refused command text (empty for a usable one).
std::string CommandTextFaultMessage(const CommandBytes& parsed);

// Something the operator is to be told. The link shows nothing itself: it
// hands these on, and the session shows them.
struct OperatorNotice {
    std::string text;
    MessageIcon icon = MessageIcon::None;
};

// Writes the bytes of `text` to `buffer` (capacity bytes) and their number to
// `count`. Adds "Command Hex Format Error" to `notices` (may be null) once per
// bad digit. Returns false, with count 0 and nothing written, for a refused
// text or one that does not fit; the reason is added to `notices` too.
[[nodiscard]] bool StrToBuf(std::string_view text, std::uint8_t* buffer, std::size_t capacity,
                            std::uint8_t& count, std::vector<OperatorNotice>* notices);

// Display form of bytes, with no line breaks added.
std::string DisplayForm(std::string_view bytes);
// Hex form: every byte as "\XX".
std::string HexForm(std::string_view bytes);
// Display form for the operator's eye: a CR LF follows each "\0D".
std::string HexStrToCharStr(const std::uint8_t* bytes, std::size_t n);
std::string HexStrToCharStr(std::string_view bytes);

// Command text that denotes exactly `bytes` (the inverse of ParseCommandText):
// printable bytes stand for themselves, backslash and others become "\XX".
std::string ToCommandText(std::string_view bytes);

// Number-base conversions on digit texts.
std::string ConvertDecimalToBinary(std::string_view decimal, int groupWidth);
std::string ConvertBinaryToDecimal(std::string_view binary);
std::string ConvertHexadecimalToBinary(std::string_view hex);
std::string ConvertHexadecimalToDecimal(std::string_view hex);
// Pads `binary` in place with leading zeros to a multiple of four digits.
std::string ConvertBinaryToHexadecimal(std::string& binary);

// Helpers shared with callers that build commands.
int HexDigitValue(char c);              // 0-15, 0 for anything else
bool IsHexDigitChar(char c);            // "0"-"9", "A"-"F", "a"-"f"
std::string ValueToHexDigit(int value); // "0"-"F", empty outside 0-15
std::string HexByte(unsigned value);    // two upper-case digits: 210 -> "D2"
std::string BitsToHexDigit(std::string_view bits, bool readAsHexDigits);

} // namespace msrw
