#pragma once
// What the tracks of a card mean, by the public layouts every card of these
// kinds follows: payment cards (ISO/IEC 7813, tracks 1 and 2) and driver
// licence and identification cards (the AAMVA magnetic stripe, tracks 1-3).
// Pure: the tracks as read in, named fields and checks out. It never throws
// and looks at nothing past the texts given. The account number comes out
// masked unless the caller asks for it whole.

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace msrw::details {

struct Date {
    int year = 0;  // 2026
    int month = 0; // 1-12
    int day = 0;   // 1-31
};

enum class Layout { None, Payment, Aamva, Unrecognised };

// A field of the layout as the card holds it. A field is never guessed: one
// the card leaves blank is Empty, one the track ends inside is CutShort
// (with what there is), one the track ends before is Missing.
enum class FieldState { Present, Empty, CutShort, Missing };

struct Field {
    int track = 0;     // the track it comes from; 0: the card as a whole
    std::string key;   // for programs: "number", "expiry"
    std::string label; // for people: "Card number"
    std::string value; // UTF-8; the number masked unless asked for
    FieldState state = FieldState::Present;
};

struct Check {
    std::string key;   // "luhn", "expiry", "tracks_agree", "service_code"
    std::string label; // "Check digit"
    bool passed = false;
    std::string sentence; // what it means, in a sentence
};

struct CardDetails {
    Layout layout = Layout::None;
    std::vector<Field> fields;
    std::vector<Check> checks;
};

struct DecodeOptions {
    Date today;          // the expiry is checked against it
    bool unmask = false; // the account number whole
};

// The tracks as the reader gives them, with or without their start and end
// sentinels.
CardDetails DecodeCardDetails(const std::array<std::string, 3>& tracks,
                              const DecodeOptions& options);

// "Payment card (ISO/IEC 7813)", "Driver licence or ID card (AAMVA)", "not a
// recognised layout", "no tracks".
const char* LayoutName(Layout layout);
// "payment", "aamva", "unrecognised", "none".
const char* LayoutKey(Layout layout);
// "present", "empty", "cut short", "missing".
const char* FieldStateName(FieldState state);
// The value as a person reads it: "(empty)", "12 (cut short)", "(not on the card)".
std::string ShownValue(const Field& field);

// The details as lines of text, each begun with `indent`: the layout, the
// fields (a heading for each track), then the checks ("PASS", "FAIL").
std::string DetailsText(const CardDetails& details, const std::string& indent);

// The digits with the first six and the last four shown and the rest as
// "•"; a number too short to hide six digits that way shows its last four at
// most.
std::string MaskedNumber(std::string_view digits);

} // namespace msrw::details
