#include "protocol/TarnFrame.h"

#include "link/Notation.h"
#include "protocol/ReplyClassification.h"

#include <algorithm>
#include <array>

namespace msrw::tarn {
namespace {

constexpr char kStx = '\x02';
constexpr char kEtx = '\x03';
constexpr char kEot = '\x04';
constexpr char kDle = '\x10'; // a stuffed byte follows, exclusive-or 40
constexpr unsigned kStuffMask = 0x40;
// STX and ETX are in every frame's check.
constexpr unsigned kFrameCheckSeed = 0x02 ^ 0x03;

constexpr std::array<int, 5> kBauds{19200, 9600, 4800, 2400, 1200};
constexpr std::array<TarnParity, 4> kParities{TarnParity::Odd, TarnParity::Even, TarnParity::Mark,
                                              TarnParity::Space};
constexpr unsigned kParityShift = 3; // parity bits 08, 10, 18
constexpr unsigned kBaudMask = 0x07;

bool IsUpperHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

// The bytes of a text made of "\XX" pairs only; nullopt for anything else.
std::optional<std::string> PairBytes(std::string_view command) {
    if (command.size() % 3 != 0)
        return std::nullopt;
    std::string bytes;
    for (std::size_t i = 0; i < command.size(); i += 3) {
        if (command[i] != '\\' || !IsUpperHexDigit(command[i + 1]) ||
            !IsUpperHexDigit(command[i + 2]))
            return std::nullopt;
        bytes +=
            static_cast<char>(HexDigitValue(command[i + 1]) * 16 + HexDigitValue(command[i + 2]));
    }
    return bytes;
}

unsigned XorOf(std::string_view bytes) {
    unsigned check = 0;
    for (const char b : bytes)
        check ^= static_cast<unsigned char>(b);
    return check;
}

const char* const kTooLongForFrame =
    "The Tarn command is too long: a frame holds at most 201 bytes. Nothing was sent.";

void SetWhy(std::string* why, const char* text) {
    if (why)
        *why = text;
}

} // namespace

std::optional<std::string> FrameCommand(std::string_view command, std::string* why) {
    const std::optional<std::string> bytes = PairBytes(command);
    if (!bytes) {
        SetWhy(why, "The Tarn command is not made of \\XX byte pairs. Nothing was sent.");
        return std::nullopt;
    }
    if (bytes->size() + 3 > kMaxFrameBytes) {
        SetWhy(why, kTooLongForFrame);
        return std::nullopt;
    }
    const unsigned check = kFrameCheckSeed ^ XorOf(*bytes);
    return "\\02" + std::string(command) + "\\03\\" + HexByte(check);
}

FramedReply CheckFramedReply(std::string_view reply) {
    FramedReply out;
    const std::optional<std::string> bytes = reply::ReplyBytes(reply);
    if (!bytes)
        return out;
    const std::size_t stx = bytes->find(kStx);
    if (stx == std::string::npos)
        return out;
    const std::size_t etx = bytes->find(kEtx, stx + 1);
    if (etx == std::string::npos)
        return out;
    const std::string_view body = std::string_view(*bytes).substr(stx + 1, etx - stx - 1);
    out.body = DisplayForm(body);
    if (etx + 1 >= bytes->size())
        return out; // no check byte
    const auto check = static_cast<unsigned char>((*bytes)[etx + 1]);
    out.ok = (XorOf(body) ^ kFrameCheckSeed) == check;
    return out;
}

int FirstCommandByte(std::string_view command) {
    if (command.empty())
        return -1;
    if (command[0] != '\\')
        return static_cast<unsigned char>(command[0]);
    if (command.size() >= 2 && command[1] == '[')
        return 0x5B;
    if (command.size() < 3 || !IsHexDigitChar(command[1]) || !IsHexDigitChar(command[2]))
        return -1;
    return HexDigitValue(command[1]) * 16 + HexDigitValue(command[2]);
}

namespace {

// Whether a reply text (display or hex form) stands for exactly these bytes.
bool IsReply(std::string_view reply, std::string_view bytes) {
    const std::optional<std::string> decoded = reply::ReplyBytes(reply);
    return decoded && *decoded == bytes;
}

} // namespace

bool IsTaken(std::string_view reply) {
    return IsReply(reply, "^") || IsReply(reply, "\x02^\x03_");
}

bool IsDoubleStart(std::string_view reply, bool unframed) {
    return IsReply(reply, unframed ? "^^" : "\x02^\x03_\x02^\x03_");
}

TrackReply ParseTrackReply(std::string_view reply, TrackDataEnd end) {
    TrackReply out;
    const std::optional<std::string> bytes = reply::ReplyBytes(reply);
    if (!bytes || bytes->empty())
        return out;
    if (*bytes == "+") {
        out.state = TrackState::Blank;
        return out;
    }
    if (*bytes == "*")
        return out;
    const bool closed = bytes->back() == kEot;
    // Mode 1 data the device did not close is cut short: never shown as a track.
    if (!closed && end == TrackDataEnd::Eot)
        return out;
    const std::size_t length = bytes->size() - (closed ? 1 : 0);
    std::string data;
    for (std::size_t i = 0; i < length; ++i) {
        char b = (*bytes)[i];
        if (b == kDle) {
            if (i + 1 >= length)
                return out; // a stuffing byte with nothing after it
            b = static_cast<char>(static_cast<unsigned char>((*bytes)[++i]) ^ kStuffMask);
        } else if (b == kEot) {
            return out; // data never holds a bare 04
        }
        data += b;
    }
    out.state = TrackState::Data;
    out.text = DisplayForm(data);
    return out;
}

bool IsCharacterText(std::string_view text) {
    const std::optional<std::string> bytes = reply::ReplyBytes(text);
    return bytes &&
           std::all_of(bytes->begin(), bytes->end(), [](char c) { return c >= 0x20 && c <= 0x7E; });
}

std::string TrackDataLoad(std::string_view dataBytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    const auto pair = [](unsigned char b) {
        return std::string{'\\', kDigits[b >> 4], kDigits[b & 0x0F]};
    };
    std::string out;
    out.reserve(dataBytes.size() * 3 + 3);
    for (const char c : dataBytes) {
        const auto byte = static_cast<unsigned char>(c);
        const bool reserved = c == kStx || c == kEtx || c == kEot || c == kDle;
        out += reserved ? pair(static_cast<unsigned char>(kDle)) + pair(byte ^ kStuffMask)
                        : pair(byte);
    }
    return out + "\\04";
}

std::string ReadCustom(std::string_view text) {
    if (text.size() < 4)
        return std::string(text);
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] != '\\') {
            out += HexByte(static_cast<unsigned char>(text[i]));
            i += 1;
        } else if (i + 1 < text.size() && text[i + 1] == '\\') {
            out += "5C";
            i += 2;
        } else if (i + 2 < text.size()) {
            out += text.substr(i + 1, 2);
            i += 3;
        } else {
            out += "5C"; // a backslash that begins no escape stands for itself
            i += 1;
        }
    }
    return out;
}

std::string TarnDisplayText(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        out += text[i];
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '\\')
            ++i;
    }
    return out;
}

std::string ReadTarnBpi(std::string_view value) {
    if (value == "0")
        return "210";
    if (value == "1")
        return "75";
    return "";
}

std::optional<int> SerialFormatByte(const SerialFormat& format) {
    for (std::size_t code = 0; code < kBauds.size(); ++code) {
        if (kBauds[code] != format.baud)
            continue;
        const auto parity = static_cast<unsigned>(format.parity);
        return static_cast<int>(code | (parity << kParityShift));
    }
    return std::nullopt;
}

std::optional<SerialFormat> SerialFormatOf(int byte) {
    const unsigned known = kBaudMask | (3u << kParityShift);
    if (byte < 0 || (static_cast<unsigned>(byte) & ~known) != 0)
        return std::nullopt;
    const unsigned code = static_cast<unsigned>(byte) & kBaudMask;
    if (code >= kBauds.size())
        return std::nullopt;
    SerialFormat format;
    format.baud = kBauds[code];
    format.parity = kParities[(static_cast<unsigned>(byte) >> kParityShift) & 3u];
    return format;
}

std::string BaudText(const SerialFormat& format) {
    return std::to_string(format.baud) + ",";
}

std::string ParityText(const SerialFormat& format) {
    constexpr std::array<const char*, 4> kLetters{"o", "e", "m", "s"};
    return std::string(kLetters[static_cast<std::size_t>(format.parity)]) + " , 7, 1";
}

int ProtocolAndModeByte(bool framed, bool modeTwo) {
    return (framed ? 2 : 0) | (modeTwo ? 1 : 0);
}

} // namespace msrw::tarn
