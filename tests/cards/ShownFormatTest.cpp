#include "cards/ShownFormat.h"
#include "session/CardView.h"

#include "support/CardsSession.h"

using namespace msrw;
using namespace msrw::test;

namespace {

const std::array<std::string, 3> kBpi{"210", "75", "210"};
const std::string kUntouched = "untouched";

struct ShownCase {
    std::string type;
    int track;
    std::string text;
    bool red;
    std::string caption;
};

TEST(ShownFormat, MarksTracksThatDoNotFitTheType) {
    const std::string longData(90, '1');
    const std::vector<ShownCase> cases = {
        {"ISO", 1, "%B123^NAME?", false, " Track1   7-BPC   210 BPI"},
        {"ISO", 1, ";123?", true, " Track1   5-BPC   210 BPI (Non ISO format!)"},
        {"ISO", 2, ";123=45?", false, " Track2   5-BPC   75 BPI"},
        {"ISO", 2, "%123?", true, "(Non ISO format!)"},
        {"ISO", 3, ";0123?", false, " Track3   5-BPC   210 BPI"},
        {"ISO", 3, "%AB?", true, " Track3   7-BPC (AAMVA format)   210 BPI"},
        {"AAMVA", 1, "%CA~CITY?", false, " Track1   7-BPC   210 BPI"},
        {"AAMVA", 1, "1", true, " Track1   5-BPC   210 BPI (Non AAMVA format!)"},
        {"AAMVA", 2, ";6360?", false, " Track2   5-BPC   75 BPI"},
        {"AAMVA", 2, "%", true, "(Non AAMVA format!)"},
        {"AAMVA", 3, "%!!?", false, " Track3   7-BPC   210 BPI"},
        {"AAMVA", 3, ";12?", true, " Track3   5-BPC (ISO format)   210 BPI"},
        {"PASS BOOK", 1, "=123<", false, " Track1   5-BPC   210 BPI"},
        {"PASS BOOK", 2, ";123?", false, " Track2   5-BPC   210 BPI"},
        {"PASS BOOK", 3, ";12<", false, " Track3   5-BPC   210 BPI"},
        {"PASS BOOK", 1, "1234?", true, " Track1   (Non PASS BOOK format!)"},
        {"PASS BOOK", 2, "=1234", true, " Track2   (Non PASS BOOK format!)"},
        {"PASS BOOK", 3, "?12;", true, " Track3   (Non PASS BOOK format!)"},
        // The field's line breaks are not data.
        {"ISO", 2, "\r\n;123?", false, " Track2   5-BPC   75 BPI"},
        {"PASS BOOK", 1, "=" + longData.substr(0, 81) + "\r\n" + longData + "<\r\n", false,
         " Track1   5-BPC   210 BPI"},
        {"PASS BOOK", 2, "=" + longData + "\r\n", true, " Track2   (Non PASS BOOK format!)"},
    };
    for (const ShownCase& c : cases) {
        MainView view;
        for (TrackFrame& frame : view.frames)
            frame = {kUntouched, !c.red};
        view.track(c.track).text = c.text;
        CheckShownFormat(view, c.type, kBpi);
        EXPECT_EQ(view.frame(c.track).red, c.red) << c.type << " " << c.text;
        EXPECT_EQ(view.frame(c.track).caption, c.caption) << c.type << " " << c.text;
        for (int other = 1; other <= 3; ++other) {
            if (other != c.track) {
                EXPECT_EQ(view.frame(other).caption, kUntouched) << c.type << " " << c.text;
            }
        }
    }
}

TEST(ShownFormat, EmptyTracksAndOtherTypesKeepCaptionAndColour) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"ISO", ""},      {"AAMVA", "\r\n"}, {"PASS BOOK", ""},  {"CDL", "1234"},
        {"USER", "1234"}, {"RAW", "1234"},   {"CUSTOM", "1234"},
    };
    for (const auto& [type, text] : cases) {
        MainView view;
        for (TrackFrame& frame : view.frames)
            frame = {kUntouched, true};
        for (TrackBox& box : view.tracks)
            box.text = text;
        CheckShownFormat(view, type, kBpi);
        for (const TrackFrame& frame : view.frames) {
            EXPECT_EQ(frame.caption, kUntouched) << type;
            EXPECT_TRUE(frame.red) << type;
        }
    }
}

class ShownFormatSession : public CardsSession {};

TEST_F(ShownFormatSession, UsesTheSessionsTypeAndStoredDensities) {
    session.g.CardType = "ISO";
    session.format.bpi[0].select(1); // 75
    session.view.track(1).text = "%A?";
    session.view.track(2).text = "%1?";
    CheckShownFormat(session);
    EXPECT_EQ(session.view.frame(1).caption, " Track1   7-BPC   75 BPI");
    EXPECT_FALSE(session.view.frame(1).red);
    EXPECT_TRUE(session.view.frame(2).red);
}

} // namespace
