// Cost per input character of the notation conversions at growing text
// lengths: a flat column means the conversion is linear.

#include "link/Notation.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

volatile std::size_t g_sink = 0; // keeps the results alive

// Nanoseconds per input character: the fastest of several rounds (at least
// five, and at least 50 ms in all), since other work on the machine only ever
// adds time.
double NanosPerChar(std::size_t length, const std::function<std::size_t()>& work) {
    constexpr auto kMinimum = std::chrono::milliseconds(50);
    auto fastest = Clock::duration::max();
    auto total = Clock::duration::zero();
    for (int rounds = 0; rounds < 5 || total < kMinimum; ++rounds) {
        const auto start = Clock::now();
        g_sink = g_sink + work();
        const auto took = Clock::now() - start;
        fastest = std::min(fastest, took);
        total += took;
    }
    const double ns = std::chrono::duration<double, std::nano>(fastest).count();
    return ns / static_cast<double>(length);
}

// Repeats `unit` up to `length` characters (whole units only).
std::string Repeat(const std::string& unit, std::size_t length) {
    std::string out;
    out.reserve(length);
    while (out.size() + unit.size() <= length)
        out += unit;
    return out;
}

std::string MixedBytes(std::size_t length) {
    std::string out(length, '\0');
    for (std::size_t i = 0; i < length; ++i)
        out[i] = static_cast<char>((i * 37) & 0xFF);
    return out;
}

// Command texts of at most 200 characters, cut between escapes, as a sender
// would parse them one command at a time.
std::vector<std::string> CommandChunks(const std::string& text, std::size_t unitLength) {
    const std::size_t chunk = 200 / unitLength * unitLength;
    std::vector<std::string> out;
    for (std::size_t at = 0; at < text.size(); at += chunk)
        out.push_back(text.substr(at, chunk));
    return out;
}

struct Row {
    const char* name;
    std::function<double(std::size_t)> perChar;
};

} // namespace

int main() {
    using namespace msrw;
    const std::string unit = "AB\\1Cz"; // 6 characters, 4 bytes
    const std::vector<Row> rows = {
        {"ParseCommandText, whole text",
         [&](std::size_t n) {
             const std::string text = Repeat(unit, n);
             return NanosPerChar(text.size(), [&] { return ParseCommandText(text).bytes.size(); });
         }},
        {"ParseCommandText, 200-char commands",
         [&](std::size_t n) {
             const std::string text = Repeat(unit, n);
             const std::vector<std::string> chunks = CommandChunks(text, unit.size());
             return NanosPerChar(text.size(), [&] {
                 std::size_t total = 0;
                 for (const std::string& c : chunks)
                     total += ParseCommandText(c).bytes.size();
                 return total;
             });
         }},
        {"DisplayForm",
         [](std::size_t n) {
             const std::string bytes = MixedBytes(n);
             return NanosPerChar(n, [&] { return DisplayForm(bytes).size(); });
         }},
        {"HexForm",
         [](std::size_t n) {
             const std::string bytes = MixedBytes(n);
             return NanosPerChar(n, [&] { return HexForm(bytes).size(); });
         }},
        {"ConvertHexadecimalToBinary",
         [](std::size_t n) {
             const std::string hex = Repeat("0123456789ABCDEFabcdef", n);
             return NanosPerChar(hex.size(),
                                 [&] { return ConvertHexadecimalToBinary(hex).size(); });
         }},
        {"ConvertBinaryToHexadecimal",
         [](std::size_t n) {
             // One digit short of a multiple of four, so the padding runs too.
             const std::string binary = Repeat("1011", n).substr(1);
             return NanosPerChar(binary.size(), [&] {
                 std::string copy = binary;
                 return ConvertBinaryToHexadecimal(copy).size();
             });
         }},
    };
    const std::size_t lengths[] = {1'000, 10'000, 100'000, 1'000'000};

    std::printf("ns per input character (fastest round)\n%-38s", "conversion");
    for (const std::size_t n : lengths)
        std::printf("%12zu", n);
    std::printf("\n");
    for (const Row& row : rows) {
        std::printf("%-38s", row.name);
        for (const std::size_t n : lengths)
            std::printf("%12.2f", row.perChar(n));
        std::printf("\n");
    }
    return g_sink == 0 ? 1 : 0;
}
