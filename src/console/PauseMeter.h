#pragma once
// A clock that really waits, as the window's does, and measures how long the
// pauses took, so that a run can tell its own working time from the pauses
// the operations must make. An ended run cuts its pauses short: an interrupt
// must not wait out a recovery's second.

#include "link/Clock.h"

#include <cstdint>
#include <vector>

class QEventLoop;

namespace msrw::console {

class PauseMeter : public Clock {
public:
    void Delay(int ms) override;
    void Wait(int ms) override;

    // Whether a pause is in progress.
    bool pausing() const { return !loops_.empty(); }
    // Nanoseconds spent in pauses so far (nested pauses counted once).
    std::int64_t pausedNs() const { return pausedNs_; }
    // Ends every pause in progress now.
    void cutShort();

private:
    void pause(int ms);

    std::vector<QEventLoop*> loops_;
    std::int64_t pausedNs_ = 0;
};

} // namespace msrw::console
