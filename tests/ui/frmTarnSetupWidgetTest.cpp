// The Tarn set-up dialog's real widgets, offscreen: opened by Setup from the
// main window in "Quell Mode", its controls and captions, typing into its
// boxes, and OK and Escape.

#include "operations/settings/TarnSetup.h"
#include "support/SimSession.h"
#include "ui/frmMain.h"
#include "ui/frmpwd.h"

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

class TarnSetupWidget : public ::testing::Test {
protected:
    void SetUp() override {
        main = std::make_unique<frmMain>(*t.session, *t.startup);
        pwd = std::make_unique<frmpwd>(*t.startup, [this] { main->render(); });
        pwd->load();
        QTest::mouseClick(pwd->findChild<QRadioButton*>("optTarnpro"), Qt::LeftButton);
        QTest::mouseClick(pwd->findChild<QPushButton*>("cmdpwdok"), Qt::LeftButton);
        main->show();
        main->render();
        ASSERT_TRUE(t.session->quell());
        QTest::mouseClick(main->findChild<QPushButton*>("cmdSetup"), Qt::LeftButton);
        dialog = main->findChild<QDialog*>("frmTarnSetup");
        ASSERT_NE(dialog, nullptr);
        t.takeSent();
    }
    template <typename W> W* field(const char* name) {
        W* widget = dialog->findChild<W*>(name);
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    // An option button takes a click on its circle or its caption only.
    void choose(const char* option) {
        auto* button = field<QRadioButton>(option);
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
        EXPECT_TRUE(button->isChecked()) << option;
    }

    SimSession t;
    std::unique_ptr<frmMain> main;
    std::unique_ptr<frmpwd> pwd;
    QDialog* dialog = nullptr;
};

TEST_F(TarnSetupWidget, OpensModalInFrontWithEveryControlAndItsCaption) {
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
    for (const char* list : {"cboT1custom", "cboT2custom", "cboT3custom"}) {
        auto* combo = field<QComboBox>(list);
        ASSERT_EQ(combo->count(), 3) << list;
        EXPECT_EQ(combo->itemText(0), "7 bit");
        EXPECT_EQ(combo->itemText(2), "5 bit");
    }
    EXPECT_EQ(field<QComboBox>("cboT2custom")->currentText(), "5 bit");
    for (const char* list : {"cboTk1bpi", "cboTk2bpi", "cboTk3bpi"})
        EXPECT_EQ(field<QComboBox>(list)->count(), 2) << list;
    EXPECT_EQ(field<QComboBox>("cboTk2bpi")->currentText(), "75");
    const std::vector<std::pair<const char*, const char*>> options{
        {"opt19200", "19200"},
        {"opt9600", "9600"},
        {"opt4800", "4800"},
        {"opt2400", "2400"},
        {"opt1200", "1200"},
        {"opt7odd", "7 bit, odd parity"},
        {"opt7even", "7 bit, even parity"},
        {"opt7mark", "7 bit, mark parity"},
        {"opt7space", "7 bit, space parity"},
        {"optprotocol0", "No message block"},
        {"optprotocol1", "STX command data ETX"},
        {"optmode1", "Mode 1 - Hex 04 byte termination"},
        {"optmode2", "Mode 2 - length of last byte"},
    };
    for (const auto& [name, caption] : options)
        EXPECT_EQ(field<QRadioButton>(name)->text(), caption) << name;
    // The reader starts at 19: 9600 baud, space parity; protocol 0, mode 2.
    EXPECT_TRUE(field<QRadioButton>("opt9600")->isChecked());
    EXPECT_TRUE(field<QRadioButton>("opt7space")->isChecked());
    EXPECT_TRUE(field<QRadioButton>("optprotocol0")->isChecked());
    EXPECT_TRUE(field<QRadioButton>("optmode2")->isChecked());
    EXPECT_FALSE(field<QCheckBox>("chktarnhico")->isChecked());
    EXPECT_EQ(field<QPushButton>("CmdTarnsetupOk")->text(), "OK");
    EXPECT_EQ(field<QPushButton>("CmdTarnDefault")->text(), "Default");
    EXPECT_EQ(field<QPushButton>("CmdTarnCancel")->text(), "Cancel");
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
