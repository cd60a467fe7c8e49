#pragma once
// The test cycle: a standard card read at slow, medium and fast swipe speed.

#include "session/OpStates.h"

#include <string_view>

namespace msrw {

class Session;

void cmdTest_Click(Session& session);
// Branch 22 of the receive dispatcher: the read phases.
void TestReadBranch(Session& session, std::string_view replyText);

} // namespace msrw
