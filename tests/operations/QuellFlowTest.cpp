// "Quell Mode" from start-up to the idle window, and reading and comparing
// cards in it, against the simulated reader/writer speaking the Tarn family.

#include "cards/CustomTrack.h"
#include "files/TarnSetupFile.h"
#include "link/Notation.h"
#include "operations/cardtype/CardTypeSetup.h"
#include "operations/reading/CompareOperation.h"
#include "operations/reading/ReadOperation.h"
#include "operations/startup/PortMenu.h"
#include "session/CardView.h"
#include "session/Dispatcher.h"
#include "session/OpStates.h"
#include "support/SimSession.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace msrw;
using namespace msrw::test;

namespace {

using Commands = std::vector<std::string>;

// What arms a read, as the reader receives it: reset, "\4B", the three
// densities of the default set-up (210, 75, 210 BPI), "\50".
const Commands kArmRead{"\\7F", "K", ";1H", ";2L", ";3H", "P"};
const Commands kRecovery{"k", "M", "K"};

Commands Join(std::initializer_list<Commands> parts) {
    Commands all;
    for (const Commands& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

// The commands from the last reset on: what start-up sent after its probes.
Commands FromLastReset(const Commands& sent) {
    const auto reset = std::find(sent.rbegin(), sent.rend(), "\\7F");
    return reset == sent.rend() ? Commands{} : Commands(reset.base() - 1, sent.end());
}

// A card holding CUSTOM tracks (hexadecimal digits, characters of `bits`
// bits) as the reader/writer records the loads that the program composes: a
// start character (the value 1), then each character least significant bit
// first.
sim::VirtualCard CustomCard(const std::array<std::string, 3>& hex, const std::array<int, 3>& bits) {
    sim::VirtualCard card;
    for (std::size_t i = 0; i < 3; ++i) {
        if (hex[i].empty())
            continue;
        const auto load = CustomTrackLoad(hex[i], bits[i], 0);
        EXPECT_TRUE(load) << hex[i];
        std::string characters = ParseCommandText(load.value_or("")).bytes;
        characters.pop_back(); // the load's closing 04
        sim::Bits recorded;
        const auto append = [&](unsigned value) {
            for (int b = 0; b < bits[i]; ++b)
                recorded.push_back(((value >> b) & 1u) != 0);
        };
        append(1); // the start character
        for (const char c : characters)
            append(static_cast<unsigned char>(c) & 0x7Fu);
        card.tracks[i].record(20, recorded);
    }
    return card;
}

class QuellFlow : public ::testing::Test {
protected:
    void start(int trackSelect = 2) {
        ASSERT_TRUE(t.startQuell(trackSelect));
        ASSERT_TRUE(s().quell());
        t.takeSent();
        t.takePauses();
        t.dialogs.messages.clear();
    }
    Session& s() { return *t.session; }
    void chooseCardType(int position) {
        s().view.cardTypes.selected = position;
        ASSERT_EQ(cboCardType_Click(s(), position), CardTypeOutcome::Done);
        t.takeSent();
        t.takePauses();
    }
    const std::string& shown(int track) { return s().view.track(track).text; }

    SimSession t;
};

TEST_F(QuellFlow, StartUpReachesTheIdleWindowWithThePortOpen) {
    ASSERT_TRUE(t.startQuell());
    Session& s = *t.session;
    EXPECT_TRUE(s.view.mainVisible);
    EXPECT_FALSE(s.view.prompt.visible);
    EXPECT_TRUE(s.quell());
    EXPECT_EQ(s.view.modeLabel, "Quell Mode");
    EXPECT_TRUE(s.g.ProtocolIsTarn);
    EXPECT_TRUE(s.g.TarnUnframed);
    EXPECT_TRUE(s.link().tarnFamily());
    EXPECT_TRUE(s.link().IsPortOpen()); // the Tarn family keeps its port
    EXPECT_TRUE(s.g.FirstLoadDone);
    EXPECT_EQ(s.g.EraseMask, 7);
    EXPECT_TRUE(s.view.coercivityLabelHidden);
    EXPECT_TRUE(s.view.isHidden(Control::cmdConfigSetting));
    // Tools > Config Setting follows the button: the maintenance dialog
    // speaks the escape-sequence family only.
    EXPECT_FALSE(s.view.isEnabled(Control::cmdConfigSetting));
    EXPECT_EQ(s.view.defaultSettingLabel.text, "");
    EXPECT_EQ(s.g.tarnMemory.coercivity, "34");
    EXPECT_TRUE(t.dialogs.messages.empty());
    // The banner line of the switched reader, without the CR that ends it.
    EXPECT_EQ(s.view.message.text, t.device->banner());

    EXPECT_EQ(s.view.cardTypes.items, (std::vector<std::string>{"ISO", "AAMVA", "CUSTOM"}));
    EXPECT_EQ(s.g.CardType, "ISO");
    EXPECT_EQ(s.view.frame(1).caption, "Track1   7-BPC    210-BPI");
    EXPECT_EQ(s.view.frame(2).caption, "Track2   5-BPC    75-BPI");
    EXPECT_EQ(s.view.frame(3).caption, "Track3   5-BPC    210-BPI");
    for (const char* on : {"cmdRead", "cmdWrite", "cmdCompare", "cmdToFile", "cboCardType"})
        EXPECT_TRUE(s.view.isEnabled(on)) << on;
    EXPECT_FALSE(s.view.isEnabled("cmdErase"));

    const Commands sent = t.takeSent();
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "\\1BToTARN"), 1);
    // The set-up memory read, then the card type's densities, then the idle byte.
    EXPECT_EQ(FromLastReset(sent),
              (Commands{"\\7F", ";1H", ";2L", ";3H", "\\09\\09\\09", "Q00", "Q01", "Q02", "Q03",
                        "Q1C", "Q04", "@", ";1H", ";2L", ";3H", ";2L", "L"}));
    EXPECT_EQ(*s.data.readLines(kTarnSetupFile),
              (std::vector<std::string>{"9", "9", "9", "0", "2", "2", "0", "1", "0", "1"}));
    EXPECT_TRUE(s.data.exists("\\tarnbaudsetting.bau"));
}

TEST_F(QuellFlow, AReaderAlreadyInTheTarnFamilyIsFoundOnItsOwnLine) {
    t.device->setFamily(sim::Family::Tarn); // 9600 baud, space parity, 7 data bits
    start();
    EXPECT_EQ(*s().data.readLines("\\tarnbaudsetting.bau"),
              (std::vector<std::string>{"1", "s , 7, 1", "9600,"}));
    EXPECT_TRUE(t.dialogs.messages.empty());
    EXPECT_EQ(s().g.tarnMemory.coercivity, "34");
    cmdRead_Click(s());
    ASSERT_TRUE(t.swipe("ISO sample"));
    EXPECT_EQ(s().view.message.text, "Read(1) OK!");

    // The port menu opens the port on the same line again.
    cmdCancel_Click(s());
    mnuPortClose_Click(s());
    mnuPortOpen_Click(s(), nullptr);
    cmdRead_Click(s());
    ASSERT_TRUE(t.swipe("ISO sample"));
    EXPECT_EQ(s().view.message.text, "Read(1) OK!");
    EXPECT_EQ(shown(2), "4111111111111111=2812101");
}

TEST_F(QuellFlow, StartUpKeepsTheSetUpFileButSpeaksUnframed) {
    QString error;
    ASSERT_TRUE(t.session->data.writeLines(
        kTarnSetupFile, {"5", "6", "7", "1", "1", "1", "1", "0", "1", "0"}, error));
    start();
    EXPECT_EQ(*s().data.readLines(kTarnSetupFile),
              (std::vector<std::string>{"5", "6", "7", "1", "1", "1", "1", "0", "1", "1"}));
    EXPECT_TRUE(s().g.TarnUnframed);
    EXPECT_EQ(s().view.frame(1).caption, "Track1   7-BPC    75-BPI");
    EXPECT_EQ(s().view.frame(2).caption, "Track2   5-BPC    210-BPI");
    // The key filter's limits follow the Tarn densities too.
    EXPECT_EQ(txtTrk_KeyPress(s(), 1, 'a'), 'A');
    EXPECT_EQ(s().view.track(1).maxLength, 25);
    EXPECT_EQ(txtTrk_KeyPress(s(), 2, '1'), '1');
    EXPECT_EQ(s().view.track(2).maxLength, 106);
}

TEST_F(QuellFlow, StartUpRepairsADamagedSetUpFileAndSaysSo) {
    QString error;
    ASSERT_TRUE(t.session->data.writeLines(
        kTarnSetupFile, {"5", "6", "7", "1", "1", "1", "L", "L", "L", "1"}, error));
    ASSERT_TRUE(t.startQuell());
    ASSERT_EQ(t.dialogs.messages.size(), 1u);
    EXPECT_NE(t.dialogs.messages[0].find("tarnsetup.stp was damaged from line 7 on"),
              std::string::npos)
        << t.dialogs.messages[0];
    EXPECT_TRUE(s().data.exists("\\tarnsetup.stp.bad"));
    EXPECT_EQ(*s().data.readLines(kTarnSetupFile),
              (std::vector<std::string>{"5", "6", "7", "1", "1", "1", "0", "1", "0", "1"}));
    // The densities sent are the defaults, not "75 BPI" for any letter.
    const Commands sent = FromLastReset(t.takeSent());
    EXPECT_EQ(Commands(sent.begin() + 1, sent.begin() + 4), (Commands{";1H", ";2L", ";3H"}));
}

TEST_F(QuellFlow, StartUpLocksTheFieldsOfTracksNotInUse) {
    start(0);
    EXPECT_FALSE(s().view.track(1).enabled);
    EXPECT_TRUE(s().view.track(2).enabled);
    EXPECT_FALSE(s().view.track(3).enabled);
}

TEST_F(QuellFlow, TheUnloadStepResetsTheReaderBeforeClosing) {
    start();
    t.startup->Form_Unload();
    EXPECT_EQ(t.takeSent(), Commands{"\\7F"});
    EXPECT_FALSE(s().link().IsPortOpen());
    EXPECT_TRUE(s().view.quitRequested);
}

TEST_F(QuellFlow, ThePortMenuOpensTheTarnPortWithItsOwnSettings) {
    start();
    mnuPortClose_Click(s());
    ASSERT_FALSE(s().link().IsPortOpen());
    mnuPortN_Click(s(), 3, nullptr); // no reader on port 4
    EXPECT_EQ(t.dialogs.messages.back(), "Open Port Failed!");
    EXPECT_FALSE(s().view.isEnabled("cmdRead"));
    EXPECT_EQ(s().port.TarnPortText, "4");

    t.dialogs.messages.clear();
    mnuPortN_Click(s(), 0, nullptr);
    EXPECT_TRUE(t.dialogs.messages.empty());
    EXPECT_TRUE(s().link().IsPortOpen());
    EXPECT_TRUE(s().view.portMenu.portChecked[0]);
    EXPECT_TRUE(s().view.portMenu.openChecked);
    EXPECT_FALSE(s().view.portMenu.closeChecked);
    EXPECT_TRUE(s().view.isEnabled("cmdCompare"));

    mnuPortClose_Click(s());
    mnuPortOpen_Click(s(), nullptr);
    EXPECT_TRUE(s().link().IsPortOpen());
    EXPECT_TRUE(s().view.portMenu.openChecked);
    EXPECT_TRUE(t.takeSent().empty()); // opening asks the reader nothing
}

TEST_F(QuellFlow, CardTypesSendTheDensitiesAndShowTheirCaptions) {
    start();
    s().view.cardTypes.selected = 1;
    ASSERT_EQ(cboCardType_Click(s(), 1), CardTypeOutcome::Done);
    EXPECT_EQ(s().g.CardType, "AAMVA");
    EXPECT_EQ(t.takeSent(), (Commands{";1H", ";2L", ";3H"}));
    EXPECT_EQ(t.takePauses(), std::vector<int>{300});
    EXPECT_EQ(s().view.frame(1).caption, "Track1   7-BPC    210-BPI");
    EXPECT_EQ(s().view.frame(3).caption, "Track3   7-BPC    210-BPI");
    // The reader is set for low coercivity (34): AAMVA wants high.
    EXPECT_EQ(t.dialogs.messages, std::vector<std::string>{kHiCoReminder});
    EXPECT_TRUE(s().view.isEnabled("cmdRead"));

    t.dialogs.messages.clear();
    s().g.tarnMemory.coercivity = "FF";
    ASSERT_EQ(cboCardType_Click(s(), 1), CardTypeOutcome::Done);
    s().g.tarnMemory.coercivity = "AA"; // 170: high enough
    ASSERT_EQ(cboCardType_Click(s(), 1), CardTypeOutcome::Done);
    EXPECT_TRUE(t.dialogs.messages.empty());

    s().view.track(1).text = "12";
    ASSERT_EQ(cboCardType_Click(s(), 2), CardTypeOutcome::Done);
    EXPECT_EQ(s().g.CardType, "CUSTOM");
    EXPECT_EQ(shown(1), "");
    EXPECT_EQ(s().view.frame(1).caption, "Track1   7-BPC    210-BPI");
    EXPECT_EQ(s().view.frame(2).caption, "Track2   5-BPC    75-BPI");
    EXPECT_EQ(s().view.frame(3).caption, "Track3   5-BPC    210-BPI");
    for (int track = 1; track <= 3; ++track)
        EXPECT_EQ(s().view.track(track).maxLength, 220);
    EXPECT_EQ(txtTrk_KeyPress(s(), 1, 'f'), 'F');
    EXPECT_EQ(txtTrk_KeyPress(s(), 1, 'g'), kKeyCancelled);
    EXPECT_EQ(s().view.track(1).maxLength, 220);
}

TEST_F(QuellFlow, CustomCaptionsFollowTheCharacterSizesOfTheSetUp) {
    start();
    QString error;
    ASSERT_TRUE(s().data.writeLines(kTarnSetupFile,
                                    {"9", "9", "9", "1", "0", "7", "1", "1", "0", "1"}, error));
    chooseCardType(2);
    EXPECT_EQ(s().view.frame(1).caption, "Track1   6-BPC    75-BPI");
    EXPECT_EQ(s().view.frame(2).caption, "Track2   7-BPC    75-BPI");
    EXPECT_EQ(s().view.frame(3).caption, "Track3   -BPC    210-BPI"); // no size for "7"
}

TEST_F(QuellFlow, ReadsCardAfterCardAskingForEachTrack) {
    start();
    cmdRead_Click(s());
    EXPECT_EQ(t.takeSent(), kArmRead);
    EXPECT_EQ(s().g.OpState, kOpQuellRead);
    EXPECT_TRUE(s().g.TarnAwaitStart);
    EXPECT_TRUE(s().view.prompt.visible);
    EXPECT_EQ(s().view.prompt.caption, "Read Card");

    ASSERT_TRUE(t.swipe("ISO sample"));
    EXPECT_EQ(s().view.message.text, "Read(1) OK!");
    EXPECT_EQ(s().view.message.colour, kBlack);
    EXPECT_EQ(shown(1), "B4111111111111111^SAMPLE/CARD^2812101");
    EXPECT_EQ(shown(2), "4111111111111111=2812101");
    EXPECT_EQ(shown(3), "0123456789");
    EXPECT_EQ(s().view.frame(3).caption, "Track3   5 BPC   210 BPI (ISO Format)");
    EXPECT_EQ(s().view.track(1).maxLength, 220);
    EXPECT_EQ(t.takeSent(), Join({{"q1", "r2", "s3"}, kArmRead}));
    EXPECT_EQ(t.takePauses(), std::vector<int>{300});
    EXPECT_TRUE(s().view.prompt.visible);

    ASSERT_TRUE(t.swipe("Blank card"));
    EXPECT_EQ(s().view.message.text, "Read(2) OK!");
    EXPECT_EQ(shown(1), "");
    EXPECT_EQ(shown(2), "");
}

TEST_F(QuellFlow, AFailedTrackFailsTheCardAndSetsTheReaderRight) {
    start();
    cmdRead_Click(s());
    t.takeSent();
    ASSERT_TRUE(t.swipe("Damaged card (track 2)"));
    EXPECT_EQ(s().view.message.text, "Read(1) Failed!");
    EXPECT_EQ(s().view.message.colour, kRed);
    EXPECT_EQ(shown(2), "");
    EXPECT_EQ(shown(1), "B4111111111111111^SAMPLE/CARD^2812101");
    EXPECT_EQ(t.takeSent(), Join({{"q1", "r2", "s3"}, kRecovery, kArmRead}));
    EXPECT_EQ(t.takePauses(), (std::vector<int>{1000, 500}));
    // A failed card is counted too.
    ASSERT_TRUE(t.swipe("ISO sample"));
    EXPECT_EQ(s().view.message.text, "Read(2) OK!");
}

TEST_F(QuellFlow, EndingDuringTheRecoveryStopsTheRead) {
    start();
    cmdRead_Click(s());
    t.takeSent();
    t.endOperationAtPause(1000);
    ASSERT_TRUE(t.swipe("Damaged card (track 2)"));
    EXPECT_EQ(s().g.OpState, kOpIdle);
    EXPECT_FALSE(s().view.prompt.visible);
    const Commands sent = t.takeSent();
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "P"), 0); // never armed again
}

TEST_F(QuellFlow, Track3IsSearchedInTheOtherLayout) {
    start();
    cmdRead_Click(s());
    t.takeSent();
    ASSERT_TRUE(t.swipe("AAMVA sample"));
    EXPECT_EQ(s().view.message.text, "Read(1) OK!");
    EXPECT_EQ(shown(3), "!!12345~~F510140BRNBLU");
    EXPECT_EQ(s().view.frame(3).caption, "Track3   7 BPC   210 BPI (Non ISO Format)");
    const Commands sent = t.takeSent();
    EXPECT_EQ(Commands(sent.begin(), sent.begin() + 4), (Commands{"q1", "r2", "s3", "s1"}));
    cmdCancel_Click(s());

    chooseCardType(1);
    cmdRead_Click(s());
    t.takeSent();
    ASSERT_TRUE(t.swipe("ISO sample"));
    EXPECT_EQ(s().view.message.text, "Read(1) OK!");
    EXPECT_EQ(s().view.frame(3).caption, "Track3   5 BPC   210 BPI (ISO Format)");
    const Commands aamvaFirst = t.takeSent();
    EXPECT_EQ(Commands(aamvaFirst.begin(), aamvaFirst.begin() + 4),
              (Commands{"q1", "r2", "s1", "s3"}));
    ASSERT_TRUE(t.swipe("AAMVA sample"));
    EXPECT_EQ(s().view.frame(3).caption, "Track3   7 BPC   210 BPI ");
}

TEST_F(QuellFlow, TracksNotInUseAreNotAskedFor) {
    start(1);
    cmdRead_Click(s());
    t.takeSent();
    ASSERT_TRUE(t.swipe("ISO sample"));
    EXPECT_EQ(s().view.message.text, "Read(1) OK!");
    EXPECT_EQ(shown(3), "");
    const Commands sent = t.takeSent();
    EXPECT_EQ(Commands(sent.begin(), sent.begin() + 3), (Commands{"q1", "r2", "\\7F"}));
}

TEST_F(QuellFlow, ReadsCustomTracksInTheCharacterSizesOfTheSetUp) {
    start();
    t.deck = sim::Deck({{"custom", CustomCard({"A5C3", "0123456789", "4F"}, {7, 5, 5})},
                        {"custom 6 bits", CustomCard({"A5C3", "", "FF"}, {6, 5, 5})}});
    t.card("custom").tracks[2].setDamaged(true);
    chooseCardType(2);
    cmdRead_Click(s());
    EXPECT_EQ(t.takeSent(), kArmRead);
    ASSERT_TRUE(t.swipe("custom"));
    EXPECT_EQ(t.takeSent(), Join({{"U_7", "V_5", "W_5"}, kRecovery, kArmRead}));
    EXPECT_EQ(s().view.message.text, "Read(1) Failed!"); // track 3 is damaged
    EXPECT_EQ(shown(1), "A5C3");
    EXPECT_EQ(shown(2), "0123456789");
    EXPECT_EQ(shown(3), "");

    QString error;
    ASSERT_TRUE(s().data.writeLines(kTarnSetupFile,
                                    {"9", "9", "9", "1", "2", "2", "0", "1", "0", "1"}, error));
    ASSERT_TRUE(t.swipe("custom 6 bits"));
    EXPECT_EQ(s().view.message.text, "Read(2) OK!");
    EXPECT_EQ(shown(1), "A5C3");
    EXPECT_EQ(shown(2), ""); // blank
    EXPECT_EQ(shown(3), "FF");
    EXPECT_EQ(t.takeSent().front(), "U_6");
}

TEST_F(QuellFlow, CustomTargetsMayEndInExtraZeros) {
    start();
    t.deck = sim::Deck({{"reference", CustomCard({"A5C3", "12", ""}, {7, 5, 5})},
                        {"zeros", CustomCard({"A5C30000", "12", ""}, {7, 5, 5})},
                        {"other tail", CustomCard({"A5C301", "12", ""}, {7, 5, 5})},
                        {"shorter", CustomCard({"A5", "12", ""}, {7, 5, 5})}});
    chooseCardType(2);
    cmdCompare_Click(s());
    ASSERT_TRUE(t.swipe("reference"));
    EXPECT_EQ(shown(1), "A5C3");
    for (const auto& [card, line] : {std::pair{"zeros", "Compare(1)OK"},
                                     {"other tail", "Compare(2)Error"},
                                     {"shorter", "Compare(3)Error"},
                                     {"reference", "Compare(4)OK"}}) {
        ASSERT_TRUE(t.swipe(card)) << card;
        EXPECT_EQ(s().view.message.text, line);
    }
}

TEST_F(QuellFlow, ComparesTargetCardsWithTheReference) {
    start();
    cmdCompare_Click(s());
    EXPECT_EQ(t.takeSent(), kArmRead); // armed as a read, so its start reply is awaited
    EXPECT_EQ(s().g.OpState, kOpCompare);
    ASSERT_TRUE(t.swipe("ISO sample"));
    EXPECT_EQ(s().view.message.text, "Read(1) OK!");
    EXPECT_EQ(s().view.prompt.label, "Please swipe the next target card for comparing");
    t.takeSent();
    t.takePauses();

    ASSERT_TRUE(t.swipe("ISO sample"));
    EXPECT_EQ(s().view.message.text, "Compare(1)OK");
    EXPECT_EQ(t.takeSent(), Join({{"q1", "r2", "s3"}, kArmRead}));
    ASSERT_TRUE(t.swipe("Damaged card (track 2)"));
    EXPECT_EQ(s().view.message.text, "Compare(2)Error");
    EXPECT_EQ(s().view.message.colour, kRed);
    EXPECT_EQ(t.takeSent(), Join({{"q1", "r2", "s3"}, kRecovery, kArmRead}));
    EXPECT_EQ(t.takePauses(), std::vector<int>{1000});
    EXPECT_EQ(shown(2), "4111111111111111=2812101"); // the reference stays shown
    ASSERT_TRUE(t.swipe("AAMVA sample"));
    EXPECT_EQ(s().view.message.text, "Compare(3)Error");

    cmdCancel_Click(s());
    EXPECT_EQ(shown(1), "");
    EXPECT_EQ(s().view.frame(3).caption, "Track3   5-BPC    210-BPI");
}

TEST_F(QuellFlow, AReferenceThatFailsIsNotKept) {
    start();
    cmdCompare_Click(s());
    ASSERT_TRUE(t.swipe("Damaged card (track 2)"));
    EXPECT_EQ(s().view.message.text, "Read(1) Failed!");
    EXPECT_EQ(shown(1), "");
    ASSERT_TRUE(t.swipe("ISO sample"));
    EXPECT_EQ(s().view.message.text, "Read(2) OK!");
    ASSERT_TRUE(t.swipe("ISO sample"));
    EXPECT_EQ(s().view.message.text, "Compare(1)OK");
}

TEST_F(QuellFlow, EndSendsTheTarnEndSequence) {
    start();
    cmdRead_Click(s());
    t.takeSent();
    cmdCancel_Click(s());
    EXPECT_EQ(t.takeSent(), (Commands{"(", "\\7F", ";1H", ";2L", ";3H", "L"}));
    EXPECT_EQ(s().g.OpState, kOpIdle);
    EXPECT_TRUE(s().link().IsPortOpen());
    EXPECT_TRUE(s().view.isEnabled("cmdRead"));
    EXPECT_FALSE(s().view.isEnabled("cmdConfigSetting"));
    EXPECT_FALSE(t.swipe("ISO sample")); // disarmed
}

} // namespace
