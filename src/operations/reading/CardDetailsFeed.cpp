#include "operations/reading/CardDetailsFeed.h"

#include "session/Session.h"

#include <QDate>
#include <algorithm>

namespace msrw {
namespace {

CardDetailsView& View(Session& s) {
    return s.operationState<CardDetailsView>();
}

// The main window's tracks as data: its line breaks out, "~" a space.
track::TrackTexts MainTracks(const Session& s) {
    track::TrackTexts tracks;
    for (std::size_t i = 0; i < 3; ++i) {
        tracks[i] = track::TakeLFOut(s.view.tracks[i].text);
        std::replace(tracks[i].begin(), tracks[i].end(), '~', ' ');
    }
    return tracks;
}

void Decode(CardDetailsView& v) {
    const QDate today = QDate::currentDate();
    v.details = details::DecodeCardDetails(
        v.tracks, {{today.year(), today.month(), today.day()}, v.showFullNumber});
    ++v.revision;
}

void Take(CardDetailsView& v, const track::TrackTexts& tracks, std::string source) {
    v.tracks = tracks;
    v.source = std::move(source);
    Decode(v);
}

} // namespace

void mnuCardDetails_Click(Session& s) {
    CardDetailsView& v = View(s);
    const bool opening = !v.visible;
    v.visible = true;
    if (opening) {
        v.mainSeen = MainTracks(s);
        Take(v, v.mainSeen, kMainWindowTracks);
    }
}

void CardDetailsClosed(Session& s) {
    CardDetailsView& v = View(s);
    v.visible = false;
    v.showFullNumber = false;
    v.details = {}; // nothing of the number stays behind
    v.tracks = {};
    ++v.revision;
}

void chkShowFullNumber_Click(Session& s, bool ticked) {
    CardDetailsView& v = View(s);
    if (v.showFullNumber == ticked)
        return;
    v.showFullNumber = ticked;
    if (v.visible)
        Decode(v);
}

void InstallCardDetailsFeed(Session& s) {
    auto previous = std::move(s.cardResult);
    s.cardResult = [&s, previous = std::move(previous)](const CardResult& result) {
        if (previous)
            previous(result);
        CardDetailsView& v = View(s);
        if (!v.visible || !result.tracks)
            return;
        Take(v, *result.tracks, result.line.text);
        v.mainSeen = MainTracks(s); // what the operation showed is this card
    };
}

void FollowMainTracks(Session& s) {
    CardDetailsView& v = View(s);
    if (!v.visible)
        return;
    const track::TrackTexts now = MainTracks(s);
    if (now == v.mainSeen)
        return;
    v.mainSeen = now;
    Take(v, now, kMainWindowTracks);
}

} // namespace msrw
