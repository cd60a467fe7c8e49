#include "platform/PortPresence.h"

#include <poll.h>

namespace msrw::platform {

bool PortStillThere(PortHandle handle) {
    pollfd watched{handle, POLLIN, 0};
    return !(::poll(&watched, 1, 0) > 0 && (watched.revents & (POLLHUP | POLLERR | POLLNVAL)));
}

} // namespace msrw::platform
