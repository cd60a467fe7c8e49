#pragma once
// Cutting a track into the fields of a layout: fixed-width fields and fields
// ended by a separator, each with what the card left of it. Shared by the
// payment and the licence layouts.

#include "cards/CardDetails.h"

#include <string>
#include <string_view>

namespace msrw::details {

// The track without its start sentinel ("%" or ";") and without the end
// sentinel "?" and what follows it.
std::string_view TrackBody(std::string_view track);

struct Piece {
    std::string_view text;
    FieldState state = FieldState::Present;
};

// Cuts fields off the front of a track's body, never past its end.
class FieldCutter {
public:
    explicit FieldCutter(std::string_view body) : rest_(body) {}
    // The next `width` characters; all spaces is Empty.
    Piece fixed(std::size_t width);
    // Up to `separator` (taken too), or `most` characters where the field
    // fills its room and no separator follows (`most` 0: no limit). A track
    // that ends inside the field cuts it short.
    Piece until(char separator, std::size_t most = 0);
    // Whatever is left.
    Piece rest();
    // Takes `c` when it comes next: a separator standing for an absent field.
    bool skip(char c);
    bool atEnd() const { return rest_.empty(); }

private:
    std::string_view rest_;
};

// Latin-1 bytes as UTF-8, so that any byte a track holds can be shown.
std::string Utf8(std::string_view latin1);
// Trailing spaces off.
std::string_view Trimmed(std::string_view text);
bool AllDigits(std::string_view text);
// The number of `digits` (all digits, at most 9).
int Number(std::string_view digits);
// A field of `piece`, its value as given (trailing spaces off).
Field MakeField(int track, std::string key, std::string label, const Piece& piece);
// "12/2028".
std::string MonthYear(int month, int year);
int DaysInMonth(int year, int month);
// Whether `a` comes after `b`.
bool After(const Date& a, const Date& b);
// The check of a card valid to the end of `lastDay`, which `shown` names.
Check ExpiryCheck(const Date& lastDay, const std::string& shown, const Date& today);

} // namespace msrw::details
