// Sequential write: marking the number's place, the range dialog, and the
// run of numbered cards against the simulated reader/writer.

#include "operations/writing/SequentialWrite.h"
#include "cards/WriteComposition.h"
#include "operations/cardtype/CardTypeSetup.h"
#include "operations/writing/SendWrite.h"
#include "session/CardView.h"
#include "session/Dispatcher.h"
#include "session/OpStates.h"
#include "sim/CardOps.h"
#include "support/CardsSession.h"

#include <gtest/gtest.h>

using namespace msrw;
using namespace msrw::test;

namespace {

using Texts = std::vector<std::string>;

const char* const kWrongFormat =
    "Wrong Data Format! The data contain redundant 'x'(s) or no 'x'(s)!";
const char* const kTooFewMarks = "Number of Digit in 'Starting No.' should no more than the "
                                 "number of x's in track data field";

std::string CardTrack(sim::VirtualCard& card, const sim::Device& device, int n) {
    return sim::ReadCardDecoded(card, device.settings())[std::size_t(n - 1)].data;
}

class SequentialFlow : public SimCardsFlow {
protected:
    // Types `keys` into track n at `at` characters from its start, each key
    // through the track field's key filter ("\r" is Enter, "\b" Backspace).
    void type(int n, std::size_t at, const std::string& keys) {
        for (char key : keys) {
            const KeyReplacement replace =
                SeqWriteKeyReplacement(s(), run, [this] { cmdCancel_Click(s()); });
            const int c = txtTrk_KeyPress(s(), n, key, replace);
            std::string& text = s().view.track(n).text;
            if (c == kKeyBackspace)
                text.erase(--at, 1);
            else if (c != kKeyCancelled)
                text.insert(at++, 1, char(c));
        }
    }
    // Track 2 holds `data`; `marks` "x" are typed at `at`, and confirmed.
    void markTrack2(const std::string& data, std::size_t at, std::size_t marks) {
        s().view.track(2).text = data;
        cmdSeqWrite_Click(s(), run);
        type(2, at, std::string(marks, 'k') + "\r");
    }
    void enterRange(const std::string& first, const std::string& count) {
        run.dialog.txtStartNo = first;
        run.dialog.txtEndNo = count;
        frmSeqWrite::CmdOk_Click(s(), run);
    }
    std::string blankCardTrack(int n) { return CardTrack(t.card("Blank card"), *t.device, n); }

    SequentialWrite& run = s().operationState<SequentialWrite>();
};

TEST_F(SequentialFlow, WritesTheNumbersOfTheRangeThenStops) {
    s().view.track(2).text = ";1234=99?";
    cmdSeqWrite_Click(s(), run);
    const PromptView& prompt = s().view.prompt;
    EXPECT_TRUE(run.SeqWriteActive);
    EXPECT_TRUE(prompt.visible);
    EXPECT_EQ(prompt.caption, "Sequential Write");
    EXPECT_EQ(prompt.labelFontSize, 10);
    EXPECT_EQ(prompt.buttonCaption, "Cancel");
    EXPECT_EQ(prompt.label.rfind("In the track field, point to a location", 0), 0u);
    EXPECT_FALSE(s().view.isEnabled("cmdSeqWrite"));

    type(2, 5, "ab?\b56");
    EXPECT_EQ(prompt.buttonCaption, "OK");
    EXPECT_EQ(s().view.track(2).text, ";1234xxxx=99?");
    type(2, 9, "\r");
    EXPECT_FALSE(run.SeqWriteActive);
    EXPECT_EQ(run.SeqStart[1], 6);
    EXPECT_EQ(run.SeqLen[1], 4);
    EXPECT_TRUE(run.dialog.visible);
    EXPECT_TRUE(run.dialog.startNoFocused);
    EXPECT_EQ(prompt.label, "Please Swipe a Card");
    EXPECT_FALSE(prompt.buttonEnabled);
    EXPECT_FALSE(s().view.isEnabled("cmdSeqWrite"));

    enterRange("7", "3");
    EXPECT_FALSE(run.dialog.visible);
    EXPECT_EQ(s().g.OpState, kOpSequentialWrite);
    EXPECT_EQ(s().view.track(2).text, ";12340007=99?");
    EXPECT_TRUE(prompt.visible);
    EXPECT_TRUE(prompt.buttonEnabled);
    EXPECT_EQ(prompt.buttonCaption, "End");
    t.takePauses();

    ASSERT_TRUE(t.swipe("Blank card"));
    EXPECT_EQ(s().view.message.text, "Write(1) OK!");
    EXPECT_EQ(blankCardTrack(2), ";12340007=99?");
    EXPECT_EQ(s().view.track(2).text, ";12340008=99?");
    EXPECT_EQ(t.takePauses(), std::vector<int>{300});

    ASSERT_TRUE(t.swipe("Damaged card (track 2)"));
    EXPECT_EQ(s().view.message.text, "Write(2) Error!!");
    EXPECT_EQ(s().view.message.colour, kRed);
    EXPECT_EQ(t.takePauses(), std::vector<int>{500});
    EXPECT_EQ(s().view.track(2).text, ";12340008=99?"); // the same number again

    ASSERT_TRUE(t.swipe("Blank card"));
    EXPECT_EQ(blankCardTrack(2), ";12340008=99?");
    ASSERT_TRUE(t.swipe("Blank card"));
    EXPECT_EQ(s().view.message.text, "Write(3) OK!");
    EXPECT_EQ(blankCardTrack(2), ";12340009=99?");
    EXPECT_EQ(t.dialogs.messages, Texts{"Sequential Write Completed"});
    EXPECT_FALSE(prompt.visible);
    EXPECT_FALSE(t.device->isArmed());
    EXPECT_EQ(s().g.OpState, 0);
    EXPECT_TRUE(s().view.isEnabled("cmdSeqWrite"));
    EXPECT_TRUE(s().view.track(2).enabled);
}

// A pass-book card is written, then verified by a second swipe; only a
// verified card moves the run on to the next number.
TEST_F(SequentialFlow, EachPassBookCardIsVerifiedBeforeTheNextNumber) {
    chooseCardType("PASS BOOK");
    markTrack2("12", 2, 2);
    enterRange("5", "2");
    ASSERT_EQ(s().view.track(2).text, "1205");
    t.takeSent();
    t.takePauses();
    const PromptView& prompt = s().view.prompt;
    const auto expectPromptForNextCard = [&] {
        EXPECT_TRUE(prompt.visible);
        EXPECT_EQ(prompt.caption, "Sequential Write");
        EXPECT_EQ(prompt.label, "Please Swipe a Card");
        EXPECT_EQ(prompt.background, kYellow);
        EXPECT_EQ(prompt.labelColour, kBlack);
    };
    const auto passBookTrack2 = [&] { return sim::ReadCardPassBook(t.card("Blank card"))[1].data; };

    // Written: the device waits for the same card again, and nothing is sent.
    const auto expectVerifyPrompt = [&](const char* number) {
        EXPECT_TRUE(prompt.visible);
        EXPECT_EQ(prompt.caption, "Verify Write Card");
        EXPECT_EQ(prompt.label, "Please Swipe a Card again to verify!");
        EXPECT_EQ(prompt.background, kBlue);
        EXPECT_EQ(prompt.labelColour, kWhite);
        EXPECT_EQ(s().view.message.text, "Swipe One More Time to Verify !");
        EXPECT_EQ(s().view.track(2).text, number);
        EXPECT_TRUE(t.takeSent().empty());
        EXPECT_EQ(t.takePauses(), std::vector<int>{300});
    };

    ASSERT_TRUE(t.swipe("Blank card"));
    expectVerifyPrompt("1205");
    ASSERT_TRUE(t.swipe("Blank card")); // verified
    EXPECT_EQ(s().view.message.text, "Write(1) OK!");
    EXPECT_EQ(passBookTrack2(), ";1205<");
    EXPECT_EQ(s().view.track(2).text, "1206");
    expectPromptForNextCard();
    EXPECT_EQ(t.takeSent().back().rfind("\\1BW\\1Bs", 0), 0u);
    EXPECT_EQ(t.takePauses(), std::vector<int>{300});

    ASSERT_TRUE(t.swipe("Blank card"));
    expectVerifyPrompt("1206");
    // Verified against another card: an error, and the same number again.
    ASSERT_TRUE(t.swipe("ISO sample"));
    EXPECT_EQ(s().view.message.text, "Write(2) Error!!");
    EXPECT_EQ(s().view.message.colour, kRed);
    EXPECT_EQ(s().view.track(2).text, "1206");
    expectPromptForNextCard();
    EXPECT_EQ(t.takePauses(), std::vector<int>{500});

    ASSERT_TRUE(t.swipe("Blank card"));
    EXPECT_TRUE(t.dialogs.messages.empty()); // not completed before the verifying swipe
    ASSERT_TRUE(t.swipe("Blank card"));
    EXPECT_EQ(s().view.message.text, "Write(2) OK!");
    EXPECT_EQ(passBookTrack2(), ";1206<");
    EXPECT_EQ(t.dialogs.messages, Texts{"Sequential Write Completed"});
    EXPECT_FALSE(t.device->isArmed());
}

TEST_F(SequentialFlow, EndDuringThePauseStopsTheRunThere) {
    markTrack2("12", 2, 2);
    enterRange("1", "5");
    t.endOperationAtPause(300);
    ASSERT_TRUE(t.swipe("Blank card"));
    EXPECT_FALSE(t.device->isArmed());
    EXPECT_EQ(s().view.track(2).text, "1201"); // not moved on to the next number
}

struct RangeCase {
    std::size_t marks;
    std::string first;
    std::string count;
    std::string refusal; // empty: accepted
};

class RangeEntry : public SequentialFlow, public ::testing::WithParamInterface<RangeCase> {};

TEST_P(RangeEntry, RefusesARangeThatTheMarksCannotHold) {
    const RangeCase& c = GetParam();
    markTrack2("AB", 2, c.marks);
    t.dialogs.messages.clear();
    enterRange(c.first, c.count);
    if (c.refusal.empty()) {
        EXPECT_TRUE(t.dialogs.messages.empty());
        EXPECT_EQ(s().g.OpState, kOpSequentialWrite);
        EXPECT_TRUE(t.device->isArmed());
        return;
    }
    EXPECT_EQ(t.dialogs.messages, Texts{c.refusal});
    EXPECT_EQ(s().view.track(2).text, "AB"); // the marks are taken out again
    EXPECT_FALSE(run.dialog.visible);
    EXPECT_EQ(run.dialog.txtStartNo, "");
    EXPECT_EQ(run.dialog.txtEndNo, "");
    EXPECT_FALSE(s().view.prompt.visible);
    EXPECT_TRUE(s().view.isEnabled("cmdSeqWrite"));
    EXPECT_FALSE(t.device->isArmed());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RangeEntry,
    ::testing::Values(RangeCase{3, "95", "10", ""}, // the last number, 104, has three digits
                      RangeCase{2, "95", "5", ""},  // ... 99
                      RangeCase{2, "95", "6", kTooFewMarks}, // ... 100
                      RangeCase{4, "", "3", "Please fill Start and No. of card"},
                      RangeCase{4, "7", "", "Please fill Start and No. of card"},
                      RangeCase{4, "7", "0", "Please input valid # of card"},
                      RangeCase{4, "7", "-3",
                                "Start and No. of card take digits only, at most 9 each"},
                      RangeCase{9, "999999999", "9999999999",
                                "Start and No. of card take digits only, at most 9 each"},
                      RangeCase{9, "999999999", "999999999", kTooFewMarks}));

TEST(SeqWriteFormat, FindsOneRunOfMarksPerTrack) {
    struct Case {
        Texts fields;
        int result;
        std::array<std::int32_t, 3> start;
        std::array<std::int32_t, 3> len;
    };
    const std::vector<Case> cases{
        {{"", "1234xxxx=99", ""}, 1, {0, 5, 0}, {0, 4, 0}},
        {{"xx", "", "ABxxx"}, 2, {1, 0, 3}, {2, 0, 3}},
        {{"AB\r\nx", "", ""}, 1, {3, 0, 0}, {1, 0, 0}},    // positions skip line breaks
        {{"x\r\nx", "", ""}, 1, {1, 0, 0}, {2, 0, 0}},     // a run across a line break
        {{"xx", "xx12xx", "xx"}, 0, {1, 1, 0}, {2, 0, 0}}, // a second run stops the check
        {{"", "", "A"}, 0, {0, 0, 0}, {0, 0, 0}},
    };
    test::SimSession t;
    for (const Case& c : cases) {
        for (int n = 1; n <= 3; ++n)
            t.session->view.track(n).text = c.fields[std::size_t(n - 1)];
        SequentialWrite& run = t.session->operationState<SequentialWrite>();
        run = {};
        EXPECT_EQ(ChkSeqWriteFormat(*t.session, run), c.result) << c.fields[1];
        EXPECT_EQ(run.SeqStart, c.start) << c.fields[1];
        EXPECT_EQ(run.SeqLen, c.len) << c.fields[1];
    }
}

TEST(SeqWriteDisplay, PutsTheNumberIntoEachMarkPaddedToItsLength) {
    struct Case {
        std::string field;
        std::int32_t start, len, current;
        std::string shown;
    };
    const std::vector<Case> cases{
        {"1234xxxx=99", 5, 4, 7, "12340007=99"},
        {"12340007=99", 5, 4, 8, "12340008=99"}, // replaced in place
        {"ABxxxxx", 3, 5, 7, "AB00007"},
        {"xx", 1, 2, 104, "104"}, // a longer number is not cut
        {"AB", 5, 2, 3, "AB03"},  // the field was shortened meanwhile
    };
    test::SimSession t;
    for (const Case& c : cases) {
        t.session->view.track(1).text = c.field;
        SequentialWrite& run = t.session->operationState<SequentialWrite>();
        run = {};
        run.SeqStart[0] = c.start;
        run.SeqLen[0] = c.len;
        run.SeqCurrent = c.current;
        UpdateDisplay(*t.session, run);
        EXPECT_EQ(t.session->view.track(1).text, c.shown) << c.field;
    }
}

TEST_F(SequentialFlow, MarksInTwoTracksTakeTheSameNumber) {
    s().view.track(1).text = "%NO?";
    s().view.track(2).text = ";99?";
    cmdSeqWrite_Click(s(), run);
    type(1, 3, "kkkkk");
    type(2, 1, "kk\r");
    enterRange("42", "1");
    EXPECT_EQ(s().view.track(1).text, "%NO00042?");
    EXPECT_EQ(s().view.track(2).text, ";4299?");
    ASSERT_TRUE(t.swipe("Blank card"));
    EXPECT_EQ(blankCardTrack(1), "%NO00042?");
    EXPECT_EQ(blankCardTrack(2), ";4299?");
}

TEST_F(SequentialFlow, ASecondRunOfMarksIsRefusedAndTheMarksStay) {
    markTrack2(";1234?", 1, 2);
    EXPECT_TRUE(run.dialog.visible); // one run is fine
    run.dialog.txtStartNo = "5";
    frmSeqWrite::cmdCancel_Click(s(), run);
    EXPECT_EQ(s().view.track(2).text, ";1234?");
    EXPECT_FALSE(run.dialog.visible);
    EXPECT_EQ(run.dialog.txtStartNo, "");
    EXPECT_TRUE(s().view.isEnabled("cmdSeqWrite"));

    cmdSeqWrite_Click(s(), run);
    type(2, 1, "kk");
    type(2, 5, "kk\r");
    EXPECT_EQ(t.dialogs.messages, Texts{kWrongFormat});
    EXPECT_EQ(s().view.track(2).text, ";xx12xx34?");
    EXPECT_FALSE(run.dialog.visible);
    EXPECT_FALSE(s().view.prompt.visible);
    EXPECT_TRUE(s().view.isEnabled("cmdSeqWrite"));
}

TEST_F(SequentialFlow, ConfirmingWithoutMarksEndsTheOperation) {
    s().view.track(2).text = ";1234?";
    cmdSeqWrite_Click(s(), run);
    type(2, 0, "\r");
    EXPECT_FALSE(run.SeqWriteActive);
    EXPECT_FALSE(run.dialog.visible);
    EXPECT_FALSE(s().view.prompt.visible);
    EXPECT_TRUE(s().view.isEnabled("cmdSeqWrite"));
    EXPECT_TRUE(t.dialogs.messages.empty());
    // The normal key filter is back.
    EXPECT_FALSE(SeqWriteKeyReplacement(s(), run, {}));
}

TEST_F(SequentialFlow, RefusesRawCardsAndAsksWhenThereIsNoData) {
    const auto& items = s().view.cardTypes.items;
    const int raw = int(std::find(items.begin(), items.end(), "RAW") - items.begin());
    s().view.cardTypes.selected = raw;
    ASSERT_EQ(cboCardType_Click(s(), raw), CardTypeOutcome::Done);
    s().view.track(2).text = "0F";
    cmdSeqWrite_Click(s(), run);
    EXPECT_EQ(t.dialogs.messages, Texts{"Sequential Write is not for RAW mode!"});
    EXPECT_FALSE(run.SeqWriteActive);
    EXPECT_TRUE(s().view.isEnabled("cmdSeqWrite"));

    const int iso = 0;
    s().view.cardTypes.selected = iso;
    ASSERT_EQ(cboCardType_Click(s(), iso), CardTypeOutcome::Done);
    t.dialogs.messages.clear();
    t.dialogs.icons.clear();
    s().view.track(2).text = "";
    t.dialogs.yesNoAnswers = {true}; // not the question's buttons: must not be taken
    cmdSeqWrite_Click(s(), run);     // the recorded operator answers Cancel
    EXPECT_EQ(t.dialogs.messages,
              Texts{"All 3 tracks are empty! You want Sequential Track Data Only?"});
    EXPECT_EQ(t.dialogs.icons, std::vector{MessageIcon::Information});
    EXPECT_FALSE(run.SeqWriteActive);
    EXPECT_FALSE(s().view.prompt.visible);
    EXPECT_TRUE(s().view.isEnabled("cmdSeqWrite"));
}

TEST_F(SequentialFlow, TheRangeFieldsTakeDigitsAndEnterConfirms) {
    struct Case {
        int key;
        int passed;
    };
    for (const Case& c :
         {Case{'0', '0'}, Case{'9', '9'}, Case{'a', kKeyCancelled}, Case{'-', kKeyCancelled},
          Case{' ', kKeyCancelled}, Case{kKeyBackspace, kKeyBackspace}, Case{127, 127}})
        EXPECT_EQ(frmSeqWrite::txtNo_KeyPress(s(), run, c.key), c.passed) << c.key;

    markTrack2("AB", 2, 2);
    run.dialog.txtStartNo = "5";
    run.dialog.txtEndNo = "2";
    EXPECT_EQ(frmSeqWrite::txtNo_KeyPress(s(), run, kKeyEnter), kKeyCancelled);
    EXPECT_EQ(s().g.OpState, kOpSequentialWrite);
    EXPECT_EQ(s().view.track(2).text, "AB05");

    frmSeqWrite::txtNo_FocusChanged(run, true);
    EXPECT_TRUE(run.dialog.CmdOkBold);
    frmSeqWrite::txtNo_FocusChanged(run, false);
    EXPECT_FALSE(run.dialog.CmdOkBold);
}

TEST_F(SequentialFlow, WithoutDataACardCarriesOnlyTheRunningNumber) {
    s().view.track(2).text = "";
    t.dialogs.okCancelAnswers = {true}; // sequential track data only
    cmdSeqWrite_Click(s(), run);
    ASSERT_TRUE(run.SeqWriteActive);
    s().view.track(2).text = "xxx";
    cmdCancel_Click(s()); // "OK" on the prompt confirms the marks
    enterRange("41", "1");
    ASSERT_TRUE(t.swipe("Blank card"));
    EXPECT_EQ(blankCardTrack(1), "");
    EXPECT_EQ(blankCardTrack(2), ";041?");
    EXPECT_EQ(t.dialogs.messages.back(), "Sequential Write Completed");
}

} // namespace
