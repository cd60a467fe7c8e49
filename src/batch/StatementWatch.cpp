#include "batch/StatementWatch.h"

#include "platform/Sockets.h"

#include <condition_variable>
#include <map>
#include <mutex>
#include <set>
#include <thread>

namespace msrw::batch {
namespace {

using Clock = std::chrono::steady_clock;

// One thread watches every statement in flight, whichever thread runs it.
class Watchdog {
public:
    static Watchdog& instance() {
        static Watchdog watchdog;
        return watchdog;
    }
    ~Watchdog() {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        changed_.notify_all();
        thread_.join();
    }

    std::uint64_t arm(int socket, Clock::time_point deadline) {
        std::lock_guard lock(mutex_);
        const std::uint64_t id = ++lastId_;
        armed_.emplace(id, Entry{socket, deadline});
        changed_.notify_all();
        return id;
    }
    // True when it had fired.
    bool disarm(std::uint64_t id) {
        std::lock_guard lock(mutex_);
        armed_.erase(id);
        return fired_.erase(id) != 0;
    }
    bool fired(std::uint64_t id) {
        std::lock_guard lock(mutex_);
        return fired_.count(id) != 0;
    }

private:
    struct Entry {
        int socket;
        Clock::time_point deadline;
    };

    Watchdog() : thread_([this] { run(); }) {}

    void run() {
        std::unique_lock lock(mutex_);
        while (!stopping_) {
            auto next = Clock::time_point::max();
            for (auto it = armed_.begin(); it != armed_.end();) {
                if (it->second.deadline <= Clock::now()) {
                    platform::ShutDownSocket(it->second.socket);
                    fired_.insert(it->first);
                    it = armed_.erase(it);
                    continue;
                }
                next = std::min(next, it->second.deadline);
                ++it;
            }
            if (next == Clock::time_point::max())
                changed_.wait(lock);
            else
                changed_.wait_until(lock, next);
        }
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    std::map<std::uint64_t, Entry> armed_;
    std::set<std::uint64_t> fired_;
    std::uint64_t lastId_ = 0;
    bool stopping_ = false;
    std::thread thread_;
};

} // namespace

StatementWatch::StatementWatch(int socket, std::chrono::milliseconds limit)
    : id_(Watchdog::instance().arm(socket, Clock::now() + limit)) {}

StatementWatch::~StatementWatch() {
    (void)Watchdog::instance().disarm(id_);
}

bool StatementWatch::fired() const {
    return Watchdog::instance().fired(id_);
}

} // namespace msrw::batch
