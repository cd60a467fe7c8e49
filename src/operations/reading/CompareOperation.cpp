#include "operations/reading/CompareOperation.h"
#include "session/OpStates.h"

#include "cards/CardTypeList.h"
#include "operations/reading/ReadOperation.h"
#include "operations/reading/TarnTracks.h"
#include "session/MainControls.h"
#include "session/Session.h"
#include "session/SwipePrompt.h"
#include "session/TarnLink.h"

#include <algorithm>

namespace msrw {
namespace {

constexpr Colour kGreen{0, 255, 0};

// RAW and CUSTOM tracks end in zero digits of no meaning: a track that is the
// other followed by zeros only is the same track.
bool SameBitsUpToTrailingZeros(const std::string& a, const std::string& b) {
    const std::string& shorter = a.size() <= b.size() ? a : b;
    const std::string& longer = a.size() <= b.size() ? b : a;
    if (longer.compare(0, shorter.size(), shorter) != 0)
        return false;
    return std::all_of(longer.begin() + std::ptrdiff_t(shorter.size()), longer.end(),
                       [](char c) { return c == '0'; });
}

bool AllBoxesEmpty(const Session& s) {
    return std::all_of(s.view.tracks.begin(), s.view.tracks.end(),
                       [](const TrackBox& box) { return box.text.empty(); });
}

void ArmNextCard(Session& s) {
    SendReadCmd(s, kOpCompare);
    if (s.g.OpState != kOpIdle)
        ShowPrompt(s);
}

void TakeReference(Session& s, const CardRead& card) {
    const int n = s.g.OpCount;
    if (!ReadAccepted(s, card)) {
        ShowCardResult(s,
                       {{"Read(" + std::to_string(n) + ") Failed!", kRed}, false, n, card.tracks});
        if (!s.Wait(500))
            return;
        SendReadCmd(s, kOpCompare);
        ++s.g.OpCount;
        if (s.g.OpState != kOpIdle)
            ShowPrompt(s);
        return;
    }
    if (s.quell())
        ShowTarnTracks(s, card.tracks);
    else
        ShowTracks(s, card.tracks);
    s.g.compareReference = card.tracks;
    ShowCardResult(s, {{reply::ReadOkLine(n), kBlack}, true, n, card.tracks});
    if (!s.Wait(300))
        return;
    SendReadCmd(s, kOpCompare);
    s.view.prompt.label = "Please swipe the next target card for comparing";
    s.g.OpCount = 1;
    if (s.g.OpState != kOpIdle)
        ShowPrompt(s);
}

// "Quell Mode" asks the reader for the tracks of the card just swiped.
CardRead TakeQuellCard(Session& s) {
    const TarnCard tarn = RequestTarnTracks(s);
    CardRead card;
    card.tracks = tarn.tracks;
    card.ok = tarn.ok;
    return card;
}

} // namespace

bool TracksMatch(std::string_view cardType, const std::array<std::string, 3>& target,
                 const std::array<std::string, 3>& reference) {
    if (cardType == card::RAW || cardType == card::CUSTOM) {
        // Tracks of equal length must be equal too: any content would pass otherwise.
        for (std::size_t k = 0; k < 3; ++k) {
            if (!SameBitsUpToTrailingZeros(target[k], reference[k]))
                return false;
        }
        return true;
    }
    return target == reference;
}

void cmdCompare_Click(Session& s) {
    DisMainBtns(s.view);
    if (!ReOpenPortOrStop(s))
        return;
    s.view.message = {};
    for (TrackBox& box : s.view.tracks)
        box.text.clear();
    s.g.compareReference = {};
    // The track fields were just emptied, so there is nothing to validate: the
    // first card swiped is the reference.
    PreparePrompt(s.view.prompt, "Compare Card", "Please swipe the target card", kGreen, kBlack);
    s.g.OpCount = 1;
    SendReadCmd(s, kOpCompare);
    ShowPrompt(s);
}

void CompareBranch(Session& s, std::string_view replyText) {
    if (s.quell()) {
        bool startOk = false;
        if (!TakeTarnStartReply(s, replyText, startOk))
            return;
    }
    HidePrompt(s);
    const CardRead card = s.quell() ? TakeQuellCard(s) : ReadCard(s, replyText);
    if (AllBoxesEmpty(s)) {
        TakeReference(s, card);
        return;
    }
    const bool same =
        ReadAccepted(s, card) && TracksMatch(s.g.CardType, card.tracks, s.g.compareReference);
    ShowCardResult(s, {{"Compare(" + std::to_string(s.g.OpCount) + ")" + (same ? "OK" : "Error"),
                        same ? kBlack : kRed},
                       same,
                       s.g.OpCount,
                       card.tracks});
    // The reader is set right again after a card that differs or failed.
    if (!same && s.quell() && !TarnRecovery(s))
        return;
    ++s.g.OpCount;
    ArmNextCard(s);
}

} // namespace msrw
