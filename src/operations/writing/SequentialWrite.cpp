#include "operations/writing/SequentialWrite.h"

#include "cards/CardTypeList.h"
#include "cards/WriteComposition.h"
#include "link/OperatorDialogs.h"
#include "operations/writing/SendWrite.h"
#include "operations/writing/WriteOperation.h"
#include "protocol/TrackText.h"
#include "session/MainControls.h"
#include "session/OpStates.h"
#include "session/Session.h"
#include "session/SwipePrompt.h"
#include "session/TarnLink.h"

#include <algorithm>
#include <optional>

namespace msrw {
namespace {

constexpr int kOkPauseMs = 300;
constexpr int kErrorPauseMs = 500;
constexpr int kKeyDelete = 127;
constexpr char kMark = 'x';

const char* const kMarkingInstruction =
    "In the track field, point to a location to insert the sequential number. Click the "
    "location.Type an \"x\" for each number character needed. Click \"OK\".";
const char* const kWrongFormat =
    "Wrong Data Format! The data contain redundant 'x'(s) or no 'x'(s)!";

bool AnyFieldHasMark(const Session& s) {
    return std::any_of(s.view.tracks.begin(), s.view.tracks.end(), [](const TrackBox& box) {
        return box.text.find(kMark) != std::string::npos;
    });
}

// Shows a track's text as the field lays it out after any edit.
void SetFieldText(TrackBox& box, const std::string& oneLine) {
    box.text = track::RewrapTrackField(oneLine, 0).text;
}

void PromptForMarks(PromptView& prompt) {
    PreparePrompt(prompt, "Sequential Write", kMarkingInstruction, kYellow, kBlack);
    prompt.labelFontSize = 10;
    prompt.buttonCaption = "Cancel";
}

// The marks are confirmed: ask for the range, the prompt waiting disabled.
void OpenRangeEntry(Session& s, SequentialWrite& run) {
    DisMainBtns(s.view);
    PromptView& prompt = s.view.prompt;
    prompt.label = "Please Swipe a Card";
    prompt.buttonCaption = "End";
    prompt.buttonEnabled = false;
    prompt.labelFontSize = 12;
    run.dialog.visible = true;
    run.dialog.startNoFocused = true;
    s.g.OpState = kOpIdle;
    s.g.OpCount = 0;
    s.view.message = {};
}

bool AllDigits(const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int DigitCount(std::int32_t n) {
    return int(std::to_string(n).size());
}

// Why the range in the dialog cannot be written, or nullopt when it can; a
// good range is stored in the run.
std::optional<std::string> RangeRefusal(SequentialWrite& run) {
    const std::string& first = run.dialog.txtStartNo;
    const std::string& count = run.dialog.txtEndNo;
    if (first.empty() || count.empty())
        return "Please fill Start and No. of card";
    // Nine digits each keep the sum within 32 bits.
    const auto tooLong = [](const std::string& t) { return t.size() > kSeqNumberMaxLength; };
    if (!AllDigits(first) || !AllDigits(count) || tooLong(first) || tooLong(count))
        return "Start and No. of card take digits only, at most 9 each";
    const std::int32_t cards = std::stoi(count);
    if (cards == 0)
        return "Please input valid # of card";
    run.SeqFirst = std::stoi(first);
    run.SeqEnd = run.SeqFirst + cards;
    const int lastDigits = DigitCount(run.SeqEnd - 1);
    for (std::int32_t len : run.SeqLen) {
        if (len > 0 && len < lastDigits)
            return "Number of Digit in 'Starting No.' should no more than the number of x's in "
                   "track data field";
    }
    return std::nullopt;
}

void PromptForNumberedCard(PromptView& prompt) {
    PreparePrompt(prompt, "Sequential Write", "Please Swipe a Card", kYellow, kBlack);
}

void AbortRangeEntry(Session& s, SequentialWrite& run) {
    DeleteChrX(s, run);
    HidePrompt(s);
    run.dialog.visible = false;
    EnaMainBtns(s.view, s.port.MsrwMode);
    run.dialog.txtStartNo.clear();
    run.dialog.txtEndNo.clear();
}

void StartRun(Session& s, SequentialWrite& run) {
    // Confirming the marks went through the prompt's "End" action, which
    // closes the port in "Ormond Mode".
    if (!s.portManager.ReOpenPort()) {
        AbortRangeEntry(s, run);
        return;
    }
    run.SeqCurrent = run.SeqFirst;
    UpdateDisplay(s, run);
    s.g.OpCount = 1;
    // Edits during the run would move the marks under the numbers.
    LockTrackFields(s.view);
    PromptForNumberedCard(s.view.prompt);
    SendWriteAndPrompt(s, kOpSequentialWrite);
}

void CompleteRun(Session& s, SequentialWrite& run) {
    s.dialogs.showMessage("Sequential Write Completed");
    if (s.quell())
        (void)SendTarnStr(s, tarn::kIdle); // housekeeping: its answer changes nothing
    run.dialog.visible = false;
    EnaMainBtns(s.view, s.port.MsrwMode);
    UnlockTrackFields(s.view, s.g.ActiveTracks);
    // Nothing is armed any more: a stray reply must not write past the range.
    s.g.OpState = kOpIdle;
}

} // namespace

void cmdSeqWrite_Click(Session& s, SequentialWrite& run) {
    if (!s.portManager.ReOpenPort())
        return; // the operator has been told
    if (s.quell() && s.g.CardType == card::CUSTOM) {
        s.dialogs.showMessage("Sequential Write is not for CUSTOM mode!", MessageIcon::Critical);
        return;
    }
    if (s.g.CardType == card::RAW) {
        s.dialogs.showMessage("Sequential Write is not for RAW mode!", MessageIcon::Critical);
        return;
    }
    DisMainBtns(s.view);
    s.view.message = {};
    if (PrepareTrackData(s) == 0 &&
        !s.dialogs.askOkCancel("All 3 tracks are empty! You want Sequential Track Data Only?",
                               MessageIcon::Information, "Sequential Write")) {
        EnaMainBtns(s.view, s.port.MsrwMode);
        return;
    }
    PromptForMarks(s.view.prompt);
    run.SeqWriteActive = true;
    ShowPrompt(s);
}

KeyReplacement SeqWriteKeyReplacement(Session& s, SequentialWrite& run,
                                      std::function<void()> pressPromptButton) {
    if (!run.SeqWriteActive)
        return {};
    return [&s, press = std::move(pressPromptButton)](int, int keyAscii) {
        if (keyAscii == kKeyEnter) {
            if (press)
                press();
            return kKeyCancelled;
        }
        if (keyAscii == kKeyBackspace)
            return keyAscii;
        s.view.prompt.buttonCaption = "OK";
        return int(kMark);
    };
}

void SeqWriteOnCancel(Session& s, SequentialWrite& run) {
    if (!run.SeqWriteActive)
        return;
    run.SeqWriteActive = false;
    if (!AnyFieldHasMark(s)) {
        HidePrompt(s);
        EnaMainBtns(s.view, s.port.MsrwMode);
        s.g.OpState = kOpIdle;
        s.view.message = {};
        return;
    }
    if (ChkSeqWriteFormat(s, run) == 0) {
        // The marks stay, so that the operator sees the stray "x" to remove.
        s.dialogs.showMessage(kWrongFormat, MessageIcon::Critical);
        s.view.message = {};
        run.dialog = {}; // unloaded
        HidePrompt(s);
        return;
    }
    OpenRangeEntry(s, run);
}

int ChkSeqWriteFormat(const Session& s, SequentialWrite& run) {
    run.SeqLen = {};
    int marked = 0;
    for (std::size_t i = 0; i < 3; ++i) {
        const std::string text = track::TakeLFOut(s.view.tracks[i].text);
        const std::size_t first = text.find(kMark);
        if (first == std::string::npos)
            continue;
        const std::size_t end = std::min(text.find_first_not_of(kMark, first), text.size());
        run.SeqStart[i] = static_cast<std::int32_t>(first + 1);
        ++marked;
        if (text.find(kMark, end) != std::string::npos)
            return 0;
        run.SeqLen[i] = static_cast<std::int32_t>(end - first);
    }
    return marked;
}

void UpdateDisplay(Session& s, const SequentialWrite& run) {
    for (std::size_t i = 0; i < 3; ++i) {
        const std::int32_t len = run.SeqLen[i];
        if (len <= 0)
            continue;
        std::string number = std::to_string(run.SeqCurrent);
        if (number.size() < std::size_t(len))
            number.insert(0, std::size_t(len) - number.size(), '0');
        const std::string text = track::TakeLFOut(s.view.tracks[i].text);
        // A field shortened since the marks were taken still gets the number.
        const std::size_t at = std::min(std::size_t(std::max(run.SeqStart[i] - 1, 0)), text.size());
        const std::size_t tail = std::min(at + std::size_t(len), text.size());
        SetFieldText(s.view.tracks[i], text.substr(0, at) + number + text.substr(tail));
    }
}

void DeleteChrX(Session& s, SequentialWrite& run) {
    if (!AnyFieldHasMark(s) || ChkSeqWriteFormat(s, run) == 0)
        return;
    for (TrackBox& box : s.view.tracks) {
        std::string text = track::TakeLFOut(box.text);
        std::erase(text, kMark);
        SetFieldText(box, text);
    }
}

void SequentialWriteBranch(Session& s, SequentialWrite& run, std::string_view replyText, bool ok) {
    if (s.quell() && !TakeTarnStartReply(s, replyText, ok))
        return; // the swipe has begun; its result follows
    if (s.ormond() && s.g.CardType == card::PASS_BOOK) {
        // Each card is verified before the next number is written.
        const std::optional<bool> verdict = PassBookWriteVerdict(s, replyText);
        if (!verdict)
            return;
        ok = *verdict;
        PromptForNumberedCard(s.view.prompt);
    }
    HidePrompt(s);
    ShowWriteResult(s, ok);
    if (ok) {
        ++s.g.OpCount;
        ++run.SeqCurrent;
        if (!s.Wait(kOkPauseMs))
            return;
        if (run.SeqCurrent >= run.SeqEnd) {
            CompleteRun(s, run);
            return;
        }
    } else if (!s.Wait(kErrorPauseMs) || (s.quell() && !TarnRecovery(s))) {
        return;
    }
    UpdateDisplay(s, run); // a failed card is written again with the same number
    SendWriteAndPrompt(s, kOpSequentialWrite);
}

namespace frmSeqWrite {

void CmdOk_Click(Session& s, SequentialWrite& run) {
    run.dialog.visible = false;
    s.redraw(); // gone before any message, which would open behind it
    if (const auto refusal = RangeRefusal(run)) {
        s.dialogs.showMessage(*refusal);
        AbortRangeEntry(s, run);
        return;
    }
    StartRun(s, run);
}

void cmdCancel_Click(Session& s, SequentialWrite& run) {
    run.dialog = {}; // unloaded: the next run starts with empty fields
    HidePrompt(s);
    EnaMainBtns(s.view, s.port.MsrwMode);
    DeleteChrX(s, run);
}

int txtNo_KeyPress(Session& s, SequentialWrite& run, int keyAscii) {
    if (keyAscii == kKeyEnter) {
        CmdOk_Click(s, run);
        return kKeyCancelled;
    }
    const bool digit = keyAscii >= '0' && keyAscii <= '9';
    return digit || keyAscii == kKeyBackspace || keyAscii == kKeyDelete ? keyAscii : kKeyCancelled;
}

void txtNo_FocusChanged(SequentialWrite& run, bool focused) {
    run.dialog.CmdOkBold = focused;
}

} // namespace frmSeqWrite

} // namespace msrw
