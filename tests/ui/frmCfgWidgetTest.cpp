// The configuration dialog's real widgets, offscreen: opened from the main
// window, chosen from, typed into, saved and closed.

#include "session/PortManager.h"
#include "ui/frmMain.h"
#include "ui/frmpwd.h"

#include "support/SimSession.h"

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace msrw;
using namespace msrw::test;

namespace {

class CfgWidget : public ::testing::Test {
protected:
    void SetUp() override {
        main = std::make_unique<frmMain>(*t.session, *t.startup);
        pwd = std::make_unique<frmpwd>(*t.startup, [this] { main->render(); });
        pwd->load();
        QTest::mouseClick(pwd->findChild<QPushButton*>("cmdpwdok"), Qt::LeftButton);
        main->show();
        main->render();
        QTest::mouseClick(main->findChild<QPushButton*>("cmdConfig"), Qt::LeftButton);
        dialog = main->findChild<QDialog*>("frmCfg");
        ASSERT_NE(dialog, nullptr);
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

TEST_F(CfgWidget, ChoosesTypesSavesAndClosesBackToTheMainWindow) {
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(main->isVisible());
    EXPECT_EQ(dialog->windowTitle(), "Velk MSRW Configuration");
    auto* mode = find<QComboBox>("cboMsrwMode");
    EXPECT_EQ(dialog->focusWidget(), mode);
    EXPECT_EQ(mode->currentIndex(), -1);
    EXPECT_EQ(mode->placeholderText(), "Velk Mode");

    QTest::keyClick(mode, Qt::Key_Down); // "Velk Mode"
    QTest::keyClick(mode, Qt::Key_Down); // "Quell Mode"
    EXPECT_EQ(mode->currentText(), "Quell Mode");
    EXPECT_EQ(find<QComboBox>("cboBaudRate")->currentText(), "9600");
    EXPECT_EQ(find<QComboBox>("cboParity")->currentText(), "O,7,1");
    QTest::keyClick(mode, Qt::Key_Down); // "Ormond Mode"
    EXPECT_EQ(find<QComboBox>("cboParity")->currentText(), "N,8,1");

    auto* hiCo = find<QLineEdit>("txtHiCo");
    QTest::keyClicks(hiCo, "256");
    EXPECT_EQ(hiCo->text(), "255");
    EXPECT_EQ(t.dialogs.messages.back(), "High Coercivity Index should less than 256");
    for (const char* name : {"txtLoCo", "txt75Lz", "txt210Lz"})
        QTest::keyClicks(find<QLineEdit>(name), "40");
    t.dialogs.messages.clear();
    QTest::mouseClick(find<QPushButton>("cmdCfgSave"), Qt::LeftButton);
    EXPECT_TRUE(t.dialogs.messages.empty());
    EXPECT_EQ(t.session->data.readLines(kPortRecordFile),
              (std::vector<std::string>{"Comm1", "9600", "N,8,1", "Ormond Mode"}));

    QTest::keyClick(mode, Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(main->isVisible());
    EXPECT_TRUE(main->findChild<QPushButton*>("cmdWrite")->isEnabled());
}

TEST_F(CfgWidget, TheWindowsXClosesAsCloseDoes) {
    dialog->close();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(main->isVisible());
    EXPECT_TRUE(main->findChild<QPushButton*>("cmdRead")->isEnabled());
}

} // namespace
