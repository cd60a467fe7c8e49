#include "session/CardView.h"

#include "cards/CardTypeList.h"
#include "cards/CustomTrack.h"
#include "cards/ShownFormat.h"
#include "protocol/TarnFrame.h"
#include "session/Session.h"
#include "session/TarnLink.h"

namespace msrw {
namespace {

bool InTarnFamily(const Session& session) {
    return InTarnFamily(session.g.ProtocolIsTarn, session.port.MsrwMode);
}

std::string TrackKey(int track, const char* suffix) {
    return "t" + std::to_string(track) + suffix;
}

// The bits per character of each track for the Tarn family's card types.
std::optional<std::array<std::string, 3>> TarnBpcTexts(const Session& session) {
    const std::string& type = session.g.CardType;
    if (type == card::ISO)
        return std::array<std::string, 3>{"7", "5", "5"};
    if (type == card::AAMVA)
        return std::array<std::string, 3>{"7", "5", "7"};
    if (type != card::CUSTOM)
        return std::nullopt;
    std::array<std::string, 3> bpc;
    for (int track = 1; track <= 3; ++track)
        bpc[std::size_t(track - 1)] =
            CustomBpcText(TarnSettingOrDefault(session, TrackKey(track, "xbit")));
    return bpc;
}

} // namespace

std::array<std::string, 3> TarnTrackDensities(const Session& session) {
    std::array<std::string, 3> bpi;
    for (int track = 1; track <= 3; ++track)
        bpi[std::size_t(track - 1)] =
            tarn::ReadTarnBpi(TarnSettingOrDefault(session, TrackKey(track, "bpi")));
    return bpi;
}

std::optional<FrameCaptions> TarnFrameCaptions(const Session& session) {
    const auto bpc = TarnBpcTexts(session);
    if (!bpc)
        return std::nullopt;
    const std::array<std::string, 3> bpi = TarnTrackDensities(session);
    FrameCaptions captions;
    for (std::size_t i = 0; i < 3; ++i) {
        if (!bpi[i].empty())
            captions[i] =
                "Track" + std::to_string(i + 1) + "   " + (*bpc)[i] + "-BPC    " + bpi[i] + "-BPI";
    }
    return captions;
}

std::optional<FrameCaptions> CurrentFrameCaptions(const Session& session) {
    if (InTarnFamily(session))
        return TarnFrameCaptions(session);
    return CardTypeCaptions(session.g.CardType, session.format.cardFormat());
}

void ShowFrameCaptions(MainView& view, const FrameCaptions& captions) {
    for (std::size_t i = 0; i < 3; ++i)
        view.frames[i].caption = captions[i];
}

void CheckShownFormat(MainView& view, std::string_view cardType,
                      const std::array<std::string, 3>& bpi) {
    const std::array<std::string, 3> shown{view.tracks[0].text, view.tracks[1].text,
                                           view.tracks[2].text};
    const ShownFormatVerdicts verdicts = CheckShownTracks(shown, cardType, bpi);
    for (std::size_t i = 0; i < verdicts.size(); ++i) {
        if (!verdicts[i])
            continue;
        view.frames[i].red = verdicts[i]->red;
        view.frames[i].caption = verdicts[i]->caption;
    }
}

void CheckShownFormat(Session& session) {
    CheckShownFormat(session.view, session.g.CardType, session.format.cardFormat().bpi);
}

KeyFilterContext KeyFilterContextFor(const Session& session) {
    KeyFilterContext context;
    context.cardType = session.g.CardType;
    // The Tarn family's densities are those of its own set-up.
    const bool tarn = InTarnFamily(session);
    const std::array<std::string, 3> tarnBpi =
        tarn ? TarnTrackDensities(session) : std::array<std::string, 3>{};
    for (std::size_t i = 0; i < 3; ++i) {
        context.bpi[i] = tarn ? tarnBpi[i] : session.format.bpi[i].text();
        context.userBpcPosition[i] = session.format.user[i].bpc.selected;
    }
    return context;
}

int txtTrk_KeyPress(Session& session, int track, int keyAscii, const KeyReplacement& replacement) {
    if (track < 1 || track > 3)
        return kKeyCancelled;
    const KeyFilterContext context = KeyFilterContextFor(session);
    const auto index = static_cast<std::size_t>(track - 1);
    if (const auto limit = TrackLengthLimit(context.cardType, track, context.bpi[index]))
        session.view.track(track).maxLength = *limit;
    if (replacement)
        return replacement(track, keyAscii);
    return FilterTrackKey(context, track, keyAscii);
}

} // namespace msrw
