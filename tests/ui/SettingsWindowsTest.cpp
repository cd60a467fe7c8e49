// The maintenance dialog and the script runner driven through their real
// widgets offscreen, from the main window.

#include "operations/settings/Maintenance.h"
#include "operations/settings/ScriptRunner.h"
#include "ui/MaintenanceWindow.h"
#include "ui/ScriptWindow.h"
#include "ui/frmMain.h"
#include "ui/frmpwd.h"

#include "StartedMainWindow.h"

#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace msrw;
using namespace msrw::test;

namespace {

using SettingsWindows = StartedMainWindow;

TEST_F(SettingsWindows, TheMaintenanceDialogOpensOverAHiddenMainWindowAndEscapeCloses) {
    auto* dialog = find<MaintenanceWindow>(main.get(), "frmCfgSet");
    main->findChild<QAction*>("mnuConfigSetting")->trigger();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(main->isVisible());
    EXPECT_EQ(find<QLineEdit>(dialog, "txtCurLzBiaz")->text(), "20");
    EXPECT_EQ(find<QLineEdit>(dialog, "txtCurModel")->text(), "Track 1, 2 and 3");
    auto* bias = find<QLineEdit>(dialog, "txtSetLzBias");
    QTest::keyClicks(bias, "3g-f9");
    EXPECT_EQ(bias->text(), "3F");
    t.dialogs.yesNoAnswers.push_back(true);
    QTest::mouseClick(find<QPushButton>(dialog, "cmdSetLzBiasManual"), Qt::LeftButton);
    EXPECT_EQ(t.dialogs.messages.back(), "Set Lead Zero Bias value Ok.");
    EXPECT_EQ(find<QLineEdit>(dialog, "txtCurLzBiaz")->text(), "3F");
    QTest::keyClick(dialog, Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(main->isVisible());
    EXPECT_TRUE(find<QPushButton>(main.get(), "cmdRead")->isEnabled());
}

TEST_F(SettingsWindows, TheScriptRunnerStepsAndItsCloseButtonReturnsToTheMainWindow) {
    const QString path = t.dir.filePath("demo.txt");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("//ask the model\r\n\\1Bt\r\n");
    file.close();
    t.dialogs.openFileAnswers.push_back(path.toStdString());
    QTest::mouseClick(find<QPushButton>(main.get(), "cmdSendCmd"), Qt::LeftButton);
    auto* runner = find<ScriptWindow>(main.get(), "frmScript");
    ASSERT_TRUE(runner->isVisible());
    EXPECT_FALSE(main->isVisible());
    EXPECT_EQ(runner->windowTitle(), "Script File Name: demo.txt");
    EXPECT_EQ(find<QLineEdit>(runner, "txtcomment")->text(), "ask the model");
    auto* step = find<QPushButton>(runner, "cmdRunStep");
    QTest::mouseClick(step, Qt::LeftButton);
    EXPECT_EQ(find<QPlainTextEdit>(runner, "txtDspCmd")->toPlainText(),
              "PC:    \\1Bt\nR/W:  \\1B3\n\n");
    EXPECT_EQ(find<QLineEdit>(runner, "txtResponse")->text(), "End of File.");
    EXPECT_FALSE(step->isEnabled());
    runner->close();
    EXPECT_FALSE(runner->isVisible());
    EXPECT_TRUE(main->isVisible());
    EXPECT_TRUE(find<QPushButton>(main.get(), "cmdSendCmd")->isEnabled());
}

} // namespace
