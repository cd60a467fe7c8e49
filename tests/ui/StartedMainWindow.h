#pragma once
// The real main window offscreen, started through the real start-up dialog
// against the simulated reader/writer.

#include "ui/frmMain.h"
#include "ui/frmpwd.h"

#include "support/SimSession.h"

#include <QPushButton>
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
        QTest::mouseClick(pwd->findChild<QPushButton*>("cmdpwdok"), Qt::LeftButton);
        main->show();
        main->render();
    }
    template <typename W> W* find(QWidget* in, const char* name) {
        W* widget = in->findChild<W*>(name);
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    template <typename W> W* find(const char* name) { return find<W>(main.get(), name); }

    SimSession t;
    std::unique_ptr<frmMain> main;
    std::unique_ptr<frmpwd> pwd;
};

} // namespace msrw::test
