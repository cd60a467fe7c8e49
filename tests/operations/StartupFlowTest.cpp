// The whole start-up, from the start-up dialog to the idle main window,
// against the simulated reader/writer.

#include "operations/startup/Startup.h"

#include "operations/cardtype/CardTypeSetup.h"
#include "operations/startup/PortMenu.h"
#include "session/MainControls.h"
#include "support/SimSession.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace msrw;
using namespace msrw::test;

namespace {

bool Contains(const std::vector<std::string>& sent, const std::string& command) {
    return std::find(sent.begin(), sent.end(), command) != sent.end();
}

TEST(StartupFlow, ReachesTheIdleMainWindowWithTheStoredSettingsSent) {
    SimSession t;
    t.startup->frmpwd_Form_Load();
    EXPECT_EQ(t.startup->pwd.trackSelect, 2); // no track selection file
    EXPECT_TRUE(t.startup->pwd.optVelkpro);
    EXPECT_EQ(t.startup->pwd.lblpwd, "Please select Read/Write Tracks");
    ASSERT_TRUE(t.startup->cmdpwdok_Click());
    Session& s = *t.session;

    EXPECT_TRUE(s.view.mainVisible);
    EXPECT_FALSE(s.view.prompt.visible);
    EXPECT_EQ(s.view.title, "Velk Brindle Lathwick V4.0");
    EXPECT_EQ(s.view.modeLabel, "Ormond Mode");
    EXPECT_EQ(s.port.CurrentPort, 1);
    EXPECT_TRUE(s.port.ReaderFound);
    EXPECT_EQ(s.view.coercivityLabel, "Low Coercivity");
    EXPECT_EQ(s.view.defaultSettingLabel.text, "  Default Setting Active.");
    EXPECT_EQ(s.view.defaultSettingLabel.colour, kBlue);
    EXPECT_EQ(s.view.cardTypes.items,
              (std::vector<std::string>{"ISO", "AAMVA", "USER", "RAW", "PASS BOOK"}));
    EXPECT_EQ(s.g.CardType, "ISO");
    EXPECT_EQ(s.view.frame(1).caption, "Track1   7-BPC   210-BPI");
    EXPECT_EQ(s.view.frame(2).caption, "Track2   5-BPC   75-BPI");
    for (const char* enabled : {"cmdRead", "cmdWrite", "cmdErase", "cmdCompare", "cboCardType"})
        EXPECT_TRUE(s.view.isEnabled(enabled)) << enabled;
    EXPECT_TRUE(s.view.isHidden(Control::cmdConfigSetting));
    EXPECT_FALSE(s.link().IsPortOpen());
    EXPECT_TRUE(s.g.FirstLoadDone);
    EXPECT_EQ(s.g.EraseMask, 7);

    const auto sent = t.takeSent();
    for (const char* command :
         {"9", "\\1Bv", "\\1Be", "\\1Ba", "\\1Bz=\\16", "\\1By", "\\1Bo\\07\\05\\05"})
        EXPECT_TRUE(Contains(sent, command)) << command;
    // The settings file was created with the defaults, the port search written down.
    EXPECT_EQ(s.data.readLines("\\VelkMsrw.cfg")->size(), 30u);
    EXPECT_EQ(*s.data.readLines("\\tarnbaudsetting.bau"),
              (std::vector<std::string>{"1", "n , 8, 1", "9600,"}));
}

TEST(StartupFlow, TracksInUseLockTheOtherFields) {
    SimSession t;
    ASSERT_TRUE(t.start(0));
    EXPECT_FALSE(t.session->view.track(1).enabled);
    EXPECT_TRUE(t.session->view.track(2).enabled);
    EXPECT_FALSE(t.session->view.track(3).enabled);
    EXPECT_EQ(t.session->g.ActiveTracks, 0);
}

TEST(StartupFlow, TheTrackSelectionFileIsReadAndRewrittenButNeverCreated) {
    SimSession t;
    QString error;
    ASSERT_TRUE(t.session->data.writeLines("\\tracksetting.bau", {"1"}, error));
    t.startup->frmpwd_Form_Load();
    EXPECT_EQ(t.startup->pwd.trackSelect, 1);
    t.startup->pwd.trackSelect = 0;
    ASSERT_TRUE(t.startup->cmdpwdok_Click());
    EXPECT_EQ(*t.session->data.readLines("\\tracksetting.bau"), std::vector<std::string>{"0"});

    SimSession fresh;
    ASSERT_TRUE(fresh.start(1));
    EXPECT_FALSE(fresh.session->data.exists("\\tracksetting.bau"));
}

TEST(StartupFlow, TheProtocolChoiceIsChecked) {
    SimSession t;
    t.startup->frmpwd_Form_Load();
    t.startup->pwd.optVelkpro = false;
    EXPECT_FALSE(t.startup->cmdpwdok_Click());
    EXPECT_EQ(t.dialogs.messages.back(), "Protocol Option must be chosen!");
    EXPECT_FALSE(t.session->view.mainVisible);
    EXPECT_TRUE(t.startup->pwd.visible); // the dialog stays
}

TEST(StartupFlow, ADeviceLeftInTheTarnFamilyIsSwitchedBackOnce) {
    SimSession t;
    t.device->setFamily(sim::Family::Tarn);
    ASSERT_TRUE(t.start());
    const auto sent = t.takeSent();
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "ToVELK"), 1);
    EXPECT_EQ(t.session->port.CurrentPort, 1);
    EXPECT_TRUE(t.session->port.ReaderFound);
}

TEST(StartupFlow, NoReaderEndsTheProgram) {
    SimSession t;
    t.device->vanish();
    t.dialogs.textAnswers.push_back("11");
    t.startup->frmpwd_Form_Load();
    EXPECT_TRUE(t.startup->cmdpwdok_Click()); // the dialog closes, the program ends
    EXPECT_TRUE(t.session->view.quitRequested);
    EXPECT_EQ(t.dialogs.messages.back(), "Invalid Input!");
}

TEST(StartupFlow, LeadingZerosThatDoNotFitAByteAreRefusedAtStartUp) {
    SimSession t;
    QString error;
    std::vector<std::string> lines = {"0", "0",  "300", "22", "0", "1",  "0", "0", "0", "1",
                                      "2", "31", "2",   "1",  "5", "15", "2", "1", "5", "15",
                                      "1", "0",  "0",   "1",  "0", "0",  "1", "0", "0", "111"};
    ASSERT_TRUE(t.session->data.writeLines("\\VelkMsrw.cfg", lines, error));
    ASSERT_TRUE(t.start());
    for (const std::string& command : t.takeSent())
        EXPECT_NE(command.substr(0, 4), "\\1Bz") << command;
    bool told = false;
    for (const std::string& m : t.dialogs.messages)
        told = told || m.find("300") != std::string::npos;
    EXPECT_TRUE(told);
    EXPECT_EQ(t.session->view.defaultSettingLabel.text, "  Not in Default Setting.");
}

TEST(StartupFlow, ExitEndsTheProgramInEveryMode) {
    for (MsrwMode mode : {MsrwMode::Ormond, MsrwMode::Velk, MsrwMode::Pellam}) {
        SimSession t;
        ASSERT_TRUE(t.start());
        t.session->port.MsrwMode = mode;
        t.startup->Form_Unload();
        EXPECT_TRUE(t.session->view.quitRequested) << MsrwModeName(mode);
    }
}

TEST(MainControls, TheModeDecidesWhichButtonsAreOffered) {
    MainView view;
    DisMainBtns(view);
    EnaMainBtns(view, MsrwMode::Velk);
    for (const char* on : {"cmdRead", "cmdConfig", "CmdExit"})
        EXPECT_TRUE(view.isEnabled(on)) << on;
    for (const char* off : {"cmdWrite", "cmdErase", "cmdCompare", "cmdToFile", "cmdFromFile",
                            "cmdSeqWrite", "cboCardType", "cmdDatabase"})
        EXPECT_FALSE(view.isEnabled(off)) << off;
    EnaMainBtns(view, MsrwMode::Ormond);
    EXPECT_TRUE(view.isEnabled("cmdErase"));
    DisMainBtns(view);
    EnaMainBtns(view, MsrwMode::Quell);
    EXPECT_TRUE(view.isEnabled("cmdWrite"));
    EXPECT_FALSE(view.isEnabled("cmdErase"));
}

} // namespace

namespace {

void ChooseSelected(Session& s) {
    (void)cboCardType_Click(s, s.view.cardTypes.selected);
}

TEST(PortMenu, CloseThenOpenAndChooseAPort) {
    SimSession t;
    ASSERT_TRUE(t.start());
    Session& s = *t.session;
    ASSERT_EQ(s.link().OpenPort("1", "9600N,8,1"), kLinkOk);

    mnuPortClose_Click(s);
    EXPECT_FALSE(s.link().IsPortOpen());
    EXPECT_TRUE(s.view.portMenu.closeChecked);
    EXPECT_FALSE(s.view.portMenu.openChecked);
    EXPECT_FALSE(s.view.isEnabled("cmdRead"));
    EXPECT_TRUE(s.view.isEnabled("CmdExit"));
    // Saved with the port closed: the first line says 0.
    EXPECT_EQ(s.data.readLines("\\VelkMsrw.cfg")->front(), "0");

    t.takeSent();
    mnuPortOpen_Click(s, &ChooseSelected);
    EXPECT_TRUE(s.view.portMenu.openChecked);
    EXPECT_TRUE(s.view.portMenu.portChecked[0]);
    EXPECT_TRUE(s.view.isEnabled("cmdRead"));
    EXPECT_TRUE(s.view.portMenu.visible);
    const auto sent = t.takeSent();
    EXPECT_TRUE(std::find(sent.begin(), sent.end(), "\\1Bz=\\16") != sent.end());
    EXPECT_EQ(s.g.CardType, "ISO");

    mnuPortN_Click(s, 4, &ChooseSelected); // Port&5 holds nothing: the scan finds port 1
    EXPECT_EQ(s.port.CurrentPort, 1);
    EXPECT_TRUE(s.view.portMenu.portChecked[0]);

    t.device->vanish();
    mnuPortN_Click(s, 0, &ChooseSelected);
    EXPECT_FALSE(s.view.isEnabled("cmdRead"));
    EXPECT_TRUE(s.view.isEnabled("cmdSetup"));
    EXPECT_FALSE(s.view.isEnabled("cboCardType"));
    EXPECT_FALSE(s.view.quitRequested); // the reader answered once: the program stays
}

TEST(PortMenu, ExitEndsAtOnce) {
    SimSession t;
    ASSERT_TRUE(t.start());
    mnuExit_Click(*t.session);
    EXPECT_TRUE(t.session->view.quitRequested);
}

} // namespace

// Exit unloads, and the window closing as the program quits unloads again:
// a settings file that cannot be written is told once.
TEST(StartupFlow, UnloadSavesAndWarnsOnce) {
    SimSession t;
    ASSERT_TRUE(t.start());
    const QString settings = t.dir.filePath("VelkMsrw.cfg");
    ASSERT_TRUE(QFile::remove(settings));
    ASSERT_TRUE(QDir(t.dir.path()).mkdir("VelkMsrw.cfg")); // no file can be written there
    t.dialogs.messages.clear();
    t.startup->Form_Unload();
    t.startup->Form_Unload();
    EXPECT_EQ(t.dialogs.messages.size(), 1u);
    EXPECT_TRUE(t.session->view.quitRequested);
}
