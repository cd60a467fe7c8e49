#include "console/PauseMeter.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

namespace msrw::console {

void PauseMeter::Delay(int ms) {
    pause(ms);
}

void PauseMeter::Wait(int ms) {
    pause(ms);
}

void PauseMeter::pause(int ms) {
    QElapsedTimer timer;
    timer.start();
    QEventLoop loop;
    QTimer::singleShot(ms < 0 ? 0 : ms, &loop, &QEventLoop::quit);
    loops_.push_back(&loop);
    loop.exec();
    loops_.pop_back();
    if (loops_.empty())
        pausedNs_ += timer.nsecsElapsed();
}

void PauseMeter::cutShort() {
    for (QEventLoop* loop : loops_)
        loop->quit();
}

} // namespace msrw::console
