#pragma once
// Work against the batch server on a thread of its own, with a connection of
// its own, so that the window goes on answering while a long CSV file is
// sent or a long batch is counted. The thread touches nothing but its own
// objects; the window reads how far it got and, once it has finished, its
// outcome.

#include "batch/BatchStore.h"
#include "batch/ConnectionText.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <thread>

namespace msrw {

class ServerJob {
public:
    // What the work may tell and ask while it runs.
    struct Progress {
        std::atomic<std::int64_t>& done; // records so far
        const std::atomic<bool>& stopping;
    };
    // Runs on the job's thread: the operator's line of the outcome, or
    // nullopt with the reason in `error`.
    using Work = std::function<std::optional<std::string>(batch::BatchStore&, Progress&,
                                                          std::string& error)>;

    ServerJob(batch::ConnectionSettings settings, std::string station, Work work);
    // Stops work still running (it keeps nothing) and waits for it.
    ~ServerJob();
    ServerJob(const ServerJob&) = delete;
    ServerJob& operator=(const ServerJob&) = delete;

    std::int64_t done() const { return done_.load(); }
    // Asks the work to stop at its next chance.
    void stop() { stopping_.store(true); }
    bool finished() const { return finished_.load(std::memory_order_acquire); }
    // Once finished: the outcome, or nullopt with the reason in error().
    const std::optional<std::string>& outcome() const { return outcome_; }
    const std::string& error() const { return error_; }

private:
    void run(const batch::ConnectionSettings& settings, const std::string& station,
             const Work& work);

    std::atomic<std::int64_t> done_{0};
    std::atomic<bool> stopping_{false};
    std::atomic<bool> finished_{false};
    std::optional<std::string> outcome_;
    std::string error_;
    std::thread thread_; // last: started once the rest is made
};

} // namespace msrw
