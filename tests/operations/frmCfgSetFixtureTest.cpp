// The lead-zero-bias check with the fixture, end to end: two pattern cards
// written on the simulated reader/writer, measured on the simulated fixture
// on port 2, the verdict, and the verifying card.

#include "operations/settings/FixtureProcedure.h"
#include "operations/settings/Maintenance.h"
#include "session/Dispatcher.h"
#include "session/OpStates.h"
#include "support/CardsSession.h"

#include <gtest/gtest.h>

using namespace msrw;
using namespace msrw::test;

namespace {

using Commands = std::vector<std::string>;

class FixtureFlow : public SimCardsFlow {
protected:
    void SetUp() override {
        SimCardsFlow::SetUp();
        fixture->setBanner(sim::kFixtureBanner);
        auto factory = sim::SimTransport::Factory(fixture);
        t.ports.setInProcess(
            2,
            [this, factory] { return std::make_unique<RecordingTransport>(factory(), atFixture); },
            "fixture");
        cmdConfigSetting_Click(s());
        ASSERT_TRUE(view.visible);
        t.takeSent();
    }
    // The reader/writer writes both pattern cards.
    void writeTwoCards() {
        t.dialogs.okCancelAnswers.push_back(true);
        frmCfgSet::cmdSetLzBiasFixture_Click(s());
        ASSERT_EQ(s().g.OpState, kOpBiasFirstCard);
        ASSERT_TRUE(t.swipe("Blank card"));
        ASSERT_EQ(s().g.OpState, kOpBiasSecondCard);
        ASSERT_TRUE(t.swipe("ISO sample"));
    }
    bool measure(const char* name) {
        const bool armed = fixture->swipe(t.card(name));
        t.settle();
        return armed;
    }
    Commands fixtureCommands() {
        Commands out;
        for (const std::string& bytes : atFixture)
            out.push_back(ToCommandText(bytes));
        atFixture.clear();
        return out;
    }

    std::shared_ptr<sim::Device> fixture = std::make_shared<sim::Device>();
    std::vector<std::string> atFixture;
    MaintenanceView& view = s().operationState<Maintenance>().view;
};

TEST_F(FixtureFlow, ASlowHeadIsCorrectedAndTheNewBiasVerified) {
    t.device->settings().headLag = 0x23; // lays down three zeros too few at bias 20
    EXPECT_EQ(view.txtCurLzBiaz, "20");
    writeTwoCards();
    EXPECT_FALSE(view.controlsEnabled);
    const std::string pattern = *cmd::LeadZeroBiasTestPattern(cmd::TrackModel::Tracks1To3);
    const Commands atReader = t.takeSent();
    EXPECT_EQ(std::count(atReader.begin(), atReader.end(), pattern), 2);
    EXPECT_EQ(s().g.OpState, kOpFixtureRead);
    EXPECT_EQ(s().port.FixturePort, 2);
    EXPECT_EQ(s().view.prompt.label, "Please Swipe the 1st written card on the Fixture now.");

    ASSERT_TRUE(measure("Blank card"));
    EXPECT_EQ(s().view.message.text, "Fixture Read(1) OK!");
    ASSERT_TRUE(measure("ISO sample"));
    // Both cards read 58 leading zeros where 61 (and 19 where 22) were set.
    EXPECT_EQ(s().g.OpState, kOpBiasPatternVerify);
    EXPECT_EQ(view.txtCurLzBiaz, "23");
    EXPECT_EQ(t.device->settings().leadZeroBias, 0x23);
    const Commands afterVerdict = t.takeSent();
    EXPECT_NE(std::find(afterVerdict.begin(), afterVerdict.end(), "\\1Bh#"), afterVerdict.end());
    EXPECT_EQ(afterVerdict.back(), pattern);
    EXPECT_EQ(fixtureCommands(), (Commands{"\\1Bv", "\\1Be", "\\1Br", "\\1Br"}));

    ASSERT_TRUE(t.swipe("Blank card"));
    EXPECT_EQ(s().g.OpState, kOpFixtureRead);
    ASSERT_TRUE(measure("Blank card"));
    EXPECT_EQ(t.dialogs.messages.back(), "Lead Zero Bias 23 is verified.");
    EXPECT_EQ(s().g.OpState, kOpIdle);
    EXPECT_TRUE(view.controlsEnabled);
    EXPECT_EQ(s().port.CurrentPort, 1); // the reader was found again
    EXPECT_FALSE(s().view.prompt.visible);
}

TEST_F(FixtureFlow, VerdictsThatChangeNothing) {
    writeTwoCards();
    ASSERT_TRUE(measure("Blank card"));
    ASSERT_TRUE(measure("ISO sample"));
    EXPECT_EQ(t.dialogs.messages.back(), "Lead Zero Bias 20 is correct; it was not changed.");
    EXPECT_EQ(s().g.OpState, kOpIdle);
    EXPECT_EQ(t.device->settings().leadZeroBias, 0x20);

    // A card that reads wrong on the fixture is asked for again.
    writeTwoCards();
    t.card("ISO sample").tracks[1].setDamaged(true);
    fixtureCommands();
    ASSERT_TRUE(measure("Blank card"));
    EXPECT_EQ(s().g.OpState, kOpFixtureRead);
}

TEST_F(FixtureFlow, NoFixtureEndsTheCheckAndFindsTheReaderAgain) {
    t.ports.setInProcess(
        2, [] { return std::unique_ptr<Transport>(); }, "nothing");
    writeTwoCards();
    EXPECT_NE(t.dialogs.messages.back().find("Could not find the Lead Zero Bias Fixture"),
              std::string::npos);
    EXPECT_EQ(s().g.OpState, kOpIdle);
    EXPECT_EQ(s().port.CurrentPort, 1);
    EXPECT_TRUE(view.controlsEnabled);
}

TEST_F(FixtureFlow, EndDuringTheFixtureReadingFindsTheReaderAgain) {
    writeTwoCards();
    ASSERT_EQ(s().g.OpState, kOpFixtureRead);
    cmdCancel_Click(s());
    EXPECT_EQ(s().port.CurrentPort, 1);
    EXPECT_TRUE(view.controlsEnabled);
    EXPECT_EQ(s().operationState<FixtureRun>().readings, (std::array<std::optional<int>, 6>{}));
}

TEST(BiasVerdict, JudgesTheSixReadings) {
    using Kind = BiasVerdict::Kind;
    const std::array<int, 3> expected{61, 22, 61};
    const std::vector<int> all{1, 2, 3};
    struct Case {
        std::array<std::optional<int>, 6> readings;
        std::vector<int> tracks;
        Kind kind;
        int newBias;
    };
    const std::vector<Case> cases{
        {{61, 22, 61, 62, 23, 60}, all, Kind::Good, 0x20},
        {{58, 19, 58, 58, 19, 58}, all, Kind::Adjust, 0x23},
        {{64, 25, 64, 63, 24, 65}, all, Kind::Adjust, 0x1D},
        {{61, 22, 61, 61, 22, 66}, all, Kind::Unsteady, 0x20},
        {{61, 22, std::nullopt, 61, 22, 61}, all, Kind::NoData, 0x20},
        {{63, 24, std::nullopt, 63, 24, std::nullopt}, {1, 2}, Kind::Adjust, 0x1E},
        {{200, 161, 200, 200, 161, 200}, all, Kind::OutOfRange, 0},
    };
    for (const Case& c : cases) {
        const BiasVerdict v = JudgeBias(c.readings, 2, expected, c.tracks, 0x20);
        EXPECT_EQ(v.kind, c.kind) << *c.readings[0];
        if (v.kind == Kind::Adjust || v.kind == Kind::Good) {
            EXPECT_EQ(v.newBias, c.newBias) << *c.readings[0];
        }
    }
    EXPECT_EQ(JudgeBias({0, 0, 0, 0, 0, 0}, 2, expected, all, 0xF0).kind, Kind::OutOfRange);
    EXPECT_EQ(JudgeBias({0, 0, 0, 0, 0, 0}, 2, expected, all, 0x20).newBias, 0x20 + 48);
}

TEST(FixtureReading, TakesDecimalFieldsOnly) {
    EXPECT_EQ(ParseFixtureReading("\\1B\\01058\\1B\\02019\\1B\\03\\1B+?\\1C\\1B0"),
              (TrackZeros{58, 19, std::nullopt}));
    for (const char* bad : {"\\1B\\0158\\1B\\02x\\1B\\03\\1B+?\\1C\\1B0",
                            "\\1B\\01058\\1B\\02019\\1B\\0361?\\1C\\1B1", "\\1B0", ""})
        EXPECT_EQ(ParseFixtureReading(bad), std::nullopt) << bad;
}

} // namespace
