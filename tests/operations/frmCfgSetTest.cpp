// The maintenance dialog against the simulated reader/writer and a scripted
// device: opening, the track model, the bias by hand, the coercivity lock,
// the firmware update and Cancel.

#include "operations/settings/Maintenance.h"
#include "support/CardsSession.h"

#include <gtest/gtest.h>

using namespace msrw;
using namespace msrw::test;

namespace {

using Commands = std::vector<std::string>;

class MaintenanceFlow : public SimCardsFlow {
protected:
    void open() {
        cmdConfigSetting_Click(s());
        ASSERT_TRUE(view.visible);
        t.takeSent();
    }
    MaintenanceView& view = s().operationState<Maintenance>().view;
};

TEST_F(MaintenanceFlow, OpeningReadsTheReaderAndHidesTheMainWindow) {
    t.device->settings().leadZeroBias = 0x3F;
    t.device->settings().trackModel = '5';
    cmdConfigSetting_Click(s());
    EXPECT_TRUE(view.visible);
    EXPECT_FALSE(s().view.mainVisible);
    EXPECT_FALSE(s().view.prompt.visible);
    EXPECT_EQ(view.txtCurLzBiaz, "3F");
    EXPECT_EQ(view.txtCurModel, "Track 1 and Track 2");
    EXPECT_EQ(view.cmdSetLoCoCaption, kCaptionLoCoOnly);
    const Commands sent = t.takeSent();
    const Commands head(sent.begin() + 1, sent.begin() + 4);
    EXPECT_EQ(head, (Commands{"\\1Bi", "\\1Bt", "\\1BToTARN"}));
    const Commands exchanges(sent.end() - 4, sent.end());
    EXPECT_EQ(exchanges, (Commands{"\\09\\09\\09", "Q10", "@", "ToVELK"}));
}

TEST_F(MaintenanceFlow, ALowCoercivityOnlyReaderShowsTheUnlockCaption) {
    t.device->setLowCoercivityOnly(true);
    open();
    EXPECT_EQ(view.cmdSetLoCoCaption, kCaptionEnableSetCo);
}

TEST_F(MaintenanceFlow, TheBiasReplyIsShownAsTwoDigits) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"\\1B?", "3F"}, {"\\1B\\05", "05"}, {"\\1B\\\\", "5C"}, {"odd", "odd"}};
    for (const auto& [reply, shown] : cases)
        EXPECT_EQ(ShownLeadZeroBias(reply), shown) << reply;
}

TEST_F(MaintenanceFlow, AnUnknownModelDigitLeavesTheModelShown) {
    t.device->settings().trackModel = '4'; // no model the dialog knows
    s().operationState<Maintenance>().view.txtCurModel = "Track 2";
    open();
    EXPECT_EQ(view.txtCurModel, "Track 2");
}

TEST_F(MaintenanceFlow, TheTrackModelChangesOnlyWhenConfirmed) {
    open();
    frmCfgSet::optTk_Click(s(), cmd::TrackModel::Tracks2And3); // the warning cancelled
    EXPECT_FALSE(view.checkedModel);
    EXPECT_EQ(t.device->settings().trackModel, '3');
    t.dialogs.okCancelAnswers = {true, true};
    frmCfgSet::optTk_Click(s(), cmd::TrackModel::Tracks2And3);
    EXPECT_EQ(t.device->settings().trackModel, '2');
    EXPECT_EQ(view.txtCurModel, "Track 2 and Track 3");
    EXPECT_EQ(t.dialogs.messages.back(), kChangeWarning);
    frmCfgSet::optTk_Click(s(), cmd::TrackModel::Tracks1To3);
    EXPECT_EQ(t.dialogs.messages.back(), "Setting is done.");
    EXPECT_EQ(t.takeSent().back(), "\\1Bs3");
}

TEST_F(MaintenanceFlow, TheBiasByHandTakesTwoHexadecimalDigits) {
    open();
    struct Case {
        std::string typed;
        std::string said;
        int deviceBias;
    };
    const std::vector<Case> cases{
        {"", "Please input Lead Zero Bias value.", 0x20},
        {"3", "Wrong Input!", 0x20},
        {"G1", "Wrong Input!", 0x20},
        {"3a", "Set Lead Zero Bias value Ok.", 0x3A},
        {"FF", "Set Lead Zero Bias value Ok.", 0xFF},
    };
    for (const Case& c : cases) {
        view.txtSetLzBias = c.typed;
        t.dialogs.okCancelAnswers.push_back(true);
        frmCfgSet::cmdSetLzBiasManual_Click(s());
        EXPECT_EQ(t.dialogs.messages.back(), c.said) << c.typed;
        EXPECT_EQ(static_cast<unsigned char>(t.device->settings().leadZeroBias), c.deviceBias);
    }
    EXPECT_EQ(view.txtCurLzBiaz, "FF");
    view.txtSetLzBias = "12";
    frmCfgSet::cmdSetLzBiasManual_Click(s()); // the warning cancelled
    EXPECT_EQ(view.txtSetLzBias, "");
    EXPECT_EQ(static_cast<unsigned char>(t.device->settings().leadZeroBias), 0xFF);
}

TEST_F(MaintenanceFlow, TheBiasFieldTakesHexadecimalKeysOnly) {
    const std::vector<std::pair<int, int>> keys{{'a', 'A'}, {'F', 'F'}, {'0', '0'}, {'9', '9'},
                                                {8, 8},     {'g', 0},   {' ', 0},   {'-', 0}};
    for (const auto& [key, passed] : keys)
        EXPECT_EQ(frmCfgSet::txtSetLzBias_KeyPress(key), passed) << key;
}

TEST_F(MaintenanceFlow, TwoPressesOfTheCoercivityLockReturnToTheStart) {
    open();
    s().format.chkhico = true;
    frmCfgSet::cmdSetLoCo_Click(s()); // locks: "Set LoCo only" pressed
    EXPECT_EQ(view.cmdSetLoCoCaption, kCaptionEnableSetCo);
    EXPECT_TRUE(t.device->lowCoercivityOnly());
    EXPECT_FALSE(s().format.chkhico);
    EXPECT_EQ(s().view.coercivityLabel, "Low Coercivity");
    const Commands locking = t.takeSent();
    EXPECT_NE(std::find(locking.begin(), locking.end(), "A105A"), locking.end());
    EXPECT_EQ(locking.back(), "\\1By");
    EXPECT_TRUE(view.controlsEnabled);

    s().format.chkhico = true;
    frmCfgSet::cmdSetLoCo_Click(s()); // unlocks
    EXPECT_EQ(view.cmdSetLoCoCaption, kCaptionLoCoOnly);
    EXPECT_FALSE(t.device->lowCoercivityOnly());
    EXPECT_TRUE(s().format.chkhico); // only the locking press clears it
}

TEST_F(MaintenanceFlow, TheFirmwareUpdateSendsTheBootloaderCommandOnlyWhenConfirmed) {
    open();
    frmCfgSet::cmdUpdateFrm_Click(s());
    Commands sent = t.takeSent();
    EXPECT_EQ(std::find(sent.begin(), sent.end(), "\\1BJFK"), sent.end());
    t.dialogs.okCancelAnswers.push_back(true);
    frmCfgSet::cmdUpdateFrm_Click(s());
    EXPECT_EQ(t.dialogs.messages.back(), kBootloadWarning);
    EXPECT_EQ(t.takeSent().back(), "\\1BJFK");
    EXPECT_FALSE(s().link().IsPortOpen());
}

TEST_F(MaintenanceFlow, CancelReturnsToAUsableMainWindow) {
    open();
    frmCfgSet::cmdCancel_Click(s());
    EXPECT_FALSE(view.visible);
    EXPECT_TRUE(s().view.mainVisible);
    EXPECT_TRUE(s().view.isEnabled(Control::cmdRead));
    EXPECT_EQ(s().view.message.text.rfind("Velk Reader/Writer Version", 0), 0u);
    EXPECT_FALSE(s().link().IsPortOpen());
    EXPECT_NE(t.takeSent().size(), 0u);
}

TEST_F(MaintenanceFlow, ASilentReaderKeepsTheDialogClosedWithAMessage) {
    t.device->vanish();
    cmdConfigSetting_Click(s());
    EXPECT_FALSE(view.visible);
    EXPECT_TRUE(s().view.mainVisible);
    EXPECT_TRUE(s().view.isEnabled(Control::cmdRead));
    EXPECT_FALSE(t.dialogs.messages.empty());
}

} // namespace
