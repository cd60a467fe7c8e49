// The Card Details window, offscreen: opened with Ctrl+D, it follows each
// card read and compared, and the tracks typed in the main window; the
// number is masked unless "Show the full number" is ticked, which the window
// forgets when it closes.

#include "operations/reading/CardDetailsFeed.h"
#include "ui/frmMessage.h"

#include "StartedMainWindow.h"

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>
#include <gtest/gtest.h>

using namespace msrw;
using namespace msrw::test;

namespace {

const QString kMasked = QString::fromUtf8("411111\u2022\u2022\u2022\u2022\u2022\u20221111");

class CardDetailsWindow : public StartedMainWindow {
protected:
    QWidget* details() { return main->findChild<QWidget*>("frmCardDetails"); }
    void open() {
        QTest::keySequence(main.get(), QKeySequence(Qt::CTRL | Qt::Key_D));
        ASSERT_TRUE(details()->isVisible());
    }
    QString label(const QString& name) {
        auto* l = details()->findChild<QLabel*>(name);
        return l ? l->text() : "<no " + name + ">";
    }
    QString field(int track, const char* key) {
        return label(QString("lblField_%1_%2").arg(track).arg(key));
    }
    QString check(const char* key) { return label(QString("lblCheck_") + key); }
    void endOperation() {
        QTest::mouseClick(main->prompt()->findChild<QPushButton*>("cmdCancel"), Qt::LeftButton);
    }
};

TEST_F(CardDetailsWindow, FollowsEachCardReadWithTheNumberMasked) {
    click("cmdRead");
    ASSERT_TRUE(t.swipe("ISO sample"));
    // Closed, the window decodes nothing.
    EXPECT_EQ(t.session->operationState<CardDetailsView>().revision, 0u);
    open();
    EXPECT_EQ(label("lblSource"), kMainWindowTracks);
    EXPECT_EQ(label("lblLayout"), "Payment card (ISO/IEC 7813)");
    ASSERT_TRUE(t.swipe("ISO sample"));
    EXPECT_EQ(label("lblSource"), "Read(2) OK!");
    EXPECT_EQ(field(1, "number"), kMasked);
    EXPECT_EQ(field(2, "number"), kMasked);
    EXPECT_EQ(field(0, "network"), "Visa");
    EXPECT_EQ(check("luhn"),
              QString::fromUtf8("\u2714 Check digit: The check digit matches the number."));
    EXPECT_TRUE(check("tracks_agree").startsWith(QString::fromUtf8("\u2714")));
    ASSERT_TRUE(t.swipe("AAMVA sample"));
    EXPECT_EQ(label("lblLayout"), "Driver licence or ID card (AAMVA)");
    EXPECT_EQ(field(1, "family_name"), "DOE");
    EXPECT_EQ(field(2, "birth_date"), "19900101");
    EXPECT_EQ(field(1, "number"), "<no lblField_1_number>"); // nothing of the last card stays
    endOperation();
}

TEST_F(CardDetailsWindow, TheFullNumberOnlyWhileTickedAndForgottenOnClose) {
    open();
    click("cmdRead");
    ASSERT_TRUE(t.swipe("ISO sample"));
    auto* tick = details()->findChild<QCheckBox*>("chkShowFullNumber");
    ASSERT_NE(tick, nullptr);
    QTest::mouseClick(tick, Qt::LeftButton);
    EXPECT_EQ(field(1, "number"), "4111111111111111");
    details()->close();
    EXPECT_FALSE(details()->isVisible());
    open();
    EXPECT_FALSE(tick->isChecked());
    EXPECT_EQ(field(2, "number"), kMasked); // the main window's tracks, masked again
    endOperation();
}

TEST_F(CardDetailsWindow, FollowsTheComparedCardAndTheTracksTyped) {
    open();
    click("cmdCompare");
    ASSERT_TRUE(t.swipe("ISO sample"));
    ASSERT_TRUE(t.swipe("AAMVA sample"));
    // The main window keeps the reference; the details are the compared card's.
    EXPECT_EQ(label("lblSource"), "Compare(1)Error");
    EXPECT_EQ(field(1, "city"), "SPRINGFIELD");
    endOperation();
    auto* track2 = find<QPlainTextEdit>("txtTrk2");
    track2->setFocus();
    QTest::keyClicks(track2, ";4111111111111112=2812101?");
    main->render();
    EXPECT_EQ(label("lblSource"), kMainWindowTracks);
    EXPECT_EQ(check("luhn"),
              QString::fromUtf8("\u2718 Check digit: The check digit does not match: the number "
                                "was read or written wrong."));
}

} // namespace
