#include "cards/CardTypeList.h"

namespace msrw {

std::vector<std::string> CardTypesForMode(std::string_view mode) {
    if (mode == "Velk Mode")
        return {card::ISO, card::AAMVA, card::CDL, card::USER, card::RAW};
    if (mode == "Ormond Mode")
        return {card::ISO, card::AAMVA, card::USER, card::RAW, card::PASS_BOOK};
    if (mode == "Quell Mode")
        return {card::ISO, card::AAMVA, card::CUSTOM};
    return {};
}

bool InTarnFamily(bool protocolIsTarn, std::string_view mode) {
    return protocolIsTarn || mode == "Quell Mode";
}

} // namespace msrw
