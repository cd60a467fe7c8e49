#pragma once
// Cutting a read reply into its three tracks, and turning raw tracks into
// hexadecimal digits.
//
// The reply text is split on the bytes it stands for, whichever form (display
// or hex) the link delivered, and each track keeps the form of the reply. Raw
// track fields carry a length byte; the split trusts it before searching for
// the next marker, so raw data that happens to contain a marker's bytes is
// never cut in two.
//
// The caller passes what the parse depends on as plain values: the MSRW mode,
// the position of the chosen card type in its list, and the tracks in use.

#include "protocol/ReplyClassification.h"
#include "protocol/TrackText.h"

#include <string>
#include <string_view>

namespace msrw::reading {

using track::TrackTexts;

struct ReadReplyContext {
    reply::MsrwMode mode = reply::MsrwMode::Ormond;
    // Positions 0 and 1 (ISO and AAMVA in every list) show a doubled
    // backslash of the display form as one.
    int cardTypePosition = 0;
    // 0: track 2 only; 1: tracks 1 and 2; anything else: all three.
    int activeTracks = 2;
};

struct ParsedRead {
    TrackTexts tracks; // tracks not in use are empty
    bool ok = false;
};

// "Ormond Mode": ESC 01 f1 ESC 02 f2 ESC 03 f3 "?" FS ESC status. A field that
// is ESC "+" or ESC "*" (no data, in either form) is an empty track; ok needs
// all markers in order and status "0".
// "Velk Mode": "T1:" CR t1 CR "T2:" CR t2 CR "T3:" CR t3 CR; ok needs all
// three markers in order and no "Err" CR.
// Other modes have no such reply: not ok, no tracks. Neither is a text that is
// not a well-formed display or hex form. Line breaks added for the operator's
// eye after "\0D" are ignored.
ParsedRead ParseReadReply(std::string_view replyText, const ReadReplyContext& context);

// A raw field (a length byte, then the data bytes) as the hexadecimal digits
// of its data bytes; no more bytes than the length byte counts. Empty for an
// empty field, one without data, or a malformed text.
std::string RawTrackToHex(std::string_view rawField);
void RawTrackToHex(TrackTexts& tracks);

} // namespace msrw::reading
