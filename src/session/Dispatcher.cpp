#include "session/Dispatcher.h"

#include "cards/CardTypeList.h"
#include "protocol/CommandSet.h"
#include "protocol/ReplyClassification.h"
#include "session/MainControls.h"
#include "session/OpStates.h"
#include "session/Session.h"
#include "session/SwipePrompt.h"
#include "session/TarnLink.h"

#include <cassert>

namespace msrw {
namespace {

constexpr int kTrackFieldLimitDuringOperations = 180;

void SetTrackLimits(Session& s, int t1, int t2, int t3) {
    s.view.track(1).maxLength = t1;
    s.view.track(2).maxLength = t2;
    s.view.track(3).maxLength = t3;
}

} // namespace

void DispatchTable::addBranch(std::int32_t opState, DispatchBranch branch) {
    [[maybe_unused]] const bool added = branches_.emplace(opState, std::move(branch)).second;
    assert(added && "a state has one branch");
}

void DispatchTable::addEndAction(EndStep step, EndAction action) {
    endActions_.emplace(step, std::move(action));
}

const DispatchBranch* DispatchTable::branchFor(std::int32_t opState) const {
    const auto it = branches_.find(opState);
    return it == branches_.end() ? nullptr : &it->second;
}

void DispatchTable::runEndActions(Session& session, std::int32_t endedState) const {
    for (const auto& [step, action] : endActions_)
        action(session, endedState);
}

const std::string& ReplyTextFor(const Session& s, const std::string& display,
                                const std::string& hex) {
    const int state = s.g.OpState;
    const bool rawRead = state == kOpRead || state == kOpCompare || state == kOpReadToFile;
    // The text replies of "Velk Mode" carry raw tracks as hexadecimal digits
    // already: only the escape-sequence replies need the hex form.
    return IsUserOrRaw(s.g.CardType) && rawRead && !s.velk() ? hex : display;
}

void oMsrwComm_MsrwInEvent(Session& s, std::string& displayForm, std::string& hexForm) {
    const std::string text = ReplyTextFor(s, displayForm, hexForm);
    const bool ok = reply::IsCardCommandSuccess(s.port.MsrwMode, text);
    SetTrackLimits(s, kTrackFieldLimitDuringOperations, kTrackFieldLimitDuringOperations,
                   kTrackFieldLimitDuringOperations);
    if (s.g.OpState == kOpDropReply) {
        s.g.OpState = kOpIdle;
        return;
    }
    if (const DispatchBranch* branch = s.dispatch.branchFor(s.g.OpState)) {
        struct BranchScope {
            Session& s;
            std::optional<std::uint64_t> outer = s.beginBranch();
            ~BranchScope() { s.endBranch(outer); }
        } scope{s};
        (*branch)(s, text, ok);
    }
    // Any other state: no operation waits for this reply.
}

void cmdCancel_Click(Session& s) {
    HidePrompt(s);
    // The operation ends now, not after the pause below: a reply arriving
    // during that pause, or a branch that was pausing, must not carry it on.
    const int endedState = s.g.OpState;
    s.g.OpState = kOpIdle;
    s.markOperationEnded();
    UnlockTrackFields(s.view, s.g.ActiveTracks);
    if (s.quell())
        TarnEndSequence(s);
    else if (s.ormond() || s.velk())
        // A "Velk Mode" read is armed as well: left so, the reader would
        // answer the next card swiped long after the operation ended.
        s.link().SendCommand(cmd::Idle());
    // This is the ending itself: it finishes whatever comes during its pause.
    (void)s.Delay(200);
    EnaMainBtns(s.view, s.port.MsrwMode);
    if (s.g.CardType == card::ISO) {
        SetTrackLimits(s, 76, 37, 104);
    } else if (s.g.CardType == card::AAMVA) {
        SetTrackLimits(s, 79, 37, 79);
        s.view.coercivityLabel = s.format.chkhico ? "High Coercivity" : "Low Coercivity";
    }
    s.dispatch.runEndActions(s, endedState);
    s.view.prompt.buttonCaption = "End";
    s.g.OpCount = 0;
    s.view.message = {};
    if (s.ormond())
        s.link().ClosePort();
}

void EndOperationOnPortLoss(Session& s) {
    if (s.g.OpState != kOpIdle || s.view.prompt.visible)
        cmdCancel_Click(s);
}

} // namespace msrw
