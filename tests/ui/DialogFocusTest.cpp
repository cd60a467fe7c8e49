// Where the keyboard is and what lies on top when the card dialogs, the swipe
// prompt and the simulator's window open, through the real widgets offscreen.

#include "operations/writing/SequentialWrite.h"
#include "sim/ports/SimulatedPorts.h"
#include "ui/CardDialogs.h"
#include "ui/DialogSupport.h"
#include "ui/SimulatorWindow.h"
#include "ui/frmMessage.h"

#include "StartedMainWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScreen>
#include <gtest/gtest.h>

using namespace msrw;
using namespace msrw::test;

namespace {

class DialogFocus : public StartedMainWindow {
protected:
    QPlainTextEdit* track(int n) {
        return find<QPlainTextEdit>(qPrintable(QString("txtTrk%1").arg(n)));
    }
    QPushButton* promptButton() { return find<QPushButton>("cmdCancel", main->prompt()); }
    // The widget with the keyboard once `window` has it (a tool window
    // counts as active with its owner, so the window system's focus is asked).
    QWidget* keyboardIn(QWidget* window) {
        EXPECT_TRUE(QTest::qWaitFor([window] {
            return QGuiApplication::focusWindow() == window->windowHandle();
        })) << qPrintable(window->objectName());
        return QApplication::focusWidget();
    }
    // Marks two number places after "12" on track 2 and confirms them: the
    // range dialog opens.
    SeqWriteDialog* openRangeDialog() {
        QTest::keyClicks(track(2), "12");
        click("cmdSeqWrite");
        track(2)->setFocus(); // the operator clicks where the number goes
        QTest::keyClicks(track(2), "kk");
        QTest::keyClick(track(2), Qt::Key_Return);
        auto* dialog = main->findChild<SeqWriteDialog*>("frmSeqWrite");
        EXPECT_TRUE(dialog && dialog->isVisible());
        return dialog;
    }
};

TEST_F(DialogFocus, TheSwipePromptTakesTheKeyboardSoTypedDigitsMissTheTracks) {
    click("cmdRead");
    ASSERT_TRUE(main->prompt()->isVisible());
    QWidget* keyboard = keyboardIn(main->prompt());
    EXPECT_EQ(keyboard, promptButton());
    QTest::keyClicks(keyboard, "1234");
    for (int n = 1; n <= 3; ++n)
        EXPECT_EQ(track(n)->toPlainText(), "") << n;
}

TEST_F(DialogFocus, TheSequentialWriteDialogOpensWithTheCaretInTheFirstNumber) {
    SeqWriteDialog* dialog = openRangeDialog();
    ASSERT_TRUE(dialog);
    QWidget* keyboard = keyboardIn(dialog);
    EXPECT_EQ(keyboard, find<QLineEdit>("txtStartNo", dialog));
    QTest::keyClicks(keyboard, "7");
    EXPECT_EQ(find<QLineEdit>("txtStartNo", dialog)->text(), "7");
    EXPECT_EQ(track(2)->toPlainText(), "12xx");
}

TEST_F(DialogFocus, ARefusedRangeIsToldWithTheDialogAlreadyHidden) {
    SeqWriteDialog* dialog = openRangeDialog();
    ASSERT_TRUE(dialog);
    std::vector<bool> dialogShownDuringMessage;
    t.dialogs.whileShown = [&] { dialogShownDuringMessage.push_back(dialog->isVisible()); };
    QTest::keyClicks(find<QLineEdit>("txtStartNo", dialog), "5");
    QTest::keyClicks(find<QLineEdit>("txtEndNo", dialog), "0");
    QTest::mouseClick(find<QPushButton>("CmdOk", dialog), Qt::LeftButton);
    EXPECT_EQ(t.dialogs.messages.back(), "Please input valid # of card");
    EXPECT_EQ(dialogShownDuringMessage, std::vector{false});
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(find<QPushButton>("cmdSeqWrite")->isEnabled());
}

TEST_F(DialogFocus, EraseSelectOpensWithTheKeyboardOnTheFirstTrack) {
    click("cmdErase");
    auto* dialog = find<EraseSelDialog>("frmEraseSel");
    ASSERT_TRUE(dialog->isVisible());
    QWidget* keyboard = keyboardIn(dialog);
    EXPECT_EQ(keyboard, find<QCheckBox>("chkTrk1_0", dialog));
    auto* track1 = find<QCheckBox>("chkTrk1_0", dialog);
    const bool before = track1->isChecked();
    QTest::keyClick(keyboard, Qt::Key_Space);
    EXPECT_NE(track1->isChecked(), before);
}

TEST_F(DialogFocus, ReturnInEraseSelectPressesOk) {
    click("cmdErase");
    auto* dialog = find<EraseSelDialog>("frmEraseSel");
    ASSERT_TRUE(dialog->isVisible());
    QWidget* keyboard = keyboardIn(dialog);
    QTest::keyClick(keyboard, Qt::Key_Space); // a track chosen: OK can be pressed
    ASSERT_TRUE(find<QPushButton>("CmdOk", dialog)->isEnabled());
    QTest::keyClick(keyboard, Qt::Key_Return);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(main->prompt()->isVisible()); // the erase waits for a card
}

TEST_F(DialogFocus, ClosingTheSwipePromptEndsTheOperationAsEndDoes) {
    click("cmdRead");
    ASSERT_TRUE(main->prompt()->isVisible());
    EXPECT_FALSE(find<QPushButton>("cmdRead")->isEnabled());
    main->prompt()->close();
    EXPECT_FALSE(main->prompt()->isVisible());
    EXPECT_TRUE(find<QPushButton>("cmdRead")->isEnabled());
    EXPECT_EQ(t.session->g.OpState, 0);
    // A later operation runs as usual.
    click("cmdRead");
    ASSERT_TRUE(t.swipe("ISO sample"));
    EXPECT_EQ(find<QLineEdit>("txtMessage")->text(), "Read(1) OK!");
}

TEST_F(DialogFocus, AProgressWindowCannotBeClosed) {
    ShowProgressWindow(t.session->view.prompt); // its button disabled
    main->render();
    ASSERT_TRUE(main->prompt()->isVisible());
    main->prompt()->close();
    EXPECT_TRUE(main->prompt()->isVisible());
    EXPECT_TRUE(t.session->view.prompt.visible);
}

TEST_F(DialogFocus, TheSimulatorWindowComesBackFromTheToolsMenu) {
    auto* item = main->findChild<QAction*>("mnuSimulator");
    ASSERT_TRUE(item);
    EXPECT_FALSE(item->isVisible()); // no simulated reader/writer in this program
    PortDirectory ports;
    sim::SimulatedPorts simulator(ports, 5);
    SimulatorWindow window(simulator);
    window.show();
    main->render();
    EXPECT_TRUE(item->isVisible());
    window.close();
    ASSERT_FALSE(window.isVisible());
    item->trigger();
    EXPECT_TRUE(window.isVisible());
}

TEST_F(DialogFocus, TheSimulatorsCardListShowsWhatAWrittenCardHolds) {
    PortDirectory ports;
    sim::SimulatedPorts simulator(ports, 5);
    SimulatorWindow window(simulator);
    auto* list = find<QListWidget>("cardList", &window);
    ASSERT_EQ(list->item(0)->text(), "Blank card");
    const QString isoName = list->item(1)->text();
    simulator.device().settings().coercivity = sim::Coercivity::Low;
    simulator.device().receive("\x1Bw\x1Bs\x1B\x02"
                               "123?\x1C");
    list->setCurrentRow(0);
    QTest::mouseClick(find<QPushButton>("cmdSwipe", &window), Qt::LeftButton);
    EXPECT_EQ(list->item(0)->text(), "T2 ;123?");
    EXPECT_EQ(list->item(1)->text(), isoName); // untouched cards keep their names
    // Track 2 erased: the sample shows what is left; the blank card, blank
    // again, its name.
    for (int row : {1, 0}) {
        simulator.device().receive("\x1B"
                                   "c2");
        list->setCurrentRow(row);
        QTest::mouseClick(find<QPushButton>("cmdSwipe", &window), Qt::LeftButton);
    }
    EXPECT_EQ(list->item(1)->text(), "T1 %B4111111111111111^SAMPLE/CARD^2812101?  T3 ;0123456789?");
    EXPECT_EQ(list->item(0)->text(), "Blank card");
}

TEST_F(DialogFocus, TheSimulatorWindowSaysWhichDeviceWaitsAndItsButtonStaysPut) {
    PortDirectory ports;
    sim::SimulatedPorts simulator(ports, 5);
    SimulatorWindow window(simulator);
    window.show();
    auto* state = find<QLabel>("lblState", &window);
    auto* swipe = find<QPushButton>("cmdSwipe", &window);
    const QRect before = swipe->geometry();
    EXPECT_EQ(state->text(), "Idle.");
    QTest::mouseClick(swipe, Qt::LeftButton); // nothing waits: the longest text
    EXPECT_TRUE(state->text().startsWith("Nothing to do")) << qPrintable(state->text());
    EXPECT_EQ(swipe->geometry(), before);
    simulator.fixture().receive("\x1Br");
    EXPECT_TRUE(QTest::qWaitFor([state] { return state->text().contains("fixture"); }))
        << qPrintable(state->text());
    EXPECT_EQ(swipe->geometry(), before);
}

TEST_F(DialogFocus, EndGivesTheKeyboardBackToTheMainWindowNotTheSimulators) {
    PortDirectory ports;
    sim::SimulatedPorts simulator(ports, 5);
    SimulatorWindow window(simulator);
    window.show();
    click("cmdRead");
    ASSERT_TRUE(main->prompt()->isVisible());
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::mouseClick(promptButton(), Qt::LeftButton); // End
    EXPECT_TRUE(QTest::qWaitFor([this] { return QApplication::activeWindow() == main.get(); }));
}

TEST(WindowPlace, AWindowOffTheScreenOrTallerThanItComesInsideItsAvailableArea) {
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    struct Case {
        QPoint at;
        QSize size;
    };
    const Case cases[] = {{{area.left() + 10, area.bottom() - 50}, {200, 300}},
                          {{area.right() - 20, area.top() + 5}, {200, 100}},
                          {{area.left() - 300, area.top() - 300}, {200, 100}},
                          {{area.left(), area.top() + 100}, {200, area.height() + 400}}};
    for (const Case& c : cases) {
        QWidget w;
        w.resize(c.size);
        w.move(c.at);
        PlaceInsideScreen(&w);
        EXPECT_TRUE(area.contains(QRect(w.pos(), w.size()))) << c.at.x() << "," << c.at.y();
    }
}

} // namespace
