// The real windows, offscreen: a card read into a file, written back from it
// onto a blank card, and a small database written card after card.

#include "sim/CardOps.h"
#include "ui/frmMessage.h"

#include "StartedMainWindow.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace msrw;
using namespace msrw::test;

namespace {

const char* const kFileButtons[] = {"cmdToFile", "cmdFromFile", "cmdDatabase", "cmdRead"};

class FilesWindow : public StartedMainWindow {
protected:
    void SetUp() override {
        StartedMainWindow::SetUp();
        ASSERT_TRUE(folder.isValid());
        // The deck's cards are high-coercivity; start-up chose low.
        t.device->settings().coercivity = sim::Coercivity::High;
        t.dialogs.whileShown = [this] { shownWithBox.push_back(message().toStdString()); };
    }
    std::string path(const char* name) const { return folder.filePath(name).toStdString(); }
    QByteArray bytes(const char* name) const {
        QFile f(folder.filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
    }
    void write(const char* name, const QByteArray& content) {
        QFile f(folder.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(content), content.size());
    }
    QString message() { return find<QLineEdit>("txtMessage")->text(); }
    std::string lastDialog() const {
        return t.dialogs.messages.empty() ? std::string() : t.dialogs.messages.back();
    }
    QPushButton* promptButton() { return main->prompt()->findChild<QPushButton*>("cmdCancel"); }
    std::string written(const char* cardName, int track) {
        return sim::ReadCardDecoded(t.card(cardName), t.device->settings())[std::size_t(track - 1)]
            .data;
    }
    // Every file button is usable again and the prompt is gone.
    void expectIdle(const char* after) {
        for (const char* button : kFileButtons)
            EXPECT_TRUE(find<QPushButton>(button)->isEnabled()) << button << " after " << after;
        EXPECT_FALSE(main->prompt()->isVisible()) << after;
    }
    void expectBusy(const char* during) {
        for (const char* button : kFileButtons)
            EXPECT_FALSE(find<QPushButton>(button)->isEnabled()) << button << " during " << during;
        EXPECT_TRUE(main->prompt()->isVisible()) << during;
    }

    // Clicks `button` with `file` chosen in its file dialog; the prompt comes
    // up with `caption` and the buttons wait.
    void startWith(const char* button, const char* file, const char* caption) {
        t.dialogs.fileAnswers.push_back(path(file));
        click(button);
        expectBusy(caption);
        EXPECT_EQ(main->prompt()->windowTitle(), caption);
    }

    QTemporaryDir folder;
    // The result line as each message box came up.
    std::vector<std::string> shownWithBox;
};

TEST_F(FilesWindow, ReadsACardToAFileAndWritesItBackOntoABlankCard) {
    startWith("cmdToFile", "cards", "Read Card To File");
    ASSERT_TRUE(t.swipe("ISO sample"));
    EXPECT_EQ(message(), "Read(1) OK!");
    EXPECT_EQ(find<QPlainTextEdit>("txtTrk2")->toPlainText(), ";4111111111111111=2812101?");
    ASSERT_NE(promptButton(), nullptr);
    EXPECT_EQ(promptButton()->text(), "End");
    QTest::mouseClick(promptButton(), Qt::LeftButton);
    expectIdle("Read To File");
    const QByteArray file = bytes("cards.ISO");
    EXPECT_TRUE(file.startsWith("[SETUP]\r\n")) << file.toStdString();
    EXPECT_TRUE(file.endsWith("[DATA]\r\n\x01"
                              "B4111111111111111^SAMPLE/CARD^2812101\r\n"
                              "\x02"
                              "4111111111111111=2812101\r\n\x03"
                              "0123456789\r\n\r\n"))
        << file.toStdString();

    ASSERT_EQ(written("Blank card", 2), "");
    startWith("cmdFromFile", "cards.ISO", "Write Card From File");
    ASSERT_TRUE(t.swipe("Blank card"));
    EXPECT_EQ(lastDialog(), "End of File");
    EXPECT_EQ(shownWithBox, std::vector<std::string>{"Write(1) OK!"});
    EXPECT_EQ(message(), ""); // cleared once the box is closed
    expectIdle("Write From File");
    EXPECT_EQ(written("Blank card", 1), "%B4111111111111111^SAMPLE/CARD^2812101?");
    EXPECT_EQ(written("Blank card", 2), ";4111111111111111=2812101?");
    EXPECT_EQ(written("Blank card", 3), ";0123456789?");
}

TEST_F(FilesWindow, WritesADatabaseRecordAfterRecordWithItsProgress) {
    write("members.txt", "//members\r\nCARDTYPE=ISO\r\nBPI1=210\r\nBPI2=75\r\nBPI3=210\r\n"
                         "Trk1:fa^fb\r\nTrk2:fc=fd\r\nTrk3:\r\n");
    write("members.csv", "SMITH,JOHN,1234,5678\n\"DOE, JANE\",Q,99,11\n");
    startWith("cmdDatabase", "members.txt", "Write Card From Database");
    EXPECT_EQ(find<QLabel>("lblProgress")->text(), "record 1 of 2");

    ASSERT_TRUE(t.swipe("Blank card"));
    EXPECT_EQ(message(), "Write Record no. 1 OK!");
    EXPECT_EQ(find<QLabel>("lblProgress")->text(), "record 2 of 2");
    EXPECT_EQ(written("Blank card", 1), "%SMITH^JOHN?");
    EXPECT_EQ(written("Blank card", 2), ";1234=5678?");
    EXPECT_EQ(bytes("members.his"), "2\r\n");

    ASSERT_TRUE(t.swipe("Blank card"));
    EXPECT_EQ(written("Blank card", 1), "%DOE, JANE^Q?");
    EXPECT_EQ(written("Blank card", 2), ";99=11?");
    // No third record: the run ends by itself.
    EXPECT_EQ(lastDialog(), "End of record.");
    EXPECT_EQ(shownWithBox, std::vector<std::string>{"Write Record no. 2 OK!"});
    expectIdle("the database run");
    EXPECT_EQ(find<QLabel>("lblProgress")->text(), "");
    EXPECT_EQ(bytes("members.his"), "1\r\n");
}

} // namespace
