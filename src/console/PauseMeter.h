#pragma once
// A clock that really waits, as the window's does, and measures how long the
// pauses took, so that a run can tell its own working time from the pauses
// the operations must make.

#include "link/Clock.h"

#include <QElapsedTimer>
#include <cstdint>

namespace msrw::console {

class PauseMeter : public Clock {
public:
    void Delay(int ms) override;
    void Wait(int ms) override;

    // Whether a pause is in progress.
    bool pausing() const { return depth_ > 0; }
    // Nanoseconds spent in pauses so far (nested pauses counted once).
    std::int64_t pausedNs() const { return pausedNs_; }

private:
    void pause(int ms, bool isWait);

    EventLoopClock clock_;
    int depth_ = 0;
    std::int64_t pausedNs_ = 0;
};

} // namespace msrw::console
