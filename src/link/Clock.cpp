#include "link/Clock.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

namespace msrw {
namespace {

void PauseWithEvents(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms < 0 ? 0 : ms, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

void EventLoopClock::Delay(int ms) {
    PauseWithEvents(ms);
}
void EventLoopClock::Wait(int ms) {
    PauseWithEvents(ms);
}

void RecordingClock::Delay(int ms) {
    pauses.push_back({false, ms});
    if (duringPause)
        duringPause(ms);
    QCoreApplication::processEvents();
}

void RecordingClock::Wait(int ms) {
    pauses.push_back({true, ms});
    if (duringPause)
        duringPause(ms);
    QCoreApplication::processEvents();
}

int RecordingClock::totalMs() const {
    int total = 0;
    for (const Pause& p : pauses)
        total += p.ms;
    return total;
}

} // namespace msrw
