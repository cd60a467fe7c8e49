#include "platform/Sockets.h"

#include <winsock2.h>

namespace msrw::platform {

void ShutDownSocket(int socket) {
    ::shutdown(static_cast<SOCKET>(socket), SD_BOTH);
}

} // namespace msrw::platform
