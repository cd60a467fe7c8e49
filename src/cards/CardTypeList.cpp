#include "cards/CardTypeList.h"

namespace msrw {

std::vector<std::string> CardTypesForMode(MsrwMode mode) {
    switch (mode) {
    case MsrwMode::Velk:
        return {card::ISO, card::AAMVA, card::CDL, card::USER, card::RAW};
    case MsrwMode::Ormond:
        return {card::ISO, card::AAMVA, card::USER, card::RAW, card::PASS_BOOK};
    case MsrwMode::Quell:
        return {card::ISO, card::AAMVA, card::CUSTOM};
    case MsrwMode::Pellam:
        break;
    }
    return {};
}

bool InTarnFamily(bool protocolIsTarn, MsrwMode mode) {
    return protocolIsTarn || mode == MsrwMode::Quell;
}

} // namespace msrw
