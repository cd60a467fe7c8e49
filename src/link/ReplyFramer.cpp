#include "link/ReplyFramer.h"

#include <string>

namespace msrw {
namespace {

constexpr char ESC = '\x1B';
constexpr char STX = '\x02';
constexpr char ETX = '\x03';
constexpr char CR = '\x0D';
constexpr char EOT = '\x04';
constexpr std::string_view kReadEnd = "?\x1C\x1B";
constexpr std::string_view kTextReadStart = "T1:\r";
constexpr std::size_t npos = std::string_view::npos;

bool IsPrintable(char c) {
    return c >= 0x20 && c <= 0x7E;
}

bool IsTarnShape(ReplyShape shape) {
    return shape == ReplyShape::TarnStatus || shape == ReplyShape::TarnMemory ||
           shape == ReplyShape::TarnTrack || shape == ReplyShape::TarnTrackText ||
           shape == ReplyShape::TarnTrackOpen;
}

bool CanStartReply(char c, ReplyShape shape) {
    if (IsTarnShape(shape))
        return true; // track data may begin with any byte
    if (c == ESC)
        return true;
    if (shape == ReplyShape::Status || shape == ReplyShape::StatusEcho3 ||
        shape == ReplyShape::RawRead)
        return false;
    return c == STX || IsPrintable(c);
}

// Length of a line reply ending in CR, 0 while incomplete.
std::size_t LineLength(std::string_view r) {
    const std::size_t cr = r.find(CR);
    return cr == npos ? 0 : cr + 1;
}

// "T1:" CR t1 CR "T2:" CR t2 CR "T3:" CR t3 CR: six CRs.
std::size_t TextReadLength(std::string_view r) {
    std::size_t pos = 0;
    for (int i = 0; i < 6; ++i) {
        pos = r.find(CR, pos);
        if (pos == npos)
            return 0;
        ++pos;
    }
    return pos;
}

std::size_t TarnFrameLength(std::string_view r) {
    const std::size_t etx = r.find(ETX, 1);
    return (etx == npos || etx + 1 >= r.size()) ? 0 : etx + 2;
}

// Decoded fields hold printable characters only, so the first '?' FS ESC
// after ESC 03 closes the reply; one status byte follows it.
std::size_t ScannedReadLength(std::string_view r) {
    const std::size_t t3 = r.find("\x1B\x03");
    if (t3 == npos)
        return 0;
    const std::size_t end = r.find(kReadEnd, t3 + 2);
    if (end == npos || end + kReadEnd.size() >= r.size())
        return 0;
    return end + kReadEnd.size() + 1;
}

enum class Walk { Complete, Incomplete, Broken };

// Walks the raw read reply by its length bytes: track data may hold any byte,
// even '?' FS ESC. A field that is ESC '+' or ESC '*' marks a track with no data.
Walk WalkRawRead(std::string_view r, std::size_t& length) {
    std::size_t pos = 0;
    for (char track = 1; track <= 3; ++track) {
        if (pos + 2 > r.size())
            return Walk::Incomplete;
        if (r[pos] != ESC || r[pos + 1] != track)
            return Walk::Broken;
        pos += 2;
        if (pos + 2 > r.size())
            return Walk::Incomplete;
        if (r[pos] == ESC && (r[pos + 1] == '+' || r[pos + 1] == '*')) {
            // ESC could also be a length byte of 27: the marker reading holds
            // only when the next field's start follows it.
            if (pos + 4 > r.size())
                return Walk::Incomplete;
            const char after[2] = {track < 3 ? ESC : '?', track < 3 ? char(track + 1) : '\x1C'};
            if (r[pos + 2] == after[0] && r[pos + 3] == after[1]) {
                pos += 2;
                continue;
            }
        }
        pos += 1 + static_cast<unsigned char>(r[pos]);
    }
    if (pos + kReadEnd.size() + 1 > r.size())
        return Walk::Incomplete;
    if (r.substr(pos, kReadEnd.size()) != kReadEnd)
        return Walk::Broken;
    length = pos + kReadEnd.size() + 1;
    return Walk::Complete;
}

std::size_t ReadLength(std::string_view r, bool raw) {
    if (r[0] == ESC) {
        if (r.size() < 2)
            return 0;
        if (r[1] != '\x01')
            return 2; // a bare status
        if (raw) {
            std::size_t length = 0;
            switch (WalkRawRead(r, length)) {
            case Walk::Complete:
                return length;
            case Walk::Incomplete:
                return 0;
            case Walk::Broken:
                break; // not length-prefixed after all: fall back to the end marker
            }
        }
        return ScannedReadLength(r);
    }
    if (r.substr(0, kTextReadStart.size()) == kTextReadStart)
        return TextReadLength(r);
    if (kTextReadStart.substr(0, r.size()) == r)
        return 0; // may still become a text read reply
    return LineLength(r);
}

// Mode 2 ISO track data: the start sentinel promises an end sentinel, which
// the track's characters never hold; without one, only silence ends it.
std::size_t SentinelTrackLength(std::string_view r) {
    if (r[0] != '%' && r[0] != ';')
        return 0;
    const std::size_t end = r.find('?', 1);
    return end == npos ? 0 : end + 1;
}

// Bare Tarn replies: a status byte, a set-up memory byte as two digits, or a
// track's data closed by 04 in Mode 1 (the data itself never holds 04).
std::size_t BareTarnLength(std::string_view r, ReplyShape shape) {
    const char first = r[0];
    const bool trackStatus = first == '+' || first == '*';
    switch (shape) {
    case ReplyShape::TarnMemory:
        if (first == '*')
            return 1;
        return r.size() >= 2 ? 2 : 0;
    case ReplyShape::TarnTrack: {
        if (trackStatus)
            return 1;
        const std::size_t end = r.find(EOT);
        return end == npos ? 0 : end + 1;
    }
    case ReplyShape::TarnTrackText:
        return trackStatus ? 1 : SentinelTrackLength(r);
    case ReplyShape::TarnTrackOpen:
        return trackStatus ? 1 : 0;
    default:
        return 1; // any byte: "^", "*", "+" or what a garbled line makes of them
    }
}

std::size_t AnyLength(std::string_view r) {
    if (r[0] == ESC)
        return ReadLength(r, false);
    if (r[0] == STX)
        return TarnFrameLength(r);
    return ReadLength(r, false);
}

std::size_t CompleteLength(std::string_view r, ReplyShape shape) {
    switch (shape) {
    case ReplyShape::Status:
        return r.size() >= 2 ? 2 : 0;
    case ReplyShape::StatusEcho3:
        if (r.size() < 2)
            return 0;
        if (r[1] != '0')
            return 2;
        return r.size() >= 5 ? 5 : 0;
    case ReplyShape::Line:
        if (r[0] == ESC)
            return r.size() >= 2 ? 2 : 0;
        return LineLength(r);
    case ReplyShape::DecodedRead:
        return ReadLength(r, false);
    case ReplyShape::RawRead:
        return ReadLength(r, true);
    case ReplyShape::Tarn:
        return r[0] == STX ? TarnFrameLength(r) : 0;
    case ReplyShape::TarnStatus:
    case ReplyShape::TarnMemory:
    case ReplyShape::TarnTrack:
    case ReplyShape::TarnTrackText:
    case ReplyShape::TarnTrackOpen:
        return r[0] == STX ? TarnFrameLength(r) : BareTarnLength(r, shape);
    case ReplyShape::None:
    case ReplyShape::Any:
        break;
    }
    return AnyLength(r);
}

// Tarn commands by their first byte: a track request is answered with the
// track, a set-up memory read with its byte, the probe with the banner line.
ReplyShape TarnShapeForCommand(std::string_view c, bool modeTwo) {
    if (c == "ToVELK")
        return ReplyShape::None;
    if (c == "9")
        return ReplyShape::Line;
    std::string_view command = c;
    if (c[0] == STX) {
        const std::size_t etx = c.find(ETX, 1);
        command = c.substr(1, etx == npos ? npos : etx - 1);
        if (command.empty())
            return ReplyShape::TarnStatus;
    }
    // A track's data load ends with 04 whatever its first bytes look like.
    if (command.back() == EOT)
        return ReplyShape::TarnStatus;
    const char first = command[0];
    const bool isoRequest = (first == 'q' || first == 'r' || first == 's') && command.size() == 2;
    const bool customRequest =
        (first == 'U' || first == 'V' || first == 'W') && command.size() == 3 && command[1] == '_';
    if (isoRequest || customRequest) {
        if (!modeTwo)
            return ReplyShape::TarnTrack;
        return isoRequest ? ReplyShape::TarnTrackText : ReplyShape::TarnTrackOpen;
    }
    if (first == 'Q' && command.size() == 3)
        return ReplyShape::TarnMemory;
    return ReplyShape::TarnStatus;
}

} // namespace

ReplyShape ShapeForCommand(std::string_view c, bool tarnFamily, bool tarnModeTwo) {
    if (c.empty())
        return ReplyShape::None;
    if (tarnFamily)
        return TarnShapeForCommand(c, tarnModeTwo);
    if (c[0] == STX || (c.size() == 1 && c[0] != '9'))
        return ReplyShape::Tarn;
    if (c == "ToVELK")
        return ReplyShape::None;
    if (c[0] != ESC)
        return (c.substr(0, 2) == "RR" || c.substr(0, 2) == "RU") ? ReplyShape::DecodedRead
                                                                  : ReplyShape::Line;
    if (c.size() < 2)
        return ReplyShape::Any;
    switch (c[1]) {
    case 'a':
    case 's':
    case 'T':
    case 'J':
        return ReplyShape::None;
    case 'r':
    case 'R':
        return ReplyShape::DecodedRead;
    case 'm':
        return ReplyShape::RawRead;
    case 'o':
        return ReplyShape::StatusEcho3;
    case 'v':
        return ReplyShape::Line;
    default:
        return ReplyShape::Status;
    }
}

FrameResult FindReply(std::string_view buffer, ReplyShape shape) {
    FrameResult result;
    while (result.skip < buffer.size() && !CanStartReply(buffer[result.skip], shape))
        ++result.skip;
    if (result.skip < buffer.size())
        result.length = CompleteLength(buffer.substr(result.skip), shape);
    return result;
}

} // namespace msrw
