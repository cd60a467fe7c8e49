#include "platform/Sockets.h"

#include <sys/socket.h>

namespace msrw::platform {

void ShutDownSocket(int socket) {
    ::shutdown(socket, SHUT_RDWR);
}

} // namespace msrw::platform
