#include "sim/EscapeParser.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace msrw::sim {

namespace {

using Status = ParseResult::Status;
constexpr char kFs = '\x1C';

ParseResult NeedMore() {
    return {};
}

ParseResult Skip(std::size_t length) {
    return {Status::Skip, length, {}};
}

ParseResult Done(std::size_t length, Command command) {
    return {Status::Done, length, std::move(command)};
}

ParseResult Done(std::size_t length, CommandKind kind, std::string args = {}) {
    return Done(length, Command{kind, std::move(args), 0, {}});
}

// A write whose structure broke at `at`: what came before is taken as one bad
// command, and parsing resumes at the offending byte.
ParseResult Malformed(std::size_t at) {
    return Done(at, CommandKind::MalformedWrite);
}

// Commands of a fixed length: ESC, a letter and (length - 2) parameter bytes.
ParseResult ParseFixed(std::string_view in, std::size_t length, CommandKind kind) {
    if (in.size() < length)
        return NeedMore();
    return Done(length, kind, std::string(in.substr(2, length - 2)));
}

// Commands spelt out in full; a mismatch skips the ESC and its letter.
ParseResult ParseWord(std::string_view in, std::string_view word, CommandKind kind) {
    const std::size_t n = std::min(in.size(), word.size());
    if (in.substr(0, n) != word.substr(0, n))
        return Skip(2);
    if (n < word.size())
        return NeedMore();
    return Done(word.size(), kind);
}

int TrackOfMarker(char marker) {
    return marker >= 1 && marker <= 3 ? marker - 1 : -1;
}

// Blocks ESC k characters..., closed by "?" FS. A block's characters end at
// the next ESC or at the closing "?" FS.
ParseResult ParseDecodedBlocks(std::string_view in, Command command) {
    std::size_t pos = 4;
    while (true) {
        if (pos + 1 >= in.size())
            return NeedMore();
        if (in[pos] == '?')
            return in[pos + 1] == kFs ? Done(pos + 2, std::move(command)) : Malformed(pos);
        const int track = TrackOfMarker(in[pos + 1]);
        if (in[pos] != kEsc || track < 0)
            return Malformed(pos);
        std::size_t end = pos + 2;
        while (true) {
            if (end + 1 >= in.size())
                return NeedMore();
            if (in[end] == kEsc || (in[end] == '?' && in[end + 1] == kFs))
                break;
            ++end;
        }
        command.blocks[static_cast<std::size_t>(track)] =
            std::string(in.substr(pos + 2, end - pos - 2));
        pos = end;
    }
}

// Blocks ESC k L and L bytes (any values), closed by 3F 1C.
ParseResult ParseRawBlocks(std::string_view in, Command command) {
    std::size_t pos = 4;
    while (true) {
        if (pos + 1 >= in.size())
            return NeedMore();
        if (in[pos] == '\x3F')
            return in[pos + 1] == kFs ? Done(pos + 2, std::move(command)) : Malformed(pos);
        const int track = TrackOfMarker(in[pos + 1]);
        if (in[pos] != kEsc || track < 0)
            return Malformed(pos);
        if (pos + 2 >= in.size())
            return NeedMore();
        const auto length = static_cast<unsigned char>(in[pos + 2]);
        if (pos + 3 + length > in.size())
            return NeedMore();
        command.blocks[static_cast<std::size_t>(track)] = std::string(in.substr(pos + 3, length));
        pos += 3u + length;
    }
}

ParseResult ParseWrite(std::string_view in, CommandKind kind) {
    if (in.size() < 4)
        return NeedMore();
    if (in[2] != kEsc || in[3] != 's')
        return Malformed(2);
    Command command{kind, {}, 0, {}};
    return kind == CommandKind::DecodedWrite ? ParseDecodedBlocks(in, std::move(command))
                                             : ParseRawBlocks(in, std::move(command));
}

ParseResult ParseEscape(std::string_view in) {
    if (in.size() < 2)
        return NeedMore();
    switch (in[1]) {
    case 'a':
        return Done(2, CommandKind::Reset);
    case 'e':
        return Done(2, CommandKind::Echo);
    case 'v':
        return Done(2, CommandKind::Version);
    case 'r':
        return Done(2, CommandKind::DecodedRead);
    case 'm':
        return Done(2, CommandKind::RawRead);
    case 'x':
        return Done(2, CommandKind::SetHighCo);
    case 'y':
        return Done(2, CommandKind::SetLowCo);
    case 'd':
        return Done(2, CommandKind::AskCoercivity);
    case 't':
        return Done(2, CommandKind::AskTrackModel);
    case 'i':
        return Done(2, CommandKind::AskLeadZeroBias);
    case 'R':
        if (in.size() < 3)
            return NeedMore();
        return in[2] == '0' || in[2] == '1' ? Done(3, CommandKind::PassBookRead) : Skip(2);
    case 'c':
        return ParseFixed(in, 3, CommandKind::Erase);
    case 'o':
        return ParseFixed(in, 5, CommandKind::SetBitsPerChar);
    case 'z':
        return ParseFixed(in, 4, CommandKind::SetLeadingZeros);
    case 'h':
        return ParseFixed(in, 3, CommandKind::SetLeadZeroBias);
    case 's':
        return ParseFixed(in, 3, CommandKind::SetTrackModel);
    case 'f':
    case 'b':
    case 'g': {
        ParseResult r = ParseFixed(in, 3, CommandKind::SetDensity);
        r.command.track = in[1] == 'f' ? 0 : in[1] == 'b' ? 1 : 2;
        return r;
    }
    case 'J':
        return ParseWord(in,
                         "\x1B"
                         "JFK",
                         CommandKind::BootLoader);
    case 'T':
        return ParseWord(in,
                         "\x1B"
                         "ToTARN",
                         CommandKind::ToTarn);
    case 'w':
        return ParseWrite(in, CommandKind::DecodedWrite);
    case 'n':
        return ParseWrite(in, CommandKind::RawWrite);
    case 'W':
        return ParseWrite(in, CommandKind::PassBookWrite);
    default:
        return Skip(2);
    }
}

// "t1=", "t2=", "t3=" each start a track's data, which runs to the next marker.
TrackTexts SplitTrackTexts(std::string_view body) {
    std::vector<std::pair<std::size_t, std::size_t>> markers; // position, track
    for (std::size_t track = 0; track < 3; ++track) {
        const std::string marker = "t" + std::to_string(track + 1) + "=";
        const std::size_t at = body.find(marker);
        if (at != std::string_view::npos)
            markers.emplace_back(at, track);
    }
    std::sort(markers.begin(), markers.end());
    TrackTexts texts;
    for (std::size_t i = 0; i < markers.size(); ++i) {
        const std::size_t start = markers[i].first + 3;
        const std::size_t end = i + 1 < markers.size() ? markers[i + 1].first : body.size();
        texts[markers[i].second] = std::string(body.substr(start, end - start));
    }
    return texts;
}

ParseResult TextCommand(std::string_view line, std::size_t consumed) {
    if (line.rfind("RU", 0) == 0)
        return Done(consumed, CommandKind::TextRead, "U");
    if (line == "RR")
        return Done(consumed, CommandKind::TextRead, "R");
    if (line.rfind("ER ", 0) == 0)
        return Done(consumed, CommandKind::TextErase, std::string(line.substr(3)));
    const bool write = line.size() >= 3 && line[0] == 'W' && line[2] == ' ' &&
                       std::string_view("IACUR").find(line[1]) != std::string_view::npos;
    if (!write)
        return Done(consumed, CommandKind::Ignored);
    return Done(consumed, Command{CommandKind::TextWrite, std::string(1, line[1]), 0,
                                  SplitTrackTexts(line.substr(3))});
}

ParseResult ParseTextLine(std::string_view in, bool idle) {
    const bool isWrite = in[0] == 'W';
    const std::size_t end = in.find_first_of("\r\x1B");
    if (end == std::string_view::npos) {
        if (idle)
            return isWrite ? TextCommand(in, in.size()) : Skip(in.size());
        return in.size() > kMaxPendingBytes ? Skip(in.size()) : NeedMore();
    }
    if (in[end] == kEsc && !isWrite)
        return Skip(end);
    return TextCommand(in.substr(0, end), in[end] == '\r' ? end + 1 : end);
}

} // namespace

ParseResult ParseEscapeFamily(std::string_view input, bool idle) {
    if (input.empty())
        return NeedMore();
    switch (input[0]) {
    case kEsc:
        return ParseEscape(input);
    case '9':
        return Done(1, CommandKind::Probe);
    case 'R':
    case 'E':
    case 'W':
        return ParseTextLine(input, idle);
    default:
        return Skip(1);
    }
}

} // namespace msrw::sim
