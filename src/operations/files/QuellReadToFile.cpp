// Read To File in "Quell Mode": after the swipe each track is asked for in
// the layout of the card type, and the card is saved as the device gives it.

#include "cards/CardTypeList.h"
#include "operations/files/ReadToFile.h"
#include "operations/reading/TarnTracks.h"
#include "protocol/ReplyClassification.h"
#include "protocol/TarnFrame.h"
#include "protocol/TrackText.h"
#include "session/OpStates.h"
#include "session/Session.h"
#include "session/SwipePrompt.h"
#include "session/TarnLink.h"

#include <vector>

namespace msrw {
namespace {

constexpr int kOkPauseMs = 300;
constexpr int kAfterRecoveryMs = 500;
constexpr int kNextCardPauseMs = 500;

struct TrackRequest {
    int track;
    const char* command;
};

// Each type's own layout only, unlike a read, which tries the other layout
// for track 3 too: a file holds cards of its kind. ISO asks only for the
// tracks in use; AAMVA for all three. Other types have no track requests.
std::vector<TrackRequest> TrackRequestsFor(const Session& s) {
    if (s.g.CardType == card::AAMVA)
        return {{1, "\\71\\31"}, {2, "\\72\\32"}, {3, "\\73\\31"}};
    if (s.g.CardType != card::ISO)
        return {};
    std::vector<TrackRequest> out;
    if (s.g.ActiveTracks != 0)
        out.push_back({1, "\\71\\31"});
    out.push_back({2, "\\72\\32"});
    if (s.g.ActiveTracks == 2)
        out.push_back({3, "\\73\\33"});
    return out;
}

struct CardForFile {
    track::TrackTexts tracks; // the characters, a backslash as itself
    bool failed = false;
};

// A track that was not answered, or whose reply did not check, failed like
// one the device could not read: the card must not be saved without it.
CardForFile RequestTracks(Session& s) {
    CardForFile card;
    for (const TrackRequest& request : TrackRequestsFor(s)) {
        const TarnTrackResult result = RequestTarnTrack(s, request.command);
        const bool data = result.answered && result.reply.state == tarn::TrackState::Data;
        if (!data) {
            card.failed =
                card.failed || !result.answered || result.reply.state == tarn::TrackState::Failed;
            s.view.track(request.track).text.clear();
            continue;
        }
        card.tracks[std::size_t(request.track - 1)] = tarn::TarnDisplayText(result.reply.text);
    }
    return card;
}

} // namespace

void QuellReadToFileBranch(Session& s, std::string_view replyText, bool ok) {
    if (!TakeTarnStartReply(s, replyText, ok))
        return; // the swipe has begun; the card follows
    HidePrompt(s);
    const auto ends = s.g.operationEnds;
    const CardForFile card = RequestTracks(s);
    if (s.g.operationEnds != ends)
        return;
    if (ok && !card.failed) {
        // Saved as the characters read: a backslash stays one, so that Write
        // From File writes the same card again.
        const SaveOutcome outcome = AppendRecord(s, card.tracks);
        if (outcome == SaveOutcome::WriteFailed)
            return;
        ShowCardResult(
            s, {{ReadToFileOkLine(outcome, s.g.OpCount), kBlack}, true, s.g.OpCount, card.tracks});
        if (!s.Wait(kOkPauseMs))
            return;
        ShowTarnTracks(s, card.tracks);
    } else {
        ShowCardResult(s, {{"Read(" + std::to_string(s.g.OpCount) + ") Failed!", kRed},
                           false,
                           s.g.OpCount,
                           card.tracks});
        if (!TarnRecovery(s) || !s.Wait(kAfterRecoveryMs))
            return;
    }
    ++s.g.OpCount;
    if (!s.Wait(kNextCardPauseMs))
        return;
    ArmTarnRead(s, kOpQuellReadToFile);
    ShowPrompt(s);
}

} // namespace msrw
