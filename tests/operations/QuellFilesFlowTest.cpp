// Read To File, Write From File and the database application in "Quell
// Mode" against the simulated reader/writer: the file's records as the
// device gives the tracks, records written back and read again, a failed
// card and its recovery, End, and the resume point of a database run.

#include "files/CardDataFile.h"
#include "operations/files/DatabaseApplication.h"
#include "operations/files/ReadToFile.h"
#include "operations/files/WriteFromFile.h"
#include "support/QuellRun.h"

#include <gtest/gtest.h>

using namespace msrw;
using namespace msrw::test;

namespace {

using Texts = std::vector<std::string>;

const char* const kIsoTrack1 = "B4111111111111111^SAMPLE/CARD^2812101";
const char* const kIsoTrack2 = "4111111111111111=2812101";
const char* const kIsoTrack3 = "0123456789";

std::string Record(const std::array<std::string, 3>& tracks) {
    return cardfile::RecordText(tracks);
}

std::string IsoHeader(const std::string& bpi1) {
    cardfile::HeaderValues v;
    v.bpi = {bpi1, "75", "210"};
    return cardfile::JoinLines(cardfile::HeaderLines(cardfile::Kind::Iso, v));
}

class QuellFiles : public QuellRun {
protected:
    void startReadToFile(const std::string& name) {
        t.dialogs.fileAnswers.push_back(path(name));
        cmdToFile_Click(s());
        ASSERT_EQ(s().g.OpState, kOpQuellReadToFile) << lastMessage();
    }
    void startWriteFromFile(const std::string& name) {
        t.dialogs.fileAnswers.push_back(path(name));
        cmdFromFile_Click(s());
    }
    bool fileOpen() { return s().operationState<CardFileChannel>().active(); }
};

TEST_F(QuellFiles, ReadToFileSavesTheTracksAsTheDeviceGivesThem) {
    startReadToFile("cards");
    EXPECT_TRUE(s().view.prompt.visible);
    EXPECT_EQ(s().view.prompt.caption, "Read Card To File");
    EXPECT_EQ(
        t.takeSent(),
        WireAll({"\\7F", "\\4B", "\\3B\\31\\48", "\\3B\\32\\4C", "\\3B\\33\\48", "\\50"}, false));
    ASSERT_TRUE(t.swipe("ISO sample"));
    EXPECT_EQ(s().view.message.text, "Read(1) OK!");
    EXPECT_EQ(t.takeSent(), WireAll({"\\71\\31", "\\72\\32", "\\73\\33", "\\7F", "\\4B",
                                     "\\3B\\31\\48", "\\3B\\32\\4C", "\\3B\\33\\48", "\\50"},
                                    false))
        << "the tracks asked for, then the next card armed";
    EXPECT_EQ(t.takePauses(), (std::vector<int>{300, 500}));
    EXPECT_EQ(s().view.track(1).text, kIsoTrack1);
    EXPECT_EQ(s().view.track(3).text, kIsoTrack3);
    EXPECT_TRUE(s().view.prompt.visible);

    // A track the device cannot read fails the card: nothing is saved.
    ASSERT_TRUE(t.swipe("Damaged card (track 2)"));
    EXPECT_EQ(s().view.message.text, "Read(2) Failed!");
    EXPECT_EQ(s().view.message.colour, kRed);
    const Texts sent = t.takeSent();
    ASSERT_GE(sent.size(), 6u);
    EXPECT_EQ(Texts(sent.begin() + 3, sent.begin() + 6), WireAll({"\\6B", "\\4D", "\\4B"}, false));
    EXPECT_EQ(t.takePauses(), (std::vector<int>{1000, 500, 500}));

    ASSERT_TRUE(t.swipe("ISO sample"));
    EXPECT_EQ(s().view.message.text, "Read(3) OK!");
    cmdCancel_Click(s());
    EXPECT_FALSE(fileOpen());
    const std::string card = Record({kIsoTrack1, kIsoTrack2, kIsoTrack3});
    EXPECT_EQ(readFile("cards.ISO"), IsoHeader("210") + card + card);
}

TEST_F(QuellFiles, ReadToFileAsksOnlyForTheTracksInUseOfAnIsoCard) {
    s().g.ActiveTracks = 0;
    startReadToFile("two");
    t.takeSent();
    ASSERT_TRUE(t.swipe("ISO sample"));
    const Texts sent = t.takeSent();
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sent.front(), Wire("\\72\\32"));
    EXPECT_EQ(sent[1], Wire("\\7F"));
    cmdCancel_Click(s());
    EXPECT_EQ(readFile("two.ISO"), IsoHeader("210") + Record({"", kIsoTrack2, ""}));
}

TEST_F(QuellFiles, ReadToFileOfAnAamvaCardAsksForTrack3InItsOwnLayout) {
    chooseType(card::AAMVA);
    startReadToFile("licence");
    t.takeSent();
    ASSERT_TRUE(t.swipe("AAMVA sample"));
    EXPECT_EQ(s().view.message.text, "Read(1) OK!");
    const Texts sent = t.takeSent();
    ASSERT_GE(sent.size(), 3u);
    EXPECT_EQ(Texts(sent.begin(), sent.begin() + 3),
              WireAll({"\\71\\31", "\\72\\32", "\\73\\31"}, false));
    cmdCancel_Click(s());
    EXPECT_NE(readFile("licence.AMV")
                  .find(Record({"CASPRINGFIELD^DOE$JANE$Q^742 EVERGREEN TER^",
                                "6360231234567890=28121990010100", "!!12345  F510140BRNBLU"})),
              std::string::npos);
    EXPECT_EQ(s().view.track(3).text, "!!12345~~F510140BRNBLU");
}

TEST_F(QuellFiles, WriteFromFileWritesEachRecordAndRepeatsAFailedOne) {
    writeFile("deck.ISO", IsoHeader("75") + Record({"AB1", "12", ""}) + Record({"CD", "34", "56"}));
    const int bpi1 = s().format.bpi[0].selected;
    startWriteFromFile("deck.ISO");
    ASSERT_EQ(s().g.OpState, kOpWriteFromFile) << lastMessage();
    EXPECT_EQ(s().format.bpi[0].selected, bpi1) << "the header is not applied in Quell Mode";
    EXPECT_EQ(t.takeSent(), WireAll({"\\7F", "\\4B", "\\3B\\31\\48", "\\3B\\32\\4C", "\\3B\\33\\48",
                                     "\\41", "\\41\\42\\31\\04", "\\42", "\\31\\32\\04", "\\40"},
                                    false));
    EXPECT_TRUE(s().view.prompt.visible);
    EXPECT_EQ(s().view.prompt.caption, "Write Card From File");

    sim::VirtualCard first = Blank(), second = Blank();
    swipe(first);
    EXPECT_EQ(s().view.message.text, "Write(1) OK!");
    EXPECT_EQ(s().view.track(3).text, "56");
    swipeWrongCoercivity();
    EXPECT_EQ(s().view.message.text, "Write(2) Error!!");
    EXPECT_EQ(t.takePauses(), (std::vector<int>{300, 500, 1000}));
    swipe(second);
    EXPECT_EQ(s().view.message.text, "");
    EXPECT_EQ(lastMessage(), "End of File");
    EXPECT_EQ(s().g.OpState, kOpIdle);
    EXPECT_FALSE(fileOpen());
    EXPECT_TRUE(s().view.isEnabled("cmdFromFile"));

    EXPECT_EQ(readBack(first, "\\71\\31"), "AB1");
    EXPECT_EQ(readBack(first, "\\72\\32"), "12");
    EXPECT_EQ(readBack(second, "\\71\\31"), "CD");
    EXPECT_EQ(readBack(second, "\\73\\33"), "56");
}

TEST_F(QuellFiles, EndClosesTheCardDataFileOfAWriteFromFile) {
    writeFile("deck.ISO", IsoHeader("210") + Record({"AB1", "12", ""}) + Record({"CD", "", ""}));
    startWriteFromFile("deck.ISO");
    ASSERT_EQ(s().g.OpState, kOpWriteFromFile) << lastMessage();
    ASSERT_TRUE(fileOpen());
    cmdCancel_Click(s());
    EXPECT_FALSE(fileOpen());
    EXPECT_FALSE(s().operationState<WriteFromFileRun>().active);
    EXPECT_EQ(s().g.OpState, kOpIdle);
    // The next run starts from the first record again.
    startWriteFromFile("deck.ISO");
    EXPECT_EQ(s().view.track(1).text, "AB1");
    cmdCancel_Click(s());
    EXPECT_FALSE(fileOpen());
}

// Refused before the device sees it ("A" is no 4-bit character).
TEST_F(QuellFiles, ARecordThatCannotBeWrittenEndsTheRunWithTheFileClosed) {
    writeFile("deck.ISO", IsoHeader("210") + Record({"", "1A", ""}));
    startWriteFromFile("deck.ISO");
    EXPECT_NE(lastMessage().find("deck.ISO, line 20: a track holds characters"), std::string::npos)
        << lastMessage();
    EXPECT_EQ(s().g.OpState, kOpIdle);
    EXPECT_FALSE(s().view.prompt.visible);
    EXPECT_FALSE(fileOpen());
    EXPECT_TRUE(s().view.isEnabled("cmdFromFile"));
}

TEST_F(QuellFiles, CustomCardsHaveNoFileOperations) {
    chooseType(card::CUSTOM);
    cmdToFile_Click(s());
    cmdFromFile_Click(s());
    cmdDatabase_Click(s());
    EXPECT_EQ(t.dialogs.messages, (Texts{"Write to File is not for CUSTOM mode!",
                                         "Read From File is not for CUSTOM mode!",
                                         "Database is not for CUSTOM mode!"}));
    EXPECT_EQ(t.dialogs.icons, std::vector<MessageIcon>(3, MessageIcon::Critical));
    EXPECT_TRUE(t.dialogs.fileDialogStarts.empty());
    EXPECT_TRUE(t.takeSent().empty());
    EXPECT_TRUE(s().view.isEnabled("cmdToFile"));
}

const char* const kIsoUsage = "CARDTYPE=ISO\r\nBPI1=210\r\nBPI2=75\r\nBPI3=210\r\n"
                              "Trk1:fa^fb\r\nTrk2:fcfd\r\nTrk3:\r\n";

class QuellDatabase : public QuellFiles {
protected:
    void start() {
        t.dialogs.fileAnswers.push_back(path("db.txt"));
        cmdDatabase_Click(s());
    }
};

TEST_F(QuellDatabase, WritesRecordsRecoversAFailedOneAndResumesAfterEnd) {
    writeFile("db.txt", kIsoUsage);
    writeFile("db.csv", "A,B,1,2\nC,D,3,4\nE,F,5,6\n");
    start();
    ASSERT_EQ(s().g.OpState, kOpDatabaseWrite) << lastMessage();
    EXPECT_TRUE(s().view.prompt.visible);
    sim::VirtualCard first = Blank(), second = Blank();
    swipe(first);
    EXPECT_EQ(s().view.message.text, "Write Record no. 1 OK!");
    EXPECT_EQ(readFile("db.his"), "2\r\n");
    t.takeSent();
    t.takePauses();
    swipeWrongCoercivity();
    EXPECT_EQ(s().view.message.text, "Write Record no. 2 Error!!");
    const Texts sent = t.takeSent();
    ASSERT_GE(sent.size(), 3u);
    EXPECT_EQ(Texts(sent.begin(), sent.begin() + 3), WireAll({"\\6B", "\\4D", "\\4B"}, false));
    EXPECT_EQ(t.takePauses(), (std::vector<int>{1000, 500}));
    cmdCancel_Click(s());
    EXPECT_EQ(readFile("db.his"), "2\r\n");

    t.dialogs.okCancelAnswers.push_back(true);
    start();
    ASSERT_EQ(s().g.OpState, kOpDatabaseWrite) << lastMessage();
    EXPECT_EQ(lastMessage().rfind("Last record no. is:     2", 0), 0u);
    swipe(second);
    EXPECT_EQ(s().view.message.text, "Write Record no. 2 OK!");
    cmdCancel_Click(s());
    EXPECT_EQ(readFile("db.his"), "3\r\n");
    EXPECT_EQ(readBack(first, "\\71\\31"), "A^B");
    EXPECT_EQ(readBack(second, "\\71\\31"), "C^D");
    EXPECT_EQ(readBack(second, "\\72\\32"), "34");
}

TEST_F(QuellDatabase, BothStartRepliesAtOnceCountAsTheRecordWritten) {
    writeFile("db.txt", kIsoUsage);
    writeFile("db.csv", "A,B,1,2\n");
    start();
    ASSERT_EQ(s().g.OpState, kOpDatabaseWrite) << lastMessage();
    std::string display = "^^", hex = "\\5E\\5E";
    oMsrwComm_MsrwInEvent(s(), display, hex);
    EXPECT_EQ(lastMessage(), "End of record.");
    EXPECT_EQ(readFile("db.his"), "1\r\n");
}

TEST_F(QuellDatabase, AUsageFileOfACardTypeThisModeDoesNotWriteIsRefused) {
    writeFile("db.txt", "CARDTYPE=USER\r\nBPI1=210\r\nBPI2=210\r\nBPI3=210\r\nBPC1=7\r\n"
                        "BPC2=5\r\nBPC3=5\r\nPARITY1=ODD\r\nPARITY2=ODD\r\nPARITY3=ODD\r\n"
                        "SS1=%\r\nSS2=;\r\nSS3=;\r\nES1=?\r\nES2=?\r\nES3=?\r\n[DATA]\r\n"
                        "Trk1:fa\r\nTrk2:\r\nTrk3:\r\n");
    writeFile("db.csv", "A\n");
    start();
    EXPECT_EQ(s().g.OpState, kOpIdle);
    EXPECT_EQ(lastMessage().rfind(usage::kWrongFormat, 0), 0u) << lastMessage();
    EXPECT_NE(lastMessage().find("USER"), std::string::npos);
    EXPECT_EQ(s().g.CardType, card::ISO) << "CUSTOM must not stand in for USER";
    EXPECT_TRUE(t.takeSent().empty());
}

} // namespace
