#pragma once
// What the link has to say reaches the operator through the session: a lost
// port and a refused command text become messages.

namespace msrw {

class MsrwDLL;
class OperatorDialogs;

// Shows the link's notices (a warning for a lost port) through `dialogs`.
void ShowLinkNotices(MsrwDLL& link, OperatorDialogs& dialogs);

} // namespace msrw
