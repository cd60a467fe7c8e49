// Reading, comparing and ending operations, card after card, against the
// simulated reader/writer.

#include "cards/WriteComposition.h"
#include "operations/cardtype/CardTypeSetup.h"
#include "operations/reading/CompareOperation.h"
#include "operations/reading/ReadOperation.h"
#include "operations/reading/TestCycle.h"
#include "operations/writing/SendWrite.h"
#include "session/Dispatcher.h"
#include "session/OpStates.h"
#include "support/CardsSession.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace msrw;
using namespace msrw::test;

namespace {

class ReadFlow : public SimFlow {};

TEST_F(ReadFlow, ReadsCardAfterCardAndReportsEachTrackFailure) {
    cmdRead_Click(s());
    EXPECT_EQ(t.takeSent(), (std::vector<std::string>{"\\1Bv", "\\1Ba", "\\1Br"}));
    EXPECT_EQ(t.takePauses(), std::vector<int>{100});
    const PromptView& prompt = s().view.prompt;
    EXPECT_TRUE(prompt.visible);
    EXPECT_EQ(prompt.caption, "Read Card");
    EXPECT_EQ(prompt.label, "Please Swipe a Card.");
    EXPECT_EQ(prompt.background, kBlue);
    EXPECT_EQ(prompt.labelColour, kWhite);
    EXPECT_EQ(prompt.buttonCaption, "End");
    EXPECT_FALSE(s().view.isEnabled("cmdRead"));
    EXPECT_EQ(s().g.OpState, 3);

    ASSERT_TRUE(t.swipe("ISO sample"));
    EXPECT_EQ(s().view.message.text, "Read(1) OK!");
    EXPECT_EQ(s().view.message.colour, kBlack);
    EXPECT_EQ(s().view.track(1).text, "%B4111111111111111^SAMPLE/CARD^2812101?");
    EXPECT_EQ(s().view.track(2).text, ";4111111111111111=2812101?");
    EXPECT_EQ(s().view.track(3).text, ";0123456789?");
    EXPECT_EQ(t.takePauses(), (std::vector<int>{300, 100}));
    EXPECT_EQ(t.takeSent(), (std::vector<std::string>{"\\1Ba", "\\1Br"}));
    EXPECT_TRUE(prompt.visible);

    ASSERT_TRUE(t.swipe("Damaged card (track 2)"));
    EXPECT_EQ(s().view.message.text, "Read(2) Failed on Track 2!");
    EXPECT_EQ(s().view.message.colour, kRed);
    EXPECT_EQ(t.takePauses(), (std::vector<int>{500, 100}));
    ASSERT_TRUE(t.swipe("Damaged card (track 2)"));
    EXPECT_EQ(s().view.message.text, "Read(2) Failed on Track 2!"); // the count stays

    ASSERT_TRUE(t.swipe("Blank card"));
    EXPECT_EQ(s().view.message.text, "Read(2) OK!");
    EXPECT_EQ(s().view.track(2).text, "");
}

// A pass book with no track 1 is answered "track 1 failed" (status 1): with
// data on track 2 or 3 that is a good card, counted like any other.
TEST_F(ReadFlow, APassBookWithoutTrack1IsAGoodRead) {
    chooseCardType("PASS BOOK");
    cmdRead_Click(s());
    t.takeSent();
    t.takePauses();
    // Its track 1 is recorded at 7 bits, which a pass-book read fails.
    for (const char* line : {"Read(1) OK!", "Read(2) OK!"}) {
        ASSERT_TRUE(t.swipe("ISO sample"));
        EXPECT_EQ(s().view.message.text, line);
        EXPECT_EQ(s().view.message.colour, kBlack);
        EXPECT_EQ(s().view.track(1).text, "");
        EXPECT_EQ(s().view.track(2).text, ";4111111111111111=2812101?");
        EXPECT_EQ(t.takePauses(), (std::vector<int>{300, 100}));
    }
    // Nothing on tracks 2 and 3: the card did fail.
    t.card("Blank card").tracks[0].setDamaged(true);
    ASSERT_TRUE(t.swipe("Blank card"));
    EXPECT_EQ(s().view.message.text, "Read(3) Failed on Track 1!");
    EXPECT_EQ(s().view.message.colour, kRed);
    EXPECT_EQ(t.takePauses(), (std::vector<int>{500, 100}));
    EXPECT_EQ(s().g.OpCount, 3);
}

// Compare takes the first card that Read would take as good as its reference.
TEST_F(ReadFlow, APassBookWithoutTrack1IsAReferenceAndATargetForCompare) {
    chooseCardType("PASS BOOK");
    cmdCompare_Click(s());
    ASSERT_TRUE(t.swipe("ISO sample")); // track 1 fails at 5 bits, track 2 holds data
    EXPECT_EQ(s().view.message.text, "Read(1) OK!");
    EXPECT_EQ(s().view.track(2).text, ";4111111111111111=2812101?");
    ASSERT_TRUE(t.swipe("ISO sample"));
    EXPECT_EQ(s().view.message.text, "Compare(1)OK");
    ASSERT_TRUE(t.swipe("AAMVA sample"));
    EXPECT_EQ(s().view.message.text, "Compare(2)Error");
}

// In "Velk Mode" the read is armed too: End leaves no reader waiting.
TEST_F(ReadFlow, EndInVelkModeStopsTheReaderAsWell) {
    s().setMsrwMode(MsrwMode::Velk);
    t.device->setTextDialect(true);
    cmdRead_Click(s());
    ASSERT_TRUE(t.device->isArmed());
    cmdCancel_Click(s());
    t.settle();
    EXPECT_FALSE(t.device->isArmed());
}

// The test reads and writes at high coercivity; its end sets the reader back
// to the coercivity of the settings record that the window names.
TEST_F(ReadFlow, TheEndOfTheTestSetsTheStoredCoercivityBack) {
    for (const int stored : {kHiCoLow, kHiCoHigh}) {
        s().record[kEntryHiCo] = stored;
        cmdTest_Click(s());
        ASSERT_EQ(t.device->settings().coercivity, sim::Coercivity::High);
        t.takeSent();
        cmdCancel_Click(s());
        const auto sent = t.takeSent();
        EXPECT_EQ(sent.front(), "\\1Ba") << stored;
        EXPECT_EQ(sent.back(), stored == kHiCoHigh ? "\\1Bx" : "\\1By");
        EXPECT_EQ(t.device->settings().coercivity,
                  stored == kHiCoHigh ? sim::Coercivity::High : sim::Coercivity::Low);
        EXPECT_EQ(s().view.coercivityLabel,
                  stored == kHiCoHigh ? "High Coercivity" : "Low Coercivity");
    }
}

TEST_F(ReadFlow, EndStopsTheReaderClosesThePortAndKeepsTheLastCard) {
    cmdRead_Click(s());
    ASSERT_TRUE(t.swipe("ISO sample"));
    t.takeSent();
    cmdCancel_Click(s());
    EXPECT_EQ(t.takeSent(), std::vector<std::string>{"\\1Ba"});
    EXPECT_FALSE(s().link().IsPortOpen());
    EXPECT_FALSE(s().view.prompt.visible);
    EXPECT_EQ(s().g.OpState, 0);
    EXPECT_EQ(s().g.OpCount, 0);
    EXPECT_EQ(s().view.message.text, "");
    EXPECT_TRUE(s().view.isEnabled("cmdRead"));
    EXPECT_EQ(s().view.track(3).text, ";0123456789?");
    EXPECT_EQ(s().view.track(1).maxLength, 76);
    EXPECT_FALSE(t.swipe("ISO sample")); // the reader waits for nothing now
}

TEST_F(ReadFlow, EndPressedDuringAPauseStopsTheOperationThere) {
    cmdRead_Click(s());
    t.endOperationAtPause(300);
    ASSERT_TRUE(t.swipe("ISO sample"));
    const auto sent = t.takeSent();
    EXPECT_EQ(sent.back(), "\\1Ba"); // no read command re-armed the reader after End
    EXPECT_FALSE(s().view.prompt.visible);
    EXPECT_EQ(s().g.OpState, 0);
    EXPECT_FALSE(t.device->isArmed());
}

TEST_F(ReadFlow, AReplyWithNoOperationChangesNothingButTheFieldLimits) {
    s().view.message = {"kept", kBlack};
    ASSERT_EQ(s().link().OpenPort("1", "9600N,8,1"), kLinkOk);
    s().link().SendCommand("\\1Br");
    t.settle();
    ASSERT_TRUE(t.swipe("ISO sample"));
    EXPECT_EQ(s().view.message.text, "kept");
    EXPECT_EQ(s().view.track(1).text, "");
    EXPECT_EQ(s().view.track(1).maxLength, 180);
}

TEST_F(ReadFlow, UserCardsAreReadRawAndDecodedWithTheUserFormat) {
    chooseCardType("USER");
    cmdRead_Click(s());
    EXPECT_EQ(t.takeSent().back(), "\\1Bm");
    ASSERT_TRUE(t.swipe("ISO sample"));
    EXPECT_EQ(s().view.message.text, "Read(1) OK!");
    EXPECT_EQ(s().view.track(2).text, ";4111111111111111=2812101?");
    EXPECT_EQ(s().view.track(1).text.substr(0, 6), "%B4111");
}

TEST_F(ReadFlow, RawCardsShowTheStripeAsHexadecimalDigits) {
    chooseCardType("RAW");
    cmdRead_Click(s());
    ASSERT_TRUE(t.swipe("ISO sample"));
    EXPECT_EQ(s().view.message.text, "Read(1) OK!");
    const std::string track2 = s().view.track(2).text;
    ASSERT_FALSE(track2.empty());
    EXPECT_EQ(track2.find_first_not_of("0123456789ABCDEF"), std::string::npos) << track2;
}

TEST_F(ReadFlow, VelkModeReadsWithTheTextCommands) {
    s().port.MsrwMode = MsrwMode::Velk;
    t.device->setTextDialect(true);
    cmdRead_Click(s());
    EXPECT_EQ(s().g.OpState, 3);
    EXPECT_EQ(t.takeSent().back(), "\\1Br");
    ASSERT_TRUE(t.swipe("ISO sample"));
    EXPECT_EQ(s().view.message.text, "Read(1) OK!");
    EXPECT_EQ(s().view.track(2).text, ";4111111111111111=2812101?");
    ASSERT_TRUE(t.swipe("Damaged card (track 2)"));
    EXPECT_EQ(s().view.message.text, "Read(2) Failed!");
}

TEST_F(ReadFlow, ComparesTargetsWithTheFirstGoodCard) {
    cmdCompare_Click(s());
    const PromptView& prompt = s().view.prompt;
    EXPECT_EQ(prompt.caption, "Compare Card");
    EXPECT_EQ(prompt.label, "Please swipe the target card");
    EXPECT_EQ(prompt.background, (Colour{0, 255, 0}));
    EXPECT_EQ(prompt.labelColour, kBlack);
    EXPECT_EQ(s().g.OpState, 5);

    ASSERT_TRUE(t.swipe("Damaged card (track 2)"));
    EXPECT_EQ(s().view.message.text, "Read(1) Failed!");
    ASSERT_TRUE(t.swipe("ISO sample"));
    EXPECT_EQ(s().view.message.text, "Read(2) OK!");
    EXPECT_EQ(prompt.label, "Please swipe the next target card for comparing");
    ASSERT_TRUE(t.swipe("ISO sample"));
    EXPECT_EQ(s().view.message.text, "Compare(1)OK");
    EXPECT_EQ(s().view.message.colour, kBlack);
    ASSERT_TRUE(t.swipe("AAMVA sample"));
    EXPECT_EQ(s().view.message.text, "Compare(2)Error");
    EXPECT_EQ(s().view.message.colour, kRed);
    EXPECT_EQ(s().view.track(2).text, ";4111111111111111=2812101?"); // the reference stays

    cmdCancel_Click(s());
    for (const TrackBox& box : s().view.tracks)
        EXPECT_EQ(box.text, "");
}

TEST(CompareRules, RawTracksMayDifferOnlyByTrailingZeros) {
    using A = std::array<std::string, 3>;
    EXPECT_TRUE(TracksMatch("RAW", A{"", "8F00", ""}, A{"", "8F", ""}));
    EXPECT_FALSE(TracksMatch("RAW", A{"", "8F01", ""}, A{"", "8F", ""}));
    EXPECT_FALSE(TracksMatch("RAW", A{"", "8E", ""}, A{"", "8F", ""})); // equal length, not equal
    EXPECT_TRUE(TracksMatch("RAW", A{"A", "8F", "C"}, A{"A", "8F", "C"}));
    EXPECT_FALSE(TracksMatch("ISO", A{"", ";123?", ""}, A{"", ";123", ""}));
    EXPECT_TRUE(TracksMatch("ISO", A{"%A?", ";1?", ""}, A{"%A?", ";1?", ""}));
}

TEST_F(ReadFlow, TheTestCycleReadsAtThreeSpeeds) {
    cmdTest_Click(s());
    EXPECT_EQ(s().view.prompt.label, "Please Swipe to Read a Standard Mag Card with SLOW speed.");
    EXPECT_EQ(s().g.OpState, 22);
    ASSERT_TRUE(t.swipe("ISO sample"));
    EXPECT_EQ(s().view.prompt.label, "Please Swipe to Read a Standard Mag Card with MEDIUM speed.");
    ASSERT_TRUE(t.swipe("Damaged card (track 2)"));
    EXPECT_EQ(s().view.message.text, "Read(2) Failed!");
    EXPECT_EQ(s().view.prompt.label, "Please Swipe to Read a Standard Mag Card with MEDIUM speed.");
    ASSERT_TRUE(t.swipe("ISO sample"));
    EXPECT_EQ(s().view.prompt.label, "Please Swipe to Read a Standard Mag Card with FAST speed.");
    t.takeSent();
    ASSERT_TRUE(t.swipe("ISO sample"));
    // The third good read moves the cycle on to writing what it read.
    EXPECT_TRUE(t.dialogs.messages.empty());
    EXPECT_EQ(s().g.OpState, kOpTestWrite);
    EXPECT_TRUE(s().view.prompt.visible);
    EXPECT_EQ(s().view.prompt.caption, "Write Card");
    EXPECT_EQ(s().view.prompt.label, "Please Swipe to Write a Card with MEDIUM speed.");
    const auto sent = t.takeSent();
    EXPECT_TRUE(std::any_of(sent.begin(), sent.end(),
                            [](const std::string& c) { return c.rfind("\\1Bw", 0) == 0; }));
    EXPECT_TRUE(t.device->isArmed());
}

} // namespace

// A reader that went away between operations: the operation does not start,
// so no prompt waits for a swipe that cannot come.
TEST_F(ReadFlow, NoReaderAtTheStartOfAnOperationLeavesTheWindowReady) {
    const std::pair<const char*, void (*)(Session&)> buttons[] = {
        {"Read", cmdRead_Click}, {"Compare", cmdCompare_Click}, {"Test", cmdTest_Click}};
    t.device->vanish();
    for (const auto& [name, click] : buttons) {
        t.dialogs.messages.clear();
        click(s());
        EXPECT_EQ(t.dialogs.messages, std::vector<std::string>{"Open Port Failed!"}) << name;
        EXPECT_FALSE(s().view.prompt.visible) << name;
        EXPECT_EQ(s().g.OpState, kOpIdle) << name;
        EXPECT_TRUE(s().view.isEnabled(Control::cmdRead)) << name;
    }
}

// Bytes that come while the reader is being re-armed (OpState is 0 for that
// pause) are no card: they are dropped, not kept for the wait that follows.
TEST_F(ReadFlow, WhatArrivesWhileReArmingIsNoCard) {
    cmdRead_Click(s());
    t.clock.duringPause = [this](int ms) {
        if (ms != 100)
            return;
        t.clock.duringPause = nullptr;
        emit t.device->reply("\x1B\x01%STRAY?\x1B\x02;1?\x1B\x03\x1B+?\x1C\x1B"
                             "0");
    };
    ASSERT_TRUE(t.swipe("ISO sample"));
    t.settle();
    EXPECT_EQ(s().view.message.text, "Read(1) OK!");
    EXPECT_EQ(s().view.track(1).text, "%B4111111111111111^SAMPLE/CARD^2812101?");
    EXPECT_EQ(s().g.OpCount, 2);
    EXPECT_TRUE(t.device->isArmed()); // still waiting for the second card
}

// The reader goes away while the prompt waits for a card: the operation ends
// as End ends it, the operator is told, and the next operation finds it again.
TEST_F(ReadFlow, APortLostDuringAnOperationEndsIt) {
    cmdRead_Click(s());
    t.device->vanish();
    t.settle();
    EXPECT_FALSE(s().view.prompt.visible);
    EXPECT_EQ(s().g.OpState, kOpIdle);
    EXPECT_TRUE(s().view.isEnabled(Control::cmdRead));
    ASSERT_FALSE(t.dialogs.messages.empty());
    EXPECT_NE(t.dialogs.messages.front().find("disconnected"), std::string::npos);
    t.device->restore();
    t.dialogs.messages.clear();
    cmdRead_Click(s());
    EXPECT_TRUE(t.dialogs.messages.empty());
    ASSERT_TRUE(t.swipe("ISO sample"));
    EXPECT_EQ(s().view.message.text, "Read(1) OK!");
}
