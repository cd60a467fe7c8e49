// The Setup button, OK and Cancel of the set-up dialog against the
// simulated reader/writer: commands in order, pauses, messages, labels and
// the settings file.

#include "files/SettingsFile.h"
#include "operations/settings/SetupDialog.h"
#include "session/SettingsSave.h"
#include "support/CardsSession.h"

#include <gtest/gtest.h>

using namespace msrw;
using namespace msrw::test;

namespace {

// The Setup button's exchanges after the port was reopened: into the Tarn
// family, the low-coercivity-only flag at address 10, back, reopened, and
// the stored ISO format sent.
const Commands kSetupSequence{"\\1BToTARN", "9",      "\\09\\09\\09", "Q10",
                              "@",          "ToVELK", "\\1Bv",        "\\1By",
                              "\\1Bz=\\16", "\\1BbK", "\\1Bf\\D2",    "\\1Bg\\D2"};

class SetupFlow : public SimCardsFlow {
protected:
    SetupView& view() { return s().operationState<SetupView>(); }
    // Opens the dialog; the commands and pauses of the opening are dropped.
    void openSetup() {
        cmdSetup_Click(s());
        ASSERT_TRUE(view().visible);
        t.takeSent();
        t.takePauses();
        t.dialogs.messages.clear();
    }
    // The device's set-up memory says it writes low coercivity only.
    void makeLowCoercivityOnly() {
        t.device->setFamily(sim::Family::Tarn);
        t.device->receive("\x09\x09\x09");
        t.device->receive("\x41"
                          "105A");
        t.device->receive("\x40");
        t.device->setFamily(sim::Family::Escape);
        ASSERT_EQ(t.device->tarn().memory(0x10), 0x5A);
    }
    std::vector<std::string> settingsFile() {
        return s().data.readLines(kSettingsFile).value_or(std::vector<std::string>{});
    }
};

TEST_F(SetupFlow, SetupReadsTheLowCoercivityFlagAndShowsTheDialog) {
    s().view.message = {"Read(1) OK!", kBlack};
    cmdSetup_Click(s());
    Commands expected{"\\1Bv"};
    expected.insert(expected.end(), kSetupSequence.begin(), kSetupSequence.end());
    EXPECT_EQ(t.takeSent(), expected);
    EXPECT_EQ(t.takePauses(), (std::vector<int>{200, 200, 200, 200, 200}));
    EXPECT_TRUE(view().visible);
    EXPECT_TRUE(view().chkhicoEnabled);
    EXPECT_FALSE(s().view.prompt.visible);
    EXPECT_FALSE(s().view.isEnabled(Control::cmdRead));
    EXPECT_EQ(t.device->family(), sim::Family::Escape);
    EXPECT_TRUE(t.dialogs.messages.empty());
    EXPECT_EQ(s().view.message.text, "Read(1) OK!");
}

TEST_F(SetupFlow, ALowCoercivityOnlyDeviceLosesTheHighCoercivityBox) {
    s().format.chkhico = true;
    ASSERT_TRUE(SaveSetting(s()));
    makeLowCoercivityOnly();
    cmdSetup_Click(s());
    EXPECT_FALSE(view().chkhicoEnabled);
    EXPECT_FALSE(s().format.chkhico);
    EXPECT_EQ(settingsFile().at(kEntryHiCo), " 0");
    EXPECT_EQ(s().record[kEntryHiCo], 0);
    const Commands sent = t.takeSent();
    EXPECT_NE(std::find(sent.begin(), sent.end(), "\\1By"), sent.end());
    EXPECT_EQ(std::find(sent.begin(), sent.end(), "\\1Bx"), sent.end());
}

TEST_F(SetupFlow, SetupWithoutAReaderLeavesTheWindowAsItWas) {
    const auto before = s().view.enabled;
    t.device->vanish();
    cmdSetup_Click(s());
    EXPECT_FALSE(view().visible);
    EXPECT_EQ(s().view.enabled, before);
    EXPECT_EQ(t.dialogs.messages, (std::vector<std::string>{"Open Port Failed!"}));
}

TEST_F(SetupFlow, OkWithTheDefaultFormatSendsItAndSaysSo) {
    openSetup();
    frmSetup::CmdOk_Click(s());
    EXPECT_EQ(t.takeSent(), (Commands{"\\1Bv", "\\1Be", "\\1By", "\\1Bz=\\16", "\\1BbK",
                                      "\\1Bf\\D2", "\\1Bg\\D2", "\\1Bd", "\\1Bo\\07\\05\\05"}));
    EXPECT_EQ(t.takePauses(), (std::vector<int>(7, 200)));
    EXPECT_EQ(s().view.defaultSettingLabel.text, " , Default Setting Active.");
    EXPECT_EQ(s().view.defaultSettingLabel.colour, kBlue);
    EXPECT_EQ(s().view.frame(1).caption, "Track1   7-BPC   210-BPI   ");
    EXPECT_EQ(s().view.frame(2).caption, "Track2   5-BPC   75-BPI   ");
    EXPECT_EQ(s().view.coercivityLabel, "Low Coercivity"); // as the device answered
    EXPECT_FALSE(view().visible);
    EXPECT_FALSE(s().view.prompt.visible);
    EXPECT_TRUE(s().view.prompt.buttonEnabled);
    EXPECT_TRUE(s().view.isEnabled(Control::cmdRead));
    EXPECT_FALSE(s().link().IsPortOpen());
    EXPECT_TRUE(t.dialogs.messages.empty());
}

TEST_F(SetupFlow, OkWithACustomFormatSavesItAndShowsItInRed) {
    struct Case {
        const char* at210;
        const char* at75;
        int track3Density;
        std::string leadzCommand;
        std::string track3Command;
    };
    const std::vector<Case> cases{{"62", "22", 0, "\\1Bz>\\16", "\\1Bg\\D2"},
                                  {"61", "5", 0, "\\1Bz=\\05", "\\1Bg\\D2"},
                                  {"61", "22", 1, "\\1Bz=\\16", "\\1BgK"}};
    for (const Case& c : cases) {
        openSetup();
        s().format.txt210Leadz = c.at210;
        s().format.txt75Leadz = c.at75;
        frmSetup::ChooseListItem(s(), EntryBpi(3), c.track3Density);
        frmSetup::CmdOk_Click(s());
        const Commands sent = t.takeSent();
        ASSERT_GE(sent.size(), 7u);
        EXPECT_EQ(sent[3], c.leadzCommand) << c.at210;
        EXPECT_EQ(sent[6], c.track3Command) << c.at210;
        EXPECT_EQ(s().view.defaultSettingLabel.text, " , Custom Setting Active.");
        EXPECT_EQ(s().view.defaultSettingLabel.colour, kRed);
        EXPECT_EQ(settingsFile().at(kEntryLeadz210), c.at210);
        EXPECT_EQ(settingsFile().at(kEntryLeadz75), c.at75);
        EXPECT_EQ(settingsFile().at(EntryBpi(3)), ListPositionText(c.track3Density));
        SettingsRecord reloaded;
        ASSERT_TRUE(LoadSetting(s().data, reloaded).error.isEmpty());
        EXPECT_EQ(reloaded[EntryBpi(3)], c.track3Density);
        EXPECT_EQ(t.device->settings().density[2], c.track3Density == 0 ? 210 : 75);
        // Back to the defaults for the next case.
        openSetup();
        frmSetup::cmddefault_Click(s());
        frmSetup::CmdOk_Click(s());
        EXPECT_EQ(s().view.defaultSettingLabel.text, " , Default Setting Active.");
    }
}

TEST_F(SetupFlow, LeadingZerosThatDoNotFitAByteAreRefusedBeforeAnythingIsSent) {
    const std::vector<std::pair<LeadzBox, std::string>> cases{
        {LeadzBox::At210, "256"}, {LeadzBox::At75, "999"}, {LeadzBox::At210Pb, "300"}};
    for (const auto& [box, text] : cases) {
        openSetup();
        frmSetup::txtLeadz_Change(s(), box, text);
        frmSetup::CmdOk_Click(s());
        EXPECT_TRUE(t.takeSent().empty()) << text;
        EXPECT_TRUE(view().visible);
        ASSERT_EQ(t.dialogs.messages.size(), 1u);
        EXPECT_NE(t.dialogs.messages[0].find("from 0 to 255"), std::string::npos);
        EXPECT_NE(t.dialogs.messages[0].find(text), std::string::npos);
        frmSetup::cmdCancel_Click(s()); // puts the recorded value back
        EXPECT_FALSE(view().visible);
    }
}

TEST_F(SetupFlow, OkWhenTheReaderDoesNotAnswerClosesWithOnlySetupAndExit) {
    openSetup();
    t.device->faults().silent = true;
    frmSetup::CmdOk_Click(s());
    // The remembered port, then the scan of ports 1-10 (only port 1 exists).
    EXPECT_EQ(t.takeSent(), (Commands{"\\1Bv", "\\1Bv"}));
    EXPECT_EQ(t.dialogs.messages, (std::vector<std::string>{"Open Port Failed!"}));
    EXPECT_FALSE(view().visible);
    EXPECT_TRUE(s().view.isEnabled(Control::cmdSetup));
    EXPECT_TRUE(s().view.isEnabled(Control::CmdExit));
    EXPECT_FALSE(s().view.isEnabled(Control::cmdRead));
    EXPECT_TRUE(s().view.prompt.buttonEnabled);
    EXPECT_FALSE(s().view.prompt.visible);
}

TEST_F(SetupFlow, PassBookSendsItsLeadingZerosAndNoDensities) {
    s().g.CardType = "PASS BOOK";
    s().view.cardTypes.selected = 4;
    openSetup();
    s().format.txt210Leadz_Pb = "100";
    s().format.chkhico = true;
    frmSetup::CmdOk_Click(s());
    EXPECT_EQ(t.takeSent(),
              (Commands{"\\1Bv", "\\1Be", "\\1Bx", "\\1Bzd\\16", "\\1Bd", "\\1Bo\\08\\08\\08"}));
    EXPECT_EQ(s().view.coercivityLabel, "High Coercivity");
    EXPECT_EQ(settingsFile().at(kEntryLeadz210Pb), "100");
    EXPECT_EQ(settingsFile().at(kEntryHiCo), " 1");
}

TEST_F(SetupFlow, UserOkRetitlesTightlyAndEmptiesTracksTheNewFormatCannotHold) {
    s().g.CardType = "USER";
    s().view.cardTypes.selected = 2;
    openSetup();
    frmSetup::ChooseListItem(s(), EntryUser(1, 0), 2); // track 1 at 5 bits
    s().view.track(1).text = "12;\r\n34";
    s().view.track(2).text = "AB";  // track 2 is 5 bits: letters cannot stay
    s().view.track(3).text = "~12"; // a space does not fit either
    frmSetup::CmdOk_Click(s());
    EXPECT_EQ(s().view.frame(1).caption, "Track1  5-BPC  210-BPI");
    EXPECT_EQ(s().view.frame(2).caption, "Track2  5-BPC  75-BPI");
    EXPECT_EQ(s().view.track(1).text, "12;\r\n34");
    EXPECT_EQ(s().view.track(2).text, "");
    EXPECT_EQ(s().view.track(3).text, "");
    EXPECT_EQ(t.takeSent().back(), "\\1Bo\\08\\08\\08");
}

TEST_F(SetupFlow, CancelPutsBackTheRecordedFormatButKeepsUserTypeChanges) {
    openSetup();
    frmSetup::ChooseListItem(s(), EntryBpi(1), 1);     // 75 BPI on track 1, reverted
    s().format.txt75Leadz = "30";                      // reverted
    frmSetup::ChooseListItem(s(), EntryUser(2, 0), 3); // track 2 at 4 bits, kept
    frmSetup::cmdCancel_Click(s());
    const Commands sent = t.takeSent();
    EXPECT_EQ(sent, (Commands{"\\1Bv", "\\1Be", "\\1Bv", "\\1Be", "\\1By", "\\1Bz=\\16", "\\1BbK",
                              "\\1Bf\\D2", "\\1Bg\\D2", "\\1Bd", "\\1Bo\\07\\05\\05"}));
    EXPECT_EQ(s().format.bpi[0].selected, 0);
    EXPECT_EQ(s().format.txt75Leadz, "22");
    EXPECT_EQ(settingsFile().at(EntryUser(2, 0)), " 3");
    EXPECT_EQ(settingsFile().at(EntryUser(2, 1)), " 0"); // 4 bits carry no parity
    EXPECT_EQ(s().view.coercivityLabel, "Low Coercivity");
    EXPECT_FALSE(view().visible);
    EXPECT_TRUE(s().view.isEnabled(Control::cmdWrite));
}

TEST_F(SetupFlow, CancelWhenTheReaderDoesNotAnswerSaysSo) {
    openSetup();
    t.device->faults().silent = true;
    frmSetup::cmdCancel_Click(s());
    EXPECT_FALSE(view().visible);
    EXPECT_EQ(t.dialogs.messages, (std::vector<std::string>{"Open Port Failed!"}));
    EXPECT_TRUE(s().view.isEnabled(Control::cmdSetup));
    EXPECT_TRUE(s().view.isEnabled(Control::CmdExit));
}

TEST_F(SetupFlow, OtherModesOpenNoDialogAndLeaveTheButtonsUsable) {
    // ("Quell Mode" opens the Tarn set-up dialog instead: frmTarnSetupFlowTest.)
    for (const MsrwMode mode : {MsrwMode::Velk, MsrwMode::Pellam}) {
        s().port.MsrwMode = mode;
        const auto before = s().view.enabled;
        t.dialogs.messages.clear();
        cmdSetup_Click(s());
        EXPECT_FALSE(view().visible);
        EXPECT_EQ(s().view.enabled, before);
        EXPECT_TRUE(t.dialogs.messages.empty());
    }
}

} // namespace
