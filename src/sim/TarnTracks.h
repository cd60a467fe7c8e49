#pragma once
// What the Tarn family records from a track load and gives back to a track
// request. ISO and AAMVA loads carry the characters between the sentinels;
// the device adds the sentinels and the check character. CUSTOM loads carry
// "00" bytes for leading zeros, then one byte per character (80 | value);
// the device records the zeros (eight bits a byte), a start character (the
// value 1) and the characters, each least significant bit first.

#include "sim/Stripe.h"

#include <optional>
#include <string>
#include <string_view>

namespace msrw::sim::tarn {

// How the next data load is to be recorded.
struct LoadForm {
    bool custom = false;
    int bitsPerChar = 7; // ISO/AAMVA: 7 or 5 with parity; CUSTOM: 7, 6 or 5 data bits
};

// The bits a load lays down after the device's own leading zeros; nullopt
// when a character cannot be recorded. An empty load records nothing: an
// empty payload.
std::optional<Bits> EncodeLoad(std::string_view data, const LoadForm& form);

// How the device gives a track's data: closed by 04 (its memory's Mode 1)
// or not (Mode 2), and ISO characters with their sentinels or without.
struct ReplyStyle {
    bool closedBy04 = false;
    bool sentinels = false;
};

// The reply to a track request: "+" blank, "*" not readable in that form,
// else the data (ISO characters, or CUSTOM characters packed back into
// bytes), stuffed, then 04 when the style says so; in Mode 2 a track read
// with no data byte is "+", since no bytes would be no reply.
std::string TrackReply(const Stripe& stripe, const LoadForm& form, const ReplyStyle& style);

} // namespace msrw::sim::tarn
