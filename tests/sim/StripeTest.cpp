#include "sim/Stripe.h"
#include "SimTestSupport.h"
#include "sim/CardOps.h"

#include <gtest/gtest.h>

namespace msrw::sim::test {
namespace {

std::string BitText(const Bits& bits) {
    std::string text;
    for (const bool bit : bits)
        text.push_back(bit ? '1' : '0');
    return text;
}

// The bits of a raw read field's bytes, first bit most significant.
std::string BitTextOfBytes(const std::string& bytes) {
    std::string text;
    for (const char byte : bytes)
        for (int i = 7; i >= 0; --i)
            text.push_back(((static_cast<unsigned char>(byte) >> i) & 1) ? '1' : '0');
    return text;
}

// Reads characters off a bit text as a reader would: each character's bits
// least significant first, then (7 and 5 bits) an odd parity bit; after "?"
// one check character. Written apart from the model on purpose.
struct HandDecoded {
    std::string chars;
    bool parityOk = true;
    bool checkOk = false;
};

HandDecoded HandDecode(const std::string& bits, int bitsPerChar) {
    const bool hasParity = bitsPerChar == 7 || bitsPerChar == 5;
    const int dataBits = hasParity ? bitsPerChar - 1 : bitsPerChar;
    const int base = bitsPerChar >= 6 ? 32 : 48;
    HandDecoded out;
    int check = 0;
    auto readChar = [&](std::size_t at) {
        int value = 0;
        int ones = 0;
        for (int i = 0; i < bitsPerChar; ++i) {
            const bool one = at + i < bits.size() && bits[at + i] == '1';
            ones += one;
            if (i < dataBits && one)
                value += 1 << i;
        }
        if (hasParity && ones % 2 == 0)
            out.parityOk = false;
        return value;
    };
    for (std::size_t at = 0; at < bits.size(); at += bitsPerChar) {
        const int value = readChar(at);
        check ^= value;
        out.chars.push_back(static_cast<char>(base + value));
        if (out.chars.back() == '?') {
            out.checkOk = readChar(at + bitsPerChar) == check;
            break;
        }
    }
    return out;
}

TEST(StripeModel, CharactersLieLeastSignificantBitFirstWithParityLastAndCheckCharacter) {
    // Worked by hand: ";" 1101+0, "1" 1000+0, "?" 1111+1, check 05 -> 1010+1.
    EXPECT_EQ(BitText(*EncodeCharacters(";1?", {5, Parity::Odd})), "11010100001111110101");
    // "%" 05, "A" 21, "?" 1F, check 3B; six data bits then odd parity.
    EXPECT_EQ(BitText(*EncodeCharacters("%A?", {7, Parity::Odd})), "1010001"
                                                                   "1000011"
                                                                   "1111100"
                                                                   "1101110");
    // No parity bit at 6 bits: "%" 05, "?" 1F, check 1A.
    EXPECT_EQ(BitText(*EncodeCharacters("%?", {6, Parity::None})), "101000111110010110");
}

TEST(StripeModel, RawBytesStartAtTheFirstOneBitAndPadToWholeBytes) {
    Stripe stripe;
    stripe.record(22, *EncodeCharacters(";1?", {5, Parity::Odd}));
    EXPECT_EQ(stripe.rawBytes(), "\xD4\x3F\x50");
    stripe.erase();
    EXPECT_TRUE(stripe.isBlank());
    EXPECT_EQ(stripe.rawBytes(), "");
}

TEST(StripeModel, CharactersOutsideTheAlphabetCannotBeEncoded) {
    EXPECT_FALSE(EncodeCharacters("%a?", {7, Parity::Odd}));  // lower case
    EXPECT_FALSE(EncodeCharacters(";A?", {5, Parity::Odd}));  // letter on a digit track
    EXPECT_FALSE(EncodeCharacters(";/?", {4, Parity::None})); // below "0"
    EXPECT_TRUE(EncodeCharacters("%_?", {6, Parity::None}));  // last of the 6-bit alphabet
}

struct RoundTrip {
    int bitsPerChar;
    int track; // 0-2
    const char* text;
    const char* expected; // sentinels added
};

class DecodedRoundTrip : public ::testing::TestWithParam<RoundTrip> {};

// Decoded write then decoded read through the device; the raw read of the
// same card, decoded by hand, shows valid parity and check character.
TEST_P(DecodedRoundTrip, WriteThenReadGivesSentinelsAndText) {
    const RoundTrip& p = GetParam();
    Device device;
    ReplyLog log(device);
    VirtualCard card;
    const char b = static_cast<char>(p.bitsPerChar);
    device.receive(Bytes("\\1B\\6F") + std::string(3, b));
    ASSERT_EQ(log.take(), DisplayForm(Bytes("\\1B0") + std::string(3, b)));

    device.receive(Bytes("\\1Bw\\1Bs\\1B") + static_cast<char>(p.track + 1) + p.text + "?\x1C");
    ASSERT_TRUE(device.swipe(card));
    ASSERT_EQ(log.take(), "\\1B0");

    device.receive(Bytes("\\1Br"));
    device.swipe(card);
    std::string expectedReply;
    for (int t = 0; t < 3; ++t)
        expectedReply += Bytes("\\1B") + static_cast<char>(t + 1) +
                         (t == p.track ? std::string(p.expected) : Bytes("\\1B+"));
    EXPECT_EQ(log.take(), DisplayForm(expectedReply + Bytes("?\\1C\\1B0")));

    const std::string raw = card.tracks[static_cast<std::size_t>(p.track)].rawBytes();
    const HandDecoded hand = HandDecode(BitTextOfBytes(raw), p.bitsPerChar);
    EXPECT_EQ(hand.chars, p.expected);
    EXPECT_TRUE(hand.parityOk);
    EXPECT_TRUE(hand.checkOk);
}

INSTANTIATE_TEST_SUITE_P(BitsPerCharacter, DecodedRoundTrip,
                         ::testing::Values(RoundTrip{7, 0, "ABC 123^X", "%ABC 123^X?"},
                                           RoundTrip{6, 0, "HELLO/WORLD", "%HELLO/WORLD?"},
                                           RoundTrip{5, 1, "4111=2812", ";4111=2812?"},
                                           RoundTrip{4, 2, "0123456789", ";0123456789?"}));

TEST(StripeModel, ARecordedTrackReadsOnlyAtItsOwnBitsPerCharacter) {
    Stripe stripe;
    stripe.record(61, *EncodeCharacters("%ABC?", {7, Parity::Odd}));
    EXPECT_EQ(ReadDecoded(stripe, 7).data, "%ABC?");
    EXPECT_EQ(ReadDecoded(stripe, 5).state, TrackRead::State::Failed);
    EXPECT_EQ(ReadDecoded(stripe, 8).state, TrackRead::State::Failed);
}

TEST(StripeModel, ParityAndCheckCharacterErrorsFailTheTrack) {
    const Bits good = *EncodeCharacters(";12?", {5, Parity::Odd});
    Bits parityError = good;
    parityError[6] = !parityError[6]; // one data bit of "1": parity breaks
    Bits checkError = good;
    checkError[5] = !checkError[5]; // two bits of "1" flipped: parity holds,
    checkError[6] = !checkError[6]; // the check character no longer matches
    for (const Bits* bits : {&parityError, &checkError}) {
        Stripe stripe;
        stripe.record(10, *bits);
        EXPECT_EQ(ReadDecoded(stripe, 5).state, TrackRead::State::Failed);
    }
    Stripe stripe;
    stripe.record(10, good);
    EXPECT_EQ(ReadDecoded(stripe, 5).data, ";12?");
}

TEST(StripeModel, RawWriteOfDataBeginningWithAOneBitReadsBack) {
    const std::string data = "\xA5\x00\x3F\x1C\x1B\x81";
    const WritePlan plan = PlanRawWrite({std::nullopt, data + '\0', std::nullopt});
    VirtualCard card;
    ASSERT_TRUE(ApplyWrite(card, plan, DeviceSettings{}));
    EXPECT_EQ(ReadRaw(card.tracks[1]).data, data);
    EXPECT_EQ(card.tracks[1].firstOne(), 22u); // track 2 at 75 BPI: 22 leading zeros
}

TEST(StripeModel, RawReadDropsZeroBitsBeforeTheFirstOne) {
    // 0x0F laid down least significant bit first puts four ones, then zeros.
    VirtualCard card;
    ASSERT_TRUE(
        ApplyWrite(card, PlanRawWrite({std::string("\x0F\x00", 2), {}, {}}), DeviceSettings{}));
    EXPECT_EQ(ReadRaw(card.tracks[0]).data, "\xF0");
}

} // namespace
} // namespace msrw::sim::test
