#pragma once
// Pauses between commands. The program really waits, processing events; tests
// record the pauses and return at once.

#include <functional>
#include <vector>

namespace msrw {

class Clock {
public:
    virtual ~Clock() = default;
    // Both keep processing events while they wait, so replies and clicks are
    // handled meanwhile. They differ only in name, as the callers do.
    virtual void Delay(int ms) = 0;
    virtual void Wait(int ms) = 0;
};

// Waits for real with an event loop.
class EventLoopClock : public Clock {
public:
    void Delay(int ms) override;
    void Wait(int ms) override;
};

// Records the pauses and lets pending events run once, without waiting.
// `duringPause`, when set, runs inside each pause: what an operator or a
// device might do while the program waits.
class RecordingClock : public Clock {
public:
    std::function<void(int ms)> duringPause;

    void Delay(int ms) override;
    void Wait(int ms) override;

    struct Pause {
        bool isWait;
        int ms;
    };
    std::vector<Pause> pauses;
    int totalMs() const;
};

} // namespace msrw
