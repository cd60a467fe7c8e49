#pragma once
// The single-byte (Tarn) family's frames, pure: the framed form of a command
// with its check byte, the check of a framed reply, and the texts the
// program makes of the device's track replies. Command and reply texts are in
// the program's notation ("\XX" for a byte, "\\" for a backslash).

#include <optional>
#include <string>
#include <string_view>

namespace msrw::tarn {

// The housekeeping commands every card operation sends, as command texts.
inline constexpr const char* kReset = "\\7F";    // reset: memory closed, loads dropped
inline constexpr const char* kReady = "\\4B";    // before arming, and after a recovery
inline constexpr const char* kIdle = "\\4C";     // at start-up and when a dialog or run ends
inline constexpr const char* kRecoverA = "\\6B"; // the two steps after a failed card
inline constexpr const char* kRecoverB = "\\4D";
inline constexpr const char* kEndPrefix = "\\28"; // the first step of ending an operation
inline constexpr const char* kReadArm = "\\50";
inline constexpr const char* kWriteStart = "\\40";

// A frame (STX, command, ETX, check) holds at most this many bytes.
inline constexpr std::size_t kMaxFrameBytes = 201;

// "\02" + command + "\03\" + the check byte as two hexadecimal digits, where
// the check is the exclusive-or of every byte from STX to ETX. `command` is
// made of "\XX" pairs only. nullopt, with the reason in `why`, for a command
// that is not such pairs or whose frame would exceed kMaxFrameBytes.
std::optional<std::string> FrameCommand(std::string_view command, std::string* why = nullptr);

struct FramedReply {
    bool ok = false;  // the body's check byte matched
    std::string body; // the bytes between the first STX and the first ETX,
                      // in the notation (display form)
};
// Checks a framed reply as the link delivered it (display form): the body is
// the text between the first "\02" and the first "\03"; the reply is good when
// the exclusive-or of the body bytes, exclusive-or 01, equals the byte after
// "\03" (a single character, "\\" or "\XX"). No STX, no ETX or no check byte:
// not ok.
FramedReply CheckFramedReply(std::string_view reply);

// The first byte of a command text ("\7F..." gives 0x7F); -1 when none.
int FirstCommandByte(std::string_view command);

// A reply of the single-byte family that says "taken": "^" or "\02^\03_".
bool IsTaken(std::string_view reply);
// The double start reply that a swiped card gives an armed read or write:
// "^^" (bare) or "\02^\03_\02^\03_" (framed).
bool IsDoubleStart(std::string_view reply, bool unframed);

// A track request's reply (after SendTarnStr, so without any frame).
enum class TrackState { Blank, Failed, Data };
struct TrackReply {
    TrackState state = TrackState::Failed;
    std::string text; // Data: the track in the notation, any closing 04 removed
                      // and its stuffed bytes (10, byte ^ 40) restored
};
// How the device ends a track's data: the set-up memory's mode (address 04,
// bit 0). Mode 1 closes it with 04; Mode 2 (the memory's default) sends no
// 04, the data ending with the reply.
enum class TrackDataEnd { Eot, WithReply };
// "+" is a blank track, "*" a failed one; anything else is the track's data,
// sentinels and all, as the device sent it. In Mode 1 data that is not closed
// by "\04" was cut short, and is a failed track: it is never shown. In Mode 2
// a closing "\04" is taken off too. Broken stuffing, or a 04 inside the data,
// is a failed track in either mode.
TrackReply ParseTrackReply(std::string_view reply, TrackDataEnd end = TrackDataEnd::Eot);

// Whether a track's text (in the notation) holds printable characters only,
// as the decoded characters of an ISO or AAMVA track do: line noise does not.
bool IsCharacterText(std::string_view text);

// The data load of a track, in the notation: each byte as "\XX", the bytes
// 02, 03, 04 and 10 stuffed (10, then the byte exclusive-or 40), then "\04".
// The counterpart of ParseTrackReply's unstuffing.
std::string TrackDataLoad(std::string_view dataBytes);

// Bare hexadecimal digits of a text of at least four characters: "\" is
// dropped and the two characters after it copied ("\\" gives "5C"); any other
// character becomes the two digits of its code. Shorter texts come back as
// they are.
std::string ReadCustom(std::string_view text);
// Each doubled backslash becomes one: a Tarn track text as it is shown.
std::string TarnDisplayText(std::string_view text);
// "210" for "0", "75" for "1", "" for anything else.
std::string ReadTarnBpi(std::string_view value);

// The serial format byte of set-up memory address 03: baud code (19200 0,
// 9600 1, 4800 2, 2400 3, 1200 4) plus parity bits (odd 00, even 08, mark 10,
// space 18).
enum class TarnParity { Odd, Even, Mark, Space };
struct SerialFormat {
    int baud = 9600;
    TarnParity parity = TarnParity::Odd;
};
std::optional<int> SerialFormatByte(const SerialFormat& format);
std::optional<SerialFormat> SerialFormatOf(int byte);
// The port texts of a format: "9600," and "o , 7, 1" (as the Tarn serial
// settings file holds them).
std::string BaudText(const SerialFormat& format);
std::string ParityText(const SerialFormat& format);

// Protocol-and-mode byte of address 04: bit 1 framed (protocol 1), bit 0
// mode 2.
int ProtocolAndModeByte(bool framed, bool modeTwo);

} // namespace msrw::tarn
