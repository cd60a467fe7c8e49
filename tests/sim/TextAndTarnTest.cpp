#include "SimTestSupport.h"
#include "sim/Deck.h"

#include <gtest/gtest.h>

namespace msrw::sim::test {
namespace {

VirtualCard IsoSample() {
    return Deck::Samples()[1].card;
}

class TextDialect : public ::testing::Test {
protected:
    std::string run(const std::string& bytes, VirtualCard& card) {
        device.receive(bytes);
        device.swipe(card);
        return log.take();
    }
    Device device;
    ReplyLog log{device};
};

TEST_F(TextDialect, DecodedReadIsAnsweredWithTheTextReadReplyWhenOn) {
    VirtualCard card = IsoSample();
    EXPECT_EQ(run(Bytes("\\1Br"), card).substr(0, 6), "\\1B\\01");
    device.setTextDialect(true);
    EXPECT_EQ(run(Bytes("\\1Br"), card),
              "T1:\\0D%B4111111111111111^SAMPLE/CARD^2812101?\\0DT2:\\0D;4111111111111111=2812101?"
              "\\0DT3:\\0D;0123456789?\\0D");
    card.tracks[2].setDamaged(true);
    EXPECT_EQ(run(Bytes("\\1Br"), card), "Err\\0D");
}

TEST_F(TextDialect, WritesReadsAndErasesInBothDialects) {
    for (const bool on : {false, true}) {
        device.setTextDialect(on);
        VirtualCard card;
        EXPECT_EQ(run("WI t1=ABC DEFt2=1234\r", card), "OK\\0D");
        EXPECT_EQ(run("WR t3=A5C3\r", card), "OK\\0D");
        // "%" 1010001 then "A"'s first bit: the first byte is A3.
        const std::string raw = run("RR\r", card);
        EXPECT_EQ(raw.substr(0, 8), "T1:\\0DA3") << "raw reads are hex digits";
        EXPECT_TRUE(raw.ends_with("\\0DT3:\\0DA5C3\\0D")) << raw;
        EXPECT_EQ(run("ER 5\r", card), "OK\\0D");
        EXPECT_TRUE(card.tracks[0].isBlank());
        EXPECT_FALSE(card.tracks[1].isBlank());
        EXPECT_TRUE(card.tracks[2].isBlank());
    }
}

TEST_F(TextDialect, CardTypeOfATextWriteFixesTheTrackFormats) {
    VirtualCard card;
    EXPECT_EQ(run("WA t3=ABC\r", card), "OK\\0D");
    EXPECT_EQ(ReadDecoded(card.tracks[2], 7).data, "%ABC?");
    EXPECT_EQ(run("WI t3=ABC\r", card), "Err\\0D") << "letters do not fit ISO track 3";
    EXPECT_EQ(run("WR t1=XY\r", card), "Err\\0D") << "RAW data is hexadecimal";
}

TEST_F(TextDialect, ABadEraseMaskIsRefusedAtOnce) {
    device.receive("ER 9\r");
    EXPECT_EQ(log.take(), "Err\\0D");
    EXPECT_FALSE(device.isArmed());
}

TEST_F(TextDialect, AWriteWithoutCarriageReturnEndsWhenTheLineGoesQuiet) {
    VirtualCard card;
    FeedByteByByte(device, "WI t2=987");
    EXPECT_FALSE(device.isArmed());
    ASSERT_TRUE(WaitUntil([this] { return device.isArmed(); }, 1000));
    device.swipe(card);
    EXPECT_EQ(log.take(), "OK\\0D");
    EXPECT_EQ(ReadDecoded(card.tracks[1], 5).data, ";987?");
}

TEST_F(TextDialect, AnEscapeEndsAWriteWithoutCarriageReturn) {
    VirtualCard card;
    device.receive(Bytes("WI t1=QQ\\1Be"));
    EXPECT_EQ(log.take(), "\\1By");
    device.swipe(card);
    EXPECT_EQ(ReadDecoded(card.tracks[0], 7).data, "%QQ?");
}

class Tarn : public ::testing::Test {
protected:
    void SetUp() override { device.receive(Bytes("\\1BToTARN")); }
    std::string send(const char* commandText) {
        device.receive(Bytes(commandText));
        return log.take();
    }
    Device device;
    ReplyLog log{device};
};

TEST_F(Tarn, SwitchingIsNotAnsweredAndTheProbeGivesTheBanner) {
    EXPECT_EQ(log.count(), 0);
    EXPECT_EQ(device.family(), Family::Tarn);
    EXPECT_EQ(send("\\39"), "Velk Reader/Writer Version 4.0 Sim\\0D");
    FeedByteByByte(device, "ToVELK");
    EXPECT_EQ(log.count(), 0);
    EXPECT_EQ(device.family(), Family::Escape);
    EXPECT_EQ(send("\\39"), "\\1B4");
}

TEST_F(Tarn, BareAndFramedCommandsAreAcknowledged) {
    EXPECT_EQ(send("\\7F\\4B\\6B\\4D\\4C"), "^^^^^");
    EXPECT_EQ(send("\\02\\4B\\03\\4A"), "\\02^\\03_");
    EXPECT_EQ(send("\\02\\4B\\03\\00"), "\\02*\\03+") << "wrong check byte";
    EXPECT_EQ(send("Tx"), "^^") << "not the start of ToVELK after all";
}

TEST_F(Tarn, SetUpMemoryIsReadAndWrittenInHexDigits) {
    EXPECT_EQ(send("\\51\\31\\43\\51\\30\\32"), "343D");
    EXPECT_EQ(send("\\09\\09\\09\\41\\31\\43\\46\\46\\40"), "^^^");
    EXPECT_EQ(send("\\51\\31\\43"), "FF");
    EXPECT_EQ(device.tarn().memory(0x1C), 0xFF);
}

TEST_F(Tarn, TracksOfASwipedCardAreGivenWithoutSentinels) {
    VirtualCard card = IsoSample();
    EXPECT_EQ(send("\\50"), "");
    device.swipe(card);
    EXPECT_EQ(log.take(), "^^");
    EXPECT_EQ(send("\\72\\32"), "4111111111111111=2812101");
    EXPECT_EQ(send("\\73\\31"), "*") << "track 3 is not in the 7-bit form";
    EXPECT_EQ(send("\\73\\33"), "0123456789");
}

TEST_F(Tarn, LoadedTracksAreWrittenOnTheSwipe) {
    VirtualCard card;
    EXPECT_EQ(send("\\41HELLO\\04\\63\\31ABC\\04\\40"), "^^^^");
    device.swipe(card);
    EXPECT_EQ(log.take(), "^^");
    EXPECT_EQ(ReadDecoded(card.tracks[0], 7).data, "%HELLO?");
    EXPECT_EQ(ReadDecoded(card.tracks[2], 7).data, "%ABC?");
    EXPECT_EQ(send("\\02\\40\\03\\41"), "");
    device.swipe(card);
    EXPECT_EQ(log.take(), "\\02^\\03_\\02^\\03_") << "a framed arm is answered in frames";
}

} // namespace
} // namespace msrw::sim::test
