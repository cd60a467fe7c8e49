// The layouts of the write commands, one per mode and family of card types.

#include "cards/CardFormat.h"
#include "cards/CardTypeList.h"
#include "cards/PassBookCodec.h"
#include "cards/UserTrackCodec.h"
#include "cards/WriteBlocks.h"
#include "cards/WriteComposition.h"
#include "link/Notation.h"
#include "protocol/CommandSet.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <vector>

namespace msrw {
namespace {

constexpr std::array<cmd::Track, 3> kTracks{cmd::Track::One, cmd::Track::Two, cmd::Track::Three};
// The text command of "Velk Mode" leaves out tracks this short.
constexpr std::size_t kVelkShortestTrack = 3;

using TrackEncoder = std::function<track::EncodedTrack(const std::string& data, int track)>;

WriteCommandText Refused(std::string problem) {
    return {{}, std::move(problem)};
}

std::string TrackProblem(int track, const std::string& problem) {
    return "track " + std::to_string(track) + " cannot be written: " + problem + ".";
}

int TrackNumber(std::size_t index) {
    return static_cast<int>(index) + 1;
}

// The reader/writer finds each track of a text command by its "tN=" marker,
// so data holding one would be split there.
std::optional<std::string> VelkMarkerInside(const std::string& data) {
    for (const char* marker : {"t1=", "t2=", "t3="})
        if (data.find(marker) != std::string::npos)
            return std::string(marker);
    return std::nullopt;
}

WriteCommandText VelkWrite(std::string_view cardType, const track::TrackTexts& data) {
    const std::optional<std::string> prefix = cmd::VelkWritePrefix(cardType);
    if (!prefix)
        return {};
    std::string tracks;
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (data[i].size() < kVelkShortestTrack)
            continue;
        if (const auto marker = VelkMarkerInside(data[i]))
            return Refused(TrackProblem(TrackNumber(i), "it holds \"" + *marker +
                                                            "\", which the reader/writer takes "
                                                            "for the start of a track"));
        tracks += "t" + std::to_string(TrackNumber(i)) + "=" + ToCommandText(data[i]);
    }
    if (tracks.empty())
        return Refused("no track holds more than 2 characters, and shorter tracks are not "
                       "written in Velk Mode.");
    return {*prefix + tracks + "\\0D", {}};
}

// The reader/writer puts a track's sentinels on itself, so the characters
// sent are the track without them: framed first (the start sentinel in front
// and "?" at the end, each only when missing), then both ends cut off. A
// track that is no more than its sentinels is not sent. Track 3 takes ";" in
// AAMVA too, as preparation has already taken its "%" off.
std::optional<std::string> WithoutDecodedSentinels(const std::string& data, std::size_t index) {
    const char start = index == 0 ? '%' : ';';
    constexpr char kEnd = '?';
    std::string framed = data;
    if (framed.empty() || framed.front() != start)
        framed.insert(framed.begin(), start);
    if (framed.back() != kEnd)
        framed += kEnd;
    if (framed.size() <= 2)
        return std::nullopt;
    return framed.substr(1, framed.size() - 2);
}

WriteCommandText DecodedCharacterWrite(const track::TrackTexts& data) {
    std::vector<std::string> blocks;
    for (std::size_t i = 0; i < data.size(); ++i)
        if (const auto characters = WithoutDecodedSentinels(data[i], i))
            blocks.push_back(cmd::DecodedTrackBlock(kTracks[i], *characters));
    if (blocks.empty())
        return Refused("there is no track data to write.");
    return {cmd::DecodedWrite(blocks), {}};
}

// One raw block per track, always three; a track that cannot be encoded refuses the write.
WriteCommandText RawLayout(const track::TrackTexts& data, const TrackEncoder& encode,
                           std::string (*frame)(std::span<const std::string>)) {
    std::vector<std::string> blocks;
    bool anyData = false;
    for (std::size_t i = 0; i < data.size(); ++i) {
        const track::EncodedTrack encoded = encode(data[i], TrackNumber(i));
        if (!encoded.ok())
            return Refused(TrackProblem(TrackNumber(i), encoded.problem));
        anyData = anyData || !encoded.hexDigits.empty();
        blocks.push_back(RawTrackBlock(kTracks[i], BitsToCommandBytes(encoded.hexDigits)));
    }
    if (!anyData)
        return Refused("there is no track data to write.");
    return {frame(blocks), {}};
}

track::EncodedTrack EncodeRawTrack(const std::string& data) {
    const auto bad = std::find_if_not(data.begin(), data.end(), IsHexDigit);
    if (bad != data.end())
        return {{},
                "\"" + DisplayForm(std::string_view(&*bad, 1)) + "\" is not a hexadecimal digit"};
    return {data, {}};
}

WriteCommandText OrmondWrite(std::string_view cardType, const track::TrackTexts& data,
                             const CardFormat& format) {
    if (cardType == card::ISO || cardType == card::AAMVA)
        return DecodedCharacterWrite(data);
    if (cardType == card::USER)
        return RawLayout(
            data,
            [&](const std::string& d, int n) {
                return track::EncodeUserTrack(d, format.userFormat(n));
            },
            cmd::RawWrite);
    if (cardType == card::RAW)
        return RawLayout(
            data, [](const std::string& d, int) { return EncodeRawTrack(d); }, cmd::RawWrite);
    if (cardType == card::PASS_BOOK)
        return RawLayout(
            data, [&](const std::string& d, int n) { return EncodePassBookTrack(d, n, format); },
            cmd::PassBookWrite);
    return {};
}

WriteCommandText WithinCommandLimit(WriteCommandText write) {
    if (ParseCommandText(write.command).fault == CommandTextFault::TooLong)
        return Refused("the tracks make a write command of more than " +
                       std::to_string(kMaxCommandBytes) +
                       " bytes, more than the reader/writer takes at once; shorten the track "
                       "data.");
    return write;
}

} // namespace

WriteCommandText ComposeWriteCommand(MsrwMode mode, std::string_view cardType,
                                     const track::TrackTexts& data, const CardFormat& format) {
    WriteCommandText write;
    if (mode == MsrwMode::Velk)
        write = VelkWrite(cardType, data);
    else if (mode == MsrwMode::Ormond)
        write = OrmondWrite(cardType, data, format);
    if (write.command.empty())
        return write;
    return WithinCommandLimit(std::move(write));
}

} // namespace msrw
