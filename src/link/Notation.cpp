#include "link/Notation.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace msrw {
namespace {

constexpr char kDigits[] = "0123456789ABCDEF";

// Upper-case digits only, as the notation requires; anything else is flagged.
int HexCharToNibble(char c, bool& bad) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    bad = true;
    return 0;
}

bool IsPrintable(unsigned char b) {
    return b >= 0x20 && b <= 0x7E;
}

void AppendHexEscape(std::string& out, unsigned char b) {
    out += '\\';
    out += kDigits[b >> 4];
    out += kDigits[b & 0x0F];
}

std::string FormatWhole(double value) {
    if (!(value > 0))
        return "0";
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.0f", value);
    return buf;
}

} // namespace

CommandBytes ParseCommandText(std::string_view text) {
    CommandBytes out;
    out.bytes.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        const char c = text[pos];
        if (c != '\\') {
            out.bytes += c;
            pos += 1;
        } else if (pos + 1 < text.size() && text[pos + 1] == '[') {
            out.bytes += '\x5B';
            pos += 2;
        } else if (pos + 2 < text.size()) {
            bool bad1 = false;
            bool bad2 = false;
            const int hi = HexCharToNibble(text[pos + 1], bad1);
            const int lo = HexCharToNibble(text[pos + 2], bad2);
            out.badHexDigits += int(bad1) + int(bad2);
            out.bytes += static_cast<char>(hi * 16 + lo);
            pos += 3;
        } else {
            out.fault = CommandTextFault::EndsInsideEscape;
            break;
        }
        if (out.bytes.size() > kMaxCommandBytes) {
            out.fault = CommandTextFault::TooLong;
            break;
        }
    }
    if (!out.usable())
        out.bytes.clear();
    return out;
}

std::string CommandTextFaultMessage(const CommandBytes& parsed) {
    switch (parsed.fault) {
    case CommandTextFault::EndsInsideEscape:
        return "The command text ends inside an escape: a backslash must be followed by two "
               "hexadecimal digits. Nothing was sent.";
    case CommandTextFault::TooLong:
        return "The command text yields more than 255 bytes. Nothing was sent.";
    case CommandTextFault::None:
        break;
    }
    return {};
}

bool StrToBuf(std::string_view text, std::uint8_t* buffer, std::size_t capacity,
              std::uint8_t& count, std::vector<OperatorNotice>* notices) {
    count = 0;
    const CommandBytes parsed = ParseCommandText(text);
    if (notices) {
        for (int i = 0; i < parsed.badHexDigits; ++i)
            notices->push_back({kHexFormatErrorMessage});
    }
    std::string refusal = CommandTextFaultMessage(parsed);
    if (refusal.empty() && parsed.bytes.size() > capacity)
        refusal = "The command does not fit the buffer given for it. Nothing was sent.";
    if (!refusal.empty()) {
        if (notices)
            notices->push_back({refusal, MessageIcon::Critical});
        return false;
    }
    if (!parsed.bytes.empty())
        std::memcpy(buffer, parsed.bytes.data(), parsed.bytes.size());
    count = static_cast<std::uint8_t>(parsed.bytes.size());
    return true;
}

namespace {

// The display form; `breakLines` adds a CR LF after each "\0D" for the eye.
std::string Display(std::string_view bytes, bool breakLines) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b == 0x5C) {
            out += "\\\\";
        } else if (IsPrintable(b)) {
            out += ch;
        } else {
            AppendHexEscape(out, b);
            if (breakLines && b == 0x0D)
                out += "\r\n";
        }
    }
    return out;
}

} // namespace

std::string DisplayForm(std::string_view bytes) {
    return Display(bytes, false);
}

std::string HexForm(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 3);
    for (const char ch : bytes)
        AppendHexEscape(out, static_cast<unsigned char>(ch));
    return out;
}

std::string HexStrToCharStr(std::string_view bytes) {
    return Display(bytes, true);
}

std::string HexStrToCharStr(const std::uint8_t* bytes, std::size_t n) {
    return HexStrToCharStr(std::string_view(reinterpret_cast<const char*>(bytes), n));
}

std::string ToCommandText(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (IsPrintable(b) && b != 0x5C)
            out += ch;
        else
            AppendHexEscape(out, b);
    }
    return out;
}

bool IsHexDigitChar(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return 0;
}

std::string ValueToHexDigit(int value) {
    if (value < 0 || value > 15)
        return {};
    return std::string(1, kDigits[value]);
}

std::string HexByte(unsigned value) {
    std::string out(2, '0');
    out[0] = kDigits[(value >> 4) & 0x0F];
    out[1] = kDigits[value & 0x0F];
    return out;
}

std::string BitsToHexDigit(std::string_view bits, bool readAsHexDigits) {
    double sum = 0;
    for (const char c : bits) {
        const int v = readAsHexDigits ? HexDigitValue(c) : (c >= '0' && c <= '9' ? c - '0' : 0);
        sum = sum * 2 + v;
    }
    return ValueToHexDigit(static_cast<int>(std::lround(sum)));
}

std::string ConvertDecimalToBinary(std::string_view decimal, int groupWidth) {
    // Leading decimal digits give the value; anything after them is ignored.
    // Values past 64 bits are outside what callers pass; they saturate
    // rather than wrap to a smaller number.
    constexpr unsigned long long kMax = ~0ULL;
    unsigned long long value = 0;
    for (const char c : decimal) {
        if (c < '0' || c > '9')
            break;
        const unsigned digit = unsigned(c - '0');
        value = value > (kMax - digit) / 10 ? kMax : value * 10 + digit;
    }
    std::string bits;
    do {
        bits += char('0' + (value & 1));
        value >>= 1;
    } while (value > 0);
    std::reverse(bits.begin(), bits.end());
    std::size_t pad = 0;
    if (groupWidth == 3)
        pad = (3 - bits.size() % 3) % 3;
    else if (groupWidth == 4)
        pad = (4 - bits.size() % 4) % 4;
    return std::string(pad, '0') + bits;
}

std::string ConvertBinaryToDecimal(std::string_view binary) {
    double sum = 0;
    for (const char c : binary)
        sum = sum * 2 + ((c >= '0' && c <= '9') ? c - '0' : 0);
    return FormatWhole(sum);
}

std::string ConvertHexadecimalToBinary(std::string_view hex) {
    std::string out;
    out.reserve(hex.size() * 4);
    for (const char c : hex) {
        const int v = HexDigitValue(c);
        for (int bit = 3; bit >= 0; --bit)
            out += char('0' + ((v >> bit) & 1));
    }
    return out;
}

std::string ConvertHexadecimalToDecimal(std::string_view hex) {
    double sum = 0;
    for (const char c : hex)
        sum = sum * 16 + HexDigitValue(c);
    return FormatWhole(sum);
}

std::string ConvertBinaryToHexadecimal(std::string& binary) {
    const std::size_t pad = (4 - binary.size() % 4) % 4;
    binary.insert(0, pad, '0');
    std::string out;
    out.reserve(binary.size() / 4);
    for (std::size_t i = 0; i < binary.size(); i += 4)
        out += BitsToHexDigit(std::string_view(binary).substr(i, 4), true);
    return out;
}

} // namespace msrw
