#include "console/ExitStatus.h"

namespace msrw::console {

int ExitStatusOf(const RunEnd& e) {
    if (e.unanswered)
        return kExitUsage;
    if (e.portLost)
        return kExitNoAnswer;
    if (e.serverLost)
        return kExitNoServer;
    if (e.busy)
        return kExitBusy;
    if (!e.started)
        return e.portFailed ? kExitNoPort : kExitUsage; // refused to start (and said why)
    if (e.claimLost || e.cardFailed || e.stoppedEarly)
        return kExitCardFailed;
    return kExitOk;
}

} // namespace msrw::console
