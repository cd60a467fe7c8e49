#include "cards/ShownFormat.h"

#include "cards/CardTypeList.h"

#include <functional>
#include <optional>
#include <vector>

namespace msrw {
namespace {

// The first and last characters of the track data, past the line breaks the
// field wraps its text with.
struct DataEnds {
    char first;
    char last;
};

std::optional<DataEnds> DataEndsOf(const std::string& text) {
    const auto first = text.find_first_not_of("\r\n");
    if (first == std::string::npos)
        return std::nullopt;
    const auto last = text.find_last_not_of("\r\n");
    return DataEnds{text[first], text[last]};
}

struct TrackCheck {
    int track;
    std::function<bool(DataEnds)> fails;
    std::string failCaption;
    std::string passCaption;
};

bool StartsWith(DataEnds ends, char c) {
    return ends.first == c;
}

std::string Bpi(const std::string& bpi) {
    return "   " + bpi + " BPI";
}

std::vector<TrackCheck> IsoChecks(const std::array<std::string, 3>& bpi) {
    return {
        {3, [](DataEnds e) { return StartsWith(e, '%'); },
         " Track3   7-BPC (AAMVA format)" + Bpi(bpi[2]), " Track3   5-BPC" + Bpi(bpi[2])},
        {1, [](DataEnds e) { return !StartsWith(e, '%'); },
         " Track1   5-BPC" + Bpi(bpi[0]) + " (Non ISO format!)", " Track1   7-BPC" + Bpi(bpi[0])},
        {2, [](DataEnds e) { return !StartsWith(e, ';'); }, "(Non ISO format!)",
         " Track2   5-BPC" + Bpi(bpi[1])},
    };
}

std::vector<TrackCheck> AamvaChecks(const std::array<std::string, 3>& bpi) {
    return {
        {3, [](DataEnds e) { return StartsWith(e, ';'); },
         " Track3   5-BPC (ISO format)" + Bpi(bpi[2]), " Track3   7-BPC" + Bpi(bpi[2])},
        {1, [](DataEnds e) { return !StartsWith(e, '%'); },
         " Track1   5-BPC" + Bpi(bpi[0]) + " (Non AAMVA format!)", " Track1   7-BPC" + Bpi(bpi[0])},
        {2, [](DataEnds e) { return !StartsWith(e, ';'); }, "(Non AAMVA format!)",
         " Track2   5-BPC" + Bpi(bpi[1])},
    };
}

bool NotPassBook(DataEnds e) {
    const bool startOk = e.first == ';' || e.first == '=';
    const bool endOk = e.last == '?' || e.last == '<';
    return !startOk || !endOk;
}

std::vector<TrackCheck> PassBookChecks() {
    std::vector<TrackCheck> checks;
    for (int track = 1; track <= 3; ++track) {
        const std::string label = " Track" + std::to_string(track) + "   ";
        checks.push_back(
            {track, NotPassBook, label + "(Non PASS BOOK format!)", label + "5-BPC   210 BPI"});
    }
    return checks;
}

std::vector<TrackCheck> ChecksFor(std::string_view cardType,
                                  const std::array<std::string, 3>& bpi) {
    if (cardType == card::ISO)
        return IsoChecks(bpi);
    if (cardType == card::AAMVA)
        return AamvaChecks(bpi);
    if (cardType == card::PASS_BOOK)
        return PassBookChecks();
    return {};
}

} // namespace

ShownFormatVerdicts CheckShownTracks(const std::array<std::string, 3>& shown,
                                     std::string_view cardType,
                                     const std::array<std::string, 3>& bpi) {
    ShownFormatVerdicts verdicts;
    for (const TrackCheck& check : ChecksFor(cardType, bpi)) {
        const auto index = static_cast<std::size_t>(check.track - 1);
        const std::optional<DataEnds> ends = DataEndsOf(shown[index]);
        if (!ends)
            continue;
        const bool red = check.fails(*ends);
        verdicts[index] = FrameVerdict{red, red ? check.failCaption : check.passCaption};
    }
    return verdicts;
}

} // namespace msrw
