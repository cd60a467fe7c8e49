#include "protocol/CommandSet.h"
#include "link/Notation.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace msrw::cmd {
namespace {

// The bytes a command text sends; fails the test for an unusable text.
std::string Bytes(const std::string& text) {
    const CommandBytes parsed = ParseCommandText(text);
    EXPECT_TRUE(parsed.usable()) << text;
    EXPECT_EQ(parsed.badHexDigits, 0) << text;
    return parsed.bytes;
}

struct FixedCase {
    const char* what;
    std::function<std::string()> build;
    const char* text;
    std::string bytes;
};

TEST(CommandSet, FixedCommandsHaveTheirTextsAndBytes) {
    using namespace std::string_literals;
    const std::vector<FixedCase> cases = {
        {"idle", Idle, "\\1Ba", "\x1B"s + "a"},
        {"communication test", CommunicationTest, "\\1Be", "\x1B"s + "e"},
        {"decoded read", ReadDecoded, "\\1Br", "\x1B"s + "r"},
        {"raw read", ReadRaw, "\\1B\\6D", "\x1B"s + "m"},
        {"pass-book read", [] { return ReadPassBook(false); }, "\\1BR0", "\x1B"s + "R0"},
        {"pass-book read, only different", [] { return ReadPassBook(true); }, "\\1BR1",
         "\x1B"s + "R1"},
        {"high coercivity", SelectHighCoercivity, "\\1Bx", "\x1B"s + "x"},
        {"low coercivity", SelectLowCoercivity, "\\1By", "\x1B"s + "y"},
        {"ask coercivity", AskCoercivity, "\\1Bd", "\x1B"s + "d"},
        {"ask bias", AskLeadZeroBias, "\\1Bi", "\x1B"s + "i"},
        {"ask track model", AskTrackModel, "\\1Bt", "\x1B"s + "t"},
        {"boot loader", EnterBootLoader, "\\1B\\4A\\46\\4B", "\x1B"s + "JFK"},
        {"to Tarn", SwitchToTarn, "\\1BToTARN", "\x1B"s + "ToTARN"},
        {"to Velk", SwitchToVelk, "ToVELK", "ToVELK"},
        {"probe", Probe, "\\39", "9"},
        {"Velk read USER", VelkReadUser, "RU 0\\0D", "RU 0\r"},
        {"Velk read RAW", VelkReadRaw, "RR\\0D", "RR\r"},
    };
    for (const FixedCase& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string text = c.build();
        EXPECT_EQ(text, c.text);
        EXPECT_EQ(Bytes(text), c.bytes);
    }
}

TEST(CommandSet, ByteParametersAreWrittenAsOneByteEach) {
    using namespace std::string_literals;
    struct Case {
        const char* what;
        std::optional<std::string> text;
        const char* expected;
        std::string bytes;
    };
    const std::vector<Case> cases = {
        {"leading zeros 5, 22", SetLeadingZeros(5, 22), "\\1Bz\\05\\16", "\x1Bz\x05\x16"s},
        {"leading zeros 61, 22", SetLeadingZeros(61, 22), "\\1Bz\\3D\\16", "\x1Bz\x3D\x16"s},
        {"leading zeros 0, 255", SetLeadingZeros(0, 255), "\\1Bz\\00\\FF", "\x1Bz\x00\xFF"s},
        {"track 1 at 210", SetDensity(Track::One, 210), "\\1Bf\\D2", "\x1B"s + "f\xD2"},
        {"track 2 at 75", SetDensity(Track::Two, 75), "\\1Bb\\4B", "\x1B"s + "bK"},
        {"track 3 at 210", SetDensity(Track::Three, 210), "\\1Bg\\D2", "\x1B"s + "g\xD2"},
        {"bias 3F", SetLeadZeroBias(0x3F), "\\1Bh\\3F", "\x1B"s + "h?"},
        {"bias 0", SetLeadZeroBias(0), "\\1Bh\\00", "\x1B"s + "h\x00"s},
        {"ISO bits", SetBitsPerCharacter({7, 5, 5}), "\\1B\\6F\\07\\05\\05", "\x1Bo\x07\x05\x05"s},
        {"AAMVA bits", SetBitsPerCharacter({7, 5, 7}), "\\1B\\6F\\07\\05\\07",
         "\x1Bo\x07\x05\x07"s},
        {"erase tracks 1 and 3", Erase(5), "\\1Bc5", "\x1B"s + "c5"},
        {"erase all", Erase(7), "\\1Bc7", "\x1B"s + "c7"},
        {"erase track 1", Erase(1), "\\1Bc1", "\x1B"s + "c1"},
        {"Velk erase all", VelkErase(7), "ER 7\\0D", "ER 7\r"},
        {"Velk erase track 2", VelkErase(2), "ER 2\\0D", "ER 2\r"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(c.text.has_value());
        EXPECT_EQ(*c.text, c.expected);
        EXPECT_EQ(Bytes(*c.text), c.bytes);
    }
}

TEST(CommandSet, ValuesThatDoNotFitTheirByteAreRefused) {
    struct Case {
        const char* what;
        std::optional<std::string> text;
    };
    const std::vector<Case> refused = {
        {"leading zeros 256 at 210", SetLeadingZeros(256, 22)},
        {"leading zeros 999 at 75", SetLeadingZeros(61, 999)},
        {"negative leading zeros", SetLeadingZeros(-1, 22)},
        {"density 256", SetDensity(Track::One, 256)},
        {"negative density", SetDensity(Track::Three, -75)},
        {"bias 256", SetLeadZeroBias(256)},
        {"bits per character 256", SetBitsPerCharacter({7, 256, 5})},
        {"negative bits per character", SetBitsPerCharacter({7, 5, -1})},
        {"erase nothing", Erase(0)},
        {"erase mask 8", Erase(8)},
        {"negative erase mask", Erase(-1)},
        {"Velk erase nothing", VelkErase(0)},
        {"Velk erase mask 8", VelkErase(8)},
    };
    for (const Case& c : refused)
        EXPECT_FALSE(c.text.has_value()) << c.what << ": " << c.text.value_or("");
}

TEST(CommandSet, TrackModelsUseTheDigitsTheDeviceReports) {
    struct Case {
        TrackModel model;
        const char* command;
        const char* name;
        char digit;
    };
    const std::vector<Case> cases = {
        {TrackModel::Track2, "\\1Bs\\31", "Track 2", '1'},
        {TrackModel::Tracks2And3, "\\1Bs\\32", "Track 2 and Track 3", '2'},
        {TrackModel::Tracks1To3, "\\1Bs\\33", "Track 1, 2 and 3", '3'},
        {TrackModel::Tracks1And2, "\\1Bs\\35", "Track 1 and Track 2", '5'},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(SetTrackModel(c.model), c.command);
        EXPECT_EQ(TrackModelName(c.model), c.name);
        EXPECT_EQ(TrackModelFromName(c.name), c.model);
        EXPECT_EQ(TrackModelFromDigit(c.digit), c.model);
    }
    EXPECT_FALSE(TrackModelFromDigit('4'));
    EXPECT_FALSE(TrackModelFromDigit('0'));
    EXPECT_FALSE(TrackModelFromName("Track 1,2 and 3"));
}

TEST(CommandSet, CardTypeCommands) {
    struct Case {
        const char* cardType;
        std::optional<std::string> ormondRead;
        std::optional<std::string> ormondReadOnlyDifferent;
        std::optional<std::string> velkRead;
        std::optional<std::string> velkWritePrefix;
    };
    const std::vector<Case> cases = {
        {"ISO", "\\1Br", "\\1Br", "\\1Br", "WI "},
        {"AAMVA", "\\1Br", "\\1Br", "\\1Br", "WA "},
        {"CDL", "\\1Br", "\\1Br", "\\1Br", "WC "},
        {"USER", "\\1B\\6D", "\\1B\\6D", "RU 0\\0D", "WU "},
        {"RAW", "\\1B\\6D", "\\1B\\6D", "RR\\0D", "WR "},
        {"PASS BOOK", "\\1BR0", "\\1BR1", std::nullopt, std::nullopt},
        {"CUSTOM", std::nullopt, std::nullopt, std::nullopt, std::nullopt},
        {"iso", std::nullopt, std::nullopt, std::nullopt, std::nullopt},
        {"", std::nullopt, std::nullopt, std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cardType);
        EXPECT_EQ(OrmondReadCommand(c.cardType, false), c.ormondRead);
        EXPECT_EQ(OrmondReadCommand(c.cardType, true), c.ormondReadOnlyDifferent);
        EXPECT_EQ(VelkReadCommand(c.cardType), c.velkRead);
        EXPECT_EQ(VelkWritePrefix(c.cardType), c.velkWritePrefix);
    }
}

TEST(CommandSet, StandardBitsPerCharacterByCardType) {
    EXPECT_EQ(StandardBitsPerCharacter("ISO"), (BitsPerCharacter{7, 5, 5}));
    EXPECT_EQ(StandardBitsPerCharacter("AAMVA"), (BitsPerCharacter{7, 5, 7}));
    for (const char* type : {"USER", "RAW", "PASS BOOK"})
        EXPECT_EQ(StandardBitsPerCharacter(type), (BitsPerCharacter{8, 8, 8})) << type;
    for (const char* type : {"CDL", "CUSTOM", ""})
        EXPECT_FALSE(StandardBitsPerCharacter(type)) << type;
}

TEST(CommandSet, WriteFramesWrapTheBlocksInOrder) {
    const std::vector<std::string> blocks{"<one>", "<two>"};
    EXPECT_EQ(DecodedWrite(blocks), "\\1Bw\\1Bs<one><two>?\\1C");
    EXPECT_EQ(RawWrite(blocks), "\\1Bn\\1Bs<one><two>\\3F\\1C");
    EXPECT_EQ(PassBookWrite(blocks), "\\1BW\\1Bs<one><two>\\3F\\1C");
    EXPECT_EQ(DecodedWrite({}), "\\1Bw\\1Bs?\\1C");
}

TEST(CommandSet, DecodedBlocksCarryTheCharactersAsBytes) {
    EXPECT_EQ(DecodedTrackBlock(Track::One, "ABC"), "\\1B\\01ABC");
    EXPECT_EQ(DecodedTrackBlock(Track::Three, ""), "\\1B\\03");
    // A backslash on the card must reach the device as one backslash byte.
    const std::string block = DecodedTrackBlock(Track::Two, "1\\2");
    EXPECT_EQ(Bytes(block), std::string("\x1B\x02") + "1\\2");
    const std::vector<std::string> blocks{DecodedTrackBlock(Track::One, "ABC"),
                                          DecodedTrackBlock(Track::Two, "123")};
    EXPECT_EQ(Bytes(DecodedWrite(blocks)), std::string("\x1Bw\x1Bs\x1B\x01"
                                                       "ABC\x1B\x02"
                                                       "123?\x1C"));
}

TEST(CommandSet, LeadZeroBiasPatternsAreTheFixedTexts) {
    const std::string allTracks =
        "\\1Bw\\1Bs\\1B\\01TRACK17676760707077676760707077676760707077676760707077676760707077676"
        "76070715\\1B\\022121212121767676070707767676762121212\\1B\\0333333333337676760707077676763"
        "3"
        "33333333767676070707767676333333333376767607070776767633333333337676760707?\\1C";
    const std::string tracks1And2 =
        "\\1Bw\\1Bs\\1B\\01TRACK17676760707077676760707077676760707077676760707077676760707077676"
        "76070715\\1B\\022121212121767676070707767676762121212?\\1C";
    EXPECT_EQ(LeadZeroBiasTestPattern(TrackModel::Tracks1To3), allTracks);
    EXPECT_EQ(LeadZeroBiasTestPattern(TrackModel::Tracks1And2), tracks1And2);
    EXPECT_FALSE(LeadZeroBiasTestPattern(TrackModel::Track2));
    EXPECT_FALSE(LeadZeroBiasTestPattern(TrackModel::Tracks2And3));
    // Both must be sendable: a command yields at most 255 bytes.
    EXPECT_EQ(Bytes(allTracks).size(), 231u);
    EXPECT_EQ(Bytes(tracks1And2).size(), 125u);

    EXPECT_TRUE(IsLeadZeroBiasTestPattern(allTracks));
    EXPECT_TRUE(IsLeadZeroBiasTestPattern(tracks1And2));
    EXPECT_FALSE(IsLeadZeroBiasTestPattern(allTracks.substr(1)));
    EXPECT_FALSE(IsLeadZeroBiasTestPattern(DecodedWrite({})));
}

TEST(CommandSet, ManualBiasInputIsTwoHexDigits) {
    struct Case {
        const char* typed;
        std::optional<std::uint8_t> value;
    };
    const std::vector<Case> cases = {
        {"3F", 0x3F}, {"3f", 0x3F}, {"00", 0x00}, {"FF", 0xFF}, {"a0", 0xA0},
        {"9A", 0x9A}, {"", {}},     {"F", {}},    {"100", {}},  {"G1", {}},
        {"1G", {}},   {" 1", {}},   {"0x", {}},   {"-1", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseLeadZeroBiasInput(c.typed), c.value) << '"' << c.typed << '"';
}

} // namespace
} // namespace msrw::cmd
