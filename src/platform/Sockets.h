#pragma once
// A network connection's socket, by its number as the database client
// library gives it.

namespace msrw::platform {

// Shuts both directions, from any thread: whoever waits on it wakes with an
// error instead of waiting on.
void ShutDownSocket(int socket);

} // namespace msrw::platform
