// Read To File and Write From File against the simulated reader/writer:
// cards read into a file, written back onto blank cards from it, and read
// again into a second file that must hold the same records.

#include "files/CardDataFile.h"
#include "operations/cardtype/CardTypeSetup.h"
#include "operations/files/FilesCommon.h"
#include "operations/files/ReadToFile.h"
#include "operations/files/WriteFromFile.h"
#include "session/Dispatcher.h"
#include "session/OpStates.h"
#include "sim/CardOps.h"
#include "sim/Deck.h"
#include "support/CardsSession.h"
#include "support/FileSizeLimit.h"

#include <QFile>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

using namespace msrw;
using namespace msrw::test;

namespace {

QByteArray FileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class FilesFlow : public SimCardsFlow {
protected:
    std::string lastMessage() const {
        return t.dialogs.messages.empty() ? std::string() : t.dialogs.messages.back();
    }
    std::string path(const std::string& name) {
        return t.dir.filePath(QString::fromStdString(name)).toStdString();
    }
    // The file `name` holding `bytes`; its path.
    std::string writeFile(const std::string& name, const std::string& bytes) {
        const std::string file = path(name);
        QFile f(QString::fromStdString(file));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes.data(), qint64(bytes.size()));
        return file;
    }
    void swipe(sim::VirtualCard& card) {
        ASSERT_TRUE(t.device->swipe(card));
        t.settle();
    }
    // Reads the cards into `file` (the name as the operator types it).
    void readToFile(const std::string& file, std::vector<sim::VirtualCard*> cards) {
        t.dialogs.fileAnswers.push_back(file);
        cmdToFile_Click(s());
        ASSERT_EQ(s().g.OpState, kOpReadToFile);
        for (sim::VirtualCard* card : cards)
            swipe(*card);
        cmdCancel_Click(s());
    }
    // Writes the file's records onto `blanks`, then expects the run to end.
    // A pass book is swiped a second time, to verify it.
    void writeFromFile(const std::string& file, std::vector<sim::VirtualCard*> blanks,
                       int swipesPerCard = 1) {
        t.dialogs.fileAnswers.push_back(file);
        cmdFromFile_Click(s());
        for (sim::VirtualCard* blank : blanks) {
            for (int n = 0; n < swipesPerCard; ++n) {
                ASSERT_EQ(s().g.OpState, kOpWriteFromFile) << lastMessage();
                swipe(*blank);
            }
        }
    }
    // Reads `cards` into "first", writes them back onto blanks, reads those
    // into "second", and expects the two files the same.
    void roundTrip(const char* extension, std::vector<sim::VirtualCard*> cards,
                   int swipesPerCard = 1) {
        readToFile(path("first"), cards);
        const std::string first = path(std::string("first") + extension);
        const QByteArray original = FileBytes(QString::fromStdString(first));
        ASSERT_GT(original.count("\r\n\r\n"), 1) << original.toStdString();

        std::vector<sim::VirtualCard> blanks(cards.size());
        std::vector<sim::VirtualCard*> targets;
        for (sim::VirtualCard& blank : blanks)
            targets.push_back(&blank);
        writeFromFile(first, targets, swipesPerCard);
        EXPECT_EQ(lastMessage(), "End of File");
        EXPECT_EQ(s().g.OpState, kOpIdle);
        EXPECT_TRUE(s().view.isEnabled("cmdFromFile"));
        EXPECT_TRUE(s().view.track(1).enabled);

        readToFile(path("second"), targets);
        EXPECT_EQ(FileBytes(QString::fromStdString(path(std::string("second") + extension))),
                  original);
    }
};

TEST_F(FilesFlow, IsoCardsGoIntoANewFileWithItsHeaderOneRecordACard) {
    t.dialogs.fileAnswers.push_back(path("cards.iso"));
    cmdToFile_Click(s());
    EXPECT_EQ(t.takeSent(), (Commands{"\\1Bv", "\\1Ba", "\\1Bo\\07\\05\\05", "\\1Br"}));
    const PromptView& prompt = s().view.prompt;
    EXPECT_TRUE(prompt.visible);
    EXPECT_EQ(prompt.caption, "Read Card To File");
    EXPECT_EQ(prompt.label, "Please Swipe a Card.");
    EXPECT_EQ(prompt.background, kBlue);
    EXPECT_FALSE(s().view.isEnabled("cmdToFile"));
    ASSERT_TRUE(t.swipe("ISO sample"));
    EXPECT_EQ(s().view.message.text, "Read(1) OK!");
    EXPECT_EQ(s().view.track(2).text, ";4111111111111111=2812101?");
    EXPECT_EQ(t.takePauses(), (std::vector<int>{100, 300, 500, 100}));
    ASSERT_TRUE(t.swipe("Damaged card (track 2)"));
    EXPECT_EQ(s().view.message.text, "Read(2) Failed!");
    EXPECT_EQ(s().view.message.colour, kRed);
    cmdCancel_Click(s());
    EXPECT_TRUE(s().view.isEnabled("cmdToFile"));

    const QString file = QString::fromStdString(path("cards.iso.ISO"));
    cardfile::HeaderValues isoValues;
    isoValues.bpi = {"210", "75", "210"}; // the densities the set-up starts with
    const std::string header =
        cardfile::JoinLines(cardfile::HeaderLines(cardfile::Kind::Iso, isoValues));
    EXPECT_EQ(FileBytes(file).toStdString(), header + "\x01"
                                                      "B4111111111111111^SAMPLE/CARD^2812101\r\n"
                                                      "\x02"
                                                      "4111111111111111=2812101\r\n\x03"
                                                      "0123456789\r\n\r\n");
    EXPECT_EQ(QFile::permissions(file) & (QFile::ReadGroup | QFile::ReadOther), 0);
    // Write From File offers the file written, as it is named.
    EXPECT_EQ(s().data.readLines(kCardFilesPathFile),
              std::vector<std::string>{path("cards.iso.ISO")});
    cmdFromFile_Click(s());
    EXPECT_EQ(t.dialogs.fileDialogStarts.back(), path("cards.iso.ISO"));

    // Into the same file again: records follow, no second header.
    readToFile(path("cards.iso.ISO"), {&t.card("ISO sample")});
    EXPECT_EQ(FileBytes(file).count("[SETUP]"), 1);
    EXPECT_EQ(FileBytes(file).count("\x02"
                                    "4111111111111111=2812101"),
              2);
}

TEST_F(FilesFlow, CancelledDialogAndIsoTrack3InAamvaFormat) {
    cmdToFile_Click(s()); // no file chosen
    EXPECT_EQ(s().g.OpState, kOpIdle);
    EXPECT_TRUE(s().view.isEnabled("cmdToFile"));
    EXPECT_FALSE(s().link().IsPortOpen());

    // An AAMVA card read as ISO, its track 3 at 7 bits: it begins with "%"
    // and is refused.
    t.dialogs.fileAnswers.push_back(path("mixed"));
    cmdToFile_Click(s());
    t.device->settings().bitsPerChar[2] = 7;
    ASSERT_TRUE(t.swipe("AAMVA sample"));
    ASSERT_FALSE(t.dialogs.messages.empty());
    EXPECT_EQ(lastMessage(), "Wrong format on Track 3. The data won't be saved!");
    EXPECT_EQ(s().view.message.text, "Read(1) OK!");
    EXPECT_EQ(s().view.frame(3).caption, " Track3   210 BPI   7 BPC (AAMVA format)");
    EXPECT_TRUE(s().view.frame(3).red);
    EXPECT_EQ(s().g.OpState, kOpReadToFile); // the next card is armed
    cmdCancel_Click(s());
    EXPECT_FALSE(FileBytes(QString::fromStdString(path("mixed.ISO"))).contains("CASPRINGFIELD"));
}

TEST_F(FilesFlow, ABlankCardIsNotStoredAndItsResultLineSaysSo) {
    t.dialogs.fileAnswers.push_back(path("blank"));
    cmdToFile_Click(s());
    ASSERT_TRUE(t.swipe("Blank card"));
    EXPECT_EQ(s().view.message.text, "Read(1) OK! No track data: nothing saved.");
    ASSERT_TRUE(t.swipe("ISO sample"));
    EXPECT_EQ(s().view.message.text, "Read(2) OK!");
    cmdCancel_Click(s());
    // The sample's record follows the header directly: no empty record before it.
    EXPECT_TRUE(FileBytes(QString::fromStdString(path("blank.ISO")))
                    .contains("[DATA]\r\n\x01"
                              "B4111"));
}

// A file that cannot take a whole record (a full disk, here the file size
// limit) is cut back to its last whole record, and the run ends.
TEST_F(FilesFlow, ARecordIsAppendedWholeOrNotAtAll) {
    readToFile(path("full"), {&t.card("ISO sample")});
    const QString file = QString::fromStdString(path("full.ISO"));
    const QByteArray before = FileBytes(file);
    t.dialogs.fileAnswers.push_back(path("full.ISO"));
    cmdToFile_Click(s());
    {
        const FileSizeLimit small(rlim_t(before.size() + 20)); // less than a record
        ASSERT_TRUE(small.set());
        ASSERT_TRUE(t.swipe("ISO sample"));
    }
    EXPECT_EQ(lastMessage().rfind("The card could not be saved in " + path("full.ISO") + ": ", 0),
              0u)
        << lastMessage();
    EXPECT_EQ(s().g.OpState, kOpIdle);
    EXPECT_FALSE(s().operationState<CardFileChannel>().active());
    EXPECT_EQ(FileBytes(file), before);
    // The next run appends after the last whole record.
    readToFile(path("full.ISO"), {&t.card("ISO sample")});
    EXPECT_EQ(FileBytes(file), before + before.mid(before.indexOf("[DATA]\r\n") + 8));
}

TEST_F(FilesFlow, ActiveTracksZeroKeepsOnlyTrack2) {
    s().g.ActiveTracks = 0;
    readToFile(path("t2"), {&t.card("ISO sample")});
    const QByteArray bytes = FileBytes(QString::fromStdString(path("t2.ISO")));
    EXPECT_TRUE(bytes.endsWith("[DATA]\r\n\x02"
                               "4111111111111111=2812101\r\n\r\n"));
}

TEST_F(FilesFlow, VelkModeArmsCardAfterCard) {
    s().port.MsrwMode = MsrwMode::Velk;
    t.device->setTextDialect(true);
    readToFile(path("velk"), {&t.card("ISO sample"), &t.card("ISO sample")});
    EXPECT_EQ(FileBytes(QString::fromStdString(path("velk.ISO")))
                  .count("\x02"
                         "4111"),
              2);
}

struct RoundTrip {
    const char* type;
    const char* sourceCard;
    const char* extension;
    const char* secondCard;
};

class FilesRoundTrip : public FilesFlow, public ::testing::WithParamInterface<RoundTrip> {};

TEST_P(FilesRoundTrip, CardsReadToAFileAndWrittenBackReadBackTheSame) {
    const RoundTrip& c = GetParam();
    chooseCardType(c.type);
    roundTrip(c.extension, {&t.card(c.sourceCard), &t.card(c.secondCard)});
}

INSTANTIATE_TEST_SUITE_P(EveryCardType, FilesRoundTrip,
                         ::testing::Values(RoundTrip{"ISO", "ISO sample", ".ISO", "ISO sample"},
                                           RoundTrip{"AAMVA", "AAMVA sample", ".AMV",
                                                     "AAMVA sample"},
                                           RoundTrip{"USER", "ISO sample", ".USE", "ISO sample"},
                                           RoundTrip{"RAW", "AAMVA sample", ".RAW", "ISO sample"}),
                         [](const auto& p) { return std::string(p.param.type); });

// Pass books are written at 5 bits on every track and each is verified by a
// second swipe before the next record is written.
TEST_F(FilesFlow, PassBookCardsReadToAFileAndWrittenBackReadBackTheSame) {
    chooseCardType("PASS BOOK");
    sim::VirtualCard a =
        sim::RecordedCard({"1234", "4111111111111111=2812101", "0123456789"}, {5, 5, 5});
    sim::VirtualCard b = sim::RecordedCard({"98", "6360231234567890=2812", "55"}, {5, 5, 5});
    roundTrip(".PAS", {&a, &b}, 2);
    EXPECT_TRUE(FileBytes(QString::fromStdString(path("first.PAS")))
                    .endsWith("\x01"
                              "98\r\n\x02"
                              "6360231234567890=2812\r\n\x03"
                              "55\r\n\r\n"));
}

TEST_F(FilesFlow, UserSentinelsOfTheHeaderApplyAndTheSetUpComesBack) {
    chooseCardType("USER");
    // Track 1 of this file: 6 bits, no parity, "#" and "]" (codes 3 and 61).
    const std::string file = path("hand.USE");
    {
        cardfile::HeaderValues v{
            {0, 1, 1}, {"6", "5", "5"}, {3, 11, 11}, {61, 15, 15}, {"75", "210", "210"}};
        QFile f(QString::fromStdString(file));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        const std::string bytes =
            cardfile::JoinLines(cardfile::HeaderLines(cardfile::Kind::User, v)) +
            cardfile::RecordText({"HELLO", "123", ""});
        f.write(bytes.data(), qint64(bytes.size()));
    }
    const int bpcBefore = s().format.user[0].bpc.selected;
    const int ssBefore = s().format.user[0].ss.selected;
    t.dialogs.fileAnswers.push_back(file);
    cmdFromFile_Click(s());
    ASSERT_EQ(s().g.OpState, kOpWriteFromFile);
    EXPECT_EQ(s().format.user[0].bpc.text(), "6");
    EXPECT_EQ(s().format.user[0].ss.text(), "#");
    EXPECT_EQ(s().format.user[0].es.text(), "]");
    EXPECT_EQ(s().format.bpi[0].text(), "75");
    EXPECT_EQ(s().view.prompt.caption, "Write Card From File");
    EXPECT_EQ(s().view.prompt.background, kYellow);
    sim::VirtualCard blank;
    swipe(blank);
    EXPECT_EQ(lastMessage(), "End of File");
    EXPECT_EQ(s().format.user[0].bpc.selected, bpcBefore);
    EXPECT_EQ(s().format.user[0].ss.selected, ssBefore);
    EXPECT_EQ(s().format.bpi[0].text(), "210");
}

TEST_F(FilesFlow, BadFilesAndSentinelsEndTheRunCleanly) {
    chooseCardType("USER");
    struct Case {
        const char* what;
        std::string bytes;
        std::string messageStart;
    };
    cardfile::HeaderValues badSs{
        {1, 1, 1}, {"7", "5", "5"}, {2, 11, 11}, {31, 15, 15}, {"210", "210", "210"}};
    const std::string good = cardfile::JoinLines(cardfile::HeaderLines(cardfile::Kind::User, {}));
    for (const Case& c : {
             Case{"empty", "", "File empty"},
             Case{"truncated header", good.substr(0, 60), "The card data file"},
             Case{"binary",
                  std::string("\x7f"
                              "ELF\x02\x01\x01\0\0",
                              9) +
                      good,
                  "The card data file"},
             Case{"sentinel",
                  cardfile::JoinLines(cardfile::HeaderLines(cardfile::Kind::User, badSs)) +
                      cardfile::RecordText({"A", "1", ""}),
                  "Please correct the Track 1 SS in USE file."},
             Case{"no record",
                  good + "\r\n\x02"
                         "123\r\n\r\n",
                  "End of File"},
         }) {
        const std::string file = writeFile(std::string("bad-") + c.what + ".USE", c.bytes);
        const QByteArray before = FileBytes(QString::fromStdString(file));
        t.dialogs.fileAnswers.push_back(file);
        cmdFromFile_Click(s());
        EXPECT_EQ(lastMessage().rfind(c.messageStart, 0), 0u) << c.what << ": " << lastMessage();
        EXPECT_EQ(s().g.OpState, kOpIdle) << c.what;
        EXPECT_TRUE(s().view.isEnabled("cmdFromFile")) << c.what;
        EXPECT_TRUE(s().view.track(2).enabled) << c.what;
        EXPECT_FALSE(s().view.prompt.visible) << c.what;
        EXPECT_FALSE(s().operationState<CardFileChannel>().active()) << c.what;
        EXPECT_EQ(s().format.user[0].ss.text(), "%") << c.what;
        EXPECT_EQ(FileBytes(QString::fromStdString(file)), before) << c.what;
    }
    t.dialogs.fileAnswers.push_back(path("missing.USE"));
    cmdFromFile_Click(s());
    EXPECT_EQ(lastMessage(), "File Not Exist!");
}

// A record that cannot be written ends the run before its card is armed, the
// message naming the line; a long line is one line, never read as two.
TEST_F(FilesFlow, ARecordThatCannotBeWrittenIsRefusedByItsLine) {
    cardfile::HeaderValues v;
    const std::string header = cardfile::JoinLines(cardfile::HeaderLines(cardfile::Kind::Iso, v));
    const std::string longTrack = "\x03" + std::string(5000, '1') + "\r\n";
    struct Case {
        const char* what;
        std::string bytes;
        std::string detail;
    };
    for (const Case& c : {
             Case{"long track",
                  header +
                      "\x01"
                      "AAA\r\n\x02"
                      "123\r\n" +
                      longTrack + "\r\n\x02" + "456\r\n\r\n",
                  "line 22: the line is longer than 4096 bytes"},
             Case{"long line after the record",
                  header + "\x02" + "123" + std::string(5000, '4') + "\r\n\r\n",
                  "line 20: the line is longer"},
             Case{"NUL",
                  header + "\x02" +
                      std::string("12\0"
                                  "3\r\n\r\n",
                                  7),
                  "line 20: a track holds characters the card format cannot carry"},
             Case{"ESC in the second record",
                  header + "\x02" +
                      "1\r\n\r\n\x01"
                      "A\x1B"
                      "B\r\n\r\n",
                  "line 22: a track holds characters"},
             Case{"long header line", "[SETUP]\r\n" + std::string(5000, 'C') + "\r\n" + header,
                  "line 2: the line is longer"},
         }) {
        const std::string file = writeFile(std::string("refused-") + c.what + ".ISO", c.bytes);
        t.dialogs.fileAnswers.push_back(file);
        cmdFromFile_Click(s());
        if (s().g.OpState == kOpWriteFromFile) { // the first record is armed: write it
            sim::VirtualCard blank;
            swipe(blank);
        }
        EXPECT_NE(lastMessage().find(c.detail), std::string::npos)
            << c.what << ": " << lastMessage();
        EXPECT_NE(lastMessage().find(file), std::string::npos) << c.what;
        EXPECT_EQ(s().g.OpState, kOpIdle) << c.what;
        EXPECT_FALSE(s().operationState<CardFileChannel>().active()) << c.what;
    }
}

TEST_F(FilesFlow, AFailedWriteRepeatsTheSameRecord) {
    readToFile(path("one"), {&t.card("ISO sample")});
    t.dialogs.fileAnswers.push_back(path("one.ISO"));
    cmdFromFile_Click(s());
    t.takePauses();
    ASSERT_TRUE(t.swipeAtLowCoercivity("AAMVA sample"));
    EXPECT_EQ(s().view.message.text, "Write(1) Error!!");
    EXPECT_EQ(s().g.OpState, kOpWriteFromFile);
    sim::VirtualCard blank;
    swipe(blank);
    EXPECT_EQ(lastMessage(), "End of File");
    EXPECT_EQ(sim::ReadCardDecoded(blank, t.device->settings())[1].data,
              ";4111111111111111=2812101?");
}

} // namespace
