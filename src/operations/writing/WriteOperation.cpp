#include "operations/writing/WriteOperation.h"

#include "cards/CardTypeList.h"
#include "cards/WriteComposition.h"
#include "link/OperatorDialogs.h"
#include "operations/writing/SendWrite.h"
#include "protocol/ReplyClassification.h"
#include "session/Dispatcher.h"
#include "session/MainControls.h"
#include "session/OpStates.h"
#include "session/Session.h"
#include "session/SwipePrompt.h"
#include "session/TarnLink.h"

#include <string>
#include <utility>

namespace msrw {
namespace {

constexpr int kWriteFieldLimit = 180;

constexpr int kOkPauseMs = 300;
constexpr int kErrorPauseMs = 1500;
constexpr int kTestOkPauseMs = 200;
constexpr int kTestErrorPauseMs = 500;

// Tracks that are not in use must not be written with stale data.
void ClearUnusedTracks(Session& s) {
    if (s.g.ActiveTracks == 0)
        s.view.track(1).text.clear();
    if (s.g.ActiveTracks == 0 || s.g.ActiveTracks == 1)
        s.view.track(3).text.clear();
}

// True (and the operator told) when a track shown does not fit the card type.
bool RefusedForWrongFormat(Session& s) {
    for (int n : {3, 1}) {
        if (!s.view.frame(n).red)
            continue;
        s.dialogs.showMessage("Track " + std::to_string(n) + " have wrong format!",
                              MessageIcon::Critical);
        EnaMainBtns(s.view, s.port.MsrwMode);
        UnlockTrackFields(s.view, s.g.ActiveTracks);
        return true;
    }
    return false;
}

// The operation code of a write in the current mode; 0 where Write sends nothing.
int WriteKindFor(const Session& s) {
    if (s.quell())
        return kOpQuellWrite;
    if (s.ormond())
        return s.g.CardType == card::PASS_BOOK ? kOpPassBookWrite : kOpWrite;
    return 0;
}

void PromptForNextCard(PromptView& prompt) {
    PreparePrompt(prompt, "Write Card", "Please Swipe a Card.", kYellow, kBlack);
}

} // namespace

ColouredText WriteResultLine(int count, bool ok) {
    const std::string n = std::to_string(count);
    return ok ? ColouredText{"Write(" + n + ") OK!", kBlack}
              : ColouredText{"Write(" + n + ") Error!!", kRed};
}

void ShowWriteResult(Session& s, bool ok) {
    ShowCardResult(s, {WriteResultLine(s.g.OpCount, ok), ok, s.g.OpCount, {}});
}

void SendWriteAndPrompt(Session& s, int kind) {
    const auto ends = s.g.operationEnds;
    // Whether a command went out does not decide: data that cannot be
    // written ends the operation (the count tells), and a mode without a
    // write command still waits for End.
    (void)SendWriteStr(s, kind);
    // A Tarn load that was refused has closed the prompt already.
    if (std::exchange(s.g.PromptClosed, false))
        return;
    if (s.g.operationEnds == ends)
        ShowPrompt(s);
}

void cmdWrite_Click(Session& s) {
    DisMainBtns(s.view);
    if (!ReOpenPortOrStop(s))
        return;
    ClearUnusedTracks(s);
    if (RefusedForWrongFormat(s))
        return;
    for (TrackBox& box : s.view.tracks)
        box.maxLength = kWriteFieldLimit;
    if (PrepareTrackData(s) != 1) {
        s.dialogs.showMessage(kDataErrorMessage);
        EnaMainBtns(s.view, s.port.MsrwMode);
        return;
    }
    PromptForNextCard(s.view.prompt);
    s.g.OpCount = 1;
    LockTrackFields(s.view);
    if (const int kind = WriteKindFor(s))
        SendWriteAndPrompt(s, kind);
    else
        ShowPrompt(s);
}

void WriteBranch(Session& s, std::string_view, bool ok) {
    HidePrompt(s);
    ShowWriteResult(s, ok);
    if (!s.Wait(ok ? kOkPauseMs : kErrorPauseMs))
        return;
    if (ok)
        ++s.g.OpCount;
    SendWriteAndPrompt(s, kOpWrite);
}

void QuellWriteBranch(Session& s, std::string_view replyText, bool ok) {
    if (!TakeTarnStartReply(s, replyText, ok))
        return; // the swipe has begun; its result follows
    HidePrompt(s);
    ShowWriteResult(s, ok);
    if (ok) {
        if (!s.Wait(kOkPauseMs))
            return;
        ++s.g.OpCount;
    } else if (!TarnRecovery(s)) {
        return;
    }
    SendWriteAndPrompt(s, kOpQuellWrite);
}

std::optional<bool> PassBookWriteVerdict(Session& s, std::string_view replyText) {
    const reply::WriteStatus status = reply::ClassifyPassBookWrite(replyText);
    if (status != reply::WriteStatus::VerifyPending)
        return status == reply::WriteStatus::Written;
    // The device waits for the same card again; nothing is sent.
    PreparePrompt(s.view.prompt, "Verify Write Card", "Please Swipe a Card again to verify!", kBlue,
                  kWhite);
    s.view.message = {"Swipe One More Time to Verify !", kBlack};
    (void)s.Wait(kOkPauseMs); // nothing follows the pause, ended or not
    return std::nullopt;
}

void PassBookWriteBranch(Session& s, std::string_view replyText, bool) {
    const std::optional<bool> verdict = PassBookWriteVerdict(s, replyText);
    if (!verdict)
        return;
    PromptForNextCard(s.view.prompt);
    const bool written = *verdict;
    ShowWriteResult(s, written);
    if (!s.Wait(written ? kOkPauseMs : kErrorPauseMs))
        return;
    if (written)
        ++s.g.OpCount;
    SendWriteAndPrompt(s, kOpPassBookWrite);
}

void BeginTestWritePhase(Session& s) {
    if (PrepareTrackData(s) != 1) {
        s.dialogs.showMessage(kDataErrorMessage);
        cmdCancel_Click(s);
        return;
    }
    s.g.testPhase = 1;
    PromptView& prompt = s.view.prompt;
    prompt.caption = "Write Card";
    prompt.label = "Please Swipe to Write a Card with MEDIUM speed.";
    prompt.buttonCaption = "End";
    prompt.buttonEnabled = true;
    s.g.OpCount = 1;
    SendWriteAndPrompt(s, kOpTestWrite);
}

void TestWriteBranch(Session& s, std::string_view, bool ok) {
    HidePrompt(s);
    ShowWriteResult(s, ok);
    if (!s.Wait(ok ? kTestOkPauseMs : kTestErrorPauseMs))
        return;
    if (ok) {
        ++s.g.OpCount;
        if (s.g.testPhase != 1) {
            cmdCancel_Click(s); // the second good write completes the test
            return;
        }
        s.g.testPhase = 2;
    }
    SendWriteAndPrompt(s, kOpTestWrite);
}

} // namespace msrw
