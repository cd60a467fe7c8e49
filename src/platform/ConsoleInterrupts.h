#pragma once
// The operator's request to stop a console program: SIGINT and SIGTERM on
// POSIX systems, the console's Ctrl+C, Ctrl+Break and close on Windows.
// `onInterrupt` is called once a request, on a thread of its own (never
// inside a signal handler), so it may take locks or post to an event loop;
// it must not block for long. While a watch lives, a closed output (SIGPIPE)
// no longer ends the program: the failed write reports it instead, and that
// stays so after the watch ends. One watch at a time: a newer one takes the
// requests until it ends.

#include <functional>
#include <memory>

namespace msrw::platform {

class ConsoleInterrupts {
public:
    explicit ConsoleInterrupts(std::function<void()> onInterrupt);
    ~ConsoleInterrupts();
    ConsoleInterrupts(const ConsoleInterrupts&) = delete;
    ConsoleInterrupts& operator=(const ConsoleInterrupts&) = delete;

    // False when the requests could not be watched.
    bool watching() const;

    struct State;

private:
    std::unique_ptr<State> state_;
};

} // namespace msrw::platform
