#include "session/CardView.h"

#include "cards/CardTypeList.h"
#include "cards/ShownFormat.h"
#include "session/Session.h"

namespace msrw {

std::optional<FrameCaptions> CurrentFrameCaptions(const Session& session) {
    if (InTarnFamily(session.g.ProtocolIsTarn, session.port.MsrwMode))
        return std::nullopt;
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
    const bool tarn = InTarnFamily(session.g.ProtocolIsTarn, session.port.MsrwMode);
    for (std::size_t i = 0; i < 3; ++i) {
        if (!tarn)
            context.bpi[i] = session.format.bpi[i].text();
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
