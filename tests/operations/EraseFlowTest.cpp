// Erasing chosen tracks card after card, and the track choice dialog,
// against the simulated reader/writer.

#include "operations/writing/EraseOperation.h"
#include "session/Dispatcher.h"
#include "session/OpStates.h"
#include "sim/CardOps.h"
#include "support/CardsSession.h"

#include <gtest/gtest.h>

using namespace msrw;
using namespace msrw::test;

namespace {

using Texts = std::vector<std::string>;

class EraseFlow : public SimCardsFlow {
protected:
    // Opens the dialog and leaves ticked exactly the tracks of `mask`.
    void chooseTracks(int mask) {
        cmdErase_Click(s(), dialog);
        for (int i = 0; i < 3; ++i)
            frmEraseSel::chkTrk1_Click(s(), dialog, i, (mask >> i) & 1);
        t.takeSent();
    }
    bool trackHoldsData(const std::string& cardName, int n) {
        const sim::CardRead read = sim::ReadCardDecoded(t.card(cardName), t.device->settings());
        return read[std::size_t(n - 1)].state == sim::TrackRead::State::Data;
    }

    EraseSelView& dialog = s().operationState<EraseSelView>();
};

TEST_F(EraseFlow, TheDialogOpensWithTheLastChoiceAndNeedsATrack) {
    s().view.track(2).text = "old";
    s().view.message = {"old", kRed};
    cmdErase_Click(s(), dialog);
    EXPECT_TRUE(dialog.visible);
    EXPECT_EQ(dialog.chkTrk1, (std::array<bool, 3>{true, true, true}));
    EXPECT_TRUE(dialog.CmdOkEnabled);
    EXPECT_FALSE(s().view.isEnabled("cmdErase"));
    EXPECT_EQ(s().view.track(2).text, "");
    EXPECT_EQ(s().view.message.text, "");

    const std::array<std::uint8_t, 3> masksAfterUnticking{6, 4, 0};
    for (int i = 0; i < 3; ++i) {
        frmEraseSel::chkTrk1_Click(s(), dialog, i, false);
        EXPECT_EQ(s().g.EraseMask, masksAfterUnticking[std::size_t(i)]);
        EXPECT_EQ(dialog.CmdOkEnabled, i < 2);
    }
    t.takeSent();
    frmEraseSel::CmdOk_Click(s(), dialog); // a click that slipped past the disabled button
    EXPECT_TRUE(dialog.visible);
    EXPECT_TRUE(t.takeSent().empty());
    EXPECT_EQ(s().g.OpState, 0);

    frmEraseSel::chkTrk1_Click(s(), dialog, 1, true);
    EXPECT_TRUE(dialog.CmdOkEnabled);
    frmEraseSel::chkTrk1_Click(s(), dialog, 3, true); // no such box
    EXPECT_EQ(s().g.EraseMask, 2);

    frmEraseSel::cmdCancel_Click(s(), dialog);
    EXPECT_FALSE(dialog.visible);
    EXPECT_TRUE(s().view.isEnabled("cmdErase"));
    cmdErase_Click(s(), dialog);
    EXPECT_EQ(dialog.chkTrk1, (std::array<bool, 3>{false, true, false}));
}

TEST_F(EraseFlow, EachChoiceOfTracksMakesItsCommand) {
    struct Case {
        MsrwMode mode;
        int mask;
        const char* command;
    };
    for (const Case& c : {Case{MsrwMode::Ormond, 5, "\\1Bc5"}, Case{MsrwMode::Ormond, 1, "\\1Bc1"},
                          Case{MsrwMode::Ormond, 7, "\\1Bc7"}, Case{MsrwMode::Velk, 7, "ER 7\\0D"},
                          Case{MsrwMode::Velk, 6, "ER 6\\0D"}}) {
        s().port.MsrwMode = c.mode;
        t.device->setTextDialect(c.mode == MsrwMode::Velk);
        chooseTracks(c.mask);
        frmEraseSel::CmdOk_Click(s(), dialog);
        EXPECT_EQ(t.takeSent(), Texts{c.command}) << MsrwModeName(c.mode) << " " << c.mask;
        EXPECT_EQ(s().g.OpState, kOpErase);
        cmdCancel_Click(s());
    }
}

TEST_F(EraseFlow, ErasesTheChosenTracksAndCountsEveryCard) {
    chooseTracks(5);
    frmEraseSel::CmdOk_Click(s(), dialog);
    EXPECT_FALSE(dialog.visible);
    const PromptView& prompt = s().view.prompt;
    EXPECT_TRUE(prompt.visible);
    EXPECT_EQ(prompt.caption, "Erase Card");
    EXPECT_EQ(prompt.label, "Please Swipe a Card.");
    EXPECT_EQ(prompt.background, kYellow);
    EXPECT_EQ(prompt.labelColour, kBlack);
    EXPECT_TRUE(prompt.buttonEnabled);
    t.takeSent();

    ASSERT_TRUE(t.swipe("ISO sample"));
    EXPECT_EQ(s().view.message.text, "Erase(1) OK!");
    EXPECT_EQ(s().view.message.colour, kBlack);
    EXPECT_EQ(t.takePauses(), std::vector<int>{300});
    EXPECT_EQ(t.takeSent(), Texts{"\\1Bc5"});
    EXPECT_FALSE(trackHoldsData("ISO sample", 1));
    EXPECT_TRUE(trackHoldsData("ISO sample", 2));
    EXPECT_FALSE(trackHoldsData("ISO sample", 3));

    ASSERT_TRUE(t.swipeAtLowCoercivity("AAMVA sample"));
    EXPECT_EQ(s().view.message.text, "Erase(2) Error!");
    EXPECT_EQ(s().view.message.colour, kRed);
    EXPECT_EQ(t.takePauses(), std::vector<int>{500});
    ASSERT_TRUE(t.swipe("AAMVA sample"));
    EXPECT_EQ(s().view.message.text, "Erase(3) OK!"); // the failed card was counted
    EXPECT_TRUE(prompt.visible);
}

TEST_F(EraseFlow, EndDuringThePauseStopsTheEraseThere) {
    chooseTracks(7);
    frmEraseSel::CmdOk_Click(s(), dialog);
    t.endOperationAtPause(500);
    ASSERT_TRUE(t.swipeAtLowCoercivity("AAMVA sample"));
    EXPECT_FALSE(t.device->isArmed());
    EXPECT_FALSE(s().view.prompt.visible);
    EXPECT_EQ(s().g.OpState, 0);
}

TEST_F(EraseFlow, AMaskOfNoTrackIsNeverSent) {
    ASSERT_EQ(s().link().OpenPort("1", "9600N,8,1"), kLinkOk);
    t.takeSent();
    for (MsrwMode mode : {MsrwMode::Ormond, MsrwMode::Velk}) {
        s().port.MsrwMode = mode;
        s().g.EraseMask = 0;
        EXPECT_FALSE(SendEraseStr(s())) << MsrwModeName(mode);
        EXPECT_TRUE(t.takeSent().empty()) << MsrwModeName(mode);
        EXPECT_EQ(s().g.OpState, 0) << MsrwModeName(mode);
    }
}

} // namespace
