// The script runner against the simulated reader/writer: loading from the
// main window and from the maintenance dialog, stepping with the history,
// the end of the script, and what Exit leaves behind.

#include "operations/settings/Maintenance.h"
#include "operations/settings/ScriptRunner.h"
#include "support/CardsSession.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <gtest/gtest.h>

using namespace msrw;
using namespace msrw::test;

namespace {

class ScriptFlow : public SimCardsFlow {
protected:
    std::string script(const char* name, const QByteArray& text) {
        const QString path = t.dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        return path.toStdString();
    }
    void load(const std::string& path) {
        t.dialogs.fileAnswers.push_back(path);
        cmdSendCmd_Click(s(), runner);
    }
    ScriptRunner& runner = s().operationState<ScriptRunner>();
};

TEST_F(ScriptFlow, StepsThroughTheScriptShowingEachExchange) {
    load(script("test.txt", "//echo test\r\n\\1Be\r\nRR\\0D\r\n\\1Bt\r\n//end\r\n\\1Bi\r\n"));
    EXPECT_TRUE(runner.view.visible);
    EXPECT_FALSE(s().view.mainVisible);
    EXPECT_EQ(runner.view.title, "Script File Name: test.txt");
    EXPECT_EQ(runner.view.txtResponse, "\\1Be");
    EXPECT_EQ(runner.view.txtcomment, "echo test");
    t.takeSent();

    frmScript::cmdRunStep_Click(s(), runner);
    EXPECT_EQ(runner.view.txtDspCmd, "PC:    \\1Be\r\nR/W:  \\1By\r\n\r\n");
    EXPECT_EQ(runner.view.txtResponse, "\\1Bt");
    EXPECT_EQ(runner.view.txtcomment, "");
    EXPECT_TRUE(runner.view.cmdRunStepEnabled);
    EXPECT_TRUE(runner.view.historyFocused);

    frmScript::cmdRunStep_Click(s(), runner);
    EXPECT_EQ(runner.view.txtDspCmd,
              "PC:    \\1Be\r\nR/W:  \\1By\r\n\r\nPC:    \\1Bt\r\nR/W:  \\1B3\r\n\r\n");
    EXPECT_EQ(runner.view.txtResponse, kEndOfFile);
    EXPECT_FALSE(runner.view.cmdRunStepEnabled);
    EXPECT_EQ(t.takeSent(), (std::vector<std::string>{"\\1Be", "\\1Bt"}));

    frmScript::cmdRunStep_Click(s(), runner); // a click that slipped past the disabled button
    EXPECT_EQ(t.dialogs.messages.back(), kEndOfFileClickExit);
    EXPECT_TRUE(t.takeSent().empty());
}

TEST_F(ScriptFlow, AShorterScriptAfterALongerOneSendsOnlyItsOwnCommands) {
    QByteArray longer;
    for (int i = 0; i < 600; ++i) // longer than the old fixed lists
        longer += "\\1Be\r\n";
    load(script("long.txt", longer));
    EXPECT_EQ(runner.steps.size(), 600u);
    frmScript::cmdRunStep_Click(s(), runner);
    frmScript::CmdExit_Click(s(), runner);
    EXPECT_TRUE(s().view.mainVisible);
    EXPECT_TRUE(s().view.isEnabled(Control::cmdSendCmd));
    EXPECT_EQ(runner.view.txtDspCmd, "");

    load(script("short.txt", "\\1Bt\r\n"));
    t.takeSent();
    frmScript::cmdRunStep_Click(s(), runner);
    frmScript::cmdRunStep_Click(s(), runner);
    EXPECT_EQ(t.takeSent(), (std::vector<std::string>{"\\1Bt"}));
    EXPECT_EQ(runner.view.txtResponse, kEndOfFile);
}

TEST_F(ScriptFlow, CancelledOrUnusableChoicesLeaveTheMainWindowUsable) {
    cmdSendCmd_Click(s(), runner); // the Open dialog cancelled
    load(script("empty.txt", "// nothing here\r\n"));
    EXPECT_FALSE(runner.view.visible);
    EXPECT_TRUE(s().view.isEnabled(Control::cmdSendCmd));
    EXPECT_NE(t.dialogs.messages.back().find("empty.txt holds no command"), std::string::npos);
    EXPECT_EQ(runner.ScriptFileName, "");
}

TEST_F(ScriptFlow, EachOpenerHasItsPathFileAndIsReturnedTo) {
    const std::string first = script("a.txt", "\\1Be\r\n");
    load(first);
    frmScript::CmdExit_Click(s(), runner);
    EXPECT_EQ(*s().data.readLines(kMainScriptPathFile), std::vector<std::string>{first});
    load(first);
    frmScript::CmdExit_Click(s(), runner);
    EXPECT_EQ(t.dialogs.fileDialogStarts.back(), t.dir.path().toStdString());

    Maintenance& dialog = s().operationState<Maintenance>();
    dialog.view.visible = true;
    t.dialogs.fileAnswers.push_back(first);
    ASSERT_TRUE(RunScriptFromMaintenance(s(), runner));
    EXPECT_FALSE(dialog.view.visible);
    EXPECT_EQ(t.dialogs.fileDialogStarts.back(), s().data.path(kScriptFolder).toStdString());
    EXPECT_EQ(*s().data.readLines(kMaintenanceScriptPathFile), std::vector<std::string>{first});
    frmScript::Form_Unload(s(), runner); // the window's X
    EXPECT_TRUE(dialog.view.visible);
    EXPECT_FALSE(runner.view.visible);
}

// The tour shipped in examples/: the Open dialog's first filter shows it,
// and each of its commands has its answer in the runner, the read's once a
// card is swiped while it waits (as the simulator window's Swipe does).
TEST_F(ScriptFlow, TheShippedTourIsOfferedFirstAndEachStepIsAnswered) {
    const QString path = qEnvironmentVariable("MSRW_SOURCE_DIR") + "/examples/demo-script.txt";
    const QString filter = QString(kScriptFilter).section('|', 1, 1);
    EXPECT_TRUE(QDir::match(filter, QFileInfo(path).fileName())) << filter.toStdString();
    load(path.toStdString());
    ASSERT_TRUE(runner.view.visible);
    bool swiped = false;
    while (runner.view.cmdRunStepEnabled) {
        if (runner.view.txtResponse == "\\1Br")
            QTimer::singleShot(50, [&] { swiped = t.swipe("ISO sample"); });
        frmScript::cmdRunStep_Click(s(), runner);
        const std::string& history = runner.view.txtDspCmd;
        EXPECT_EQ(history.find("R/W:  \r\n"), std::string::npos) << history;
    }
    EXPECT_TRUE(swiped);
    EXPECT_NE(runner.view.txtDspCmd.find(";4111111111111111=2812101?"), std::string::npos)
        << runner.view.txtDspCmd;
}

} // namespace
