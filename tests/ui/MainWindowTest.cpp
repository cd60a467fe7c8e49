// The real windows, offscreen: start-up to the idle main window, a read, a
// compare, and typing into the track fields.

#include "ui/frmMain.h"
#include "ui/frmMessage.h"
#include "ui/frmpwd.h"

#include "StartedMainWindow.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace msrw;
using namespace msrw::test;

namespace {

class MainWindow : public StartedMainWindow {
protected:
    void click(const char* button) { QTest::mouseClick(find<QPushButton>(button), Qt::LeftButton); }
    QString track(int n) {
        return find<QPlainTextEdit>(qPrintable(QString("txtTrk%1").arg(n)))->toPlainText();
    }
    QString message() { return find<QLineEdit>("txtMessage")->text(); }
};

TEST_F(MainWindow, StartsUpToTheIdleWindow) {
    EXPECT_EQ(pwd->result(), QDialog::Accepted);
    EXPECT_EQ(main->windowTitle(), "Velk Brindle Lathwick V4.0");
    auto* types = find<QComboBox>("cboCardType");
    ASSERT_EQ(types->count(), 5);
    EXPECT_EQ(types->currentText(), "ISO");
    EXPECT_EQ(find<QLabel>("lblMode")->text(), "Ormond Mode");
    EXPECT_EQ(find<QLabel>("lblCoercivity2")->text(), "  Default Setting Active.");
    EXPECT_TRUE(find<QPushButton>("cmdRead")->isEnabled());
    EXPECT_FALSE(find<QPushButton>("cmdConfigSetting")->isVisible());
    EXPECT_FALSE(main->prompt()->isVisible());
}

TEST_F(MainWindow, ReadsACardWithTheSwipePromptUp) {
    click("cmdRead");
    EXPECT_TRUE(main->prompt()->isVisible());
    EXPECT_FALSE(find<QPushButton>("cmdRead")->isEnabled());
    EXPECT_EQ(main->prompt()->findChild<QLabel*>("Label1")->text(), "Please Swipe a Card.");
    EXPECT_EQ(main->prompt()->windowTitle(), "Read Card");
    ASSERT_TRUE(t.swipe("ISO sample"));
    EXPECT_EQ(message(), "Read(1) OK!");
    EXPECT_EQ(track(2), ";4111111111111111=2812101?");
    EXPECT_TRUE(main->prompt()->isVisible());
    QTest::mouseClick(main->prompt()->findChild<QPushButton*>("cmdCancel"), Qt::LeftButton);
    EXPECT_FALSE(main->prompt()->isVisible());
    EXPECT_TRUE(find<QPushButton>("cmdRead")->isEnabled());
    EXPECT_EQ(track(2), ";4111111111111111=2812101?");
}

TEST_F(MainWindow, ComparesAndClearsTheFieldsAtTheEnd) {
    click("cmdCompare");
    ASSERT_TRUE(t.swipe("ISO sample"));
    ASSERT_TRUE(t.swipe("ISO sample"));
    EXPECT_EQ(message(), "Compare(1)OK");
    ASSERT_TRUE(t.swipe("AAMVA sample"));
    EXPECT_EQ(message(), "Compare(2)Error");
    QTest::mouseClick(main->prompt()->findChild<QPushButton*>("cmdCancel"), Qt::LeftButton);
    EXPECT_EQ(track(1), "");
    EXPECT_EQ(message(), "");
}

TEST_F(MainWindow, TheTrackFieldsTakeOnlyTheirAlphabet) {
    auto* track1 = find<QPlainTextEdit>("txtTrk1");
    track1->setFocus();
    QTest::keyClicks(track1, "ab?c d%");
    EXPECT_EQ(track1->toPlainText(), "ABC~D");
    auto* track2 = find<QPlainTextEdit>("txtTrk2");
    QTest::keyClicks(track2, "12a=3?;");
    EXPECT_EQ(track2->toPlainText(), "12=3");
}

TEST_F(MainWindow, LongTrackDataWrapsAndKeepsTheCaretAtTheEnd) {
    auto* types = find<QComboBox>("cboCardType");
    types->setCurrentIndex(3); // RAW: 180 hexadecimal digits
    emit types->activated(3);
    auto* track1 = find<QPlainTextEdit>("txtTrk1");
    QTest::keyClicks(track1, QString(100, 'A'));
    const QStringList lines = track1->toPlainText().split('\n');
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0].size(), 82);
    EXPECT_EQ(lines[1].size(), 18);
    QTest::keyClicks(track1, "B");
    EXPECT_TRUE(track1->toPlainText().endsWith("AB"));
}

} // namespace
