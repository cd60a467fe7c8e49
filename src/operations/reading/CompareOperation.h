#pragma once
// Comparing cards: the first good card is the reference, every later card is
// compared with it.

#include "session/OpStates.h"

#include <array>
#include <string>
#include <string_view>

namespace msrw {

class Session;

void cmdCompare_Click(Session& session);
// Branch 5 of the receive dispatcher.
void CompareBranch(Session& session, std::string_view replyText);
// Whether a target card's tracks match the reference for the card type.
bool TracksMatch(std::string_view cardType, const std::array<std::string, 3>& target,
                 const std::array<std::string, 3>& reference);

} // namespace msrw
