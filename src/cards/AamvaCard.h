#pragma once
// Driver licence and identification cards, the AAMVA magnetic stripe: track 1
// (jurisdiction, city, name, address), track 2 (issuer, licence/ID number,
// expiry, date of birth) and track 3 (versions, postal code, class,
// restrictions, endorsements, sex, height, weight, hair and eye colour...).

#include "cards/CardDetails.h"

#include <array>
#include <string_view>

namespace msrw::details {

// Track bodies (no sentinels) that have the layout's shape.
bool IsAamvaTrack1(std::string_view body); // a jurisdiction's two letters, "^" later
bool IsAamvaTrack2(std::string_view body); // an issuer number "636...", "=" later

// The fields and checks of a licence or ID card from the bodies of its tracks.
void DecodeAamva(const std::array<std::string_view, 3>& bodies, const Date& today,
                 CardDetails& out);

} // namespace msrw::details
