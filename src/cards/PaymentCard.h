#pragma once
// Payment cards, ISO/IEC 7813: track 1 in format "B" (number, name, expiry,
// service code, discretionary data) and track 2 (number, expiry, service
// code, discretionary data), with the checks an operator makes after writing
// one.

#include "cards/CardDetails.h"

#include <string_view>

namespace msrw::details {

// Whether `digits` (digits only, two or more) end in their Luhn check digit.
bool LuhnValid(std::string_view digits);
// The card network the number's leading digits name where the ranges are
// public; "unknown" otherwise.
std::string_view NetworkOf(std::string_view digits);
// What digit `digit` means at `position` (1-3) of a service code; empty for
// a digit the standard reserves.
std::string_view ServiceCodeMeaning(int position, char digit);

// Track bodies (no sentinels) that have the layout's shape.
bool IsPaymentTrack1(std::string_view body); // "B" and a digit
bool IsPaymentTrack2(std::string_view body); // digits, then "="

// The fields and checks of a payment card from the bodies of its tracks.
void DecodePayment(const std::array<std::string_view, 3>& bodies, const DecodeOptions& options,
                   CardDetails& out);

} // namespace msrw::details
