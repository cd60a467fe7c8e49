#include "protocol/ReadReply.h"

#include "link/Notation.h"

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

namespace msrw::reading {
namespace {

constexpr unsigned char kCr = 0x0D;
constexpr std::string_view kOrmondEnd = "?\x1C\x1B";
constexpr std::string_view kOrmondStatusOk = "0";
constexpr std::string_view kVelkError = "Err\r";
constexpr std::string_view kNoDataFields[] = {"\x1B+", "\x1B*"};

// One byte of a reply and the text that spelled it ("A", "\\" or "\1B").
struct Token {
    unsigned char byte = 0;
    std::string_view text;
};
using Tokens = std::vector<Token>;

std::optional<int> UpperHexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return std::nullopt;
}

// The bytes of a display-form or hex-form text; nullopt when malformed.
std::optional<Tokens> Tokenise(std::string_view text) {
    Tokens tokens;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const char c = text[pos];
        if (c == '\r' || c == '\n') { // breaks shown after "\0D" are not reply bytes
            ++pos;
        } else if (c != '\\') {
            tokens.push_back({static_cast<unsigned char>(c), text.substr(pos, 1)});
            ++pos;
        } else if (pos + 1 < text.size() && text[pos + 1] == '\\') {
            tokens.push_back({'\\', text.substr(pos, 2)});
            pos += 2;
        } else {
            const auto high = pos + 2 < text.size() ? UpperHexValue(text[pos + 1]) : std::nullopt;
            const auto low = pos + 2 < text.size() ? UpperHexValue(text[pos + 2]) : std::nullopt;
            if (!high || !low)
                return std::nullopt;
            tokens.push_back({static_cast<unsigned char>(*high * 16 + *low), text.substr(pos, 3)});
            pos += 3;
        }
    }
    return tokens;
}

bool MatchesAt(const Tokens& tokens, std::size_t at, std::string_view bytes) {
    if (at > tokens.size() || tokens.size() - at < bytes.size())
        return false;
    for (std::size_t i = 0; i < bytes.size(); ++i)
        if (tokens[at + i].byte != static_cast<unsigned char>(bytes[i]))
            return false;
    return true;
}

std::optional<std::size_t> Find(const Tokens& tokens, std::string_view bytes, std::size_t from) {
    for (std::size_t at = from; at + bytes.size() <= tokens.size(); ++at)
        if (MatchesAt(tokens, at, bytes))
            return at;
    return std::nullopt;
}

// A run of tokens [begin, end).
struct Span {
    std::size_t begin = 0;
    std::size_t end = 0;
};

struct Split {
    std::array<Span, 3> fields;
    bool ok = false;
};

std::string OrmondMarker(int track) {
    return {'\x1B', static_cast<char>(track)};
}

std::string VelkMarker(int track) {
    return "T" + std::to_string(track) + ":\r";
}

bool IsNoData(const Tokens& tokens, Span field) {
    return field.end - field.begin == 2 &&
           std::any_of(
               std::begin(kNoDataFields), std::end(kNoDataFields),
               [&](std::string_view marker) { return MatchesAt(tokens, field.begin, marker); });
}

// Where the field starting at `begin` ends, `next` being what follows it. A
// raw field's length byte is trusted first; decoded characters never include
// the marker bytes, so the search finds their end.
std::optional<std::size_t> FieldEnd(const Tokens& tokens, std::size_t begin,
                                    std::string_view next) {
    for (const std::string_view noData : kNoDataFields)
        if (MatchesAt(tokens, begin, noData) && MatchesAt(tokens, begin + 2, next))
            return begin + 2;
    if (begin < tokens.size()) {
        const std::size_t framed = begin + 1 + tokens[begin].byte;
        if (MatchesAt(tokens, framed, next))
            return framed;
    }
    return Find(tokens, next, begin);
}

std::optional<Split> SplitOrmond(const Tokens& tokens) {
    const std::optional<std::size_t> first = Find(tokens, OrmondMarker(1), 0);
    if (!first)
        return std::nullopt;
    Split split;
    std::size_t begin = *first + 2;
    for (std::size_t k = 0; k < split.fields.size(); ++k) {
        const std::string next = k + 1 < split.fields.size() ? OrmondMarker(static_cast<int>(k) + 2)
                                                             : std::string(kOrmondEnd);
        const std::optional<std::size_t> end = FieldEnd(tokens, begin, next);
        if (!end)
            return std::nullopt;
        split.fields[k] = {begin, *end};
        begin = *end + next.size();
    }
    split.ok = MatchesAt(tokens, begin, kOrmondStatusOk);
    return split;
}

// Each Velk track ends in a CR of its own, which is not data.
Span WithoutClosingCr(const Tokens& tokens, Span field) {
    if (field.end > field.begin && tokens[field.end - 1].byte == kCr)
        --field.end;
    return field;
}

std::optional<Split> SplitVelk(const Tokens& tokens) {
    Split split;
    std::size_t from = 0;
    std::array<std::size_t, 3> starts{};
    for (std::size_t k = 0; k < starts.size(); ++k) {
        const std::string marker = VelkMarker(static_cast<int>(k) + 1);
        const std::optional<std::size_t> at = Find(tokens, marker, from);
        if (!at)
            return std::nullopt;
        starts[k] = *at;
        from = *at + marker.size();
    }
    for (std::size_t k = 0; k < starts.size(); ++k) {
        const std::size_t begin = starts[k] + VelkMarker(static_cast<int>(k) + 1).size();
        const std::size_t end = k + 1 < starts.size() ? starts[k + 1] : tokens.size();
        split.fields[k] = WithoutClosingCr(tokens, {begin, end});
    }
    split.ok = !Find(tokens, kVelkError, 0);
    return split;
}

// The field in the reply's own form; a displayed backslash ("\\") shown as
// one when asked.
std::string TextOf(const Tokens& tokens, Span field, bool singleBackslash) {
    std::string text;
    for (std::size_t i = field.begin; i < field.end; ++i)
        text +=
            singleBackslash && tokens[i].text == "\\\\" ? std::string_view("\\") : tokens[i].text;
    return text;
}

void KeepActiveTracks(TrackTexts& tracks, int activeTracks) {
    if (activeTracks == 0)
        tracks[0].clear();
    if (activeTracks == 0 || activeTracks == 1)
        tracks[2].clear();
}

} // namespace

ParsedRead ParseReadReply(std::string_view replyText, const ReadReplyContext& context) {
    const std::optional<Tokens> tokens = Tokenise(replyText);
    if (!tokens)
        return {};
    std::optional<Split> split;
    if (context.mode == reply::MsrwMode::Ormond)
        split = SplitOrmond(*tokens);
    else if (context.mode == reply::MsrwMode::Velk)
        split = SplitVelk(*tokens);
    if (!split)
        return {};
    const bool singleBackslash = context.cardTypePosition == 0 || context.cardTypePosition == 1;
    ParsedRead read;
    read.ok = split->ok;
    for (std::size_t k = 0; k < read.tracks.size(); ++k)
        if (!IsNoData(*tokens, split->fields[k]))
            read.tracks[k] = TextOf(*tokens, split->fields[k], singleBackslash);
    KeepActiveTracks(read.tracks, context.activeTracks);
    return read;
}

std::string RawTrackToHex(std::string_view rawField) {
    const std::optional<Tokens> tokens = Tokenise(rawField);
    if (!tokens || tokens->size() < 2)
        return {};
    const std::size_t count = std::min<std::size_t>(tokens->front().byte, tokens->size() - 1);
    std::string hex;
    hex.reserve(count * 2);
    for (std::size_t i = 1; i <= count; ++i)
        hex += HexByte((*tokens)[i].byte);
    return hex;
}

void RawTrackToHex(TrackTexts& tracks) {
    for (std::string& track : tracks)
        track = RawTrackToHex(track);
}

} // namespace msrw::reading
