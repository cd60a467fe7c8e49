#pragma once
// What the operator may type into the track fields txtTrk1-txtTrk3, and how
// long each field may grow, by card type and track.

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace msrw {

inline constexpr int kKeyCancelled = 0;
inline constexpr int kKeyBackspace = 8;
inline constexpr int kKeyEnter = 13;
inline constexpr int kShownSpace = '~'; // a space is shown and typed as "~"

// The most characters the field of `track` (1-3) takes for the type at the
// track's BPI ("210" or "75"); nullopt where the limit stays as it is.
std::optional<int> TrackLengthLimit(std::string_view cardType, int track, std::string_view bpi);

// What the filter looks at.
struct KeyFilterContext {
    std::string cardType;
    std::array<std::string, 3> bpi;                 // per track; "" leaves the limit as it is
    std::array<int, 3> userBpcPosition{-1, -1, -1}; // cboTk1Bpc..cboTk3Bpc, for USER
};

// The typed character code after the filter: raised, a space turned into "~",
// or kKeyCancelled. Backspace and codes of 128 and above always pass.
int FilterTrackKey(const KeyFilterContext& context, int track, int keyAscii);

// Takes over every key from the filter while it is set (marking the layout of
// a sequential write): given the track and the key, returns the key to use.
using KeyReplacement = std::function<int(int track, int keyAscii)>;

} // namespace msrw
