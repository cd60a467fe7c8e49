#pragma once
// The Card Details window's state: what the card last read (or the tracks in
// the main window) means, followed card by card while the window is open.
// Nothing is decoded while it is closed. The full number is shown only
// while the operator asks for it; that choice is never saved and is
// forgotten when the window closes.

#include "cards/CardDetails.h"
#include "protocol/TrackText.h"

#include <cstdint>
#include <string>

namespace msrw {

class Session;
struct CardResult;

struct CardDetailsView {
    bool visible = false;
    bool showFullNumber = false; // "Show the full number"
    std::string source;          // whose tracks: a result line, or the main window's
    details::CardDetails details;
    std::uint64_t revision = 0; // counts every change the window must draw
    track::TrackTexts tracks;   // the tracks decoded
    track::TrackTexts mainSeen; // the main window's tracks when last looked at
};

inline constexpr const char* kMainWindowTracks = "The tracks in the main window";

// Tools > Card Details... (Ctrl+D): the window shows the main window's tracks.
void mnuCardDetails_Click(Session& session);
// The window closed: the full number is forgotten.
void CardDetailsClosed(Session& session);
// "Show the full number" ticked or cleared.
void chkShowFullNumber_Click(Session& session, bool ticked);
// Every card result that carries tracks (read, compare, Read To File) is
// followed: chained into the session's result listener once.
void InstallCardDetailsFeed(Session& session);
// Tracks changed in the main window since last looked at (typed, loaded
// from a file) are followed too; called before the window is drawn.
void FollowMainTracks(Session& session);

} // namespace msrw
