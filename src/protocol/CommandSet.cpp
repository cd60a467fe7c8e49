#include "protocol/CommandSet.h"

#include "link/Notation.h"

#include <algorithm>

namespace msrw::cmd {
namespace {

constexpr std::string_view kEsc = "\\1B";

// Lead-zero-bias patterns: decoded writes of tracks 1-3 and of tracks 1 and 2.
constexpr std::string_view kPatternTrack1 =
    "\\1B\\01TRACK1767676070707767676070707767676070707767676070707767676070707767676070715";
constexpr std::string_view kPatternTrack2 = "\\1B\\022121212121767676070707767676762121212";
constexpr std::string_view kPatternTrack3 =
    "\\1B\\0333333333337676760707077676763333333333767676070707767676333333333376767607070776767633"
    "333333337676760707";

struct ModelEntry {
    TrackModel model;
    std::string_view name;
};

constexpr std::array<ModelEntry, 4> kModels{{
    {TrackModel::Track2, "Track 2"},
    {TrackModel::Tracks2And3, "Track 2 and Track 3"},
    {TrackModel::Tracks1To3, "Track 1, 2 and 3"},
    {TrackModel::Tracks1And2, "Track 1 and Track 2"},
}};

struct CardTypeEntry {
    std::string_view cardType;
    std::string_view velkWritePrefix;
};

constexpr std::array<CardTypeEntry, 5> kVelkCardTypes{{
    {"ISO", "WI "},
    {"AAMVA", "WA "},
    {"CDL", "WC "},
    {"USER", "WU "},
    {"RAW", "WR "},
}};

bool FitsByte(int value) {
    return value >= 0 && value <= 0xFF;
}
bool NamesTracks(int trackMask) {
    return trackMask >= 1 && trackMask <= 7;
}
bool ReadsDecoded(std::string_view cardType) {
    return cardType == "ISO" || cardType == "AAMVA" || cardType == "CDL";
}

// "\" followed by two upper-case hexadecimal digits: one byte of the command.
std::string ByteEscape(int value) {
    return "\\" + HexByte(static_cast<unsigned>(value));
}

std::string Escape(char letter) {
    return std::string(kEsc) + letter;
}

std::string Framed(std::string_view head, std::span<const std::string> blocks,
                   std::string_view tail) {
    std::string out(head);
    for (const std::string& block : blocks)
        out += block;
    out += tail;
    return out;
}

std::string PatternFor(bool withTrack3) {
    std::string out = "\\1Bw\\1Bs";
    out += kPatternTrack1;
    out += kPatternTrack2;
    if (withTrack3)
        out += kPatternTrack3;
    return out + "?\\1C";
}

} // namespace

std::string_view TrackModelName(TrackModel model) {
    for (const ModelEntry& e : kModels)
        if (e.model == model)
            return e.name;
    return {};
}

std::optional<TrackModel> TrackModelFromName(std::string_view name) {
    for (const ModelEntry& e : kModels)
        if (e.name == name)
            return e.model;
    return std::nullopt;
}

std::optional<TrackModel> TrackModelFromDigit(char digit) {
    for (const ModelEntry& e : kModels)
        if (static_cast<char>(e.model) == digit)
            return e.model;
    return std::nullopt;
}

std::string Idle() {
    return Escape('a');
}
std::string CommunicationTest() {
    return Escape('e');
}
std::string ReadDecoded() {
    return Escape('r');
}
std::string ReadRaw() {
    return std::string(kEsc) + "\\6D";
}
std::string ReadPassBook(bool onlyWhenDifferent) {
    return Escape('R') + (onlyWhenDifferent ? "1" : "0");
}

std::string DecodedTrackBlock(Track track, std::string_view characters) {
    // The characters are bytes, not command text: a backslash on the card
    // must travel as "\5C", or it would start an escape.
    return std::string(kEsc) + ByteEscape(static_cast<int>(track)) + ToCommandText(characters);
}

std::string DecodedWrite(std::span<const std::string> blocks) {
    return Framed("\\1Bw\\1Bs", blocks, "?\\1C");
}
std::string RawWrite(std::span<const std::string> blocks) {
    return Framed("\\1Bn\\1Bs", blocks, "\\3F\\1C");
}
std::string PassBookWrite(std::span<const std::string> blocks) {
    return Framed("\\1BW\\1Bs", blocks, "\\3F\\1C");
}

std::optional<std::string> Erase(int trackMask) {
    if (!NamesTracks(trackMask))
        return std::nullopt;
    return Escape('c') + std::to_string(trackMask);
}

std::optional<std::string> SetBitsPerCharacter(const BitsPerCharacter& bits) {
    if (!std::all_of(bits.begin(), bits.end(), FitsByte))
        return std::nullopt;
    std::string out = std::string(kEsc) + "\\6F";
    for (const int b : bits)
        out += ByteEscape(b);
    return out;
}

std::optional<BitsPerCharacter> StandardBitsPerCharacter(std::string_view cardType) {
    if (cardType == "ISO")
        return BitsPerCharacter{7, 5, 5};
    if (cardType == "AAMVA")
        return BitsPerCharacter{7, 5, 7};
    if (cardType == "USER" || cardType == "RAW" || cardType == "PASS BOOK")
        return BitsPerCharacter{8, 8, 8};
    return std::nullopt;
}

std::optional<std::string> SetDensity(Track track, int bitsPerInch) {
    if (!FitsByte(bitsPerInch))
        return std::nullopt;
    constexpr std::array<char, 3> kLetters{'f', 'b', 'g'};
    return Escape(kLetters[static_cast<std::size_t>(track) - 1]) + ByteEscape(bitsPerInch);
}

std::optional<std::string> SetLeadingZeros(int at210Bpi, int at75Bpi) {
    if (!FitsByte(at210Bpi) || !FitsByte(at75Bpi))
        return std::nullopt;
    return Escape('z') + ByteEscape(at210Bpi) + ByteEscape(at75Bpi);
}

std::string SelectHighCoercivity() {
    return Escape('x');
}
std::string SelectLowCoercivity() {
    return Escape('y');
}
std::string AskCoercivity() {
    return Escape('d');
}

std::optional<std::string> SetLeadZeroBias(int value) {
    if (!FitsByte(value))
        return std::nullopt;
    return Escape('h') + ByteEscape(value);
}

std::optional<std::uint8_t> ParseLeadZeroBiasInput(std::string_view text) {
    const auto isHex = [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
    };
    if (text.size() != 2 || !isHex(text[0]) || !isHex(text[1]))
        return std::nullopt;
    return static_cast<std::uint8_t>(HexDigitValue(text[0]) * 16 + HexDigitValue(text[1]));
}

std::string AskLeadZeroBias() {
    return Escape('i');
}
std::string AskTrackModel() {
    return Escape('t');
}
std::string SetTrackModel(TrackModel model) {
    return Escape('s') + ByteEscape(static_cast<unsigned char>(model));
}

std::string EnterBootLoader() {
    return std::string(kEsc) + "\\4A\\46\\4B";
}
std::string SwitchToTarn() {
    return std::string(kEsc) + "ToTARN";
}
std::string SwitchToVelk() {
    return "ToVELK";
}
std::string Probe() {
    return "\\39";
}

std::optional<std::string> LeadZeroBiasTestPattern(TrackModel model) {
    if (model == TrackModel::Tracks1To3)
        return PatternFor(true);
    if (model == TrackModel::Tracks1And2)
        return PatternFor(false);
    return std::nullopt;
}

bool IsLeadZeroBiasTestPattern(std::string_view command) {
    return command == PatternFor(true) || command == PatternFor(false);
}

std::optional<std::string> OrmondReadCommand(std::string_view cardType,
                                             bool passBookOnlyDifferent) {
    if (ReadsDecoded(cardType))
        return ReadDecoded();
    if (cardType == "USER" || cardType == "RAW")
        return ReadRaw();
    if (cardType == "PASS BOOK")
        return ReadPassBook(passBookOnlyDifferent);
    return std::nullopt;
}

std::string VelkReadUser() {
    return "RU 0\\0D";
}
std::string VelkReadRaw() {
    return "RR\\0D";
}

std::optional<std::string> VelkErase(int trackMask) {
    if (!NamesTracks(trackMask))
        return std::nullopt;
    return "ER " + std::to_string(trackMask) + "\\0D";
}

std::optional<std::string> VelkReadCommand(std::string_view cardType) {
    if (ReadsDecoded(cardType))
        return ReadDecoded();
    if (cardType == "USER")
        return VelkReadUser();
    if (cardType == "RAW")
        return VelkReadRaw();
    return std::nullopt;
}

std::optional<std::string> VelkWritePrefix(std::string_view cardType) {
    for (const CardTypeEntry& e : kVelkCardTypes)
        if (e.cardType == cardType)
            return std::string(e.velkWritePrefix);
    return std::nullopt;
}

} // namespace msrw::cmd
