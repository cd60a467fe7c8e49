#include "cards/TrackFields.h"

#include <algorithm>

namespace msrw::details {

std::string_view TrackBody(std::string_view track) {
    if (!track.empty() && (track.front() == '%' || track.front() == ';'))
        track.remove_prefix(1);
    return track.substr(0, track.find('?'));
}

Piece FieldCutter::fixed(std::size_t width) {
    if (rest_.empty())
        return {{}, FieldState::Missing};
    const std::string_view text = rest_.substr(0, width);
    rest_.remove_prefix(text.size());
    if (text.size() < width)
        return {text, FieldState::CutShort};
    return {text, Trimmed(text).empty() ? FieldState::Empty : FieldState::Present};
}

Piece FieldCutter::until(char separator, std::size_t most) {
    if (rest_.empty())
        return {{}, FieldState::Missing};
    const std::size_t at = rest_.find(separator);
    if (most > 0 && (at == std::string_view::npos || at > most) && rest_.size() >= most) {
        // The field fills its room: no separator follows it.
        const std::string_view text = rest_.substr(0, most);
        rest_.remove_prefix(most);
        return {text, FieldState::Present};
    }
    if (at == std::string_view::npos) {
        const std::string_view text = rest_;
        rest_ = {};
        return {text, FieldState::CutShort};
    }
    const std::string_view text = rest_.substr(0, at);
    rest_.remove_prefix(at + 1);
    return {text, Trimmed(text).empty() ? FieldState::Empty : FieldState::Present};
}

Piece FieldCutter::rest() {
    const std::string_view text = rest_;
    rest_ = {};
    return {text, Trimmed(text).empty() ? FieldState::Empty : FieldState::Present};
}

bool FieldCutter::skip(char c) {
    if (rest_.empty() || rest_.front() != c)
        return false;
    rest_.remove_prefix(1);
    return true;
}

std::string Utf8(std::string_view latin1) {
    std::string out;
    out.reserve(latin1.size());
    for (const char c : latin1) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            out += c;
        } else {
            out += char(0xC0 | (byte >> 6));
            out += char(0x80 | (byte & 0x3F));
        }
    }
    return out;
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

bool AllDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int Number(std::string_view digits) {
    int value = 0;
    for (const char c : digits.substr(0, 9))
        value = value * 10 + (c - '0');
    return value;
}

Field MakeField(int track, std::string key, std::string label, const Piece& piece) {
    return {track, std::move(key), std::move(label), Utf8(Trimmed(piece.text)), piece.state};
}

std::string MonthYear(int month, int year) {
    return (month < 10 ? "0" : "") + std::to_string(month) + "/" + std::to_string(year);
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[std::clamp(month, 1, 12) - 1];
}

bool After(const Date& a, const Date& b) {
    if (a.year != b.year)
        return a.year > b.year;
    if (a.month != b.month)
        return a.month > b.month;
    return a.day > b.day;
}

Check ExpiryCheck(const Date& lastDay, const std::string& shown, const Date& today) {
    if (After(today, lastDay))
        return {"expiry", "Expiry", false, "The card expired at the end of " + shown + "."};
    return {"expiry", "Expiry", true, "The card is valid until the end of " + shown + "."};
}

} // namespace msrw::details
