#pragma once
// What the reader/writer's replies mean. Every function takes the reply text
// as the link delivers it, in the display form or the hex form: both are
// decoded to bytes first, so a backslash or a "?" is never mistaken for part
// of a marker, whichever form was chosen.

#include "protocol/CommandSet.h"
#include "protocol/MsrwMode.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace msrw {

// How the reader and the lead-zero-bias fixture name themselves.
inline constexpr const char* kReaderBanner = "Velk Reader/Writer Version";
inline constexpr const char* kFixtureBanner = "Velk Reader/Writer LZ Fixture V1.0 060201";
// The open settings of the reader scan and of reopening the reader.
inline constexpr const char* kScanSettings = "9600n , 8, 1";

} // namespace msrw

namespace msrw::reply {

using msrw::MsrwMode;

// The bytes a display-form or hex-form text stands for; nullopt for a text
// that neither form can produce (a lone or malformed escape).
std::optional<std::string> ReplyBytes(std::string_view replyText);

// --- Writes, erases and set-up steps answered through the receive event ---

// "OK\0D" in "Velk Mode"; "\1B0" or "\1B5" in "Ormond Mode"; "^" or a framed
// "^" in "Quell Mode"; never in "Pellam Mode".
bool IsCardCommandSuccess(MsrwMode mode, std::string_view replyText);

enum class WriteStatus {
    Written,       // the card holds the data
    VerifyPending, // written; a second swipe verifies it
    Error,
};

// A pass-book write: "\1B0" written and verified, "\1B5" verify pending.
WriteStatus ClassifyPassBookWrite(std::string_view replyText);
// A database write: "\1B5" is an error, except for a pass-book card, where it
// starts the verification; otherwise the card-command success rule decides.
WriteStatus ClassifyDatabaseWrite(MsrwMode mode, std::string_view replyText, bool passBook);

// --- Set-up replies -------------------------------------------------------

bool IsStatusOk(std::string_view replyText);                // "\1B0"
bool IsCommunicationTestAnswer(std::string_view replyText); // "\1By"
// "\1B0" followed by the three bytes that were sent.
bool IsBitsPerCharacterEcho(std::string_view replyText, const cmd::BitsPerCharacter& sent);

enum class Coercivity { High, Low };
std::optional<Coercivity> ParseCoercivity(std::string_view replyText); // "\1BH", "\1BL"

// ESC and the model digit ("1", "2", "3" or "5").
std::optional<cmd::TrackModel> ParseTrackModel(std::string_view replyText);

// ESC and one bias byte.
std::optional<std::uint8_t> ParseLeadZeroBias(std::string_view replyText);
// What the operator sees as the current bias: two hexadecimal digits, or the
// reply itself when it carries no bias byte.
std::string LeadZeroBiasDisplay(std::string_view replyText);

enum class ProbeAnswer {
    Banner,        // begins with the reader's identification banner
    EscapeStatus4, // "\1B4"
    Other,
};
ProbeAnswer ClassifyProbeReply(std::string_view replyText);

// --- Reads ----------------------------------------------------------------

// A set of tracks: bit 0 track 1, bit 1 track 2, bit 2 track 3.
struct TrackSet {
    std::uint8_t bits = 0;

    bool empty() const { return bits == 0; }
    bool contains(cmd::Track t) const { return (bits >> (static_cast<int>(t) - 1)) & 1; }
    friend bool operator==(TrackSet, TrackSet) = default;
};

enum class ReadVerdict {
    Success,      // every track read well
    TracksFailed, // the device names the failed tracks
    Failed,       // the device reports a failure without naming tracks
    Unrecognised, // not a read reply
};

struct ReadOutcome {
    ReadVerdict verdict = ReadVerdict::Unrecognised;
    TrackSet failedTracks; // filled for TracksFailed only
    friend bool operator==(const ReadOutcome&, const ReadOutcome&) = default;
};

// ESC 01 .. ESC 02 .. ESC 03 .. "?" FS ESC status, status "0" for success and
// "1"-"7" naming the failed tracks.
ReadOutcome ClassifyOrmondRead(std::string_view replyText);
// "T1:" CR .. "T2:" CR .. "T3:" CR ..; "Err" CR anywhere means failed.
ReadOutcome ClassifyVelkRead(std::string_view replyText);

// "Track 1", "Track 2", "Track 1 and 2", "Track 3", "Track 1 and 3",
// "Track 2 and 3", "All Track"; empty for an empty set.
std::string_view FailedTracksName(TrackSet failed);
std::string ReadOkLine(int count); // "Read(" n ") OK!"
// "Read(" n ") Failed on Track 1!" and the like; nullopt for an empty set.
std::optional<std::string> ReadFailedOnTracksLine(int count, TrackSet failed);

} // namespace msrw::reply
