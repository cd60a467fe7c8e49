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
    Any,         // not known: recognised by its first bytes
};

ReplyShape ShapeForCommand(std::string_view commandBytes);

struct FrameResult {
    std::size_t skip = 0;   // leading bytes that are not part of any reply
    std::size_t length = 0; // length of the complete reply after them; 0 = not yet
};

FrameResult FindReply(std::string_view buffer, ReplyShape shape);

} // namespace msrw
