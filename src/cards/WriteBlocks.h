#pragma once
// The per-track blocks of the raw and pass-book write commands.
//
// The reader/writer lays each data byte onto the stripe least significant bit
// first, while the recorded bits are kept most significant first; so every
// byte is sent with its eight bits reversed.

#include "protocol/CommandSet.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace msrw {

struct CommandByteText {
    std::size_t count = 0; // hexadecimal digits taken, after any padding (always even)
    std::string text;      // the bytes in command-text notation, "\XX" each
};

// Hexadecimal digits (either case) to the bytes of a raw block: an odd count
// gets a "0" in front, and each byte's bits are reversed. Callers pass
// hexadecimal digits only (see IsHexDigit).
CommandByteText BitsToCommandBytes(std::string_view hexDigits);

bool IsHexDigit(char c); // either case

// ESC, the track byte, the length byte (data bytes plus one), the data bytes
// and a closing 00; a track without data is ESC, the track byte and 00. The
// length travels in one byte, so `bytes` holds at most 254 bytes (a longer
// block makes a command the link refuses anyway).
std::string RawTrackBlock(cmd::Track track, const CommandByteText& bytes);

} // namespace msrw
