// The real windows, offscreen, in "Quell Mode": "Tarn Protocol" chosen in
// the start-up dialog, the main window idle, a card read.

#include "ui/frmMain.h"
#include "ui/frmMessage.h"
#include "ui/frmpwd.h"

#include "support/SimSession.h"

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

class QuellWindow : public ::testing::Test {
protected:
    void SetUp() override {
        main = std::make_unique<frmMain>(*t.session, *t.startup);
        pwd = std::make_unique<frmpwd>(*t.startup, [this] { main->render(); });
        pwd->load();
        QTest::mouseClick(find<QRadioButton>("optTarnpro", pwd.get()), Qt::LeftButton);
        QTest::mouseClick(find<QPushButton>("cmdpwdok", pwd.get()), Qt::LeftButton);
        main->show();
        main->render();
    }
    template <typename W> W* find(const char* name, QWidget* parent = nullptr) {
        W* widget = (parent ? parent : main.get())->findChild<W*>(name);
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    SimSession t;
    std::unique_ptr<frmMain> main;
    std::unique_ptr<frmpwd> pwd;
};

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
}

} // namespace
