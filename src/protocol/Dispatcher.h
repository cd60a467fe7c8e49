#pragma once
// The receive dispatcher: every reply of a card operation goes to the branch
// of the operation in progress; and the prompt's "End" button, which ends it.

#include <string>

namespace msrw {

class Session;

// oMsrwComm_MsrwInEvent: a reply in display and hex form.
void oMsrwComm_MsrwInEvent(Session& session, std::string& displayForm, std::string& hexForm);

// cmdCancel_Click of the swipe prompt: ends the operation in progress.
void cmdCancel_Click(Session& session);

} // namespace msrw
