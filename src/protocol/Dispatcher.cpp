#include "protocol/Dispatcher.h"

#include "cards/CardTypeList.h"
#include "cards/EraseOperation.h"
#include "cards/SequentialWrite.h"
#include "cards/WriteComposition.h"
#include "cards/WriteOperation.h"
#include "link/MainControls.h"
#include "link/Session.h"
#include "protocol/CommandSet.h"
#include "protocol/CompareOperation.h"
#include "protocol/ReadOperation.h"
#include "protocol/SwipePrompt.h"
#include "protocol/TestCycle.h"

namespace msrw {
namespace {

constexpr int kTrackFieldLimitDuringOperations = 180;

void SetTrackLimits(Session& s, int t1, int t2, int t3) {
    s.view.track(1).maxLength = t1;
    s.view.track(2).maxLength = t2;
    s.view.track(3).maxLength = t3;
}

} // namespace

void oMsrwComm_MsrwInEvent(Session& s, std::string& displayForm, std::string& hexForm) {
    const std::string text = ReplyTextFor(s, displayForm, hexForm);
    const auto mode = reply::MsrwModeFromName(s.port.MsrwMode).value_or(reply::MsrwMode::Pellam);
    const bool ok = reply::IsCardCommandSuccess(mode, text);
    SetTrackLimits(s, kTrackFieldLimitDuringOperations, kTrackFieldLimitDuringOperations,
                   kTrackFieldLimitDuringOperations);
    switch (s.g.OpState) {
    case kOpWrite:
        WriteBranch(s, text, ok);
        break;
    case 2:
        s.g.OpState = 0;
        break;
    case kOpErase:
        EraseBranch(s, text, ok);
        break;
    case kOpSequentialWrite:
        SequentialWriteBranch(s, s.seqWrite, text, ok);
        break;
    case kOpTestWrite:
        TestWriteBranch(s, text, ok);
        break;
    case kOpPassBookWrite:
        PassBookWriteBranch(s, text, ok);
        break;
    case kOpRead:
        ReadBranch(s, text);
        break;
    case kOpCompare:
        CompareBranch(s, text);
        break;
    case kOpTestRead:
        TestReadBranch(s, text);
        break;
    default:
        break; // no operation waits for this reply
    }
}

void cmdCancel_Click(Session& s) {
    HidePrompt(s);
    // The operation ends now, not after the pause below: a reply arriving
    // during that pause, or a branch that was pausing, must not carry it on.
    const int endedState = s.g.OpState;
    s.g.OpState = 0;
    s.markOperationEnded();
    UnlockTrackFields(s.view, s.g.ActiveTracks);
    if (s.ormond())
        s.link().SendCommand(cmd::Idle());
    s.Delay(200);
    EnaMainBtns(s.view, s.port.MsrwMode);
    if (s.g.CardType == card::ISO) {
        SetTrackLimits(s, 76, 37, 104);
    } else if (s.g.CardType == card::AAMVA) {
        SetTrackLimits(s, 79, 37, 79);
        s.view.coercivityLabel = s.format.chkhico ? "High Coercivity" : "Low Coercivity";
    }
    SeqWriteOnCancel(s, s.seqWrite);
    if (endedState == kOpCompare) {
        s.view.message = {};
        for (TrackBox& box : s.view.tracks)
            box.text.clear();
        RestoreTrackTitles(s);
    }
    s.view.prompt.buttonCaption = "End";
    s.g.OpCount = 0;
    s.view.message = {};
    if (s.ormond())
        s.link().ClosePort();
}

} // namespace msrw
