#pragma once
// The console's interrupts (SIGINT and SIGTERM; Ctrl+C, Ctrl+Break and the
// console's close on Windows), taken from the event loop: `onInterrupt` is
// called on this object's thread.

#include "platform/ConsoleInterrupts.h"

#include <QObject>
#include <functional>

namespace msrw::console {

class InterruptWatch : public QObject {
    Q_OBJECT
public:
    explicit InterruptWatch(std::function<void()> onInterrupt);

    // False when the interrupts could not be watched.
    bool watching() const { return interrupts_.watching(); }

private:
    std::function<void()> onInterrupt_;
    // Last: it ends first, so no request is posted to a half-gone watch.
    platform::ConsoleInterrupts interrupts_;
};

} // namespace msrw::console
