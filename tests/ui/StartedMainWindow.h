#pragma once
// The real main window, offscreen, after the start-up dialog's OK against
// the simulated reader/writer.

#include "ui/frmMain.h"
#include "ui/frmpwd.h"

#include "support/SimSession.h"

#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace msrw::test {

class StartedMainWindow : public ::testing::Test {
protected:
    void SetUp() override {
        main = std::make_unique<frmMain>(*t.session, *t.startup);
        pwd = std::make_unique<frmpwd>(*t.startup, [this] { main->render(); });
        pwd->load();
        chooseInStartUpDialog();
        QTest::mouseClick(pwd->findChild<QPushButton*>("cmdpwdok"), Qt::LeftButton);
        main->show();
        main->render();
    }
    // What the operator picks in the start-up dialog before its OK.
    virtual void chooseInStartUpDialog() {}
    // A widget of `parent` (the main window by default) that must be there.
    template <typename W> W* find(const char* name, QWidget* parent = nullptr) {
        W* widget = (parent ? parent : main.get())->findChild<W*>(name);
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    void click(const char* button) { QTest::mouseClick(find<QPushButton>(button), Qt::LeftButton); }

    SimSession t;
    std::unique_ptr<frmMain> main;
    std::unique_ptr<frmpwd> pwd;
};

// The same with "Tarn Protocol" chosen: the window in "Quell Mode".
class StartedQuellWindow : public StartedMainWindow {
protected:
    void chooseInStartUpDialog() override {
        QTest::mouseClick(find<QRadioButton>("optTarnpro", pwd.get()), Qt::LeftButton);
    }
};

} // namespace msrw::test
