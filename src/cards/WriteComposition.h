#pragma once
// The write command of the mode and card type for prepared track data.

#include "protocol/MsrwMode.h"
#include "protocol/TrackText.h"

#include <string>
#include <string_view>

namespace msrw {

struct CardFormat;

// What the operator is told about data that cannot be written; the reason
// follows it.
inline constexpr const char* kDataErrorMessage = "Data Error";

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
//   "Ormond Mode": ISO and AAMVA as decoded characters, each track sent
//     without its sentinels (the device adds them); USER (encoded with the
//     USER format, its sentinels added where missing), RAW (the hexadecimal
//     digits themselves) and PASS BOOK as raw blocks.
// Refused, with the reason: no track to write, a track that cannot be
// encoded, or a command longer than the reader/writer takes at once.
WriteCommandText ComposeWriteCommand(MsrwMode mode, std::string_view cardType,
                                     const track::TrackTexts& data, const CardFormat& format);

} // namespace msrw
