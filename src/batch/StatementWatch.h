#pragma once
// A time limit on one blocking statement. The driver waits on its socket for
// as long as the server takes; a server whose processes are stopped, or a
// network that drops everything, would hold a station for ever. When the
// limit passes, the watch shuts the socket down, so that the driver's wait
// ends as a lost connection.

#include <chrono>
#include <cstdint>

namespace msrw::batch {

class StatementWatch {
public:
    StatementWatch(int socket, std::chrono::milliseconds limit);
    ~StatementWatch();
    StatementWatch(const StatementWatch&) = delete;
    StatementWatch& operator=(const StatementWatch&) = delete;

    // Whether the limit passed and the socket was shut down.
    bool fired() const;

private:
    std::uint64_t id_;
};

} // namespace msrw::batch
