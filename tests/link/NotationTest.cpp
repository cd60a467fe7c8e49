#include "link/Notation.h"
#include "support/RecordingDialogs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

namespace msrw {
namespace {

using namespace std::string_literals;

using test::RecordingDialogs;

int CountOf(const std::vector<OperatorNotice>& notices, const std::string& text) {
    return static_cast<int>(std::count_if(notices.begin(), notices.end(),
                                          [&](const OperatorNotice& n) { return n.text == text; }));
}

std::string AllByteValues(int from, int to) {
    std::string out;
    for (int b = from; b < to; ++b)
        out += static_cast<char>(b);
    return out;
}

TEST(Notation, CommandTextBytes) {
    struct Case {
        const char* text;
        std::string bytes;
        int badDigits;
    };
    const std::vector<Case> cases = {
        {"\\1Bw\\1Bs", "\x1Bw\x1Bs", 0},
        {"", "", 0},
        {"RR\\0D", "RR\r", 0},
        {"\\[", "[", 0},
        {"a\\[b", "a[b", 0},
        {"\\5C", "\\", 0},
        {"\\AA\\00\\FF", "\xAA\x00\xFF"s, 0},
        {"\\1b", "\x10", 1}, // lower case is not a digit of the notation
        {"\\gg", "\x00"s, 2},
        {"\\1b\\1b", "\x10\x10", 2},
        {"\\[\\41", "[A", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const CommandBytes parsed = ParseCommandText(c.text);
        EXPECT_TRUE(parsed.usable());
        EXPECT_EQ(parsed.bytes, c.bytes);
        EXPECT_EQ(parsed.badHexDigits, c.badDigits);
    }
}

TEST(Notation, TextEndingInsideAnEscapeIsRefused) {
    for (const char* text : {"\\", "\\1", "ab\\", "ab\\1", "\\1B\\", "\\1B\\0"}) {
        SCOPED_TRACE(text);
        const CommandBytes parsed = ParseCommandText(text);
        EXPECT_EQ(parsed.fault, CommandTextFault::EndsInsideEscape);
        EXPECT_TRUE(parsed.bytes.empty());
        EXPECT_FALSE(CommandTextFaultMessage(parsed).empty());
    }
}

TEST(Notation, AtMost255BytesPerCommand) {
    struct Case {
        std::string text;
        bool usable;
    };
    std::string escapes255;
    for (int i = 0; i < 255; ++i)
        escapes255 += "\\41";
    const std::vector<Case> cases = {
        {std::string(255, 'A'), true},
        {std::string(256, 'A'), false},
        {escapes255, true},
        {escapes255 + "\\41", false},
        {std::string(254, 'A') + "\\[", true},
        {std::string(255, 'A') + "\\[", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.size());
        const CommandBytes parsed = ParseCommandText(c.text);
        EXPECT_EQ(parsed.usable(), c.usable);
        EXPECT_EQ(parsed.bytes.size(), c.usable ? 255u : 0u);
        EXPECT_EQ(parsed.fault, c.usable ? CommandTextFault::None : CommandTextFault::TooLong);
    }
}

TEST(Notation, StrToBufStaysWithinCapacity) {
    struct Case {
        const char* text;
        std::size_t capacity;
        bool accepted;
    };
    const std::vector<Case> cases = {
        {"ABCDE", 5, true},         {"ABCDEF", 5, false}, {"\\41\\42\\43", 3, true},
        {"\\41\\42\\43", 2, false}, {"", 0, true},        {"A", 0, false},
        {"\\1", 8, false}, // refused before the capacity matters
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        constexpr std::uint8_t kGuard = 0xEE;
        std::array<std::uint8_t, 16> buffer;
        buffer.fill(kGuard);
        std::uint8_t count = 99;
        std::vector<OperatorNotice> notices;
        EXPECT_EQ(StrToBuf(c.text, buffer.data(), c.capacity, count, &notices), c.accepted);
        const std::size_t written = c.accepted ? count : 0;
        EXPECT_EQ(count, written);
        for (std::size_t i = written; i < buffer.size(); ++i)
            EXPECT_EQ(buffer[i], kGuard) << "byte " << i;
        // A refusal is explained, once; an accepted text needs no message.
        EXPECT_EQ(notices.size(), c.accepted ? 0u : 1u);
    }
    std::array<std::uint8_t, 4> buffer{};
    std::uint8_t count = 0;
    ASSERT_TRUE(StrToBuf("\\1Bw\\1Bs", buffer.data(), buffer.size(), count, nullptr));
    EXPECT_EQ(count, 4);
    EXPECT_EQ(buffer, (std::array<std::uint8_t, 4>{0x1B, 0x77, 0x1B, 0x73}));
}

TEST(Notation, HexFormatMessageOncePerBadDigit) {
    struct Case {
        const char* text;
        int messages;
        std::uint8_t firstByte;
    };
    const std::vector<Case> cases = {
        {"\\1b", 1, 0x10}, {"\\gg", 2, 0x00}, {"\\1b\\a1", 2, 0x10},
        {"\\1B", 0, 0x1B}, {"\\[", 0, 0x5B},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::vector<OperatorNotice> notices;
        std::array<std::uint8_t, 8> buffer{};
        std::uint8_t count = 0;
        EXPECT_TRUE(StrToBuf(c.text, buffer.data(), buffer.size(), count, &notices));
        EXPECT_EQ(CountOf(notices, "Command Hex Format Error"), c.messages);
        EXPECT_EQ(notices.size(), static_cast<std::size_t>(c.messages));
        EXPECT_EQ(buffer[0], c.firstByte);
    }
}

TEST(Notation, CommandTextRoundTripsEveryByteValue) {
    for (int b = 0; b < 256; ++b) {
        const std::string one(1, static_cast<char>(b));
        const std::string text = ToCommandText(one);
        EXPECT_EQ(ParseCommandText(text).bytes, one) << "byte " << b << " as " << text;
    }
    // Two halves: the whole range would exceed one command's 255 bytes.
    for (const std::string& half : {AllByteValues(0, 128), AllByteValues(128, 256)}) {
        const CommandBytes parsed = ParseCommandText(ToCommandText(half));
        EXPECT_EQ(parsed.badHexDigits, 0);
        EXPECT_EQ(parsed.bytes, half);
    }
    EXPECT_EQ(ToCommandText("\\[A\r"), "\\5C[A\\0D");
}

TEST(Notation, DisplayAndHexForms) {
    struct Case {
        std::string bytes;
        const char* display;
        const char* hex;
        const char* forTheEye;
    };
    const std::vector<Case> cases = {
        {"OK\r", "OK\\0D", "\\4F\\4B\\0D", "OK\\0D\r\n"},
        {"\\", "\\\\", "\\5C", "\\\\"},
        {"\x1By", "\\1By", "\\1B\\79", "\\1By"},
        {"\x1F\x20\x7E\x7F", "\\1F ~\\7F", "\\1F\\20\\7E\\7F", "\\1F ~\\7F"},
        {"\x00\xFF"s, "\\00\\FF", "\\00\\FF", "\\00\\FF"},
        {"a\rb\r", "a\\0Db\\0D", "\\61\\0D\\62\\0D", "a\\0D\r\nb\\0D\r\n"},
        {"", "", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.display);
        EXPECT_EQ(DisplayForm(c.bytes), c.display);
        EXPECT_EQ(HexForm(c.bytes), c.hex);
        EXPECT_EQ(HexStrToCharStr(c.bytes), c.forTheEye);
        EXPECT_EQ(
            HexStrToCharStr(reinterpret_cast<const std::uint8_t*>(c.bytes.data()), c.bytes.size()),
            c.forTheEye);
    }
}

TEST(Notation, HexByteIsTwoUpperCaseDigits) {
    const std::vector<std::pair<unsigned, const char*>> cases = {
        {210, "D2"}, {75, "4B"}, {5, "05"}, {22, "16"}, {0, "00"}, {255, "FF"}, {16, "10"}};
    for (const auto& [value, digits] : cases)
        EXPECT_EQ(HexByte(value), digits) << value;
}

TEST(Notation, NumberConversions) {
    EXPECT_EQ(ConvertDecimalToBinary("5", 4), "0101");
    EXPECT_EQ(ConvertDecimalToBinary("0", 3), "000");
    EXPECT_EQ(ConvertDecimalToBinary("6", 0), "110");
    EXPECT_EQ(ConvertDecimalToBinary("1", 3), "001");
    EXPECT_EQ(ConvertDecimalToBinary("8", 4), "1000");
    EXPECT_EQ(ConvertDecimalToBinary("16", 4), "00010000");
    EXPECT_EQ(ConvertDecimalToBinary("63", 3), "111111");
    EXPECT_EQ(ConvertDecimalToBinary("18446744073709551615", 0), std::string(64, '1'));

    EXPECT_EQ(ConvertHexadecimalToBinary("1b"), "00011011");
    EXPECT_EQ(ConvertHexadecimalToBinary("1B"), "00011011");
    EXPECT_EQ(ConvertHexadecimalToBinary("0F"), "00001111");
    EXPECT_EQ(ConvertHexadecimalToBinary(""), "");

    EXPECT_EQ(ConvertHexadecimalToDecimal("ff"), "255");
    EXPECT_EQ(ConvertHexadecimalToDecimal("G1"), "1");
    EXPECT_EQ(ConvertHexadecimalToDecimal("100"), "256");
    EXPECT_EQ(ConvertHexadecimalToDecimal(""), "0");

    EXPECT_EQ(ConvertBinaryToDecimal(""), "0");
    EXPECT_EQ(ConvertBinaryToDecimal("1111"), "15");
    EXPECT_EQ(ConvertBinaryToDecimal("10000000"), "128");
}

TEST(Notation, BinaryToHexadecimalPadsItsArgument) {
    struct Case {
        const char* binary;
        const char* padded;
        const char* hex;
    };
    const std::vector<Case> cases = {
        {"11011", "00011011", "1B"},    {"1", "0001", "1"}, {"111", "0111", "7"},
        {"11110000", "11110000", "F0"}, {"", "", ""},       {"100000000", "000100000000", "100"},
    };
    for (const Case& c : cases) {
        std::string binary = c.binary;
        EXPECT_EQ(ConvertBinaryToHexadecimal(binary), c.hex) << c.binary;
        EXPECT_EQ(binary, c.padded);
    }
}

TEST(Notation, DigitHelpers) {
    EXPECT_EQ(HexDigitValue('a'), 10);
    EXPECT_EQ(HexDigitValue('F'), 15);
    EXPECT_EQ(HexDigitValue('9'), 9);
    EXPECT_EQ(HexDigitValue('G'), 0);
    EXPECT_EQ(ValueToHexDigit(15), "F");
    EXPECT_EQ(ValueToHexDigit(0), "0");
    EXPECT_EQ(ValueToHexDigit(16), "");
    EXPECT_EQ(ValueToHexDigit(-1), "");
    EXPECT_EQ(BitsToHexDigit("1011", true), "B");
    EXPECT_EQ(BitsToHexDigit("0110", false), "6");
    EXPECT_EQ(BitsToHexDigit("10000", false), ""); // 16 is no digit
}

// A larger decimal must never come out as a smaller binary number: beyond
// 64 bits the result may saturate or be exact, but must not wrap around.
TEST(Notation, DecimalToBinaryDoesNotWrapPastSixtyFourBits) {
    const auto binaryLess = [](const std::string& a, const std::string& b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    };
    const std::vector<std::pair<const char*, const char*>> increasing = {
        {"18446744073709551615", "18446744073709551616"},
        {"20000000000000000000", "21000000000000000000"},
        {"99999999999999999999", "100000000000000000000"},
    };
    for (const auto& [smaller, larger] : increasing) {
        const std::string a = ConvertDecimalToBinary(smaller, 0);
        const std::string b = ConvertDecimalToBinary(larger, 0);
        EXPECT_FALSE(binaryLess(b, a))
            << larger << " gave " << b << ", below " << smaller << " = " << a;
    }
}

} // namespace
} // namespace msrw
