#include "cards/UserTrackCodec.h"

#include "link/Notation.h"
#include "protocol/ReadReply.h"
#include "sim/CardOps.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace msrw::track {
namespace {

using Status = TrackDecodeStatus;

UserTrackFormat Format(int bits, std::string parity, char ss = 0, char es = '?') {
    if (ss == 0)
        ss = bits >= 6 ? '%' : ';';
    return {bits, std::move(parity), ss, es};
}

std::string DeviceParity(int bits) {
    return CarriesParityBit(bits) ? "Odd" : "None";
}

// Every character a width can record except the end sentinel "?".
std::string Alphabet(int bits) {
    std::string chars;
    for (int c = bits >= 6 ? ' ' : '0'; c <= (bits >= 6 ? '_' : '?'); ++c)
        if (c != '?')
            chars += static_cast<char>(c);
    return chars;
}

unsigned char Reversed(unsigned char byte) {
    unsigned char out = 0;
    for (int i = 0; i < 8; ++i)
        out = static_cast<unsigned char>(out | (((byte >> i) & 1) << (7 - i)));
    return out;
}

// What the program sends for hexadecimal digits in a raw write: an odd count
// gets a leading "0", and each byte goes with its bits reversed, since the
// device lays every byte down least significant bit first.
std::string RawWriteBytes(std::string hex) {
    if (hex.size() % 2 == 1)
        hex.insert(0, "0");
    std::string bytes;
    for (std::size_t i = 0; i < hex.size(); i += 2)
        bytes += static_cast<char>(
            Reversed(static_cast<unsigned char>(std::stoi(hex.substr(i, 2), nullptr, 16))));
    return bytes;
}

sim::VirtualCard CardWrittenRaw(const TrackTexts& hexTracks) {
    sim::TrackTexts blocks;
    for (std::size_t k = 0; k < 3; ++k)
        if (!hexTracks[k].empty())
            blocks[k] = RawWriteBytes(hexTracks[k]) + '\0'; // every block ends in 00
    sim::VirtualCard card;
    EXPECT_TRUE(sim::ApplyWrite(card, sim::PlanRawWrite(blocks), sim::DeviceSettings{}));
    return card;
}

// A raw read of the card, the whole way the program takes it: the device's
// reply in hex form, cut into tracks, length bytes dropped.
TrackTexts RawReadHex(const sim::VirtualCard& card) {
    const std::string reply = HexForm(sim::EscapeReadReply(sim::ReadCardRaw(card), true));
    reading::ParsedRead read = reading::ParseReadReply(reply, {reply::MsrwMode::Ormond, 2, 2});
    EXPECT_TRUE(read.ok);
    reading::RawTrackToHex(read.tracks);
    return read.tracks;
}

TEST(UserTrackCodec, CharacterHelpers) {
    const struct {
        std::string bits;
        int width;
        std::string parity;
        bool passes;
    } parityCases[] = {
        {"1000000", 7, "Odd", true},   {"1000001", 7, "Odd", false}, {"1000001", 7, "Even", true},
        {"1000000", 7, "Even", false}, {"1000001", 7, "None", true}, {"00001", 5, "Odd", true},
        {"00000", 5, "Odd", false},    {"00000", 5, "Even", true},   {"111111", 6, "Odd", true},
        {"1110", 4, "Even", true},
    };
    for (const auto& c : parityCases)
        EXPECT_EQ(CheckCharParity(c.bits, c.width, c.parity), c.passes) << c.bits << c.parity;

    EXPECT_EQ(SetParityBit("1100000", "Odd"), "1100001");
    EXPECT_EQ(SetParityBit("1100001", "Even"), "1100000");
    EXPECT_EQ(SetParityBit("1000000", "Other"), "1000001"); // anything but None/Odd is even
    EXPECT_EQ(SetParityBit("0101", "None"), "0101");
    EXPECT_EQ(ReverseBits("1101000"), "0001011");
    EXPECT_EQ(std::string({CodeToChar(7, 5), CodeToChar(6, 0), CodeToChar(6, 63), CodeToChar(5, 11),
                           CodeToChar(4, 15)}),
              "% _;?");
}

// Raw reads worked out by hand from the stripe layout, so that a bit-order
// fault shared by the encoder and the simulated reader cannot pass. Each
// character's value (code - 32 at 7 and 6 bits, code - 48 at 5 and 4) lies
// least significant bit first, its parity bit last at 7 and 5 bits; after
// the end sentinel the check character (the exclusive-or of the data bits,
// with its own parity bit). A raw read starts at the first 1 bit and ends in
// zeros up to a whole byte. Worked example, 7 bits odd, "%A1?":
//   "%" 5 -> 101000 + parity 1, "A" 33 -> 100001 + 1, "1" 17 -> 100010 + 1,
//   "?" 31 -> 111110 + 0, check 5^33^17^31 = 42 -> 010101 + 0, then 00000:
//   1010 0011 0000 1110 0010 1111 1100 0101 0100 0000 = A30E2FC540.
TEST(UserTrackCodec, DecodesRawReadsWorkedOutByHand) {
    const struct {
        const char* hex;
        UserTrackFormat format;
        const char* text; // decoded, sentinels included; empty when it fails
        Status status;
        bool encoderWrites; // the encoder records the same bits for `text`
    } cases[] = {
        {"A30E2FC540", Format(7, "Odd"), "%A1?", Status::Decoded, true},
        {"A10A27D560", Format(7, "Even"), "%A1?", Status::Decoded, true},
        {"A10A27C540", Format(7, "None"), "%A1?", Status::Decoded, true}, // parity bits 0
        {"A2147E98", Format(6, "None"), "%AB?", Status::Decoded, true},
        {"D4119F90", Format(5, "Odd"), ";123?", Status::Decoded, true},
        {"DC538F14", Format(5, "Even"), ";123?", Status::Decoded, true},
        {"D84FE0", Format(4, "None"), ";12?", Status::Decoded, true},
        {"D90BF0", Format(4, "None"), ";90=?", Status::Decoded, true},
        // "<" 12 -> 0011 + parity 1: its two leading zeros are not in a raw read.
        {"F047C2", Format(5, "Odd", '<'), "<12?", Status::Decoded, false},
        // "?" then "2" 0100, then "?" 1111: a 1 bit after the would-be check
        // character, so the first "?" is data.
        {"D8F4F1", Format(4, "None"), ";1?2?", Status::Decoded, false},
        // "%" recorded with parity bit 0 instead of 1.
        {"A10E2FC540", Format(7, "Odd"), "", Status::ParityError, false},
        // Check character 1111 where 1110 belongs.
        {"D84FF0", Format(4, "None"), "", Status::CheckCharacterError, false},
        // The same bits read at the wrong width.
        {"D84FE0", Format(5, "Odd"), "", Status::ParityError, false},
    };
    for (const auto& c : cases) {
        const std::string what = std::string(c.hex) + " at " +
                                 std::to_string(c.format.bitsPerCharacter) + " " + c.format.parity;
        const TrackDecode decoded = DecodeUserTrack(c.hex, c.format);
        EXPECT_EQ(decoded.status, c.status) << what;
        EXPECT_EQ(decoded.text, c.text) << what;
        if (c.encoderWrites) {
            EXPECT_EQ(EncodeUserTrack(c.text, c.format).hexDigits, c.hex) << what;
        }
    }
}

// Cards written by the device itself in each of its formats decode.
TEST(UserTrackCodec, DecodesDeviceWrittenCards) {
    for (const int bits : {7, 6, 5, 4}) {
        const std::string data = Alphabet(bits);
        const sim::TrackTexts texts = {data, data.substr(3, 9), std::string(1, data.back())};
        sim::DeviceSettings device;
        device.bitsPerChar = {bits, bits, bits};
        sim::VirtualCard card;
        ASSERT_TRUE(
            sim::ApplyWrite(card, sim::PlanDecodedWrite(texts, device.bitsPerChar), device));
        const UserTrackFormat format = Format(bits, DeviceParity(bits));
        const DecodedTracks decoded = DecodeUserTracks(RawReadHex(card), {format, format, format});
        EXPECT_TRUE(decoded.ok) << bits;
        for (std::size_t k = 0; k < 3; ++k)
            EXPECT_EQ(decoded.tracks[k], format.startSentinel + *texts[k] + "?")
                << bits << " bits, track " << k + 1;
    }
}

// Encoded, written raw, read raw and decoded: the text comes back.
TEST(UserTrackCodec, EncodedTracksReadBack) {
    const struct {
        UserTrackFormat format;
    } cases[] = {
        {Format(7, "Odd")},
        {Format(7, "Even")},
        {Format(7, "None")},
        {Format(6, "None")},
        {Format(5, "Odd")},
        {Format(5, "Even")},
        {Format(4, "None")},
        {Format(5, "Odd", '<', '>')},  // "<" begins with two zero bits
        {Format(7, "Even", '<', ' ')}, // an end sentinel "~" is a space
    };
    for (const auto& c : cases) {
        std::string data = Alphabet(c.format.bitsPerCharacter);
        std::erase(data, c.format.endSentinel);
        TrackTexts hex;
        for (std::size_t k = 0; k < 3; ++k) {
            const EncodedTrack encoded = EncodeUserTrack(data.substr(k), c.format);
            ASSERT_TRUE(encoded.ok()) << encoded.problem;
            EXPECT_EQ(encoded.hexDigits.size() % 2, 0u);
            hex[k] = encoded.hexDigits;
        }
        const DecodedTracks decoded =
            DecodeUserTracks(RawReadHex(CardWrittenRaw(hex)), {c.format, c.format, c.format});
        const std::string what = std::to_string(c.format.bitsPerCharacter) + c.format.parity +
                                 c.format.startSentinel + c.format.endSentinel;
        EXPECT_TRUE(decoded.ok) << what;
        for (std::size_t k = 0; k < 3; ++k)
            EXPECT_EQ(decoded.tracks[k],
                      c.format.startSentinel + data.substr(k) + c.format.endSentinel)
                << what << " track " << k + 1;
    }
}

std::string BitsOfHex(const std::string& hex) {
    return ConvertHexadecimalToBinary(hex);
}

std::string HexOfBits(std::string bits) {
    bits.append((4 - bits.size() % 4) % 4, '0');
    return ConvertBinaryToHexadecimal(bits);
}

// Tracks laid down by the device's stripe model from characters of our
// choice, so that an end sentinel can stand inside the data.
std::string StripeHex(const std::string& chars, int bits) {
    sim::Stripe stripe;
    stripe.record(20, *sim::EncodeCharacters(chars, *sim::DeviceCharFormat(bits)));
    return sim::HexDigitsOf(stripe.rawBytes());
}

TEST(UserTrackCodec, EndSentinelEndsOnlyWhenZerosFollowTheCheckCharacter) {
    const struct {
        const char* chars;
        Status status;
    } cases[] = {
        {"%A?B?", Status::Decoded},              // "B" then a 1 bit: "?" was data
        {"%A?X ?", Status::CheckCharacterError}, // "X" then zeros: taken as the end
    };
    for (const auto& c : cases) {
        const TrackDecode decoded = DecodeUserTrack(StripeHex(c.chars, 6), Format(6, "None"));
        EXPECT_EQ(decoded.status, c.status) << c.chars;
        EXPECT_EQ(decoded.text, c.status == Status::Decoded ? c.chars : "") << c.chars;
    }
}

TEST(UserTrackCodec, DamagedTracksFail) {
    using Mutation = std::function<void(std::string&)>;
    const auto flip = [](std::size_t at) { return [at](std::string& b) { b[at] ^= 1; }; };
    const struct {
        const char* what;
        UserTrackFormat format;
        Mutation damage;
        Status status;
    } cases[] = {
        {"intact", Format(7, "Odd"), [](std::string&) {}, Status::Decoded},
        {"one bit flipped", Format(7, "Odd"), flip(7 * 2 + 3), Status::ParityError},
        {"parity bit flipped", Format(5, "Even"), flip(5 * 3 + 4), Status::ParityError},
        {"two bits, parity kept", Format(7, "Odd"),
         [&](std::string& b) { flip(7 * 2 + 1)(b), flip(7 * 2 + 2)(b); },
         Status::CheckCharacterError},
        {"data bit without parity", Format(6, "None"), flip(6 * 3 + 1),
         Status::CheckCharacterError},
        {"check character lost", Format(6, "None"), [](std::string& b) { b.resize(6 * 8); },
         Status::CheckCharacterError},
        {"end sentinel lost", Format(6, "None"), [](std::string& b) { b.resize(6 * 7); },
         Status::NoEndSentinel},
    };
    for (const auto& c : cases) {
        // Eight characters: the sentinels around six, and the check character.
        const EncodedTrack encoded =
            EncodeUserTrack(c.format.bitsPerCharacter >= 6 ? "ABCDEF" : "123456", c.format);
        ASSERT_TRUE(encoded.ok()) << c.what << ": " << encoded.problem;
        std::string bits = BitsOfHex(encoded.hexDigits);
        c.damage(bits);
        const TrackDecode decoded = DecodeUserTrack(HexOfBits(bits), c.format);
        EXPECT_EQ(decoded.status, c.status) << c.what;
        EXPECT_EQ(decoded.text.empty(), c.status != Status::Decoded) << c.what;
    }
}

TEST(UserTrackCodec, FailedTrackIsEmptyAndClearsOk) {
    const UserTrackFormat format = Format(4, "None");
    const std::string good = EncodeUserTrack("123", format).hexDigits;
    const struct {
        const char* what;
        TrackTexts hex;
        std::array<UserTrackFormat, 3> formats;
        bool ok;
        std::array<Status, 3> status;
    } cases[] = {
        {"blank tracks",
         {"", good, ""},
         {format, format, format},
         true,
         {Status::Empty, Status::Decoded, Status::Empty}},
        {"not hexadecimal",
         {good, good + "G", ""},
         {format, format, format},
         false,
         {Status::Decoded, Status::BadDigits, Status::Empty}},
        {"8 bits per character",
         {good, good, good},
         {format, format, Format(8, "None")},
         false,
         {Status::Decoded, Status::Decoded, Status::BadFormat}},
        {"no end sentinel",
         {"8888", "", ""},
         {format, format, format},
         false,
         {Status::NoEndSentinel, Status::Empty, Status::Empty}},
    };
    for (const auto& c : cases) {
        const DecodedTracks decoded = DecodeUserTracks(c.hex, c.formats);
        EXPECT_EQ(decoded.ok, c.ok) << c.what;
        EXPECT_EQ(decoded.status, c.status) << c.what;
        for (std::size_t k = 0; k < 3; ++k)
            EXPECT_EQ(decoded.tracks[k], c.status[k] == Status::Decoded ? ";123?" : "") << c.what;
    }
}

TEST(UserTrackCodec, LengthLimits) {
    const UserTrackFormat narrow = Format(4, "None");
    // 297 characters and the sentinels and check character: 300, the most read.
    const EncodedTrack longest = EncodeUserTrack(std::string(297, '5'), narrow);
    ASSERT_TRUE(longest.ok()) << longest.problem;
    // A stripe reads on in zeros after the data; the limit counts characters
    // up to the check character only.
    EXPECT_EQ(DecodeUserTrack(longest.hexDigits + std::string(200, '0'), narrow).status,
              Status::Decoded);
    EXPECT_FALSE(EncodeUserTrack(std::string(298, '5'), narrow).ok());
    EXPECT_EQ(DecodeUserTrack(std::string(301, '5'), narrow).status, Status::TooLong);
    EXPECT_EQ(DecodeUserTrack(std::string(300, '5'), narrow).status, Status::NoEndSentinel);
    // 7 bits: 287 characters fill 254 bytes with sentinels and check character.
    const UserTrackFormat wide = Format(7, "Odd");
    EXPECT_EQ(EncodeUserTrack(std::string(287, 'A'), wide).hexDigits.size(), 2 * kMaxEncodedBytes);
    EXPECT_FALSE(EncodeUserTrack(std::string(288, 'A'), wide).ok());
}

// An end sentinel inside the data, and a start sentinel that is the end
// sentinel too, are written as they are and read back through the card.
TEST(UserTrackCodec, EndSentinelsThatAreDataReadBack) {
    const struct {
        const char* text;
        UserTrackFormat format;
        const char* readBack;
    } cases[] = {
        {"AB?CD", Format(6, "None"), "%AB?CD?"},
        {"1?2?3", Format(5, "Odd"), ";1?2?3?"},
        {"HELLO", Format(7, "Even", '%', '%'), "%HELLO%"},
        {"%A%B", Format(7, "Odd", '%', '%'), "%A%B%"},
        {"12", Format(4, "None", ';', ';'), ";12;"},
    };
    for (const auto& c : cases) {
        const EncodedTrack encoded = EncodeUserTrack(c.text, c.format);
        ASSERT_TRUE(encoded.ok()) << c.text << ": " << encoded.problem;
        const DecodedTracks decoded =
            DecodeUserTracks(RawReadHex(CardWrittenRaw({encoded.hexDigits, "", ""})),
                             {c.format, c.format, c.format});
        EXPECT_TRUE(decoded.ok) << c.text;
        EXPECT_EQ(decoded.tracks[0], c.readBack) << c.text;
    }
}

TEST(UserTrackCodec, EncoderSentinelsAndRefusals) {
    const UserTrackFormat wide = Format(6, "None");
    const std::string plain = EncodeUserTrack("ABC", wide).hexDigits;
    for (const char* framed : {"%ABC?", "%ABC", "ABC?"})
        EXPECT_EQ(EncodeUserTrack(framed, wide).hexDigits, plain) << framed;
    EXPECT_TRUE(EncodeUserTrack("", wide).ok());
    EXPECT_TRUE(EncodeUserTrack("", wide).hexDigits.empty());

    const struct {
        std::string text;
        UserTrackFormat format;
        const char* problem;
    } refusals[] = {
        {"abc", wide, "the character \"a\" cannot be recorded at 6 bits per character"},
        {"12A", Format(4, "None"),
         "the character \"A\" cannot be recorded at 4 bits per character"},
        // At "?" the character after next records no 1 bit (a blank): a read
        // takes the "?" for the end, and the next character for the check.
        {"A?X B", wide,
         "the track data would not read back as written: a read would end at the end sentinel "
         "\"?\" inside it"},
        {"ABC", Format(8, "None"), "bits per character must be 7, 6, 5 or 4, not 8"},
        {"12", Format(4, "None", '0', '?'),
         "the start sentinel \"0\" records no 1 bit, so a read could not find the start of the "
         "track"},
    };
    for (const auto& r : refusals) {
        const EncodedTrack encoded = EncodeUserTrack(r.text, r.format);
        EXPECT_EQ(encoded.problem, r.problem) << r.text;
        EXPECT_TRUE(encoded.hexDigits.empty()) << r.text;
    }
}

} // namespace
} // namespace msrw::track
