#pragma once
// Where the database application takes its records from: the usage file's
// CSV file with the resume point in its history file (the default), or a
// batch on a batch server that several stations share. The run asks the
// source for the usage file, for the record to write, and tells it when the
// device said OK and when the run ends.

#include "link/OperatorDialogs.h"

#include <optional>
#include <string>
#include <vector>

namespace msrw {

class Session;
struct DatabaseRun;

// Why a run does not start: what the operator is told (nothing when empty).
struct StartProblem {
    std::string text;
    MessageIcon icon = MessageIcon::None;
};

class RecordSource {
public:
    virtual ~RecordSource() = default;

    // The usage file's lines, or why there are none.
    virtual std::optional<std::vector<std::string>> usageLines(Session& session, DatabaseRun& run,
                                                               StartProblem& problem) = 0;
    // Once the usage file is good: the records made ready (the run's
    // recordCount set). nullopt when they are.
    virtual std::optional<StartProblem> open(Session& session, DatabaseRun& run) = 0;

    struct Next {
        enum class Kind {
            Record,  // `fields` are record run.RecordNo's
            End,     // no record is left
            Refused, // the record cannot be written: `text` says why
            Failed,  // the run cannot go on: `text` is the operator's message
        } kind = Kind::End;
        std::vector<std::string> fields;
        std::string text;
    };
    // The record to write now; after a failed write, the same one again.
    // `first` for the first record of the run.
    virtual Next next(Session& session, DatabaseRun& run, bool first) = 0;
    // The device said OK for the record. False (the operator told) when the
    // run must stop.
    virtual bool written(Session& session, DatabaseRun& run) = 0;
    // The record's card is armed and awaits its swipe.
    virtual void awaitingCard(Session& session, DatabaseRun& run) {
        (void)session;
        (void)run;
    }
    // The run ends (End, the end of the records, or a refusal).
    virtual void end(Session& session, DatabaseRun& run) = 0;

    // What went wrong with the records themselves, once the run is over.
    enum class Trouble {
        None,
        Server,    // the source could not be reached or could not be told
        ClaimLost, // a record was taken from this station while it was written
        Busy,      // another run was writing the same records: this one did not start
    };
    virtual Trouble trouble() const { return Trouble::None; }
};

} // namespace msrw
