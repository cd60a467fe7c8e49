#pragma once
// Turning the track fields into the write command of the mode and card type,
// and sending it.

#include "protocol/TrackText.h"

#include <string>
#include <string_view>

namespace msrw {

class Session;
class FormatStore;

// Operation codes a write is sent for (the value OpState takes).
inline constexpr int kOpWrite = 1;
inline constexpr int kOpSequentialWrite = 8;
inline constexpr int kOpTestWrite = 21;
inline constexpr int kOpPassBookWrite = 23;

// What the operator is told about data that cannot be written; the reason
// follows it.
inline constexpr const char* kDataErrorMessage = "Data Error";

// Strips the card type's sentinels from the fields and fills the prepared
// track data (spaces back from "~"). 1 when any prepared track has data, else 0.
//
// The fields themselves are left as shown: preparing again (every write arms
// the next card with the same data) must give the same data, which would not
// hold if a field lost a sentinel-like character at each preparation. Line
// breaks of the wrapped fields are not data and are left out.
int PrepareTrackData(Session& session);

// A write command in command-text notation, or why the data cannot be
// written. Both empty: the mode or card type has no write command here.
struct WriteCommandText {
    std::string command;
    std::string problem; // for the operator, after kDataErrorMessage
};

// The write command for prepared track data (tracks 1-3: sentinels as
// PrepareTrackData leaves them, spaces real, no line breaks).
//   "Velk Mode": the text command of the card type with each track of more
//     than 2 characters, ended by a carriage return so that the device knows
//     where the last track ends.
//   "Ormond Mode": ISO and AAMVA as decoded characters; USER (encoded with the
//     USER format, its sentinels always added, as preparation stripped them),
//     RAW (the hexadecimal digits themselves) and PASS BOOK as raw blocks.
// Refused, with the reason: no track to write, a track that cannot be
// encoded, or a command longer than the reader/writer takes at once.
WriteCommandText ComposeWriteCommand(std::string_view mode, std::string_view cardType,
                                     const track::TrackTexts& data, const FormatStore& format);

// Prepares the fields, composes the write command for the mode and card type,
// sets OpState to `kind` and sends it; WriteCommand keeps what was sent.
// Returns whether a command went out. When the data cannot be written the
// operator is told why ("Data Error: ...") and the operation is ended through
// the prompt's Cancel action (so the caller must not show the prompt: it can
// tell by the ended-operation count). "Quell Mode" and "Pellam Mode" send
// nothing and leave OpState alone.
bool SendWriteStr(Session& session, int kind);

} // namespace msrw
