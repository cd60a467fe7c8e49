#pragma once
// Card data files: a 19-line "[SETUP]" header written when the file is made,
// then one record a card (a line per track, its first byte naming the track,
// then an empty line). Lines end with CR LF. Pure: text in, text out.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace msrw::cardfile {

enum class Kind { Iso, Aamva, User, Raw, PassBook };

// The kind for a card type; none for the types without a header (CDL, ...).
std::optional<Kind> KindFor(std::string_view cardType);
std::string Extension(Kind kind);    // ".ISO", ".AMV", ".USE", ".RAW", ".PAS"
std::string DialogFilter(Kind kind); // "ISO(*.ISO)|*.ISO" and the like

// The name with the kind's extension appended, unless it holds it already
// anywhere (exact case).
std::string WithExtension(std::string name, Kind kind);

inline constexpr int kHeaderLines = 19;
inline constexpr int kShortHeaderLines = 16; // "[DATA]" at index 15: no BPI lines
inline constexpr const char* kSetupLine = "[SETUP]";
inline constexpr const char* kDataLine = "[DATA]";

// What a USER, RAW or PASS BOOK header records of the set-up, per track.
struct HeaderValues {
    std::array<int, 3> parity{1, 1, 1};                  // list position: 0 None, 1 Odd, 2 Even
    std::array<std::string, 3> bpcOrSync{"7", "5", "5"}; // BPC text; pass book: sync zeros
    std::array<int, 3> startCode{5, 11, 11};             // the sentinel's code at its track's width
    std::array<int, 3> endCode{31, 15, 15};
    std::array<std::string, 3> bpi{"210", "210", "210"};
};

// The 19 header lines of a kind (line 17 empty). ISO and AAMVA take only the
// BPI values; their other lines are fixed.
std::vector<std::string> HeaderLines(Kind kind, const HeaderValues& values);
// Lines joined, each ended by CR LF.
std::string JoinLines(const std::vector<std::string>& lines);

// One record: a line per non-empty track, the control byte 1-3 first, then
// the empty line.
std::string RecordText(const std::array<std::string, 3>& tracks);

// One line of a record: the track its control byte names (0: none, the line
// as read) and the text after that byte. A trailing CR LF is not part of it.
struct FileLine {
    int track = 0;
    std::string text;
};
FileLine SplitFileLine(std::string_view line);

// The header as Write From File uses it: lines by position, 0 to 18 (16 for
// a short header). Lines 0 and 1 are not looked at.
struct Header {
    std::vector<std::string> lines;
    bool hasBpiLines() const;
};

// Why a header cannot be used, and the line (from 1) where that was seen.
struct HeaderProblem {
    int line = 0;
    std::string reason;
};

// Checks a header read line by line: "[SETUP]" first, "[DATA]" at index 15
// or 18, nothing binary. A file that ends before "[DATA]" is truncated.
struct HeaderCheck {
    std::optional<Header> header;
    HeaderProblem problem;
};
HeaderCheck CheckHeader(const std::vector<std::string>& lines);

// Parity position (line 2-4: text from the 10th character), bits per
// character (5-7: from the 7th), sync zeros (5-7: from the 9th) and BPI
// (14-16: exactly "BPI1 =210" or "BPI1 =75"), as Write From File applies them.
std::optional<int> ParityPosition(const Header& header, int track);
std::optional<int> BitsPerCharacter(const Header& header, int track);
std::optional<std::string> SyncZeros(const Header& header, int track);
std::optional<int> BpiPosition(const Header& header, int track); // 0: 210, 1: 75

// Sentinels. The start-sentinel sets hold the odd codes, the end-sentinel
// sets every code of the track's width.
enum class Sentinel { Start, End };
// The characters a sentinel may be at a width (7, 6, 5 or 4 bits) on a track
// ("~" for the blank); pass-book tracks have their own two each.
std::string SentinelSet(Sentinel which, int bitsPerCharacter, int track);
std::string PassBookSentinelSet(Sentinel which);
// The code a sentinel character has at a width (a "~" is the blank): the
// character's value less 32 on 7- and 6-bit tracks, less 48 on 5- and 4-bit
// ones. Pass-book tracks are 5 bits.
int SentinelCode(char sentinel, int bitsPerCharacter);
// A header's sentinel value (the text after "SS1 =") as the character it
// names in `set`: decimal digits are the code Read To File wrote; any other
// single character is the sentinel itself ("~" the blank, "`" the
// apostrophe). nullopt when the value names nothing in the set.
std::optional<char> SentinelFromValue(std::string_view value, const std::string& set,
                                      int bitsPerCharacter);
// The header line of a sentinel (8-10 start, 11-13 end) after its key.
std::string SentinelValue(const Header& header, Sentinel which, int track);

} // namespace msrw::cardfile
