#include "cards/FrameCaptions.h"
#include "session/CardView.h"

#include "session/FormatStore.h"
#include "support/CardsSession.h"

using namespace msrw;
using namespace msrw::test;

namespace {

TEST(FrameCaptions, EachTypeShowsItsBitsAndDensitiesExactly) {
    FormatStore format;
    format.bpi[0].select(1); // 75
    format.bpi[1].select(0); // 210
    format.bpi[2].select(0); // 210
    format.clickBpc(1, 1);   // USER track 1: 6 bits
    format.clickBpc(3, 3);   // USER track 3: 4 bits
    struct Case {
        std::string type;
        FrameCaptions captions;
    };
    const std::vector<Case> cases = {
        {"ISO",
         {"Track1   7-BPC   75-BPI", "Track2   5-BPC   210-BPI", "Track3   5-BPC   210-BPI"}},
        {"AAMVA",
         {"Track1   7-BPC   75-BPI", "Track2   5-BPC   210-BPI", "Track3   7-BPC   210-BPI"}},
        {"CDL", {"Track1  6-BPC 210-BPI", "Track2  5-BPC 75-BPI", "Track3  6-BPC 210-BPI"}},
        {"USER",
         {"Track1   6-BPC   75-BPI", "Track2   5-BPC   210-BPI", "Track3   4-BPC   210-BPI"}},
        {"RAW",
         {"Track1   8-BPC   75-BPI", "Track2   8-BPC   210-BPI", "Track3   8-BPC   210-BPI"}},
        {"PASS BOOK",
         {"Track1   5-BPC   210-BPI", "Track2   5-BPC   210-BPI", "Track3   5-BPC   210-BPI"}},
    };
    for (const Case& c : cases) {
        const std::optional<FrameCaptions> captions = CardTypeCaptions(c.type, format.cardFormat());
        ASSERT_TRUE(captions) << c.type;
        EXPECT_EQ(*captions, c.captions) << c.type;
    }
    EXPECT_FALSE(CardTypeCaptions("CUSTOM", format.cardFormat()));
    EXPECT_FALSE(CardTypeCaptions("", format.cardFormat()));
    EXPECT_FALSE(CardTypeCaptions("iso", format.cardFormat()));
}

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

} // namespace
