#include "files/CardDataFile.h"

#include <algorithm>
#include <charconv>

namespace msrw::cardfile {
namespace {

constexpr int kFirstParityLine = 2;
constexpr int kFirstBpcLine = 5;
constexpr int kFirstStartLine = 8;
constexpr int kFirstEndLine = 11;
constexpr int kFirstBpiLine = 14;
constexpr std::size_t kShortDataIndex = 15;
constexpr std::size_t kDataIndex = 18;

struct KindInfo {
    Kind kind;
    const char* cardType;
    const char* name;
    const char* cardTypeLine;
};

constexpr std::array<KindInfo, 5> kKinds{{
    {Kind::Iso, "ISO", "ISO", "CARDTYPE =0"},
    {Kind::Aamva, "AAMVA", "AMV", "CARDTYPE =1"},
    {Kind::User, "USER", "USE", "CARDTYPE =3"},
    {Kind::Raw, "RAW", "RAW", "CARDTYPE =4"},
    {Kind::PassBook, "PASS BOOK", "PAS", "CARDTYPE =5"},
}};

const KindInfo& InfoOf(Kind kind) {
    return *std::find_if(kKinds.begin(), kKinds.end(),
                         [kind](const KindInfo& k) { return k.kind == kind; });
}

std::string Track(int n) {
    return std::to_string(n);
}

std::optional<int> Number(std::string_view text) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || text.empty())
        return std::nullopt;
    return value;
}

// The text of a header line from a 1-based character position on.
std::string_view From(const Header& header, int line, std::size_t firstChar) {
    if (line < 0 || std::size_t(line) >= header.lines.size())
        return {};
    const std::string_view text = header.lines[std::size_t(line)];
    return text.size() < firstChar ? std::string_view() : text.substr(firstChar - 1);
}

bool LooksBinary(const std::string& line) {
    return std::any_of(line.begin(), line.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u < 0x20 && c != '\t';
    });
}

// The characters from `first` to `last`, every `step`-th one; the blank as "~".
std::string Range(char first, char last, int step) {
    std::string out;
    for (int c = first; c <= last; c += step)
        out += c == ' ' ? '~' : char(c);
    return out;
}

bool Wide(int bitsPerCharacter) {
    return bitsPerCharacter == 7 || bitsPerCharacter == 6;
}

} // namespace

std::optional<Kind> KindFor(std::string_view cardType) {
    for (const KindInfo& k : kKinds)
        if (cardType == k.cardType)
            return k.kind;
    return std::nullopt;
}

std::string Extension(Kind kind) {
    return std::string(".") + InfoOf(kind).name;
}

std::string DialogFilter(Kind kind) {
    const std::string name = InfoOf(kind).name;
    return name + "(*." + name + ")|*." + name;
}

std::string WithExtension(std::string name, Kind kind) {
    const std::string extension = Extension(kind);
    if (name.find(extension) == std::string::npos)
        name += extension;
    return name;
}

std::vector<std::string> HeaderLines(Kind kind, const HeaderValues& v) {
    std::vector<std::string> lines{kSetupLine, InfoOf(kind).cardTypeLine};
    const bool fixed = kind == Kind::Iso || kind == Kind::Aamva;
    const int track3Bits = kind == Kind::Aamva ? 7 : 5;
    const std::array<std::string, 3> fixedBpc{"7", "5", Track(track3Bits)};
    const std::array<int, 3> fixedStart{5, 11, kind == Kind::Aamva ? 5 : 11};
    const std::array<int, 3> fixedEnd{31, 15, kind == Kind::Aamva ? 31 : 15};
    const bool passBook = kind == Kind::PassBook;
    for (int n = 1; n <= 3; ++n)
        lines.push_back("PARITY" + Track(n) + " =" +
                        std::to_string(fixed ? 1 : v.parity[std::size_t(n - 1)]));
    for (int n = 1; n <= 3; ++n) {
        const std::size_t i = std::size_t(n - 1);
        lines.push_back(passBook
                            ? "SYNC" + Track(n) + "  =" + v.bpcOrSync[i]
                            : "BPC" + Track(n) + " =" + (fixed ? fixedBpc[i] : v.bpcOrSync[i]));
    }
    for (int n = 1; n <= 3; ++n)
        lines.push_back("SS" + Track(n) + " =" +
                        std::to_string(fixed ? fixedStart[std::size_t(n - 1)]
                                             : v.startCode[std::size_t(n - 1)]));
    for (int n = 1; n <= 3; ++n)
        lines.push_back(
            "ES" + Track(n) + " =" +
            std::to_string(fixed ? fixedEnd[std::size_t(n - 1)] : v.endCode[std::size_t(n - 1)]));
    for (int n = 1; n <= 3; ++n)
        lines.push_back((passBook ? std::string("BPI =") : "BPI" + Track(n) + " =") +
                        v.bpi[std::size_t(n - 1)]);
    lines.emplace_back();
    lines.emplace_back(kDataLine);
    return lines;
}

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& line : lines)
        out += line + "\r\n";
    return out;
}

std::string RecordText(const std::array<std::string, 3>& tracks) {
    std::string out;
    for (std::size_t i = 0; i < tracks.size(); ++i)
        if (!tracks[i].empty())
            out += char(i + 1) + tracks[i] + "\r\n";
    return out + "\r\n";
}

FileLine SplitFileLine(std::string_view line) {
    if (!line.empty() && line.back() == '\n')
        line.remove_suffix(1);
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    if (!line.empty() && line.front() >= 1 && line.front() <= 3)
        return {line.front(), std::string(line.substr(1))};
    return {0, std::string(line)};
}

bool Header::hasBpiLines() const {
    return lines.size() > std::size_t(kFirstBpiLine + 2) &&
           std::all_of(lines.begin() + kFirstBpiLine, lines.begin() + kFirstBpiLine + 3,
                       [](const std::string& l) { return !l.empty(); });
}

HeaderCheck CheckHeader(const std::vector<std::string>& lines) {
    if (lines.empty())
        return {std::nullopt, {1, "the file is empty"}};
    if (lines.front() != kSetupLine)
        return {std::nullopt, {1, "a card data file begins with \"[SETUP]\""}};
    const std::size_t end = std::min<std::size_t>(lines.size(), kHeaderLines);
    for (std::size_t i = 0; i < end; ++i) {
        if (LooksBinary(lines[i]))
            return {std::nullopt, {int(i + 1), "the header holds binary data"}};
        if (lines[i] == kDataLine && (i == kShortDataIndex || i == kDataIndex))
            return {Header{{lines.begin(), lines.begin() + std::ptrdiff_t(i + 1)}}, {}};
    }
    if (lines.size() < kHeaderLines)
        return {std::nullopt, {int(lines.size()), "the header ends before its \"[DATA]\" line"}};
    return {std::nullopt, {kHeaderLines, "\"[DATA]\" is missing where the header ends"}};
}

std::optional<int> ParityPosition(const Header& header, int track) {
    const std::optional<int> p = Number(From(header, kFirstParityLine + track - 1, 10));
    return p && *p >= 0 && *p <= 2 ? p : std::nullopt;
}

std::optional<int> BitsPerCharacter(const Header& header, int track) {
    const std::optional<int> b = Number(From(header, kFirstBpcLine + track - 1, 7));
    return b && *b >= 4 && *b <= 7 ? b : std::nullopt;
}

std::optional<std::string> SyncZeros(const Header& header, int track) {
    const std::string_view z = From(header, kFirstBpcLine + track - 1, 9);
    return Number(z) ? std::optional<std::string>(std::string(z)) : std::nullopt;
}

std::optional<int> BpiPosition(const Header& header, int track) {
    const int line = kFirstBpiLine + track - 1;
    if (std::size_t(line) >= header.lines.size())
        return std::nullopt;
    const std::string& text = header.lines[std::size_t(line)];
    const std::string key = "BPI" + Track(track) + " =";
    if (text == key + "210")
        return 0;
    if (text == key + "75")
        return 1;
    return std::nullopt;
}

std::string SentinelSet(Sentinel which, int bitsPerCharacter, int track) {
    if (Wide(bitsPerCharacter))
        return which == Sentinel::Start ? Range('!', '_', 2) : Range(' ', '_', 1);
    if (which == Sentinel::End)
        return Range('0', '?', 1);
    return track == 2 ? "13579;<=?" : "13579;=?";
}

std::string PassBookSentinelSet(Sentinel which) {
    return which == Sentinel::Start ? ";=" : "<?";
}

int SentinelCode(char sentinel, int bitsPerCharacter) {
    const char c = sentinel == '~' ? ' ' : sentinel;
    return int(static_cast<unsigned char>(c)) - (Wide(bitsPerCharacter) ? 32 : 48);
}

std::optional<char> SentinelFromValue(std::string_view value, const std::string& set,
                                      int bitsPerCharacter) {
    char c = 0;
    if (const std::optional<int> code = Number(value)) {
        const int base = Wide(bitsPerCharacter) ? 32 : 48;
        if (*code < 0 || *code + base > 127)
            return std::nullopt;
        c = char(*code + base);
        if (c == ' ')
            c = '~';
    } else if (value.size() == 1) {
        c = value.front() == '`' ? '\'' : value.front();
    } else {
        return std::nullopt;
    }
    return set.find(c) == std::string::npos ? std::nullopt : std::optional<char>(c);
}

std::string SentinelValue(const Header& header, Sentinel which, int track) {
    const int first = which == Sentinel::Start ? kFirstStartLine : kFirstEndLine;
    return std::string(From(header, first + track - 1, 6));
}

} // namespace msrw::cardfile
