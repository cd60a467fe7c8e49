#pragma once
// The receive dispatcher: every reply of a card operation goes to the branch
// of the operation in progress; and the prompt's "End" button, which ends it.
// The dispatcher knows no operation: each operation registers its branches
// (by OpState) and its part of the End action into the session's table.

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace msrw {

class Session;

// A branch: the reply text (display or hex form, as the dispatcher chose)
// and whether it is the mode's success reply.
using DispatchBranch = std::function<void(Session&, std::string_view replyText, bool ok)>;
// An operation's part of the End action, told the state that was ended.
using EndAction = std::function<void(Session&, std::int32_t endedState)>;

// Where an operation's End action runs among the steps of cmdCancel_Click,
// after the main buttons are enabled and the track limits reset.
enum class EndStep {
    SequentialWrite = 6, // the end of a sequential run
    Files = 7,           // closing the files of Read To File, Write From File, database
    Compare = 8,         // clearing a compare
    Fixture = 9,         // reopening the reader after the fixture
    Maintenance = 10,    // the maintenance dialog's buttons
    Coercivity = 11,     // the reader set back to the stored coercivity after the test
};

class DispatchTable {
public:
    // One branch a state; registering a state twice is a programming error.
    void addBranch(std::int32_t opState, DispatchBranch branch);
    void addEndAction(EndStep step, EndAction action);

    // The branch of `opState`; null when the state has none.
    const DispatchBranch* branchFor(std::int32_t opState) const;
    void runEndActions(Session& session, std::int32_t endedState) const;
    bool empty() const { return branches_.empty(); }

private:
    std::map<std::int32_t, DispatchBranch> branches_;
    std::multimap<EndStep, EndAction> endActions_;
};

// The text a branch works on: the hex form for USER and RAW reads, else the
// display form.
const std::string& ReplyTextFor(const Session& session, const std::string& display,
                                const std::string& hex);

// oMsrwComm_MsrwInEvent: a reply in display and hex form.
void oMsrwComm_MsrwInEvent(Session& session, std::string& displayForm, std::string& hexForm);

// cmdCancel_Click of the swipe prompt: ends the operation in progress.
void cmdCancel_Click(Session& session);

// The port went away: a running operation can get no more replies, so it
// ends as End would end it (the operator has been told why).
void EndOperationOnPortLoss(Session& session);

} // namespace msrw
