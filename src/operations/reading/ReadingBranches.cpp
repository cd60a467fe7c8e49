#include "operations/reading/ReadingBranches.h"

#include "operations/reading/CompareOperation.h"
#include "operations/reading/ReadOperation.h"
#include "operations/reading/TestCycle.h"
#include "session/Dispatcher.h"
#include "session/OpStates.h"
#include "session/Session.h"
#include "session/SwipePrompt.h"

namespace msrw {
namespace {

// Reads judge the reply themselves; the success flag is for writes.
template <void (*Branch)(Session&, std::string_view)>
void IgnoringOk(Session& s, std::string_view text, bool) {
    Branch(s, text);
}

// Ending a compare clears the reference and what was shown against it.
void EndCompare(Session& s, std::int32_t endedState) {
    if (endedState != kOpCompare)
        return;
    s.view.message = {};
    for (TrackBox& box : s.view.tracks)
        box.text.clear();
    RestoreTrackTitles(s);
}

// The test cycle reads and writes at high coercivity; afterwards the reader
// writes again at the coercivity the settings record (and the window) name.
void EndTest(Session& s, std::int32_t endedState) {
    if ((endedState == kOpTestRead || endedState == kOpTestWrite) && !s.quell())
        (void)s.portManager.SendStoredCoercivity();
}

} // namespace

void RegisterReadingBranches(DispatchTable& table) {
    table.addBranch(kOpRead, IgnoringOk<ReadBranch>);
    table.addBranch(kOpQuellRead, IgnoringOk<QuellReadBranch>);
    table.addBranch(kOpCompare, IgnoringOk<CompareBranch>);
    table.addBranch(kOpTestRead, IgnoringOk<TestReadBranch>);
    table.addEndAction(EndStep::Compare, EndCompare);
    table.addEndAction(EndStep::Coercivity, EndTest);
}

} // namespace msrw
