#include "operations/writing/SendWrite.h"

#include "cards/CardTypeList.h"
#include "cards/WriteComposition.h"
#include "link/OperatorDialogs.h"
#include "operations/writing/TarnWrite.h"
#include "session/Dispatcher.h"
#include "session/OpStates.h"
#include "session/Session.h"

#include <algorithm>

namespace msrw {
namespace {

// The characters shown at the two ends of a track that preparation removes;
// '\0' for none.
struct Sentinels {
    char start = '\0';
    char end = '\0';
};

char FirstCharOf(const ListControl& list) {
    const std::string text = list.text();
    return text.empty() ? '\0' : text.front();
}

// Decided by the card type, not by its place in the list: the lists of the
// modes differ (position 2 is CDL in "Velk Mode" and CUSTOM in "Quell Mode",
// neither of which has sentinels).
std::array<Sentinels, 3> SentinelsToStrip(const std::string& cardType, const FormatStore& format) {
    if (cardType == card::ISO)
        return {{{'%', '?'}, {';', '?'}, {';', '?'}}};
    if (cardType == card::AAMVA)
        return {{{'%', '?'}, {';', '?'}, {'%', '?'}}};
    if (cardType != card::USER)
        return {};
    // Compared with the field as shown, so a space sentinel is the "~" that
    // both the list and the field show.
    std::array<Sentinels, 3> out;
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = {FirstCharOf(format.user[i].ss), FirstCharOf(format.user[i].es)};
    return out;
}

// One character at most from each end, the start first.
std::string Stripped(std::string text, const Sentinels& sentinels) {
    if (!text.empty() && sentinels.start != '\0' && text.front() == sentinels.start)
        text.erase(text.begin());
    if (!text.empty() && sentinels.end != '\0' && text.back() == sentinels.end)
        text.pop_back();
    return text;
}

std::string SpacesFromTilde(std::string text) {
    std::replace(text.begin(), text.end(), '~', ' ');
    return text;
}

track::TrackTexts FieldsWithoutLineBreaks(const MainView& view) {
    track::TrackTexts fields;
    for (std::size_t i = 0; i < fields.size(); ++i)
        fields[i] = track::TakeLFOut(view.tracks[i].text);
    return fields;
}

bool AnyOddLength(const track::TrackTexts& fields) {
    return std::any_of(fields.begin(), fields.end(),
                       [](const std::string& f) { return f.size() % 2 != 0; });
}

} // namespace

int PrepareTrackData(Session& s) {
    const track::TrackTexts fields = FieldsWithoutLineBreaks(s.view);
    if (s.g.CardType == card::CUSTOM && AnyOddLength(fields)) {
        // Custom tracks are whole bytes of hexadecimal digits. Nothing
        // prepared earlier may be written in their place.
        s.g.TrackData = {};
        return 0;
    }
    const std::array<Sentinels, 3> sentinels = SentinelsToStrip(s.g.CardType, s.format);
    for (std::size_t i = 0; i < fields.size(); ++i)
        s.g.TrackData[i] = SpacesFromTilde(Stripped(fields[i], sentinels[i]));
    const auto& data = s.g.TrackData;
    return std::any_of(data.begin(), data.end(), [](const std::string& d) { return !d.empty(); })
               ? 1
               : 0;
}

bool SendWriteStr(Session& s, int kind) {
    PrepareTrackData(s);
    if (s.quell())
        return SendTarnWriteStr(s, kind);
    if (!s.velk() && !s.ormond())
        return false; // "Pellam Mode" has no card commands: nothing is awaited
    // No reply is awaited while composing: one arriving now is not this write's.
    s.g.OpState = kOpIdle;
    const WriteCommandText write =
        ComposeWriteCommand(s.port.MsrwMode, s.g.CardType, s.g.TrackData, s.format.cardFormat());
    s.g.WriteCommand = write.command;
    if (!write.problem.empty()) {
        s.dialogs.showMessage(std::string(kDataErrorMessage) + ": " + write.problem +
                                  " Nothing was written.",
                              MessageIcon::Critical);
        // No card can take this data: waiting for a swipe would lead nowhere.
        cmdCancel_Click(s);
        return false;
    }
    if (write.command.empty())
        return false; // the card type has no write command in this mode
    s.g.OpState = kind;
    if (s.velk())
        s.link().SendLine(write.command);
    else
        s.link().SendCommand(write.command);
    return true;
}

} // namespace msrw
