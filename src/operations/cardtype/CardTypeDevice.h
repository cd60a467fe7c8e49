#pragma once
// What the reader/writer of the escape-sequence family is told when a card
// type is chosen: the type's bits per character, then the leading zeros and
// densities (all 210 BPI and 8 bits for a pass book).

#include <string>

namespace msrw {

class Session;

enum class DeviceSetupResult {
    Done,
    Failed, // a setting was refused or not answered; the operator was told once
    Ended,  // the run was ended during a pause; nothing more was sent
};

// Sends the settings of `cardType` over the session's open port, with the
// pauses between them.
DeviceSetupResult SendCardTypeSettings(Session& session, const std::string& cardType);

} // namespace msrw
