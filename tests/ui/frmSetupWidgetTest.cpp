// The set-up dialog's real widgets, offscreen: opened from the main window,
// typed into, chosen from, and closed with OK, Escape and the window's X.

#include "StartedMainWindow.h"
#include "operations/settings/SetupDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <gtest/gtest.h>

using namespace msrw;
using namespace msrw::test;

namespace {

class SetupWidget : public StartedMainWindow {
protected:
    void SetUp() override {
        StartedMainWindow::SetUp();
        click("cmdSetup");
        dialog = main->findChild<QDialog*>("frmSetup");
        ASSERT_NE(dialog, nullptr);
        t.takeSent();
    }
    template <typename W> W* field(const char* name) { return find<W>(name, dialog); }

    QDialog* dialog = nullptr;
};

TEST_F(SetupWidget, OpensModalOnTheFormatTabWithTheStoredFormat) {
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(dialog->isModal());
    EXPECT_EQ(dialog->windowTitle(), "Set Up");
    EXPECT_EQ(dialog->focusWidget(), field<QComboBox>("cboTk1bpi"));
    EXPECT_TRUE(field<QWidget>("Frame1_1")->isVisible());
    EXPECT_FALSE(field<QWidget>("Frame1_2")->isVisible());
    EXPECT_EQ(field<QComboBox>("cboTk2bpi")->currentText(), "75");
    EXPECT_EQ(field<QLineEdit>("txt210Leadz")->text(), "61");
    EXPECT_TRUE(field<QCheckBox>("chkhico")->isEnabled());
    EXPECT_FALSE(field<QComboBox>("cboTk1bpi_Pb")->isEnabled());
    EXPECT_FALSE(main->findChild<QPushButton*>("cmdRead")->isEnabled());

    field<QTabBar>("tbsSetup")->setCurrentIndex(1);
    EXPECT_FALSE(field<QWidget>("Frame1_1")->isVisible());
    EXPECT_TRUE(field<QWidget>("Frame1_2")->isVisible());
    EXPECT_EQ(field<QComboBox>("cboTk1Ss")->currentText(), "%");
    EXPECT_EQ(field<QComboBox>("cboTk2Es")->currentText(), "?");
}

TEST_F(SetupWidget, TypingFollowsTheRulesAndOkSendsTheFormat) {
    auto* leadz = field<QLineEdit>("txt210Leadz");
    leadz->setFocus();
    leadz->selectAll();
    QTest::keyClicks(leadz, "1x00");
    EXPECT_EQ(leadz->text(), "100"); // the letter never arrived
    QTest::keyClicks(leadz, "0");
    EXPECT_EQ(t.dialogs.messages.back(), "Leading zero should less than 1000");
    EXPECT_EQ(leadz->text(), "61");

    auto* track3 = field<QComboBox>("cboTk3bpi");
    track3->setFocus();
    QTest::keyClick(track3, Qt::Key_Down);
    EXPECT_EQ(track3->currentText(), "75");
    EXPECT_EQ(t.session->format.bpi[2].text(), "75");
    QTest::keyClicks(track3, "2"); // typing into a list brings it back to its first item
    EXPECT_EQ(track3->currentText(), "210");
    QTest::keyClick(track3, Qt::Key_Down);

    QTest::mouseClick(field<QPushButton>("CmdOk"), Qt::LeftButton);
    EXPECT_FALSE(dialog->isVisible());
    const std::vector<std::string> sent = t.takeSent();
    EXPECT_NE(std::find(sent.begin(), sent.end(), "\\1BgK"), sent.end());
    EXPECT_EQ(main->findChild<QLabel*>("lblCoercivity2")->text(), " , Custom Setting Active.");
    EXPECT_TRUE(main->findChild<QPushButton*>("cmdRead")->isEnabled());
}

TEST_F(SetupWidget, LeavingTheBoxBelowTheMinimumWarnsAndKeepsTheValue) {
    auto* leadz = field<QLineEdit>("txt210Leadz");
    leadz->setFocus();
    leadz->selectAll();
    QTest::keyClicks(leadz, "45");
    // The operator tabs on (sent directly: offscreen windows are never active).
    QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(leadz, &leave);
    ASSERT_FALSE(t.dialogs.messages.empty());
    EXPECT_EQ(t.dialogs.messages.back().rfind("CAUTION:", 0), 0u);
    EXPECT_EQ(leadz->text(), "45");
}

TEST_F(SetupWidget, EscapeAndTheWindowsXCancelAndPutTheRecordBack) {
    for (const bool useEscape : {true, false}) {
        if (!dialog->isVisible())
            QTest::mouseClick(find<QPushButton>("cmdSetup"), Qt::LeftButton);
        ASSERT_TRUE(dialog->isVisible());
        auto* track1 = field<QComboBox>("cboTk1bpi");
        QTest::keyClick(track1, Qt::Key_Down);
        EXPECT_EQ(track1->currentText(), "75");
        if (useEscape)
            QTest::keyClick(track1, Qt::Key_Escape);
        else
            dialog->close();
        EXPECT_FALSE(dialog->isVisible()) << useEscape;
        EXPECT_EQ(track1->currentText(), "210") << useEscape;
        EXPECT_TRUE(main->findChild<QPushButton*>("cmdRead")->isEnabled()) << useEscape;
    }
}

// The editing keys pass the number boxes' filter; what they would insert
// does not.
TEST_F(SetupWidget, EditingKeysPassTheNumberFilterButWhatTheyInsertIsFiltered) {
    auto* leadz = field<QLineEdit>("txt210Leadz");
    leadz->setFocus();
    QTest::keyClick(leadz, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(leadz, "45");
    EXPECT_EQ(leadz->text(), "45");
    QApplication::clipboard()->setText("7a");
    QTest::keyClick(leadz, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(leadz, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(leadz->text(), "45");
    QApplication::clipboard()->setText("72");
    QTest::keyClick(leadz, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(leadz->text(), "72");
    EXPECT_EQ(t.session->format.txt210Leadz, "72");
}

TEST_F(SetupWidget, VisitingTheTabsDoesNotChangeTheDialogsSize) {
    const QSize first = dialog->size();
    auto* tabs = field<QTabBar>("tbsSetup");
    for (int tab : {1, 2, 0, 2, 1}) {
        tabs->setCurrentIndex(tab);
        QApplication::processEvents();
        EXPECT_EQ(dialog->size(), first) << tab;
    }
}

} // namespace
