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
    auto* dialog = find<MaintenanceWindow>("frmCfgSet", main.get());
    main->findChild<QAction*>("mnuConfigSetting")->trigger();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(main->isVisible());
    EXPECT_EQ(find<QLineEdit>("txtCurLzBiaz", dialog)->text(), "20");
    EXPECT_EQ(find<QLineEdit>("txtCurModel", dialog)->text(), "Track 1, 2 and 3");
    auto* bias = find<QLineEdit>("txtSetLzBias", dialog);
    QTest::keyClicks(bias, "3g-f9");
    EXPECT_EQ(bias->text(), "3F");
    t.dialogs.okCancelAnswers.push_back(true);
    QString shownUnderMessage;
    t.dialogs.whileShown = [&] {
        shownUnderMessage = find<QLineEdit>("txtCurLzBiaz", dialog)->text();
    };
    QTest::mouseClick(find<QPushButton>("cmdSetLzBiasManual", dialog), Qt::LeftButton);
    t.dialogs.whileShown = nullptr;
    EXPECT_EQ(t.dialogs.messages.back(), "Set Lead Zero Bias value Ok.");
    EXPECT_EQ(shownUnderMessage, "3F"); // the field is new behind the message
    EXPECT_EQ(find<QLineEdit>("txtCurLzBiaz", dialog)->text(), "3F");
    QTest::keyClick(dialog, Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(main->isVisible());
    EXPECT_TRUE(find<QPushButton>("cmdRead", main.get())->isEnabled());
}

TEST_F(SettingsWindows, TheScriptRunnerStepsAndItsCloseButtonReturnsToTheMainWindow) {
    const QString path = t.dir.filePath("demo.txt");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("//ask the model\r\n\\1Bt\r\n");
    file.close();
    t.dialogs.fileAnswers.push_back(path.toStdString());
    QTest::mouseClick(find<QPushButton>("cmdSendCmd", main.get()), Qt::LeftButton);
    auto* runner = find<ScriptWindow>("frmScript", main.get());
    ASSERT_TRUE(runner->isVisible());
    EXPECT_FALSE(main->isVisible());
    EXPECT_EQ(runner->windowTitle(), "Script File Name: demo.txt");
    EXPECT_EQ(find<QLineEdit>("txtcomment", runner)->text(), "ask the model");
    auto* step = find<QPushButton>("cmdRunStep", runner);
    QTest::mouseClick(step, Qt::LeftButton);
    EXPECT_EQ(find<QPlainTextEdit>("txtDspCmd", runner)->toPlainText(),
              "PC:    \\1Bt\nR/W:  \\1B3\n\n");
    EXPECT_EQ(find<QLineEdit>("txtResponse", runner)->text(), "End of File.");
    EXPECT_FALSE(step->isEnabled());
    runner->close();
    EXPECT_FALSE(runner->isVisible());
    EXPECT_TRUE(main->isVisible());
    EXPECT_TRUE(find<QPushButton>("cmdSendCmd", main.get())->isEnabled());
}

} // namespace
