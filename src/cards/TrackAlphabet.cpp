#include "cards/TrackAlphabet.h"

#include <algorithm>

namespace msrw {
namespace {

// The pass book's place in the card-type list the database application uses.
constexpr int kPassBookPosition = 4;
constexpr std::size_t kValueCardType = 1;
constexpr std::size_t kValueFirstBpc = 5;

using CharTest = bool (*)(int);

bool AnyChar(int) {
    return true;
}

CharTest AlphabetForBpcPosition(int position) {
    switch (position) {
    case 0: // 7 bits
    case 1: // 6 bits
        return InSixBitAlphabet;
    case 2: // 5 bits
    case 3: // 4 bits
        return InFourBitAlphabet;
    default:
        return AnyChar;
    }
}

bool AllIn(const std::string& text, CharTest test) {
    return std::all_of(text.begin(), text.end(),
                       [test](char c) { return test(static_cast<unsigned char>(c)); });
}

} // namespace

bool InSixBitAlphabet(int code) {
    return code >= ' ' && code <= '_';
}
bool InFourBitAlphabet(int code) {
    return code >= '0' && code <= '?';
}
bool IsUpperHexDigit(int code) {
    return (code >= '0' && code <= '9') || (code >= 'A' && code <= 'F');
}

std::optional<TrackAlphabetSetup> TrackAlphabetSetupFromValues(std::span<const int> values) {
    if (values.size() < kValueFirstBpc + 3)
        return std::nullopt;
    TrackAlphabetSetup setup;
    setup.cardTypePosition = values[kValueCardType];
    for (std::size_t i = 0; i < 3; ++i)
        setup.bpcPosition[i] = values[kValueFirstBpc + i];
    return setup;
}

bool CheckTrackAlphabet(const std::array<std::string, 3>& tracks, const TrackAlphabetSetup& setup) {
    for (std::size_t i = 0; i < tracks.size(); ++i) {
        const CharTest test = setup.cardTypePosition == kPassBookPosition
                                  ? InFourBitAlphabet
                                  : AlphabetForBpcPosition(setup.bpcPosition[i]);
        if (!AllIn(tracks[i], test))
            return false;
    }
    return true;
}

} // namespace msrw
