#pragma once
// Reading cards: the Read button, the read commands, and the read branch of
// the receive dispatcher; the parse-and-show steps that compare and the test
// cycle share.

#include "protocol/ReplyClassification.h"
#include "protocol/TrackText.h"
#include "session/MainView.h"
#include "session/OpStates.h"

#include <string>
#include <string_view>

namespace msrw {

class Session;

// A card as a read reply gives it: its tracks (raw tracks as hexadecimal
// digits, USER tracks decoded) and whether it read well.
struct CardRead {
    track::TrackTexts tracks;
    bool ok = false;
    reply::ReadOutcome outcome; // what the device said about the tracks
};

CardRead ReadCard(const Session& session, std::string_view replyText);

// Writes the tracks in use into the track fields (spaces as "~", lines
// wrapped as the fields wrap them), and checks them against the card type.
void ShowTracks(Session& session, const track::TrackTexts& tracks);
// A USER track shown must begin with its start and end with its end sentinel.
bool UserSentinelsShown(const Session& session);

// A pass book with no track 1 is read with "track 1 failed": when track 2 or
// 3 in use holds data, the card read well.
bool PassBookReadWithoutTrack1(const Session& session, const CardRead& card);
// Whether a card read well, as Read judges it (Compare judges the same way).
bool ReadAccepted(const Session& session, const CardRead& card);

// The result line of a card that did not read well.
ColouredText ReadFailureLine(const Session& session, const CardRead& card);

// Hides the prompt, reads the card from the reply and shows it: the steps
// every read branch begins with.
CardRead TakeCard(Session& session, std::string_view replyText);

void SendReadCmd(Session& session, int state);
void SendLineReadCmd(Session& session);
void cmdRead_Click(Session& session);
// Branch 3 of the receive dispatcher.
void ReadBranch(Session& session, std::string_view replyText);
// Branch 9: a read in "Quell Mode". The swipe's start reply comes first; the
// tracks are then asked for one by one.
void QuellReadBranch(Session& session, std::string_view replyText);

} // namespace msrw
