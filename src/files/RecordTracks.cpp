#include "files/RecordTracks.h"

namespace msrw::usage {

TrackAlphabetSetup AlphabetSetupOf(const Setup& u) {
    TrackAlphabetSetup a;
    a.cardTypePosition = CardTypePosition(u.kind);
    // ISO and AAMVA tracks are 7, 5 and 5 or 7 bits (positions 0 and 2).
    const bool aamva = u.kind == CardKind::Aamva;
    a.bpcPosition = u.kind == CardKind::User ? u.bpc : std::array<int, 3>{0, 2, aamva ? 0 : 2};
    return a;
}

RecordTracks TracksOfRecord(const Setup& setup, const std::vector<std::string>& fields) {
    std::array<std::string, 3> texts;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        int missing = 0;
        std::optional<std::string> text = FillTemplate(setup.templates[i], fields, missing);
        if (!text)
            return {std::nullopt, "track " + std::to_string(i + 1) + " names field " +
                                      std::to_string(missing) + ", which is empty or missing"};
        texts[i] = std::move(*text);
    }
    if (!CheckTrackAlphabet(texts, AlphabetSetupOf(setup)))
        return {std::nullopt, kAlphabetProblem};
    return {std::move(texts), {}};
}

} // namespace msrw::usage
