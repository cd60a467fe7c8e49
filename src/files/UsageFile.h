#pragma once
// The database usage file: which card type and format the database's cards
// get, and how each track is built from the fields of a record. Pure.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace msrw::usage {

inline constexpr std::size_t kMaxCountedLines = 300;
inline constexpr const char* kWrongFormat = "Wrong data format! Please check the database usage "
                                            "file (.txt) and database file (.csv).";

// The lines that count, numbered from 1 by their index + 1, and the number
// of the file line (from 1) each came from.
struct CountedLines {
    std::vector<std::string> lines;
    std::vector<int> fileLine;
    bool passBook = false;
};

// A whole file's text as its lines, without their line ends (as a file read
// line by line gives them: a last line end starts no line).
std::vector<std::string> SplitLines(std::string_view text);

// Drops comments ("//..." and "[S..."), keeps the commented keys, stops at
// "//end" or after 300 counted lines. A trailing CR is not part of a line.
CountedLines CollectLines(const std::vector<std::string>& fileLines);

enum class CardKind { Iso, Aamva, User, PassBook };

// Card-type list positions (ISO 0, AAMVA 1, USER 2, PASS BOOK 4).
int CardTypePosition(CardKind kind);
const char* CardTypeName(CardKind kind);

// What the usage file asks for, as list positions of the card format set-up.
struct Setup {
    CardKind kind = CardKind::Iso;
    std::array<int, 3> bpi{};       // 0: 210, 1: 75
    std::array<int, 3> bpc{};       // USER: 0 "7", 1 "6", 2 "5", 3 "4"
    std::array<int, 3> syncZeros{}; // pass book: 1 "25", 2 "60"
    std::array<int, 3> parity{1, 1, 1};
    std::array<char, 3> startSentinel{};  // USER: the character ("~" the blank)
    std::array<char, 3> endSentinel{};    // USER: the character
    std::array<int, 3> passBookStart{};   // pass book: 0 ";", 1 "="
    std::array<int, 3> passBookEnd{};     // pass book: 0 "<", 1 "?"
    std::array<std::string, 3> templates; // after "Trk1:" ...
};

// Why a usage file cannot be used: the operator's message and where.
struct Problem {
    std::string message; // kWrongFormat or "Wrong parity setting for track N."
    int fileLine = 0;    // the file line (from 1); 0 when no line is to blame
    std::string detail;
};

struct Parsed {
    std::optional<Setup> setup;
    Problem problem;
};
Parsed ParseUsage(const CountedLines& counted);

// A template's fields: "f" then "a".."z" stands for field 1..26.
// A template whose "f" is followed by anything else is refused.
bool TemplateWellFormed(std::string_view text);
// The track text of a template for a record's fields; nullopt (with the
// field named in `missingField`) when a field it names is empty or absent.
std::optional<std::string> FillTemplate(std::string_view text,
                                        const std::vector<std::string>& fields, int& missingField);

} // namespace msrw::usage
