#pragma once
// Wires every operation into a session: the receive dispatcher's branches
// and End actions, and the link's replies to the dispatcher. The program and
// the tests make this one call.

namespace msrw {

class Session;

void InstallOperations(Session& session);

} // namespace msrw
