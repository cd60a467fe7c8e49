#pragma once
// The result of one card of an operation: the line the main window shows for
// it, whether the card went well, its number, and the tracks read from it.
// Operations report each card through ShowCardResult, so that a face other
// than the window (the console) can follow a run card by card.

#include "session/MainView.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace msrw {

class Session;

struct CardResult {
    ColouredText line;
    bool ok = false;
    // The card's count in the run, or the record's number in a database run.
    std::int64_t number = 0;
    // What was read from the card, after a read; empty after a write.
    std::optional<std::array<std::string, 3>> tracks;
};

// Shows the result line and tells the session's listener, if any.
void ShowCardResult(Session& session, CardResult result);

} // namespace msrw
