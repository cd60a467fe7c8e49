#pragma once
// The exit statuses of msrw-cli, and how a card run's end decides its status
// (the README's table of exit statuses is this one).

namespace msrw::console {

enum ExitStatus {
    kExitOk = 0,         // every card done
    kExitCardFailed = 1, // some card failed, or the run stopped before its end
    kExitStopped = 1,    // an import stopped by an interrupt, nothing of it kept
    kExitUsage = 2,      // bad usage: an option, a file, or a question left unanswered
    kExitNoPort = 3,     // no port, or no reader on it
    kExitNoServer = 3,   // the batch server could not be reached or could not be told
    kExitBusy = 3,       // another run was writing the same records
    kExitNoAnswer = 4,   // the device stopped answering
};

// How a card run ended.
struct RunEnd {
    bool unanswered = false; // a question no option answers stopped the start
    bool portLost = false;   // the device went away or stopped answering
    bool serverLost = false; // the batch server could not be reached or told
    bool busy = false;       // another run held the records: this one did not start
    bool claimLost = false;  // a record was taken from this station while it was written
    bool started = false;    // a card was armed, or the records ended at once
    bool portFailed = false; // not started: the port could not be opened
    bool cardFailed = false; // some card's result was a failure (written again or not)
    // Ended before its end: a record refused, a file that could not be kept,
    // or an interrupt or a closed output before the run's own end.
    bool stoppedEarly = false;
};

int ExitStatusOf(const RunEnd& end);

} // namespace msrw::console
