#include "operations/reading/ReadOperation.h"
#include "session/OpStates.h"

#include "cards/CardTypeList.h"
#include "cards/UserTrackCodec.h"
#include "operations/reading/TarnTracks.h"
#include "protocol/CommandSet.h"
#include "protocol/ReadReply.h"
#include "session/CardView.h"
#include "session/MainControls.h"
#include "session/Session.h"
#include "session/SwipePrompt.h"
#include "session/TarnLink.h"

namespace msrw {
namespace {

constexpr int kTarnTrackFieldLimit = 220;

std::array<UserTrackFormat, 3> UserFormats(const FormatStore& format) {
    return {format.userFormat(1), format.userFormat(2), format.userFormat(3)};
}

// ActiveTracks 0: track 2 only; 1: tracks 1 and 2; otherwise all three.
bool TrackInUse(int activeTracks, int n) {
    return n == 2 || (n == 1 && activeTracks != 0) ||
           (n == 3 && activeTracks != 0 && activeTracks != 1);
}

} // namespace

CardRead ReadCard(const Session& s, std::string_view replyText) {
    const reading::ReadReplyContext context{s.port.MsrwMode, s.view.cardTypes.selected,
                                            s.g.ActiveTracks};
    const reading::ParsedRead parsed = reading::ParseReadReply(replyText, context);
    CardRead card{parsed.tracks, parsed.ok, {}};
    card.outcome =
        s.velk() ? reply::ClassifyVelkRead(replyText) : reply::ClassifyOrmondRead(replyText);
    // Escape-sequence replies carry raw tracks as a length byte and the
    // bytes; text replies as hexadecimal digits already.
    if (IsUserOrRaw(s.g.CardType) && !s.velk())
        reading::RawTrackToHex(card.tracks);
    if (s.g.CardType == card::USER) {
        const track::DecodedTracks decoded =
            track::DecodeUserTracks(card.tracks, UserFormats(s.format));
        card.tracks = decoded.tracks;
        card.ok = card.ok && decoded.ok;
    }
    return card;
}

void ShowTracks(Session& s, const track::TrackTexts& tracks) {
    track::TrackTexts shown = tracks;
    track::SpacesToTilde(shown);
    for (int n = 1; n <= 3; ++n) {
        if (TrackInUse(s.g.ActiveTracks, n))
            s.view.track(n).text = track::RewrapTrackField(shown[std::size_t(n - 1)], 0).text;
    }
    CheckShownFormat(s);
}

bool UserSentinelsShown(const Session& s) {
    for (int n = 1; n <= 3; ++n) {
        const std::string text = track::TakeLFOut(s.view.tracks[std::size_t(n - 1)].text);
        if (text.empty())
            continue;
        const UserTrackFormat f = s.format.userFormat(n);
        auto shownAs = [](char c) { return c == ' ' ? '~' : c; };
        if (text.front() != shownAs(f.startSentinel) || text.back() != shownAs(f.endSentinel))
            return false;
    }
    return true;
}

bool PassBookReadWithoutTrack1(const Session& s, const CardRead& card) {
    // A pass book answers "track 1 failed" when it has no track 1 at all.
    const bool track1Only = card.outcome.verdict == reply::ReadVerdict::TracksFailed &&
                            card.outcome.failedTracks.bits == 1;
    const auto holds = [&](int n) {
        return TrackInUse(s.g.ActiveTracks, n) && !card.tracks[std::size_t(n - 1)].empty();
    };
    return s.g.CardType == card::PASS_BOOK && track1Only && (holds(2) || holds(3));
}

bool ReadAccepted(const Session& s, const CardRead& card) {
    return card.ok || PassBookReadWithoutTrack1(s, card);
}

ColouredText ReadFailureLine(const Session& s, const CardRead& card) {
    const int n = s.g.OpCount;
    if (card.outcome.verdict == reply::ReadVerdict::TracksFailed) {
        if (auto line = reply::ReadFailedOnTracksLine(n, card.outcome.failedTracks))
            return {*line, kRed};
    }
    // No track named (a decoding or sentinel failure, a text-mode "Err"): say
    // so for this card rather than leave the previous card's line standing.
    return {"Read(" + std::to_string(n) + ") Failed!", kRed};
}

void SendLineReadCmd(Session& s) {
    if (const auto command = cmd::VelkReadCommand(s.g.CardType))
        s.link().SendLine(*command);
}

void SendReadCmd(Session& s, int state) {
    if (s.quell()) {
        ArmTarnRead(s, state);
        return;
    }
    if (s.velk()) {
        // The text commands of this mode read as well: arm and send them.
        s.g.OpState = state;
        SendLineReadCmd(s);
        return;
    }
    if (!s.ormond())
        return; // "Pellam Mode" has no card commands
    s.g.OpState = kOpIdle;
    s.link().SendCommand(cmd::Idle());
    if (!s.Delay(100))
        return;
    s.g.OpState = state;
    if (const auto command = cmd::OrmondReadCommand(s.g.CardType, s.format.chkReadDiff_Pb))
        s.link().SendCommand(*command);
}

void cmdRead_Click(Session& s) {
    DisMainBtns(s.view);
    if (!ReOpenPortOrStop(s))
        return;
    PreparePrompt(s.view.prompt, "Read Card", "Please Swipe a Card.", kBlue, kWhite);
    s.view.message = {};
    for (TrackBox& box : s.view.tracks)
        box.text.clear();
    s.g.OpCount = 1;
    if (s.quell())
        SendReadCmd(s, kOpQuellRead);
    else if (s.ormond() || s.velk())
        SendReadCmd(s, kOpRead);
    ShowPrompt(s);
}

CardRead TakeCard(Session& s, std::string_view replyText) {
    HidePrompt(s);
    CardRead card = ReadCard(s, replyText);
    ShowTracks(s, card.tracks);
    if (s.g.CardType == card::USER && !UserSentinelsShown(s))
        card.ok = false;
    return card;
}

void ReadBranch(Session& s, std::string_view replyText) {
    const CardRead card = TakeCard(s, replyText);
    if (ReadAccepted(s, card)) {
        ShowCardResult(s,
                       {{reply::ReadOkLine(s.g.OpCount), kBlack}, true, s.g.OpCount, card.tracks});
        if (!s.Wait(300))
            return;
        ++s.g.OpCount;
    } else {
        ShowCardResult(s, {ReadFailureLine(s, card), false, s.g.OpCount, card.tracks});
        if (!s.Wait(500))
            return;
    }
    SendReadCmd(s, kOpRead);
    if (s.g.OpState != kOpIdle)
        ShowPrompt(s);
}

void QuellReadBranch(Session& s, std::string_view replyText) {
    for (TrackBox& box : s.view.tracks)
        box.maxLength = kTarnTrackFieldLimit;
    bool startOk = false;
    if (!TakeTarnStartReply(s, replyText, startOk))
        return;
    HidePrompt(s);
    const TarnCard card = RequestTarnTracks(s);
    ShowTarnTracks(s, card.tracks);
    const int n = s.g.OpCount;
    if (card.ok) {
        ShowCardResult(s, {{reply::ReadOkLine(n), kBlack}, true, n, card.tracks});
        if (!s.Wait(300))
            return;
    } else {
        ShowCardResult(s,
                       {{"Read(" + std::to_string(n) + ") Failed!", kRed}, false, n, card.tracks});
        if (!TarnRecovery(s) || !s.Wait(500))
            return;
    }
    ++s.g.OpCount;
    SendReadCmd(s, kOpQuellRead);
    if (s.g.OpState != kOpIdle)
        ShowPrompt(s);
}

} // namespace msrw
