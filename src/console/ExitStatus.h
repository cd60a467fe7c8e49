#pragma once
// The exit statuses of msrw-cli.

namespace msrw::console {

enum ExitStatus {
    kExitOk = 0,         // every card done
    kExitCardFailed = 1, // some card failed
    kExitStopped = 1,    // an import stopped by an interrupt, nothing of it kept
    kExitUsage = 2,      // bad usage: an option, a file, or a question left unanswered
    kExitNoPort = 3,     // no port, or no reader on it
    kExitNoServer = 3,   // the batch server could not be reached or could not be told
    kExitNoAnswer = 4,   // the device stopped answering
};

} // namespace msrw::console
