#include "SimTestSupport.h"
#include "sim/Deck.h"
#include "sim/ports/SimulatedPorts.h"

#include <gtest/gtest.h>

namespace msrw::sim::test {
namespace {

// Bytes a writer sends for `bits`: the first bit in each byte's lowest place.
std::string BytesLaidLsbFirst(const Bits& bits) {
    std::string bytes((bits.size() + 7) / 8, '\0');
    for (std::size_t i = 0; i < bits.size(); ++i)
        if (bits[i])
            bytes[i / 8] = static_cast<char>(bytes[i / 8] | (1 << (i % 8)));
    return bytes;
}

std::string RawBlock(int track, const std::string& data) {
    if (data.empty())
        return {'\x1B', static_cast<char>(track), '\0'};
    return std::string{'\x1B', static_cast<char>(track), static_cast<char>(data.size() + 1)} +
           data + '\0';
}

VirtualCard IsoSample() {
    return Deck::Samples()[1].card;
}

struct Fixture {
    Device device;
    ReplyLog log{device};

    std::string run(const char* commandText, VirtualCard& card) {
        device.receive(Bytes(commandText));
        device.swipe(card);
        return log.take();
    }
};

TEST(CardOperations, SampleCardsReadWithTheirTracksAndStatus) {
    Fixture f;
    Deck deck = Deck::Samples();
    EXPECT_EQ(f.run("\\1Br", deck[1].card),
              "\\1B\\01%B4111111111111111^SAMPLE/CARD^2812101?\\1B\\02;4111111111111111="
              "2812101?\\1B\\03;0123456789??\\1C\\1B0");
    EXPECT_EQ(f.run("\\1Br", deck[3].card),
              "\\1B\\01%B4111111111111111^SAMPLE/CARD^2812101?\\1B\\02\\1B*\\1B\\03;0123456789?"
              "?\\1C\\1B2");
    f.run("\\1B\\6F\\07\\05\\07", deck[2].card);
    EXPECT_EQ(f.run("\\1Br", deck[2].card).substr(0, 14), "\\1B\\01%CASPRIN");
}

TEST(CardOperations, FailedTracksAreNamedAsABitSet) {
    Fixture f;
    VirtualCard card = IsoSample();
    card.tracks[0].setDamaged(true);
    card.tracks[2].setDamaged(true);
    const std::string raw = f.run("\\1Bm", card);
    EXPECT_EQ(raw.substr(0, 10), "\\1B\\01\\1B*");
    EXPECT_EQ(raw.substr(raw.size() - 12), "\\1B*?\\1C\\1B5");
    EXPECT_EQ(f.run("\\1Br", card),
              "\\1B\\01\\1B*\\1B\\02;4111111111111111=2812101?\\1B\\03\\1B*?\\1C\\1B5");
    card.tracks[1].setDamaged(true);
    const std::string reply = f.run("\\1Br", card);
    EXPECT_EQ(reply, "\\1B\\01\\1B*\\1B\\02\\1B*\\1B\\03\\1B*?\\1C\\1B7");
}

TEST(CardOperations, DamagedCardsRefuseWrites) {
    Fixture f;
    Deck deck = Deck::Samples();
    VirtualCard& damaged = deck[3].card;
    const VirtualCard damagedBefore = damaged;
    EXPECT_EQ(f.run("\\1Bw\\1Bs\\1B\\01HELLO?\\1C", damaged), "\\1B1");
    EXPECT_EQ(damaged.tracks, damagedBefore.tracks);
}

// A high-coercivity head records on either kind of stripe; only a
// low-coercivity write onto a high-coercivity stripe leaves it as it was.
TEST(CardOperations, OnlyALowCoercivityWriteOntoAHighCoercivityCardFails) {
    struct Case {
        const char* select; // the writer's coercivity command
        Coercivity card;
        bool records;
    };
    const Case cases[] = {{"\\1Bx", Coercivity::High, true},
                          {"\\1Bx", Coercivity::Low, true},
                          {"\\1By", Coercivity::Low, true},
                          {"\\1By", Coercivity::High, false}};
    for (const Case& c : cases) {
        Fixture f;
        f.device.receive(Bytes(c.select));
        f.log.take();
        VirtualCard card = IsoSample();
        card.coercivity = c.card;
        const std::string ok = c.records ? "\\1B0" : "\\1B1";
        const bool high = c.card == Coercivity::High;
        EXPECT_EQ(f.run("\\1Bw\\1Bs\\1B\\01HELLO?\\1C", card), ok) << c.select << high;
        EXPECT_EQ(f.run("\\1Br", card).substr(0, 16),
                  c.records ? "\\1B\\01%HELLO?\\1B" : "\\1B\\01%B41111111")
            << "reading does not depend on coercivity " << c.select << high;
        EXPECT_EQ(f.run("\\1Bc\\37", card), ok) << c.select << high;
        EXPECT_EQ(card.tracks[0].isBlank(), c.records) << c.select << high;
    }
}

TEST(CardOperations, AtPowerOnTheWriterRecordsOnTheBlankCardAtHand) {
    Fixture f;
    Deck deck = Deck::AtHand();
    EXPECT_EQ(f.run("\\1Bw\\1Bs\\1B\\01ABC 123\\1B\\02555123?\\1C", deck[0].card), "\\1B0");
    EXPECT_EQ(f.run("\\1Br", deck[0].card),
              "\\1B\\01%ABC 123?\\1B\\02;555123?\\1B\\03\\1B+?\\1C\\1B0");
}

TEST(CardOperations, ACharacterOutsideTheTrackAlphabetFailsTheWholeWrite) {
    Fixture f;
    VirtualCard card;
    EXPECT_EQ(f.run("\\1Bw\\1Bs\\1B\\01OK\\1B\\0212A?\\1C", card), "\\1B1");
    EXPECT_TRUE(card.tracks[0].isBlank());
}

struct EraseCase {
    char mask;
    std::array<bool, 3> blankAfter;
};

class EraseMask : public ::testing::TestWithParam<EraseCase> {};

TEST_P(EraseMask, ClearsExactlyTheTracksOfTheMask) {
    Fixture f;
    VirtualCard card = IsoSample();
    const std::string command = std::string("\\1Bc") + GetParam().mask;
    EXPECT_EQ(f.run(command.c_str(), card), "\\1B0");
    for (std::size_t t = 0; t < 3; ++t)
        EXPECT_EQ(card.tracks[t].isBlank(), GetParam().blankAfter[t]) << "track " << t + 1;
}

INSTANTIATE_TEST_SUITE_P(
    Masks, EraseMask,
    ::testing::Values(EraseCase{'1', {true, false, false}}, EraseCase{'2', {false, true, false}},
                      EraseCase{'4', {false, false, true}}, EraseCase{'5', {true, false, true}},
                      EraseCase{'6', {false, true, true}}, EraseCase{'7', {true, true, true}}));

class PassBook : public ::testing::Test {
protected:
    // Track 2 in the pass-book form: 5-bit characters ";" data "<".
    std::string command() const {
        const std::string data = BytesLaidLsbFirst(*EncodeCharacters(";0042<", {5, Parity::Odd}));
        return Bytes("\\1BW\\1Bs") + RawBlock(1, "") + RawBlock(2, data) + RawBlock(3, "") +
               Bytes("\\3F\\1C");
    }
    Fixture f;
};

TEST_F(PassBook, FirstSwipeWritesAndTheVerifyingSwipeConfirms) {
    VirtualCard card;
    f.device.receive(command());
    f.device.swipe(card);
    EXPECT_EQ(f.log.take(), "\\1B5");
    EXPECT_TRUE(f.device.awaitsVerification());
    f.device.swipe(card);
    EXPECT_EQ(f.log.take(), "\\1B0");
    EXPECT_FALSE(f.device.isArmed());
    EXPECT_EQ(f.run("\\1BR0", card), "\\1B\\01\\1B+\\1B\\02;0042<\\1B\\03\\1B+?\\1C\\1B0");
}

TEST_F(PassBook, TheSimulatorsListNamesAWrittenPassBookByWhatItHolds) {
    PortDirectory ports;
    SimulatedPorts simulator(ports, 5);
    simulator.device().receive(command());
    ASSERT_TRUE(simulator.swipe(0));
    ASSERT_TRUE(simulator.swipe(0)); // the verifying swipe
    EXPECT_EQ(simulator.cardLabel(0), "T2 ;0042<");
}

TEST_F(PassBook, AVerifyingSwipeOfAnotherCardFails) {
    VirtualCard card;
    VirtualCard other;
    f.device.receive(command());
    f.device.swipe(card);
    f.device.swipe(other);
    EXPECT_EQ(f.log.take(), "\\1B5\\1B1");
}

TEST_F(PassBook, ReadingAnIsoCardFailsItsSevenBitTrack) {
    VirtualCard card = IsoSample();
    EXPECT_EQ(f.run("\\1BR1", card),
              "\\1B\\01\\1B*\\1B\\02;4111111111111111=2812101?\\1B\\03;0123456789??\\1C\\1B1");
}

} // namespace
} // namespace msrw::sim::test
