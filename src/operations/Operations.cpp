#include "operations/Operations.h"

#include "operations/reading/ReadingBranches.h"
#include "operations/settings/MaintenanceBranches.h"
#include "operations/writing/WritingBranches.h"
#include "session/Dispatcher.h"
#include "session/Session.h"

namespace msrw {

void InstallOperations(Session& session) {
    if (!session.dispatch.empty())
        return; // installed already: a second connection would deliver replies twice
    RegisterWritingBranches(session.dispatch);
    RegisterReadingBranches(session.dispatch);
    RegisterMaintenanceBranches(session.dispatch);
    Session* s = &session;
    QObject::connect(
        &session.link(), &MsrwDLL::MsrwInEvent,
        [s](std::string& display, std::string& hex) { oMsrwComm_MsrwInEvent(*s, display, hex); });
}

} // namespace msrw
