#include "platform/ConsoleInterrupts.h"

#include "platform/InterruptDispatch.h"

#include <windows.h>

namespace msrw::platform {
namespace {

// How long a closing console waits for the run to end before the system
// ends the program (it allows about five seconds).
constexpr std::chrono::milliseconds kCloseGrace{4000};

// Called by the system on a thread of its own.
BOOL WINAPI OnConsoleControl(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT)
        return FALSE;
    if (!detail::DeliverInterrupt())
        return FALSE; // the system's default: end the program
    // The program ends when this returns from a close: let the run end first.
    if (event == CTRL_CLOSE_EVENT)
        detail::AwaitNoWatch(kCloseGrace);
    return TRUE;
}

} // namespace

struct ConsoleInterrupts::State {
    detail::WatchId id = 0;
    bool watching = false;
};

ConsoleInterrupts::ConsoleInterrupts(std::function<void()> onInterrupt)
    : state_(std::make_unique<State>()) {
    state_->id = detail::AddWatch(std::move(onInterrupt));
    state_->watching = ::SetConsoleCtrlHandler(OnConsoleControl, TRUE) != 0;
}

ConsoleInterrupts::~ConsoleInterrupts() {
    if (state_->watching)
        ::SetConsoleCtrlHandler(OnConsoleControl, FALSE);
    detail::RemoveWatch(state_->id);
}

bool ConsoleInterrupts::watching() const {
    return state_->watching;
}

} // namespace msrw::platform
