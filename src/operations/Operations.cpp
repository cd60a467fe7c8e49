#include "operations/Operations.h"

#include "operations/files/FilesBranches.h"
#include "operations/reading/ReadingBranches.h"
#include "operations/settings/MaintenanceBranches.h"
#include "operations/writing/WritingBranches.h"
#include "session/Dispatcher.h"
#include "session/OpStates.h"
#include "session/Session.h"

namespace msrw {

void InstallOperations(Session& session) {
    if (!session.dispatch.empty())
        return; // installed already: a second connection would deliver replies twice
    RegisterWritingBranches(session.dispatch);
    RegisterReadingBranches(session.dispatch);
    RegisterFilesBranches(session.dispatch);
    RegisterMaintenanceBranches(session.dispatch);
    Session* s = &session;
    MsrwDLL& link = session.link();
    QObject::connect(&link, &MsrwDLL::MsrwInEvent, [s](std::string& display, std::string& hex) {
        oMsrwComm_MsrwInEvent(*s, display, hex);
    });
    // What arrives while no operation waits is dropped when it arrives, not
    // when a running branch is done and a new wait has begun.
    link.setEventGate([s] { return s->g.OpState != kOpIdle; });
    QObject::connect(&link, &MsrwDLL::PortLost, [s] { EndOperationOnPortLoss(*s); });
}

} // namespace msrw
