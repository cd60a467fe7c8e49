// The configuration dialog against the simulated reader/writer: lists,
// mode preselections, field checks, Save, Default and Close.

#include "operations/settings/CfgDialog.h"
#include "session/PortManager.h"
#include "support/CardsSession.h"

#include <gtest/gtest.h>

using namespace msrw;
using namespace msrw::test;

namespace {

using Lines = std::vector<std::string>;

class CfgFlow : public SimCardsFlow {
protected:
    void SetUp() override {
        SimCardsFlow::SetUp();
        cmdConfig_Click(s());
    }
    CfgView& view() { return s().operationState<CfgView>(); }
    std::optional<Lines> portRecord() { return s().data.readLines(kPortRecordFile); }
    void choose(int mode, int baud, int line) {
        frmCfg::cboMsrwMode_Click(s(), mode);
        view().cboBaudRate.select(baud);
        view().cboParity.select(line);
    }
};

TEST_F(CfgFlow, OpensWithTheMainWindowHiddenAndNothingChosen) {
    EXPECT_TRUE(view().visible);
    EXPECT_FALSE(s().view.mainVisible);
    EXPECT_FALSE(s().view.isEnabled(Control::cmdRead));
    EXPECT_EQ(view().cboMsrwMode.items,
              (Lines{"Velk Mode", "Quell Mode", "Ormond Mode", "Pellam Mode"}));
    EXPECT_EQ(view().cboBaudRate.items.size(), 8u);
    EXPECT_EQ(view().cboBaudRate.items[3], "9600");
    EXPECT_EQ(view().cboParity.items[3], "O,7,1");
    for (const ListControl* list : {&view().cboMsrwMode, &view().cboBaudRate, &view().cboParity,
                                    &view().cboSelHiLo, &view().cboTrkMode})
        EXPECT_EQ(list->selected, -1);
}

TEST_F(CfgFlow, OrmondAndQuellPreselectTheirSerialSettingsTheOthersKeepThem) {
    struct Case {
        int mode;
        int baud, line; // expected after the choice
    };
    const std::vector<Case> cases{{2, 3, 0}, {1, 3, 3}, {0, 5, 2}, {3, 5, 2}};
    for (const Case& c : cases) {
        view().cboBaudRate.select(5);
        view().cboParity.select(2);
        frmCfg::cboMsrwMode_Click(s(), c.mode);
        EXPECT_EQ(view().cboBaudRate.selected, c.baud) << c.mode;
        EXPECT_EQ(view().cboParity.selected, c.line) << c.mode;
    }
}

TEST_F(CfgFlow, FieldsAboveTheirLimitAreRefusedAndReplaced) {
    struct Case {
        CfgField field;
        std::string typed, after, message;
    };
    const std::vector<Case> cases{
        {CfgField::txtHiCo, "256", "255", "High Coercivity Index should less than 256"},
        {CfgField::txtLoCo, "256", "34", "Low Coercivity Index should less than 256"},
        {CfgField::txtLoCo, "255", "255", ""},
        {CfgField::txt210Lz, "1000", "68", "Leading zero should less than 1000"},
        {CfgField::txt75Lz, "1000", "24", "Leading zero should less than 1000"},
        {CfgField::txt75Lz, "999", "999", ""},
        {CfgField::txtHiCo, "9x9", "9x9", ""}, // not a number: not checked
    };
    for (const Case& c : cases) {
        t.dialogs.messages.clear();
        frmCfg::txtField_Change(s(), c.field, c.typed);
        EXPECT_EQ(view().fields[std::size_t(c.field)], c.after) << c.typed;
        EXPECT_EQ(t.dialogs.messages, c.message.empty() ? Lines{} : Lines{c.message}) << c.typed;
    }
}

TEST_F(CfgFlow, DefaultOpensThePortWritesTheRecordAndSaysSo) {
    frmCfg::cmdCfgDefault_Click(s());
    EXPECT_EQ(view().cboMsrwMode.text(), "Ormond Mode");
    EXPECT_EQ(view().cboBaudRate.text(), "9600");
    EXPECT_EQ(view().cboParity.text(), "N,8,1");
    EXPECT_EQ(view().fields, (std::array<std::string, 4>{"44", "126", "33", "55"}));
    EXPECT_EQ(portRecord(), (Lines{"Comm1", "9600", "N,8,1", "Ormond Mode"}));
    EXPECT_EQ(t.dialogs.messages, (Lines{"Reset Reader success!"}));
    EXPECT_EQ(s().view.modeLabel, "Ormond Mode");
    EXPECT_TRUE(s().link().IsPortOpen());
}

TEST_F(CfgFlow, DefaultAndSaveOnAPortThatDoesNotOpenSayWhichAndWriteNoRecord) {
    s().port.CurrentPort = 5; // nothing is there
    frmCfg::cmdCfgDefault_Click(s());
    frmCfg::cmdCfgSave_Click(s());
    ASSERT_EQ(t.dialogs.messages.size(), 2u);
    for (const std::string& message : t.dialogs.messages) {
        EXPECT_EQ(message.rfind("Could not open port 5 with 9600", 0), 0u) << message;
        EXPECT_NE(message.find("not saved"), std::string::npos);
    }
    EXPECT_FALSE(portRecord());
}

TEST_F(CfgFlow, SaveInVelkModeLeavesOnlyReadConfigAndExitAfterClose) {
    choose(0, 3, 0);
    frmCfg::txtField_Change(s(), CfgField::txtLoCo, "10");
    for (CfgField f : {CfgField::txtHiCo, CfgField::txt75Lz, CfgField::txt210Lz})
        frmCfg::txtField_Change(s(), f, "200");
    frmCfg::cmdCfgSave_Click(s());
    EXPECT_TRUE(t.dialogs.messages.empty());
    EXPECT_EQ(portRecord(), (Lines{"Comm1", "9600", "N,8,1", "Velk Mode"}));
    EXPECT_EQ(s().port.MsrwMode, MsrwMode::Velk);
    EXPECT_EQ(s().view.modeLabel, "Velk Mode");
    EXPECT_EQ(view().savedFields, (std::array<std::uint8_t, 4>{10, 200, 200, 200}));
    frmCfg::cmdCfgClose_Click(s());
    EXPECT_FALSE(view().visible);
    EXPECT_TRUE(s().view.mainVisible);
    for (std::size_t c = 0; c < kControlCount; ++c) {
        const auto control = static_cast<Control>(c);
        const bool expected = control == Control::cmdRead || control == Control::cmdConfig ||
                              control == Control::CmdExit;
        EXPECT_EQ(s().view.isEnabled(control), expected) << ControlName(control);
    }
}

TEST_F(CfgFlow, SaveRefusesWhatItCannotKeep) {
    struct Case {
        bool chooseLists;
        std::string leadz210;
        std::string words; // in the message
    };
    const std::vector<Case> cases{
        {false, "55", "Please choose"},
        {true, "256", "210 BPI Leading Zeros must be a number from 0 to 255"},
        {true, "", "210 BPI Leading Zeros must be a number from 0 to 255 (the default is 55)"},
    };
    for (const Case& c : cases) {
        t.dialogs.messages.clear();
        view().cboMsrwMode.selected = view().cboBaudRate.selected = -1;
        if (c.chooseLists)
            choose(2, 3, 0);
        for (CfgField f : {CfgField::txtLoCo, CfgField::txtHiCo, CfgField::txt75Lz})
            frmCfg::txtField_Change(s(), f, "30");
        frmCfg::txtField_Change(s(), CfgField::txt210Lz, c.leadz210);
        frmCfg::cmdCfgSave_Click(s());
        ASSERT_EQ(t.dialogs.messages.size(), 1u) << c.words;
        EXPECT_NE(t.dialogs.messages[0].find(c.words), std::string::npos) << t.dialogs.messages[0];
        EXPECT_FALSE(portRecord());
    }
}

} // namespace
