#pragma once
// Recognises one complete command at the start of the bytes received so far,
// for the escape-sequence family and its text commands. Commands have known
// lengths, length bytes or terminators, so fragments are simply awaited.

#include "sim/CardOps.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace msrw::sim {

enum class CommandKind {
    Reset,           // ESC a
    Echo,            // ESC e
    Version,         // ESC v
    Probe,           // the single byte "9"
    DecodedRead,     // ESC r
    RawRead,         // ESC m
    PassBookRead,    // ESC R 0 / ESC R 1
    DecodedWrite,    // ESC w ESC s blocks "?" FS
    RawWrite,        // ESC n ESC s blocks 3F 1C
    PassBookWrite,   // ESC W ESC s blocks 3F 1C
    Erase,           // ESC c digit
    SetBitsPerChar,  // ESC o b1 b2 b3
    SetDensity,      // ESC f|b|g value
    SetLeadingZeros, // ESC z a b
    SetHighCo,       // ESC x
    SetLowCo,        // ESC y
    AskCoercivity,   // ESC d
    SetTrackModel,   // ESC s digit
    AskTrackModel,   // ESC t
    SetLeadZeroBias, // ESC h value
    AskLeadZeroBias, // ESC i
    BootLoader,      // ESC J F K
    ToTarn,          // ESC "ToTARN"
    TextRead,        // "RU ..." / "RR" CR; args "U" or "R"
    TextErase,       // "ER " digits CR; args the digits
    TextWrite,       // "WI " ... ; args the type letter
    MalformedWrite,  // a write whose blocks do not parse
    Ignored,         // understood as a command, not acted upon
};

struct Command {
    CommandKind kind = CommandKind::Ignored;
    std::string args;  // parameter bytes
    int track = 0;     // 0-2 for SetDensity
    TrackTexts blocks; // write data per track
};

struct ParseResult {
    enum class Status { NeedMore, Done, Skip };
    Status status = Status::NeedMore;
    std::size_t length = 0; // bytes consumed (Done and Skip)
    Command command;
};

// A text write ends at CR; when the line has gone quiet (`idle`), it ends
// where it is, and other unfinished text lines are dropped.
ParseResult ParseEscapeFamily(std::string_view input, bool idle);

// Bytes kept while a command is incomplete; beyond this the input is dropped.
inline constexpr std::size_t kMaxPendingBytes = 4096;

} // namespace msrw::sim
