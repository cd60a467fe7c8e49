#pragma once
// The card format as it was before a file or database run changed it, put
// back when the run ends.

#include <array>

namespace msrw {

class FormatStore;
class Session;

struct SavedSetup {
    bool passBook = false;
    // Per track: BPI, bits per character (pass book: sync zeros), parity,
    // start and end sentinel list positions.
    std::array<std::array<int, 5>, 3> positions{};
    int cardTypePosition = -1; // the database keeps the card type too; -1 none
};

SavedSetup SaveSetup(const FormatStore& format, bool passBook);
// Puts the positions back (bits per character before the sentinels, which it
// rebuilds) and, where the densities changed, tells the reader/writer again.
void RestoreSetup(Session& session, const SavedSetup& saved);

} // namespace msrw
