#include "operations/reading/TestCycle.h"
#include "session/OpStates.h"

#include "link/OperatorDialogs.h"
#include "operations/cardtype/CardTypeSetup.h"
#include "operations/reading/ReadOperation.h"
#include "operations/writing/WriteOperation.h"
#include "protocol/CommandSet.h"
#include "session/Dispatcher.h"
#include "session/MainControls.h"
#include "session/Session.h"
#include "session/SwipePrompt.h"

namespace msrw {
namespace {

const char* PhasePrompt(int phase) {
    switch (phase) {
    case 2:
        return "Please Swipe to Read a Standard Mag Card with MEDIUM speed.";
    case 3:
        return "Please Swipe to Read a Standard Mag Card with FAST speed.";
    default:
        return "Please Swipe to Read a Standard Mag Card with SLOW speed.";
    }
}

} // namespace

void cmdTest_Click(Session& s) {
    DisMainBtns(s.view);
    PreparePrompt(s.view.prompt, "Read Card", PhasePrompt(1), kBlue, kWhite);
    s.view.message = {};
    for (TrackBox& box : s.view.tracks)
        box.text.clear();
    s.view.cardTypes.selected = 0;
    // A failed setting has been shown and the test goes on; a reader that is
    // gone (also shown) stops it.
    if (cboCardType_Click(s, 0) == CardTypeOutcome::PortFailed) {
        EnaMainBtns(s.view, s.port.MsrwMode);
        return;
    }
    s.g.OpCount = 1;
    s.g.testPhase = 1;
    if (!ReOpenPortOrStop(s))
        return;
    s.link().Query(cmd::SelectHighCoercivity());
    DisMainBtns(s.view); // the card-type set-up enabled them again
    SendReadCmd(s, kOpTestRead);
    ShowPrompt(s);
}

void TestReadBranch(Session& s, std::string_view replyText) {
    const CardRead card = TakeCard(s, replyText);
    if (!card.ok) {
        s.view.message = {"Read(" + std::to_string(s.g.OpCount) + ") Failed!", kRed};
        if (!s.Wait(300))
            return;
    } else {
        s.view.message = {reply::ReadOkLine(s.g.OpCount), kBlack};
        if (!s.Wait(200))
            return;
        ++s.g.OpCount;
        if (s.g.testPhase >= 3) {
            BeginTestWritePhase(s);
            return;
        }
        ++s.g.testPhase;
        s.view.prompt.label = PhasePrompt(s.g.testPhase);
    }
    ShowPrompt(s);
    SendReadCmd(s, kOpTestRead);
}

} // namespace msrw
