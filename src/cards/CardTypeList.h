#pragma once
// The card types, and which of them each MSRW mode offers.

#include "protocol/MsrwMode.h"

#include <string>
#include <string_view>
#include <vector>

namespace msrw {

namespace card {
inline constexpr const char* ISO = "ISO";
inline constexpr const char* AAMVA = "AAMVA";
inline constexpr const char* CDL = "CDL";
inline constexpr const char* USER = "USER";
inline constexpr const char* RAW = "RAW";
inline constexpr const char* CUSTOM = "CUSTOM";
inline constexpr const char* PASS_BOOK = "PASS BOOK";
} // namespace card

// The types whose reads the escape-sequence family gives as raw bytes.
inline bool IsUserOrRaw(std::string_view cardType) {
    return cardType == card::USER || cardType == card::RAW;
}

// The entries of the card-type list in `mode`, in list order.
std::vector<std::string> CardTypesForMode(MsrwMode mode);

// Whether the device speaks the single-byte (Tarn) family rather than the
// escape sequences: chosen at start-up, and always so in "Quell Mode".
bool InTarnFamily(bool protocolIsTarn, MsrwMode mode);

} // namespace msrw
