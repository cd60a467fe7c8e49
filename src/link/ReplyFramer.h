#pragma once
// Knows when a reply is complete, so that no exchange waits for an idle gap.
// The shape of the reply follows from the command that was sent; bytes that
// cannot begin a reply (line noise) are skipped.

#include <cstddef>
#include <string_view>

namespace msrw {

enum class ReplyShape {
    None,        // the device says nothing ("\1Ba", track model, protocol switches)
    Status,      // ESC and one status byte
    StatusEcho3, // ESC '0' and the three bits-per-character bytes; ESC other alone
    Line,        // a text line ending in CR (banner, "OK", "Err"), or ESC and a status
    DecodedRead, // ESC 01 ... '?' FS ESC status, a text read reply, or a bare status
    RawRead,     // as DecodedRead, with length-prefixed track fields
    Tarn,        // STX .. ETX check; bare Tarn replies end only by silence
    TarnStatus,  // a Tarn frame, or one bare status byte ("^", "*", "+")
    TarnMemory,  // a Tarn frame, two hexadecimal digits, or a bare "*"
    TarnTrack,   // a Tarn frame, a bare "+" or "*", or track data up to 04 (Mode 1)
    // Mode 2 (no 04): a Tarn frame, a bare "+" or "*", or an ISO track's
    // data; begun by a start sentinel it ends at the end sentinel, else when
    // the line falls quiet (nothing else can end it).
    TarnTrackText,
    TarnTrackOpen, // Mode 2, CUSTOM tracks: a frame, "+" or "*", else data until quiet
    Any,           // not known: recognised by its first bytes
};

// The shape of the reply to a command. `tarnFamily`: the device speaks the
// single-byte family, whose bare replies are recognised by the command;
// `tarnModeTwo`: its set-up memory says Mode 2, track data without 04.
ReplyShape ShapeForCommand(std::string_view commandBytes, bool tarnFamily = false,
                           bool tarnModeTwo = false);

struct FrameResult {
    std::size_t skip = 0;   // leading bytes that are not part of any reply
    std::size_t length = 0; // length of the complete reply after them; 0 = not yet
};

FrameResult FindReply(std::string_view buffer, ReplyShape shape);

} // namespace msrw
