#pragma once
// The console interrupt watches alive, the newest last: what both systems'
// ConsoleInterrupts share. Not for use outside the platform folder.

#include <chrono>
#include <cstdint>
#include <functional>

namespace msrw::platform::detail {

using WatchId = std::uint64_t;

WatchId AddWatch(std::function<void()> onInterrupt);
// Once it returns, the watch's function is neither running nor called again.
void RemoveWatch(WatchId id);
// Calls the newest watch's function; false when no watch is alive.
bool DeliverInterrupt();
// Waits until no watch is alive, or `limit` has passed.
void AwaitNoWatch(std::chrono::milliseconds limit);

} // namespace msrw::platform::detail
