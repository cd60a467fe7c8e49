#include "cards/KeyFilter.h"

#include "cards/CardTypeList.h"
#include "cards/TrackAlphabet.h"

#include <array>

namespace msrw {
namespace {

constexpr int kFirstHighCode = 128;
constexpr int kRawOrCustomLimit = 220;

struct DensityLimits {
    int at210;
    int at75;
};
// Tracks 1-3 of the types whose limit follows the density.
constexpr std::array<DensityLimits, 3> kIsoLimits{{{76, 25}, {106, 37}, {106, 37}}};
constexpr std::array<DensityLimits, 3> kAamvaLimits{{{79, 25}, {106, 37}, {79, 25}}};

enum class KeyRule {
    Any,
    IsoText,   // 6-bit text without the sentinels "%" and "?"
    Text,      // 6-bit text
    IsoDigits, // 4-bit alphabet without the sentinels ";" and "?"
    FourBit,   // 4-bit alphabet
    Hex,       // hexadecimal digits
};

bool ValidTrack(int track) {
    return track >= 1 && track <= 3;
}
std::size_t Index(int track) {
    return static_cast<std::size_t>(track - 1);
}

int Raised(int c, int first, int last) {
    return c >= first && c <= last ? c - ('a' - 'A') : c;
}

KeyRule UserRule(int bpcPosition) {
    if (bpcPosition == 0 || bpcPosition == 1) // 7 or 6 bits
        return KeyRule::Text;
    if (bpcPosition == 2 || bpcPosition == 3) // 5 or 4 bits
        return KeyRule::FourBit;
    return KeyRule::Any;
}

KeyRule RuleFor(const KeyFilterContext& context, int track) {
    const std::string& type = context.cardType;
    if (type == card::ISO)
        return track == 1 ? KeyRule::IsoText : KeyRule::IsoDigits;
    if (type == card::AAMVA)
        return track == 2 ? KeyRule::IsoDigits : KeyRule::IsoText;
    if (type == card::USER)
        return UserRule(context.userBpcPosition[Index(track)]);
    if (type == card::RAW || type == card::CUSTOM)
        return KeyRule::Hex;
    if (type == card::PASS_BOOK)
        return KeyRule::FourBit;
    return KeyRule::Any;
}

int FilterText(int c, bool withoutSentinels) {
    c = Raised(c, 'a', 'z');
    if (!InSixBitAlphabet(c))
        return kKeyCancelled;
    if (withoutSentinels && (c == '%' || c == '?'))
        return kKeyCancelled;
    return c;
}

int ApplyRule(KeyRule rule, int c) {
    switch (rule) {
    case KeyRule::IsoText:
        return FilterText(c, true);
    case KeyRule::Text:
        return FilterText(c, false);
    case KeyRule::IsoDigits:
        return InFourBitAlphabet(c) && c != ';' && c != '?' ? c : kKeyCancelled;
    case KeyRule::FourBit:
        return InFourBitAlphabet(c) ? c : kKeyCancelled;
    case KeyRule::Hex:
        c = Raised(c, 'a', 'f');
        return IsUpperHexDigit(c) ? c : kKeyCancelled;
    case KeyRule::Any:
        break;
    }
    return c;
}

// The types whose fields show a space as "~"; CDL keeps what was typed.
bool ShowsSpaceAsTilde(const std::string& type) {
    return type == card::ISO || type == card::AAMVA || type == card::USER;
}

} // namespace

std::optional<int> TrackLengthLimit(std::string_view cardType, int track, std::string_view bpi) {
    if (!ValidTrack(track))
        return std::nullopt;
    if (cardType == card::CUSTOM)
        return kRawOrCustomLimit;
    const std::array<DensityLimits, 3>* limits = cardType == card::ISO     ? &kIsoLimits
                                                 : cardType == card::AAMVA ? &kAamvaLimits
                                                                           : nullptr;
    if (!limits)
        return std::nullopt;
    const DensityLimits& forTrack = (*limits)[Index(track)];
    if (bpi == "210")
        return forTrack.at210;
    if (bpi == "75")
        return forTrack.at75;
    return std::nullopt;
}

int FilterTrackKey(const KeyFilterContext& context, int track, int keyAscii) {
    if (!ValidTrack(track) || keyAscii < 0)
        return kKeyCancelled;
    if (keyAscii == kKeyBackspace || keyAscii >= kFirstHighCode)
        return keyAscii;
    const int c = ApplyRule(RuleFor(context, track), keyAscii);
    if (c == ' ' && ShowsSpaceAsTilde(context.cardType))
        return kShownSpace;
    return c;
}

} // namespace msrw
