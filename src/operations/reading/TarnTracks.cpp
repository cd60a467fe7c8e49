#include "operations/reading/TarnTracks.h"

#include "cards/CardTypeList.h"
#include "cards/CustomTrack.h"
#include "protocol/TarnFrame.h"
#include "session/CardView.h"
#include "session/Session.h"
#include "session/TarnLink.h"

namespace msrw {
namespace {

constexpr const char* kTrack1Iso = "\\71\\31";
constexpr const char* kTrack2Iso = "\\72\\32";
constexpr const char* kTrack3FiveBit = "\\73\\33";  // the ISO layout
constexpr const char* kTrack3SevenBit = "\\73\\31"; // the AAMVA layout

enum class TrackOutcome { Shown, Blank, Failed, NotRead };

struct AskedTrack {
    TrackOutcome outcome = TrackOutcome::NotRead;
    std::string text;
};

AskedTrack Ask(Session& s, const std::string& request) {
    const TarnTrackResult result = RequestTarnTrack(s, request);
    if (!result.answered)
        return {TrackOutcome::NotRead, {}};
    switch (result.reply.state) {
    case tarn::TrackState::Blank:
        return {TrackOutcome::Blank, {}};
    case tarn::TrackState::Failed:
        return {TrackOutcome::Failed, {}};
    case tarn::TrackState::Data:
        break;
    }
    return {TrackOutcome::Shown, result.reply.text};
}

// A track that did not read, or whose answer could not be trusted, is shown
// empty and fails the card.
void Take(TarnCard& card, std::size_t index, AskedTrack asked) {
    card.tracks[index] = std::move(asked.text);
    if (asked.outcome == TrackOutcome::Failed || asked.outcome == TrackOutcome::NotRead)
        card.ok = false;
}

bool AllTracksInUse(const Session& s) {
    return s.g.ActiveTracks != 0 && s.g.ActiveTracks != 1;
}

// Track 3 in the card type's own layout, then in the other one.
void AskTrack3(Session& s, TarnCard& card) {
    const bool iso = s.g.CardType == card::ISO;
    bool sevenBit = !iso;
    AskedTrack asked = Ask(s, sevenBit ? kTrack3SevenBit : kTrack3FiveBit);
    if (asked.outcome == TrackOutcome::Failed) {
        sevenBit = !sevenBit;
        asked = Ask(s, sevenBit ? kTrack3SevenBit : kTrack3FiveBit);
    }
    if (asked.outcome == TrackOutcome::Shown) {
        asked.text = tarn::TarnDisplayText(asked.text);
        const std::string bpi = tarn::ReadTarnBpi(TarnSettingOrDefault(s, "t3bpi"));
        s.view.frame(3).caption = Track3LayoutCaption(s.g.CardType, sevenBit, bpi);
    }
    Take(card, 2, std::move(asked));
}

void AskStandardTracks(Session& s, TarnCard& card) {
    const char* requests[] = {kTrack1Iso, kTrack2Iso};
    for (std::size_t i = 0; i < 2; ++i) {
        AskedTrack asked = Ask(s, requests[i]);
        asked.text = tarn::TarnDisplayText(asked.text);
        Take(card, i, std::move(asked));
    }
    if (AllTracksInUse(s))
        AskTrack3(s, card);
}

void AskCustomTracks(Session& s, TarnCard& card) {
    for (int track = 1; track <= 3; ++track) {
        if (track == 3 && !AllTracksInUse(s))
            break;
        const std::string key = "t" + std::to_string(track) + "xbit";
        const int bits = CustomBitsPerCharacter(TarnSettingOrDefault(s, key));
        const auto index = std::size_t(track - 1);
        if (bits == 0) {
            // No character size to ask in: the set-up file is damaged.
            card.ok = false;
            continue;
        }
        AskedTrack asked = Ask(s, CustomTrackRequest(track, bits));
        asked.text = CustomTrackDigits(asked.text);
        Take(card, index, std::move(asked));
    }
}

} // namespace

std::string CustomTrackDigits(std::string_view trackText) {
    // ReadCustom leaves a text of under four characters as it is, which for
    // a track of one or two bytes would show the bytes rather than their
    // digits: a lead of four known characters makes every track long enough.
    constexpr std::string_view kLead = "0000";
    constexpr std::size_t kLeadDigits = 2 * kLead.size();
    if (trackText.empty())
        return {};
    return tarn::ReadCustom(std::string(kLead) + std::string(trackText)).substr(kLeadDigits);
}

std::string Track3LayoutCaption(std::string_view cardType, bool sevenBit, std::string_view bpi) {
    const std::string density(bpi);
    if (!sevenBit)
        return "Track3   5 BPC   " + density + " BPI (ISO Format)";
    return "Track3   7 BPC   " + density +
           (cardType == card::ISO ? " BPI (Non ISO Format)" : " BPI ");
}

TarnCard RequestTarnTracks(Session& s) {
    TarnCard card;
    if (s.g.CardType == card::ISO || s.g.CardType == card::AAMVA)
        AskStandardTracks(s, card);
    else if (s.g.CardType == card::CUSTOM)
        AskCustomTracks(s, card);
    return card;
}

void ShowTarnTracks(Session& s, const track::TrackTexts& tracks) {
    track::TrackTexts shown = tracks;
    track::SpacesToTilde(shown);
    for (int n = 1; n <= 3; ++n)
        s.view.track(n).text = track::RewrapTrackField(shown[std::size_t(n - 1)], 0).text;
}

} // namespace msrw
