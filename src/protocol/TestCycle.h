#pragma once
// The test cycle: a standard card read at slow, medium and fast swipe speed.

#include <string_view>

namespace msrw {

class Session;

inline constexpr int kOpTestRead = 22;

void cmdTest_Click(Session& session);
// Branch 22 of the receive dispatcher: the read phases.
void TestReadBranch(Session& session, std::string_view replyText);

} // namespace msrw
