#pragma once
// Small text procedures on track texts: the "~" convention for spaces, line
// breaks in the multi-line track fields, and the command-text spelling of
// characters. All pure: the windows bind their fields to the results.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace msrw::track {

// Tracks 1, 2 and 3, in that order.
using TrackTexts = std::array<std::string, 3>;

// Spaces are shown and typed as "~" in the track fields.
void SpacesToTilde(TrackTexts& tracks);

// Removes every carriage return and line feed. Every caller wants the track
// data on one line; leaving a break in would put CR LF bytes into the data
// that is written or compared.
std::string TakeLFOut(std::string_view text);

// Each character as "\" and two upper-case hexadecimal digits of its code.
// Always two digits, so that the result reads back as the same bytes.
std::string InsertSlash(std::string_view text);

// The wrapping of a track shown after a read: a CR LF is appended whenever the
// text, line breaks included, reaches a multiple of 72 characters, so the
// first line holds 72 characters and each later one 70.
std::string WrapForDisplayTk(std::string_view text);

// A track field's text and its caret (an offset into the text).
struct FieldText {
    std::string text;
    std::size_t caret = 0;

    friend bool operator==(const FieldText&, const FieldText&) = default;
};

// The re-wrapping of a track field after an edit: line breaks are removed and
// put back whenever the text reaches a multiple of 82 characters (82 on the
// first line, 80 on each later one). The caret stays after the same data
// character; when it would stand just before an inserted break it moves past
// it, so typing flows onto the next line.
FieldText RewrapTrackField(std::string_view text, std::size_t caret);

} // namespace msrw::track
