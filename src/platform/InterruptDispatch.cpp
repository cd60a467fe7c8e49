#include "platform/InterruptDispatch.h"

#include <condition_variable>
#include <mutex>
#include <utility>
#include <vector>

namespace msrw::platform::detail {
namespace {

struct Watches {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::pair<WatchId, std::function<void()>>> alive;
    WatchId last = 0;
};

Watches& TheWatches() {
    static Watches watches;
    return watches;
}

} // namespace

WatchId AddWatch(std::function<void()> onInterrupt) {
    Watches& w = TheWatches();
    std::lock_guard lock(w.mutex);
    w.alive.emplace_back(++w.last, std::move(onInterrupt));
    return w.last;
}

void RemoveWatch(WatchId id) {
    Watches& w = TheWatches();
    {
        // Taken while a delivery runs, so the function ends before its owner.
        std::lock_guard lock(w.mutex);
        std::erase_if(w.alive, [id](const auto& watch) { return watch.first == id; });
    }
    w.changed.notify_all();
}

bool DeliverInterrupt() {
    Watches& w = TheWatches();
    std::lock_guard lock(w.mutex);
    if (w.alive.empty())
        return false;
    if (w.alive.back().second)
        w.alive.back().second();
    return true;
}

void AwaitNoWatch(std::chrono::milliseconds limit) {
    Watches& w = TheWatches();
    std::unique_lock lock(w.mutex);
    w.changed.wait_for(lock, limit, [&w] { return w.alive.empty(); });
}

} // namespace msrw::platform::detail
