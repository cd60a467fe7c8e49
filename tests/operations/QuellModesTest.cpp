// Every "Quell Mode" card operation against a reader/writer in each reading
// the device may take: its set-up memory's Mode 1 (track data ended by 04)
// or Mode 2 (no 04, the memory's default), bare or framed commands, track
// data with or without its sentinels. The program reads the mode from the
// memory at start-up, and shows what the device sent.

#include "files/CardDataFile.h"
#include "operations/files/DatabaseApplication.h"
#include "operations/files/ReadToFile.h"
#include "operations/files/WriteFromFile.h"
#include "operations/reading/CompareOperation.h"
#include "operations/reading/ReadOperation.h"
#include "operations/writing/WriteOperation.h"
#include "support/QuellRun.h"

#include <gtest/gtest.h>

using namespace msrw;
using namespace msrw::test;

namespace {

struct Style {
    bool modeOne;
    bool framed;
    bool sentinels;
};

class QuellModes : public QuellRun, public ::testing::WithParamInterface<Style> {
protected:
    void SetUp() override {
        const Style style = GetParam();
        constexpr std::uint8_t kProtocolAndMode = 0x04;
        t.device->tarn().setMemory(kProtocolAndMode,
                                   std::uint8_t((style.framed ? 2 : 0) | (style.modeOne ? 0 : 1)));
        t.device->tarn().setTrackSentinels(style.sentinels);
        QuellRun::SetUp();
        ASSERT_EQ(s().g.tarnMemory.modeOne, style.modeOne);
        tarnSetup(style.framed ? "0" : "1");
    }
    // A track's characters as this device gives them back.
    std::string sent(const std::string& chars, char start) const {
        return GetParam().sentinels ? start + chars + "?" : chars;
    }
    std::string track1(const std::string& chars) const { return sent(chars, '%'); }
    std::string track2(const std::string& chars) const { return sent(chars, ';'); }
    std::string isoRecord() const {
        return cardfile::RecordText({track1("B4111111111111111^SAMPLE/CARD^2812101"),
                                     track2("4111111111111111=2812101"), track2("0123456789")});
    }
    void swipeOk(const std::string& card, const std::string& line) {
        ASSERT_TRUE(t.swipe(card));
        EXPECT_EQ(s().view.message.text, line);
    }
};

TEST_P(QuellModes, ReadCompareAndReadToFileShowWhatTheDeviceSent) {
    cmdRead_Click(s());
    swipeOk("ISO sample", "Read(1) OK!");
    EXPECT_EQ(s().view.track(1).text, track1("B4111111111111111^SAMPLE/CARD^2812101"));
    EXPECT_EQ(s().view.track(2).text, track2("4111111111111111=2812101"));
    EXPECT_EQ(s().view.track(3).text, track2("0123456789"));
    swipeOk("Blank card", "Read(2) OK!");
    swipeOk("Damaged card (track 2)", "Read(3) Failed!");
    cmdCancel_Click(s());

    cmdCompare_Click(s());
    swipeOk("ISO sample", "Read(1) OK!");
    swipeOk("ISO sample", "Compare(1)OK");
    swipeOk("AAMVA sample", "Compare(2)Error");
    cmdCancel_Click(s());

    t.dialogs.fileAnswers.push_back(path("cards"));
    cmdToFile_Click(s());
    swipeOk("ISO sample", "Read(1) OK!");
    cmdCancel_Click(s());
    EXPECT_NE(readFile("cards.ISO").find(isoRecord()), std::string::npos) << readFile("cards.ISO");
}

TEST_P(QuellModes, WriteWriteFromFileAndDatabaseRecordCardsThatReadBack) {
    setTracks("%ABC?", ";123?", ";456?");
    cmdWrite_Click(s());
    sim::VirtualCard written = Blank();
    swipe(written);
    EXPECT_EQ(s().view.message.text, "Write(1) OK!");
    cmdCancel_Click(s());
    EXPECT_EQ(readBack(written, "\\71\\31"), track1("ABC"));
    EXPECT_EQ(readBack(written, "\\73\\33"), track2("456"));

    cardfile::HeaderValues header;
    header.bpi = {"210", "75", "210"};
    writeFile("deck.ISO", cardfile::JoinLines(cardfile::HeaderLines(cardfile::Kind::Iso, header)) +
                              cardfile::RecordText({"AB1", "12", ""}) +
                              cardfile::RecordText({"CD", "34", "56"}));
    t.dialogs.fileAnswers.push_back(path("deck.ISO"));
    cmdFromFile_Click(s());
    sim::VirtualCard fromFile = Blank();
    swipe(fromFile);
    EXPECT_EQ(s().view.message.text, "Write(1) OK!");
    cmdCancel_Click(s());
    EXPECT_EQ(readBack(fromFile, "\\72\\32"), track2("12"));

    writeFile("db.txt", "CARDTYPE=ISO\r\nBPI1=210\r\nBPI2=75\r\nBPI3=210\r\n"
                        "Trk1:fa^fb\r\nTrk2:fcfd\r\nTrk3:\r\n");
    writeFile("db.csv", "A,B,1,2\nC,D,3,4\n");
    t.dialogs.fileAnswers.push_back(path("db.txt"));
    cmdDatabase_Click(s());
    sim::VirtualCard record = Blank();
    swipe(record);
    EXPECT_EQ(s().view.message.text, "Write Record no. 1 OK!");
    cmdCancel_Click(s());
    EXPECT_EQ(readBack(record, "\\71\\31"), track1("A^B"));
    EXPECT_EQ(readBack(record, "\\72\\32"), track2("12"));
}

std::string StyleName(const ::testing::TestParamInfo<Style>& info) {
    const Style& s = info.param;
    return std::string(s.modeOne ? "ModeOne" : "ModeTwo") + (s.framed ? "Framed" : "Bare") +
           (s.sentinels ? "Sentinels" : "");
}

INSTANTIATE_TEST_SUITE_P(All, QuellModes,
                         ::testing::Values(Style{false, false, false}, Style{false, false, true},
                                           Style{false, true, false}, Style{false, true, true},
                                           Style{true, false, false}, Style{true, false, true},
                                           Style{true, true, false}, Style{true, true, true}),
                         StyleName);

} // namespace
