#include "protocol/TrackText.h"

#include "link/Notation.h"

#include <algorithm>

namespace msrw::track {
namespace {

constexpr std::size_t kDisplayTkPeriod = 72;
constexpr std::size_t kTrackFieldPeriod = 82;
constexpr std::string_view kLineBreak = "\r\n";

bool IsLineBreakChar(char c) {
    return c == '\r' || c == '\n';
}

// Appends `text` one character at a time and a line break each time the
// result reaches line x period characters; the break itself counts, which is
// why every line after the first is two characters shorter.
std::string WrapAtMultiplesOf(std::string_view text, std::size_t period) {
    std::string out;
    out.reserve(text.size() + 2 * (text.size() / (period - 2) + 1));
    std::size_t line = 1;
    for (const char c : text) {
        out += c;
        if (out.size() == line * period) {
            out += kLineBreak;
            ++line;
        }
    }
    return out;
}

std::size_t DataCharactersBefore(std::string_view text, std::size_t caret) {
    const std::string_view before = text.substr(0, std::min(caret, text.size()));
    return static_cast<std::size_t>(
        std::count_if(before.begin(), before.end(), [](char c) { return !IsLineBreakChar(c); }));
}

// The offset just after the `count`-th data character of a wrapped text.
std::size_t OffsetAfterDataCharacters(std::string_view text, std::size_t count) {
    std::size_t offset = 0;
    for (std::size_t seen = 0; offset < text.size() && seen < count; ++offset)
        if (!IsLineBreakChar(text[offset]))
            ++seen;
    return offset;
}

} // namespace

void SpacesToTilde(TrackTexts& tracks) {
    for (std::string& track : tracks)
        std::replace(track.begin(), track.end(), ' ', '~');
}

std::string TakeLFOut(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::copy_if(text.begin(), text.end(), std::back_inserter(out),
                 [](char c) { return !IsLineBreakChar(c); });
    return out;
}

std::string InsertSlash(std::string_view text) {
    std::string out;
    out.reserve(text.size() * 3);
    for (const char c : text)
        out += "\\" + HexByte(static_cast<unsigned char>(c));
    return out;
}

std::string WrapForDisplayTk(std::string_view text) {
    return WrapAtMultiplesOf(text, kDisplayTkPeriod);
}

FieldText RewrapTrackField(std::string_view text, std::size_t caret) {
    if (text.empty())
        return {};
    FieldText out;
    out.text = WrapAtMultiplesOf(TakeLFOut(text), kTrackFieldPeriod);
    out.caret = OffsetAfterDataCharacters(out.text, DataCharactersBefore(text, caret));
    if (out.text.compare(out.caret, kLineBreak.size(), kLineBreak) == 0)
        out.caret += kLineBreak.size();
    return out;
}

} // namespace msrw::track
