#pragma once
// A card data file's header applied to the card format set-up before a card
// is written from the file.

#include <optional>
#include <string>

namespace msrw {

class Session;
namespace cardfile {
struct Header;
}

// The failure shown when a sentinel line cannot be applied ("Please correct
// the Track 1 SS in USE file.") and the track whose box is then cleared.
struct HeaderRefusal {
    std::string message;
    int track = 0;
};

// Densities (when the header has its three BPI lines; not for a pass book),
// then by card type: ISO and AAMVA only the frame titles; USER and RAW
// parity, bits per character and sentinels; PASS BOOK sync zeros and
// sentinels.
std::optional<HeaderRefusal> ApplyHeader(Session& session, const cardfile::Header& header);

} // namespace msrw
