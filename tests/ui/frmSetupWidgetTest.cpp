// The set-up dialog's real widgets, offscreen: opened from the main window,
// typed into, chosen from, and closed with OK, Escape and the window's X.

#include "operations/settings/SetupDialog.h"
#include "ui/frmMain.h"
#include "ui/frmpwd.h"

#include "support/SimSession.h"

#include <QApplication>
#include <QCheckBox>
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

class SetupWidget : public ::testing::Test {
protected:
    void SetUp() override {
        main = std::make_unique<frmMain>(*t.session, *t.startup);
        pwd = std::make_unique<frmpwd>(*t.startup, [this] { main->render(); });
        pwd->load();
        QTest::mouseClick(pwd->findChild<QPushButton*>("cmdpwdok"), Qt::LeftButton);
        main->show();
        main->render();
        QTest::mouseClick(main->findChild<QPushButton*>("cmdSetup"), Qt::LeftButton);
        dialog = main->findChild<QDialog*>("frmSetup");
        ASSERT_NE(dialog, nullptr);
        t.takeSent();
    }
    template <typename W> W* find(const char* name) {
        W* widget = dialog->findChild<W*>(name);
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    SimSession t;
    std::unique_ptr<frmMain> main;
    std::unique_ptr<frmpwd> pwd;
    QDialog* dialog = nullptr;
};

TEST_F(SetupWidget, OpensModalOnTheFormatTabWithTheStoredFormat) {
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(dialog->isModal());
    EXPECT_EQ(dialog->windowTitle(), "Set Up");
    EXPECT_EQ(dialog->focusWidget(), find<QComboBox>("cboTk1bpi"));
    EXPECT_TRUE(find<QWidget>("Frame1_1")->isVisible());
    EXPECT_FALSE(find<QWidget>("Frame1_2")->isVisible());
    EXPECT_EQ(find<QComboBox>("cboTk2bpi")->currentText(), "75");
    EXPECT_EQ(find<QLineEdit>("txt210Leadz")->text(), "61");
    EXPECT_TRUE(find<QCheckBox>("chkhico")->isEnabled());
    EXPECT_FALSE(find<QComboBox>("cboTk1bpi_Pb")->isEnabled());
    EXPECT_FALSE(main->findChild<QPushButton*>("cmdRead")->isEnabled());

    find<QTabBar>("tbsSetup")->setCurrentIndex(1);
    EXPECT_FALSE(find<QWidget>("Frame1_1")->isVisible());
    EXPECT_TRUE(find<QWidget>("Frame1_2")->isVisible());
    EXPECT_EQ(find<QComboBox>("cboTk1Ss")->currentText(), "%");
    EXPECT_EQ(find<QComboBox>("cboTk2Es")->currentText(), "?");
}

TEST_F(SetupWidget, TypingFollowsTheRulesAndOkSendsTheFormat) {
    auto* leadz = find<QLineEdit>("txt210Leadz");
    leadz->setFocus();
    leadz->selectAll();
    QTest::keyClicks(leadz, "1x00");
    EXPECT_EQ(leadz->text(), "100"); // the letter never arrived
    QTest::keyClicks(leadz, "0");
    EXPECT_EQ(t.dialogs.messages.back(), "Leading zero should less than 1000");
    EXPECT_EQ(leadz->text(), "61");

    auto* track3 = find<QComboBox>("cboTk3bpi");
    track3->setFocus();
    QTest::keyClick(track3, Qt::Key_Down);
    EXPECT_EQ(track3->currentText(), "75");
    EXPECT_EQ(t.session->format.bpi[2].text(), "75");
    QTest::keyClicks(track3, "2"); // typing into a list brings it back to its first item
    EXPECT_EQ(track3->currentText(), "210");
    QTest::keyClick(track3, Qt::Key_Down);

    QTest::mouseClick(find<QPushButton>("CmdOk"), Qt::LeftButton);
    EXPECT_FALSE(dialog->isVisible());
    const std::vector<std::string> sent = t.takeSent();
    EXPECT_NE(std::find(sent.begin(), sent.end(), "\\1BgK"), sent.end());
    EXPECT_EQ(main->findChild<QLabel*>("lblCoercivity2")->text(), " , Custom Setting Active.");
    EXPECT_TRUE(main->findChild<QPushButton*>("cmdRead")->isEnabled());
}

TEST_F(SetupWidget, LeavingTheBoxBelowTheMinimumWarnsAndKeepsTheValue) {
    auto* leadz = find<QLineEdit>("txt210Leadz");
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
            QTest::mouseClick(main->findChild<QPushButton*>("cmdSetup"), Qt::LeftButton);
        ASSERT_TRUE(dialog->isVisible());
        auto* track1 = find<QComboBox>("cboTk1bpi");
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

} // namespace
