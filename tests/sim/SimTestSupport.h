#pragma once
// Helpers for the simulator's tests: commands written in the command-text
// notation, a recorder of the device's replies, and an event-loop wait.

#include "link/Notation.h"
#include "sim/Device.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <functional>
#include <string>
#include <string_view>

namespace msrw::sim::test {

// "\1Be" -> ESC 'e'.
inline std::string Bytes(std::string_view commandText) {
    return msrw::ParseCommandText(commandText).bytes;
}

// The replies of a device, joined, in the display form ("\1B0").
class ReplyLog {
public:
    explicit ReplyLog(Device& device) {
        QObject::connect(&device, &Device::reply, [this](const std::string& bytes) {
            all_ += bytes;
            ++count_;
        });
    }
    std::string text() const { return msrw::DisplayForm(all_); }
    const std::string& bytes() const { return all_; }
    int count() const { return count_; }
    // The replies so far, in display form, forgetting them.
    std::string take() {
        std::string t = text();
        all_.clear();
        count_ = 0;
        return t;
    }

private:
    std::string all_;
    int count_ = 0;
};

// Feeds `bytes` one byte at a time, as a slow line would.
inline void FeedByteByByte(Device& device, const std::string& bytes) {
    for (const char byte : bytes)
        device.receive(std::string(1, byte));
}

// Runs the event loop until `done` or `timeoutMs` passes; returns done().
inline bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 3000) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return done();
}

// Lets timers and queued deliveries run for `ms` milliseconds.
inline void RunEventLoopFor(int ms) {
    WaitUntil([] { return false; }, ms);
}

} // namespace msrw::sim::test
