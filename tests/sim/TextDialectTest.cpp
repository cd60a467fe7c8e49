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

} // namespace
} // namespace msrw::sim::test
