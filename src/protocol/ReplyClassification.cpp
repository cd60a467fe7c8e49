#include "protocol/ReplyClassification.h"

#include "link/Notation.h"

#include <array>
#include <span>

namespace msrw::reply {
namespace {

using namespace std::string_view_literals;

constexpr char kEsc = '\x1B';
constexpr std::string_view kStatusOk = "\x1B"
                                       "0"sv;
constexpr std::string_view kStatusVerifyPending = "\x1B"
                                                  "5"sv;
constexpr std::string_view kReadEndMarker = "?\x1C\x1B"sv;

// Indexed by the failed-track bits 1-7.
constexpr std::array<std::string_view, 8> kFailedTrackNames{
    "",        "Track 1",       "Track 2",       "Track 1 and 2",
    "Track 3", "Track 1 and 3", "Track 2 and 3", "All Track"};

int UpperHexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Whether the reply text stands for exactly these bytes.
bool Equals(std::string_view replyText, std::string_view bytes) {
    const std::optional<std::string> decoded = ReplyBytes(replyText);
    return decoded && *decoded == bytes;
}

// ESC followed by exactly one byte.
std::optional<char> EscapeAnswer(std::string_view replyText) {
    const std::optional<std::string> b = ReplyBytes(replyText);
    if (!b || b->size() != 2 || (*b)[0] != kEsc)
        return std::nullopt;
    return (*b)[1];
}

// The markers must come in this order, each after the one before.
bool HasMarkersInOrder(std::string_view bytes, std::span<const std::string_view> markers) {
    std::size_t from = 0;
    for (const std::string_view marker : markers) {
        const std::size_t at = bytes.find(marker, from);
        if (at == std::string_view::npos)
            return false;
        from = at + marker.size();
    }
    return true;
}

bool HasAllTrackFields(std::string_view bytes) {
    constexpr std::array<std::string_view, 4> kMarkers{"\x1B\x01"sv, "\x1B\x02"sv, "\x1B\x03"sv,
                                                       kReadEndMarker};
    return HasMarkersInOrder(bytes, kMarkers);
}

} // namespace

std::optional<std::string> ReplyBytes(std::string_view replyText) {
    std::string out;
    out.reserve(replyText.size());
    std::size_t pos = 0;
    while (pos < replyText.size()) {
        const char c = replyText[pos];
        if (c != '\\') {
            out += c;
            pos += 1;
        } else if (pos + 1 < replyText.size() && replyText[pos + 1] == '\\') {
            out += '\\';
            pos += 2;
        } else {
            if (pos + 2 >= replyText.size())
                return std::nullopt;
            const int hi = UpperHexValue(replyText[pos + 1]);
            const int lo = UpperHexValue(replyText[pos + 2]);
            if (hi < 0 || lo < 0)
                return std::nullopt;
            out += static_cast<char>(hi * 16 + lo);
            pos += 3;
        }
    }
    return out;
}

bool IsCardCommandSuccess(MsrwMode mode, std::string_view replyText) {
    const std::optional<std::string> b = ReplyBytes(replyText);
    if (!b)
        return false;
    switch (mode) {
    case MsrwMode::Velk:
        return *b == "OK\r";
    case MsrwMode::Ormond:
        return *b == kStatusOk || *b == kStatusVerifyPending;
    case MsrwMode::Quell:
        // Bare "^", or the framed one: STX "^" ETX and its check byte "_".
        return *b == "^" || b->starts_with("\x02^\x03_");
    case MsrwMode::Pellam:
        return false;
    }
    return false;
}

WriteStatus ClassifyPassBookWrite(std::string_view replyText) {
    if (Equals(replyText, kStatusOk))
        return WriteStatus::Written;
    if (Equals(replyText, kStatusVerifyPending))
        return WriteStatus::VerifyPending;
    return WriteStatus::Error;
}

WriteStatus ClassifyDatabaseWrite(MsrwMode mode, std::string_view replyText, bool passBook) {
    if (Equals(replyText, kStatusVerifyPending))
        return passBook ? WriteStatus::VerifyPending : WriteStatus::Error;
    return IsCardCommandSuccess(mode, replyText) ? WriteStatus::Written : WriteStatus::Error;
}

bool IsStatusOk(std::string_view replyText) {
    return Equals(replyText, kStatusOk);
}

bool IsCommunicationTestAnswer(std::string_view replyText) {
    return EscapeAnswer(replyText) == 'y';
}

bool IsBitsPerCharacterEcho(std::string_view replyText, const cmd::BitsPerCharacter& sent) {
    std::string expected(kStatusOk);
    for (const int bits : sent) {
        if (bits < 0 || bits > 0xFF)
            return false;
        expected += static_cast<char>(bits);
    }
    return Equals(replyText, expected);
}

std::optional<Coercivity> ParseCoercivity(std::string_view replyText) {
    const std::optional<char> answer = EscapeAnswer(replyText);
    if (answer == 'H')
        return Coercivity::High;
    if (answer == 'L')
        return Coercivity::Low;
    return std::nullopt;
}

std::optional<cmd::TrackModel> ParseTrackModel(std::string_view replyText) {
    const std::optional<char> answer = EscapeAnswer(replyText);
    if (!answer)
        return std::nullopt;
    return cmd::TrackModelFromDigit(*answer);
}

std::optional<std::uint8_t> ParseLeadZeroBias(std::string_view replyText) {
    const std::optional<char> answer = EscapeAnswer(replyText);
    if (!answer)
        return std::nullopt;
    return static_cast<std::uint8_t>(*answer);
}

std::string LeadZeroBiasDisplay(std::string_view replyText) {
    const std::optional<std::uint8_t> bias = ParseLeadZeroBias(replyText);
    return bias ? HexByte(*bias) : std::string(replyText);
}

ProbeAnswer ClassifyProbeReply(std::string_view replyText) {
    const std::optional<std::string> b = ReplyBytes(replyText);
    if (!b)
        return ProbeAnswer::Other;
    if (b->starts_with(kReaderBanner))
        return ProbeAnswer::Banner;
    if (*b == "\x1B"
              "4")
        return ProbeAnswer::EscapeStatus4;
    return ProbeAnswer::Other;
}

ReadOutcome ClassifyOrmondRead(std::string_view replyText) {
    const std::optional<std::string> b = ReplyBytes(replyText);
    if (!b || b->size() < 2 || (*b)[b->size() - 2] != kEsc)
        return {};
    const char status = b->back();
    if (status >= '1' && status <= '7')
        return {ReadVerdict::TracksFailed, TrackSet{static_cast<std::uint8_t>(status - '0')}};
    // The end marker must be the one just before the status, not a look-alike
    // inside raw track data.
    const std::string_view beforeStatus = std::string_view(*b).substr(0, b->size() - 1);
    if (status == '0' && beforeStatus.ends_with(kReadEndMarker) && HasAllTrackFields(*b))
        return {ReadVerdict::Success, {}};
    return {};
}

ReadOutcome ClassifyVelkRead(std::string_view replyText) {
    const std::optional<std::string> b = ReplyBytes(replyText);
    if (!b)
        return {};
    if (b->find("Err\r") != std::string::npos)
        return {ReadVerdict::Failed, {}};
    constexpr std::array<std::string_view, 3> kMarkers{"T1:\r"sv, "T2:\r"sv, "T3:\r"sv};
    if (HasMarkersInOrder(*b, kMarkers))
        return {ReadVerdict::Success, {}};
    return {};
}

std::string_view FailedTracksName(TrackSet failed) {
    return failed.bits < kFailedTrackNames.size() ? kFailedTrackNames[failed.bits] : "";
}

std::string ReadOkLine(int count) {
    return "Read(" + std::to_string(count) + ") OK!";
}

std::optional<std::string> ReadFailedOnTracksLine(int count, TrackSet failed) {
    const std::string_view name = FailedTracksName(failed);
    if (name.empty())
        return std::nullopt;
    return "Read(" + std::to_string(count) + ") Failed on " + std::string(name) + "!";
}

} // namespace msrw::reply
