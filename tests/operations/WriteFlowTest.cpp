// Writing card after card, the pass-book verifying swipe and the test cycle's
// write phase, against the simulated reader/writer.

#include "cards/WriteComposition.h"
#include "operations/cardtype/CardTypeSetup.h"
#include "operations/writing/SendWrite.h"
#include "operations/writing/WriteOperation.h"
#include "session/Dispatcher.h"
#include "session/MainControls.h"
#include "session/OpStates.h"
#include "sim/CardOps.h"
#include "support/CardsSession.h"

#include <gtest/gtest.h>
#include <tuple>

using namespace msrw;
using namespace msrw::test;

namespace {

using Texts = std::vector<std::string>;
using Look = std::tuple<std::string, std::string, Colour, Colour>;

// The prompt's caption, text, background and text colour.
Look LookOf(const PromptView& p) {
    return {p.caption, p.label, p.background, p.labelColour};
}

class WriteFlow : public SimCardsFlow {
protected:
    void setTracks(const std::string& t1, const std::string& t2, const std::string& t3) {
        s().view.track(1).text = t1;
        s().view.track(2).text = t2;
        s().view.track(3).text = t3;
    }
    // What the device reads back from a card at its current settings.
    std::string cardTrack(const std::string& cardName, int n) {
        const sim::CardRead read = sim::ReadCardDecoded(t.card(cardName), t.device->settings());
        return read[std::size_t(n - 1)].data;
    }
    bool commandSent(const Texts& sent, const std::string& prefix) {
        return std::any_of(sent.begin(), sent.end(),
                           [&](const std::string& c) { return c.rfind(prefix, 0) == 0; });
    }
};

TEST_F(WriteFlow, WritesCardAfterCardAndCountsOnlyTheCardsWritten) {
    setTracks("%ABC?", ";123?", "");
    cmdWrite_Click(s());
    const PromptView& prompt = s().view.prompt;
    EXPECT_TRUE(prompt.visible);
    EXPECT_EQ(LookOf(prompt), Look("Write Card", "Please Swipe a Card.", kYellow, kBlack));
    EXPECT_EQ(prompt.buttonCaption, "End");
    EXPECT_EQ(s().g.OpState, kOpWrite);
    EXPECT_FALSE(s().view.track(2).enabled);
    EXPECT_FALSE(s().view.isEnabled("cmdWrite"));
    EXPECT_TRUE(commandSent(t.takeSent(), "\\1Bw\\1Bs"));

    ASSERT_TRUE(t.swipe("Blank card"));
    EXPECT_EQ(s().view.message.text, "Write(1) OK!");
    EXPECT_EQ(s().view.message.colour, kBlack);
    EXPECT_EQ(t.takePauses(), std::vector<int>{300});
    EXPECT_EQ(cardTrack("Blank card", 1), "%ABC?");
    EXPECT_EQ(cardTrack("Blank card", 2), ";123?");
    EXPECT_TRUE(commandSent(t.takeSent(), "\\1Bw\\1Bs")); // the same data for the next card
    EXPECT_TRUE(prompt.visible);

    // Two failures and a success all report card 2.
    for (const bool lowOntoHigh : {false, true}) {
        const char* name = lowOntoHigh ? "AAMVA sample" : "Damaged card (track 2)";
        ASSERT_TRUE(lowOntoHigh ? t.swipeAtLowCoercivity(name) : t.swipe(name));
        EXPECT_EQ(s().view.message.text, "Write(2) Error!!") << name;
        EXPECT_EQ(s().view.message.colour, kRed);
        EXPECT_EQ(t.takePauses(), std::vector<int>{1500});
        EXPECT_TRUE(t.device->isArmed());
    }
    ASSERT_TRUE(t.swipe("Blank card"));
    EXPECT_EQ(s().view.message.text, "Write(2) OK!");
}

TEST_F(WriteFlow, EndDuringThePauseStopsTheWriteThere) {
    setTracks("", ";123?", "");
    cmdWrite_Click(s());
    t.endOperationAtPause(300);
    ASSERT_TRUE(t.swipe("Blank card"));
    EXPECT_EQ(t.takeSent().back(), "\\1Ba");
    EXPECT_FALSE(t.device->isArmed());
    EXPECT_FALSE(s().view.prompt.visible);
    EXPECT_EQ(s().g.OpCount, 0);
    EXPECT_TRUE(s().view.track(2).enabled);
}

struct Refusal {
    bool frame1Red;
    bool frame3Red;
    Texts tracks;
    std::string message;
    bool unlocksFields;
};

class WriteRefusal : public WriteFlow, public ::testing::WithParamInterface<Refusal> {};

TEST_P(WriteRefusal, SendsNothingAndGivesTheButtonsBack) {
    const Refusal& r = GetParam();
    setTracks(r.tracks[0], r.tracks[1], r.tracks[2]);
    s().view.frame(1).red = r.frame1Red;
    s().view.frame(3).red = r.frame3Red;
    LockTrackFields(s().view);
    cmdWrite_Click(s());
    EXPECT_EQ(t.dialogs.messages, Texts{r.message});
    EXPECT_FALSE(commandSent(t.takeSent(), "\\1Bw"));
    EXPECT_EQ(s().g.OpState, 0);
    EXPECT_FALSE(s().view.prompt.visible);
    EXPECT_TRUE(s().view.isEnabled("cmdWrite"));
    EXPECT_FALSE(t.device->isArmed());
    EXPECT_EQ(s().view.track(1).enabled, r.unlocksFields);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WriteRefusal,
    ::testing::Values(
        Refusal{false, true, {"%A?", ";1?", ";2?"}, "Track 3 have wrong format!", true},
        Refusal{true, false, {"%A?", ";1?", ";2?"}, "Track 1 have wrong format!", true},
        Refusal{true, true, {"%A?", ";1?", ";2?"}, "Track 3 have wrong format!", true},
        Refusal{false, false, {"", "", ""}, "Data Error", false},
        Refusal{false, false, {"%?", ";?", ";?"}, "Data Error", false}));

TEST_F(WriteFlow, TracksNotInUseAreEmptiedBeforeWriting) {
    struct Case {
        std::int16_t active;
        Texts expected;
    };
    for (const Case& c : {Case{0, {"", ";123?", ""}}, Case{1, {"%ABC?", ";123?", ""}},
                          Case{2, {"%ABC?", ";123?", ";456?"}}}) {
        s().g.ActiveTracks = c.active;
        setTracks("%ABC?", ";123?", ";456?");
        cmdWrite_Click(s());
        const Texts shown{s().view.track(1).text, s().view.track(2).text, s().view.track(3).text};
        EXPECT_EQ(shown, c.expected) << "ActiveTracks " << c.active;
        cmdCancel_Click(s());
    }
}

TEST_F(WriteFlow, APassBookCardIsVerifiedByASecondSwipe) {
    chooseCardType("PASS BOOK");
    setTracks("", "1234", "");
    cmdWrite_Click(s());
    EXPECT_EQ(s().g.OpState, kOpPassBookWrite);
    t.takeSent();

    ASSERT_TRUE(t.swipe("Blank card"));
    const PromptView& prompt = s().view.prompt;
    const Look nextCard{"Write Card", "Please Swipe a Card.", kYellow, kBlack};
    EXPECT_TRUE(prompt.visible);
    EXPECT_EQ(LookOf(prompt),
              Look("Verify Write Card", "Please Swipe a Card again to verify!", kBlue, kWhite));
    EXPECT_EQ(s().view.message.text, "Swipe One More Time to Verify !");
    EXPECT_EQ(s().view.message.colour, kBlack);
    EXPECT_EQ(s().g.OpCount, 1);
    EXPECT_TRUE(t.takeSent().empty()); // the device itself waits for the same card
    EXPECT_EQ(t.takePauses(), std::vector<int>{300});

    ASSERT_TRUE(t.swipe("Blank card"));
    EXPECT_EQ(s().view.message.text, "Write(1) OK!");
    EXPECT_EQ(LookOf(prompt), nextCard);
    EXPECT_TRUE(commandSent(t.takeSent(), "\\1BW\\1Bs"));
    EXPECT_EQ(t.takePauses(), std::vector<int>{300});

    // A verifying swipe of another card fails the write and keeps the count.
    ASSERT_TRUE(t.swipe("Blank card"));
    ASSERT_TRUE(t.swipe("ISO sample"));
    EXPECT_EQ(s().view.message.text, "Write(2) Error!!");
    EXPECT_EQ(s().view.message.colour, kRed);
    EXPECT_EQ(LookOf(prompt), nextCard);
    EXPECT_EQ(t.takePauses(), (std::vector<int>{300, 1500}));
    EXPECT_TRUE(t.device->isArmed());
}

class TestWritePhase : public WriteFlow {
protected:
    // The state the read phases leave after their third good read.
    void afterThirdRead(const std::string& t2) {
        enterReadPhases();
        setTracks("", t2, "");
        s().g.testPhase = 3;
        s().g.OpCount = 4;
        t.takeSent();
        t.takePauses();
    }
    void enterReadPhases() {
        DisMainBtns(s().view);
        ASSERT_TRUE(s().portManager.ReOpenPort());
        s().g.OpState = 22;
        s().view.prompt.visible = false;
    }
};

TEST_F(TestWritePhase, TwoGoodWritesEndTheTest) {
    afterThirdRead(";4111=28?");
    BeginTestWritePhase(s());
    const PromptView& prompt = s().view.prompt;
    EXPECT_EQ(s().g.OpState, kOpTestWrite);
    EXPECT_EQ(s().g.OpCount, 1);
    EXPECT_TRUE(prompt.visible);
    EXPECT_EQ(prompt.caption, "Write Card");
    EXPECT_EQ(prompt.label, "Please Swipe to Write a Card with MEDIUM speed.");
    EXPECT_EQ(prompt.buttonCaption, "End");

    ASSERT_TRUE(t.swipe("Damaged card (track 2)"));
    EXPECT_EQ(s().view.message.text, "Write(1) Error!!");
    EXPECT_EQ(t.takePauses(), std::vector<int>{500});
    ASSERT_TRUE(t.swipe("Blank card"));
    EXPECT_EQ(s().view.message.text, "Write(1) OK!");
    EXPECT_EQ(t.takePauses(), std::vector<int>{200});
    EXPECT_EQ(s().g.OpState, kOpTestWrite);
    EXPECT_EQ(cardTrack("Blank card", 2), ";4111=28?");

    ASSERT_TRUE(t.swipe("Blank card"));
    EXPECT_EQ(s().g.OpState, 0);
    EXPECT_FALSE(prompt.visible);
    EXPECT_FALSE(t.device->isArmed());
    EXPECT_TRUE(s().view.isEnabled("cmdTest"));
}

TEST_F(TestWritePhase, NoDataOnScreenEndsTheTestWithDataError) {
    afterThirdRead("");
    BeginTestWritePhase(s());
    EXPECT_EQ(t.dialogs.messages, Texts{"Data Error"});
    EXPECT_EQ(s().g.OpState, 0);
    EXPECT_FALSE(s().view.prompt.visible);
    EXPECT_TRUE(s().view.isEnabled("cmdRead"));
    EXPECT_FALSE(t.device->isArmed());
}

} // namespace
