#include "platform/ConsoleInterrupts.h"

#include "platform/InterruptDispatch.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

namespace msrw::platform {
namespace {

// A signal handler may do next to nothing: it writes a byte to this pipe,
// and a thread that reads it calls the watch. Both live as long as the
// process: a handler that has just begun may still write to the pipe.
int gPipe[2] = {-1, -1};

void OnSignal(int) {
    const int saved = errno;
    const char byte = 1;
    // Nothing can be done about a full pipe: a byte is there already.
    [[maybe_unused]] const ssize_t written = ::write(gPipe[1], &byte, 1);
    errno = saved;
}

void ReadRequests() {
    char bytes[16];
    for (;;) {
        const ssize_t n = ::read(gPipe[0], bytes, sizeof bytes);
        if (n > 0)
            detail::DeliverInterrupt();
        else if (n == 0 || errno != EINTR)
            return;
    }
}

bool StartReader() {
    static const bool started = [] {
        if (::pipe2(gPipe, O_CLOEXEC) != 0 ||
            ::fcntl(gPipe[1], F_SETFL, ::fcntl(gPipe[1], F_GETFL) | O_NONBLOCK) != 0)
            return false;
        std::thread(ReadRequests).detach();
        return true;
    }();
    return started;
}

} // namespace

struct ConsoleInterrupts::State {
    detail::WatchId id = 0;
    bool watching = false;
    struct sigaction oldInt {};
    struct sigaction oldTerm {};
};

ConsoleInterrupts::ConsoleInterrupts(std::function<void()> onInterrupt)
    : state_(std::make_unique<State>()) {
    std::signal(SIGPIPE, SIG_IGN);
    state_->id = detail::AddWatch(std::move(onInterrupt));
    if (!StartReader())
        return;
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    state_->watching = ::sigaction(SIGINT, &action, &state_->oldInt) == 0 &&
                       ::sigaction(SIGTERM, &action, &state_->oldTerm) == 0;
}

ConsoleInterrupts::~ConsoleInterrupts() {
    ::sigaction(SIGINT, &state_->oldInt, nullptr);
    ::sigaction(SIGTERM, &state_->oldTerm, nullptr);
    detail::RemoveWatch(state_->id);
}

bool ConsoleInterrupts::watching() const {
    return state_->watching;
}

} // namespace msrw::platform
