#pragma once
// Faults a simulated reader/writer can be told to show, so that the link's
// handling of bad lines can be exercised: replies in single-byte pieces, noise
// before each reply, no replies at all, and a port that goes away.

#include <string>
#include <vector>

namespace msrw::sim {

struct Faults {
    bool fragment = false;    // each reply byte delivered on its own
    int garbageBytes = 0;     // noise bytes (00 FF 80 ...) sent before each reply
    bool silent = false;      // nothing is answered
    int vanishAfter = 0;      // the port disappears after this many more commands (0: never)
    bool answerReset = false; // "\1Ba" is answered with "\1B0", though nobody waits for it
};

// The pieces in which a reply reaches the line under these faults (none when
// silent).
std::vector<std::string> ShapeReply(const Faults& faults, const std::string& reply);

} // namespace msrw::sim
