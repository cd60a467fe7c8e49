#include "console/PauseMeter.h"

namespace msrw::console {

void PauseMeter::Delay(int ms) {
    pause(ms, false);
}

void PauseMeter::Wait(int ms) {
    pause(ms, true);
}

void PauseMeter::pause(int ms, bool isWait) {
    QElapsedTimer timer;
    timer.start();
    ++depth_;
    if (isWait)
        clock_.Wait(ms);
    else
        clock_.Delay(ms);
    --depth_;
    if (depth_ == 0)
        pausedNs_ += timer.nsecsElapsed();
}

} // namespace msrw::console
