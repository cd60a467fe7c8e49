#pragma once
// The captions of the track frames fraTrk1-fraTrk3 for a card type: bits per
// character and density of each track, as the type sets them up.

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace msrw {

struct CardFormat;

using FrameCaptions = std::array<std::string, 3>;

// The captions of the escape-sequence family for `cardType`, with the
// densities and USER bits per character of the card format. nullopt for
// a type whose captions come from the Tarn set-up (CUSTOM) or an unknown one.
std::optional<FrameCaptions> CardTypeCaptions(std::string_view cardType, const CardFormat& format);

} // namespace msrw
