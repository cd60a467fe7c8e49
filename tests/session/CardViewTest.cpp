// The card type and format as the main window shows them: the frame
// captions of the session's type and family, and the track fields' keys.

#include "session/CardView.h"

#include "session/FormatStore.h"
#include "support/CardsSession.h"

using namespace msrw;
using namespace msrw::test;

namespace {

class CurrentCaptions : public CardsSession {};

TEST_F(CurrentCaptions, FollowTheSessionsTypeAndFamily) {
    session.g.CardType = "ISO";
    ASSERT_TRUE(CurrentFrameCaptions(session));
    EXPECT_EQ((*CurrentFrameCaptions(session))[1], "Track2   5-BPC   75-BPI");
    ShowFrameCaptions(session.view, *CurrentFrameCaptions(session));
    EXPECT_EQ(session.view.frame(3).caption, "Track3   5-BPC   210-BPI");

    // The Tarn family's captions come from its own set-up file.
    session.port.MsrwMode = MsrwMode::Quell;
    QString error;
    ASSERT_TRUE(session.data.writeLines("\\tarnsetup.stp",
                                        {"9", "9", "9", "2", "1", "0", "1", "0", "1", "1"}, error));
    EXPECT_EQ(*CurrentFrameCaptions(session),
              (FrameCaptions{"Track1   7-BPC    75-BPI", "Track2   5-BPC    210-BPI",
                             "Track3   5-BPC    75-BPI"}));
    session.g.CardType = "CUSTOM";
    EXPECT_EQ(*CurrentFrameCaptions(session),
              (FrameCaptions{"Track1   5-BPC    75-BPI", "Track2   6-BPC    210-BPI",
                             "Track3   7-BPC    75-BPI"}));
    session.g.CardType = "USER";
    EXPECT_FALSE(CurrentFrameCaptions(session));
}

class TrackKeyPress : public CardsSession {};

TEST_F(TrackKeyPress, SetsTheLimitFromTheStoredDensityThenFilters) {
    session.g.CardType = "AAMVA";
    session.format.bpi[0].select(1); // 75
    session.view.track(2).maxLength = 180;
    EXPECT_EQ(txtTrk_KeyPress(session, 1, 'x'), 'X');
    EXPECT_EQ(session.view.track(1).maxLength, 25);
    EXPECT_EQ(txtTrk_KeyPress(session, 3, '%'), kKeyCancelled);
    EXPECT_EQ(session.view.track(3).maxLength, 79);
    EXPECT_EQ(session.view.track(2).maxLength, 180); // only the typed-in field changes

    session.g.CardType = "USER";
    session.format.clickBpc(2, 2); // 5 bits
    EXPECT_EQ(txtTrk_KeyPress(session, 2, 'A'), kKeyCancelled);
    EXPECT_EQ(txtTrk_KeyPress(session, 1, '%'), '%');
    EXPECT_EQ(session.view.track(2).maxLength, 180);
}

TEST_F(TrackKeyPress, TheTarnFamilyTakesTheDensityLimitsFromItsOwnSetUp) {
    session.port.MsrwMode = MsrwMode::Quell;
    session.g.ProtocolIsTarn = true;
    session.g.CardType = "ISO";
    session.view.track(1).maxLength = 220;
    EXPECT_EQ(txtTrk_KeyPress(session, 1, 'a'), 'A');
    EXPECT_EQ(session.view.track(1).maxLength, 76); // no set-up file: its default, 210 BPI
    QString error;
    ASSERT_TRUE(session.data.writeLines("\\tarnsetup.stp",
                                        {"9", "9", "9", "0", "2", "2", "1", "0", "0", "1"}, error));
    EXPECT_EQ(txtTrk_KeyPress(session, 1, 'a'), 'A');
    EXPECT_EQ(session.view.track(1).maxLength, 25); // 75 BPI in the Tarn set-up
    EXPECT_EQ(txtTrk_KeyPress(session, 2, '1'), '1');
    EXPECT_EQ(session.view.track(2).maxLength, 106);
}

TEST_F(TrackKeyPress, AReplacementTakesEveryKeyButTheLimitStillApplies) {
    session.g.CardType = "ISO";
    std::vector<std::pair<int, int>> seen;
    const KeyReplacement marking = [&](int track, int key) {
        seen.emplace_back(track, key);
        return int('x');
    };
    EXPECT_EQ(txtTrk_KeyPress(session, 2, '?', marking), 'x');
    EXPECT_EQ(seen, (std::vector<std::pair<int, int>>{{2, '?'}}));
    EXPECT_EQ(session.view.track(2).maxLength, 37); // track 2 is at 75 BPI by default
}

} // namespace
