// The configuration dialog's real widgets, offscreen: opened from the main
// window, chosen from, typed into, saved and closed.

#include "StartedMainWindow.h"
#include "session/PortManager.h"

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace msrw;
using namespace msrw::test;

namespace {

class CfgWidget : public StartedMainWindow {
protected:
    void SetUp() override {
        StartedMainWindow::SetUp();
        click("cmdConfig");
        dialog = main->findChild<QDialog*>("frmCfg");
        ASSERT_NE(dialog, nullptr);
    }
    template <typename W> W* field(const char* name) { return find<W>(name, dialog); }

    QDialog* dialog = nullptr;
};

TEST_F(CfgWidget, ChoosesTypesSavesAndClosesBackToTheMainWindow) {
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(main->isVisible());
    EXPECT_EQ(dialog->windowTitle(), "Velk MSRW Configuration");
    auto* mode = field<QComboBox>("cboMsrwMode");
    EXPECT_EQ(dialog->focusWidget(), mode);
    EXPECT_EQ(mode->currentIndex(), -1);
    EXPECT_EQ(mode->placeholderText(), "Velk Mode");

    QTest::keyClick(mode, Qt::Key_Down); // "Velk Mode"
    QTest::keyClick(mode, Qt::Key_Down); // "Quell Mode"
    EXPECT_EQ(mode->currentText(), "Quell Mode");
    EXPECT_EQ(field<QComboBox>("cboBaudRate")->currentText(), "9600");
    EXPECT_EQ(field<QComboBox>("cboParity")->currentText(), "O,7,1");
    QTest::keyClick(mode, Qt::Key_Down); // "Ormond Mode"
    EXPECT_EQ(field<QComboBox>("cboParity")->currentText(), "N,8,1");

    auto* hiCo = field<QLineEdit>("txtHiCo");
    QTest::keyClicks(hiCo, "256");
    EXPECT_EQ(hiCo->text(), "255");
    EXPECT_EQ(t.dialogs.messages.back(), "High Coercivity Index should less than 256");
    for (const char* name : {"txtLoCo", "txt75Lz", "txt210Lz"})
        QTest::keyClicks(field<QLineEdit>(name), "40");
    t.dialogs.messages.clear();
    QTest::mouseClick(field<QPushButton>("cmdCfgSave"), Qt::LeftButton);
    EXPECT_TRUE(t.dialogs.messages.empty());
    EXPECT_EQ(t.session->data.readLines(kPortRecordFile),
              (std::vector<std::string>{"Comm1", "9600", "N,8,1", "Ormond Mode"}));

    QTest::keyClick(mode, Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(main->isVisible());
    EXPECT_TRUE(main->findChild<QPushButton*>("cmdWrite")->isEnabled());
}

TEST_F(CfgWidget, DefaultShowsTheValuesBeforeItsMessage) {
    QString loCoUnderMessage;
    t.dialogs.whileShown = [&] { loCoUnderMessage = field<QLineEdit>("txtLoCo")->text(); };
    QTest::mouseClick(field<QPushButton>("cmdCfgDefault"), Qt::LeftButton);
    t.dialogs.whileShown = nullptr;
    EXPECT_EQ(t.dialogs.messages.back(), "Reset Reader success!");
    EXPECT_EQ(loCoUnderMessage, "44");
}

TEST_F(CfgWidget, TheWindowsXClosesAsCloseDoes) {
    dialog->close();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(main->isVisible());
    EXPECT_TRUE(main->findChild<QPushButton*>("cmdRead")->isEnabled());
}

} // namespace
