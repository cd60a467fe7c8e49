// The real windows, offscreen, in "Quell Mode": "Tarn Protocol" chosen in
// the start-up dialog, the main window idle, a card read.

#include "ui/frmMain.h"
#include "ui/frmMessage.h"
#include "ui/frmpwd.h"

#include "StartedMainWindow.h"
#include "support/SimSession.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

using namespace msrw;
using namespace msrw::test;

namespace {

using QuellWindow = StartedQuellWindow;

TEST_F(QuellWindow, StartsUpInQuellModeAndReadsACard) {
    ASSERT_EQ(pwd->result(), QDialog::Accepted);
    EXPECT_EQ(find<QLabel>("lblMode")->text(), "Quell Mode");
    auto* types = find<QComboBox>("cboCardType");
    ASSERT_EQ(types->count(), 3);
    EXPECT_EQ(types->itemText(2), "CUSTOM");
    EXPECT_EQ(types->currentText(), "ISO");
    EXPECT_FALSE(find<QLabel>("lblCoercivity")->isVisible());
    EXPECT_FALSE(find<QPushButton>("cmdConfigSetting")->isVisible());
    EXPECT_EQ(find<QLabel>("lblCoercivity2")->text(), "");
    EXPECT_FALSE(find<QPushButton>("cmdErase")->isEnabled());
    EXPECT_FALSE(main->prompt()->isVisible());

    QTest::mouseClick(find<QPushButton>("cmdRead"), Qt::LeftButton);
    EXPECT_TRUE(main->prompt()->isVisible());
    ASSERT_TRUE(t.swipe("ISO sample"));
    main->render();
    EXPECT_EQ(find<QLineEdit>("txtMessage")->text(), "Read(1) OK!");
    EXPECT_EQ(find<QPlainTextEdit>("txtTrk2")->toPlainText(), "4111111111111111=2812101");
    QTest::mouseClick(main->prompt()->findChild<QPushButton*>("cmdCancel"), Qt::LeftButton);
    EXPECT_FALSE(main->prompt()->isVisible());
    EXPECT_TRUE(find<QPushButton>("cmdRead")->isEnabled());
    // The maintenance dialog speaks the escape-sequence family only.
    EXPECT_FALSE(main->findChild<QAction*>("mnuConfigSetting")->isEnabled());
}

} // namespace
