#include "cards/FrameCaptions.h"

#include "cards/CardFormat.h"
#include "cards/CardTypeList.h"

namespace msrw {
namespace {

std::string TrackLabel(std::size_t index) {
    return "Track" + std::to_string(index + 1) + "   ";
}

// "Track1   7-BPC   210-BPI" and the like.
FrameCaptions ByBpcAndBpi(const std::array<std::string, 3>& bpc, const CardFormat& format) {
    FrameCaptions captions;
    for (std::size_t i = 0; i < 3; ++i)
        captions[i] = TrackLabel(i) + bpc[i] + "-BPC   " + format.bpi[i] + "-BPI";
    return captions;
}

} // namespace

std::optional<FrameCaptions> CardTypeCaptions(std::string_view cardType, const CardFormat& format) {
    if (cardType == card::ISO)
        return ByBpcAndBpi({"7", "5", "5"}, format);
    if (cardType == card::AAMVA)
        return ByBpcAndBpi({"7", "5", "7"}, format);
    if (cardType == card::USER)
        return ByBpcAndBpi(format.userBpc, format);
    if (cardType == card::RAW)
        return ByBpcAndBpi({"8", "8", "8"}, format);
    if (cardType == card::CDL)
        return FrameCaptions{"Track1  6-BPC 210-BPI", "Track2  5-BPC 75-BPI",
                             "Track3  6-BPC 210-BPI"};
    if (cardType == card::PASS_BOOK)
        return FrameCaptions{"Track1   5-BPC   210-BPI", "Track2   5-BPC   210-BPI",
                             "Track3   5-BPC   210-BPI"};
    return std::nullopt;
}

} // namespace msrw
