#include "session/Session.h"

#include "link/Clock.h"

namespace msrw {

Session::Session(const PortDirectory& portDirectory, OperatorDialogs& operatorDialogs,
                 Clock& pauses, DataFolder dataFolder)
    : ports(portDirectory), dialogs(operatorDialogs), clock(pauses), data(std::move(dataFolder)),
      portManager({ports, dialogs, clock, data, port, record, view, render}) {}

void Session::setMsrwMode(MsrwMode mode) {
    port.MsrwMode = mode;
    if (msrwModeChanged)
        msrwModeChanged(mode);
}

MsrwDLL& Session::link() {
    portManager.SetComm();
    return *portManager.link();
}

bool Session::pause(int ms, bool isWait) {
    const auto ends = g.operationEnds;
    redraw();
    if (isWait)
        clock.Wait(ms);
    else
        clock.Delay(ms);
    return g.operationEnds == ends && g.operationEnds == branchEnds_.value_or(ends);
}

bool Session::Delay(int ms) {
    return pause(ms, false);
}
bool Session::Wait(int ms) {
    return pause(ms, true);
}

} // namespace msrw
