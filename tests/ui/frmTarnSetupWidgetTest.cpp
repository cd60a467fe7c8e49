// The Tarn set-up dialog's real widgets, offscreen: opened by Setup from the
// main window in "Quell Mode", what it shows, typing into its
// boxes, and OK and Escape.

#include "StartedMainWindow.h"
#include "operations/settings/TarnSetup.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace msrw;
using namespace msrw::test;

namespace {

class TarnSetupWidget : public StartedQuellWindow {
protected:
    void SetUp() override {
        StartedMainWindow::SetUp();
        ASSERT_TRUE(t.session->quell());
        click("cmdSetup");
        dialog = main->findChild<QDialog*>("frmTarnSetup");
        ASSERT_NE(dialog, nullptr);
        t.takeSent();
    }
    template <typename W> W* field(const char* name) { return find<W>(name, dialog); }

    // An option button takes a click on its circle or its caption only.
    void choose(const char* option) {
        auto* button = field<QRadioButton>(option);
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
        EXPECT_TRUE(button->isChecked()) << option;
    }

    QDialog* dialog = nullptr;
};

TEST_F(TarnSetupWidget, OpensModalInFrontShowingTheReadersSettings) {
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(dialog->isModal());
    EXPECT_EQ(dialog->windowTitle(), "Tarn Setup");
    EXPECT_EQ(dialog->focusWidget(), field<QLineEdit>("txtLzT1"));
    EXPECT_TRUE(main->geometry().contains(dialog->geometry().center()));
    EXPECT_FALSE(main->findChild<QPushButton*>("cmdRead")->isEnabled());
    for (const char* box : {"txtLzT1", "txtLzT2", "txtLzT3"})
        EXPECT_EQ(field<QLineEdit>(box)->text(), "9") << box;
    EXPECT_EQ(field<QLineEdit>("txt75Lz")->text(), "22");
    EXPECT_EQ(field<QLineEdit>("txt210Lz")->text(), "61");
    EXPECT_EQ(field<QComboBox>("cboT2custom")->currentText(), "5 bit");
    EXPECT_EQ(field<QComboBox>("cboTk2bpi")->currentText(), "75");
    // The reader starts at 19: 9600 baud, space parity; protocol 0, mode 2.
    EXPECT_TRUE(field<QRadioButton>("opt9600")->isChecked());
    EXPECT_TRUE(field<QRadioButton>("opt7space")->isChecked());
    EXPECT_TRUE(field<QRadioButton>("optprotocol0")->isChecked());
    EXPECT_TRUE(field<QRadioButton>("optmode2")->isChecked());
    EXPECT_FALSE(field<QCheckBox>("chktarnhico")->isChecked());
}

TEST_F(TarnSetupWidget, TypedValuesAndChoicesGoToTheReaderWithOk) {
    auto* box = field<QLineEdit>("txt75Lz");
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, "3x0");
    EXPECT_EQ(box->text(), "30"); // the letter never arrived
    auto* lz = field<QLineEdit>("txtLzT1");
    lz->setFocus();
    lz->selectAll();
    QTest::keyClick(lz, Qt::Key_Backspace);
    QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(lz, &leave); // left empty: back to its default
    EXPECT_EQ(lz->text(), "9");
    choose("opt4800");
    EXPECT_EQ(t.session->operationState<TarnSetupView>().serial.baud, 4800);
    choose("opt7even");
    QTest::mouseClick(field<QCheckBox>("chktarnhico"), Qt::LeftButton);
    QTest::mouseClick(field<QPushButton>("CmdTarnsetupOk"), Qt::LeftButton);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(main->findChild<QPushButton*>("cmdRead")->isEnabled());
    EXPECT_EQ(t.device->tarn().memory(0x01), 30);
    EXPECT_EQ(t.device->tarn().memory(0x03), 0x0A); // 4800, even parity
    EXPECT_EQ(t.device->tarn().memory(0x1C), 0xFF);
}

TEST_F(TarnSetupWidget, EscapeCancelsAndDefaultResetsTheControls) {
    choose("optprotocol1");
    QTest::mouseClick(field<QPushButton>("CmdTarnDefault"), Qt::LeftButton);
    EXPECT_TRUE(field<QRadioButton>("optprotocol0")->isChecked());
    EXPECT_TRUE(field<QRadioButton>("opt7odd")->isChecked());
    QTest::keyClick(dialog, Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(t.takeSent(), (std::vector<std::string>{"L"}));
    EXPECT_TRUE(main->findChild<QPushButton*>("cmdSetup")->isEnabled());
}

} // namespace
