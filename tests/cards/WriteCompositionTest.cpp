// Composing write commands from prepared track data, and preparing it from
// the track fields.

#include "cards/WriteComposition.h"
#include "cards/CardTypeList.h"
#include "cards/PassBookCodec.h"
#include "cards/WriteBlocks.h"
#include "link/Notation.h"
#include "operations/writing/SendWrite.h"
#include "session/OpStates.h"
#include "sim/EscapeParser.h"
#include "support/CardsSession.h"

#include <gtest/gtest.h>
#include <random>

using namespace msrw;
using namespace msrw::test;
using Tracks = track::TrackTexts;

namespace {

constexpr MsrwMode kOrmond = MsrwMode::Ormond;
constexpr MsrwMode kVelk = MsrwMode::Velk;

TEST(BitsToCommandBytes, PadsOddCountsInFrontAndReversesEachByte) {
    struct Case {
        const char* digits;
        std::size_t count;
        const char* text;
    } cases[] = {
        {"", 0, ""},
        {"ABC", 4, "\\50\\3D"}, // 0A 0000 1010 -> 0101 0000; BC 1011 1100 -> 0011 1101
        {"0F", 2, "\\F0"},
        {"80", 2, "\\01"},
        {"1", 2, "\\80"},
        {"ab", 2, "\\D5"}, // lower case as the digits it stands for
        {"01FF7E", 6, "\\80\\FF\\7E"},
    };
    for (const Case& c : cases) {
        const CommandByteText bytes = BitsToCommandBytes(c.digits);
        EXPECT_EQ(bytes.count, c.count) << c.digits;
        EXPECT_EQ(bytes.text, c.text) << c.digits;
    }
}

TEST(RawTrackBlock, CarriesTheByteCountPlusOneAndAClosingZero) {
    EXPECT_EQ(RawTrackBlock(cmd::Track::Two, BitsToCommandBytes("0F")), "\\1B\\02\\02\\F0\\00");
    EXPECT_EQ(RawTrackBlock(cmd::Track::One, BitsToCommandBytes("")), "\\1B\\01\\00");
    const std::string thirty(30, 'F'); // 15 bytes: the length byte is 16
    EXPECT_EQ(RawTrackBlock(cmd::Track::Three, BitsToCommandBytes(thirty)).substr(0, 12),
              "\\1B\\03\\10\\FF");
}

TEST(PassBook, SyncZerosRecordTheTrackTwiceWithAFillerBetween) {
    struct Case {
        int track;
        const char* syncZeros;
        std::string filler;
    } cases[] = {
        {1, "25", "0000000"},
        {2, "25", "00000000"},
        {3, "25", "00000000"},
        {1, "60", std::string(16, '0')},
        {3, "60", std::string(16, '0')},
        {1, "0", ""},
        {2, "", ""},
        {2, "26", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SyncZeroFiller(c.track, c.syncZeros), c.filler) << c.track << c.syncZeros;

    FormatStore format;
    for (const int track : {1, 2, 3}) {
        const std::string once =
            track::EncodeUserTrack(";1234<", format.passBookFormat(track)).hexDigits;
        ASSERT_FALSE(once.empty());
        for (const char* sync : {"0", "25", "60"}) {
            auto& list = format.passBook[std::size_t(track - 1)].syncZeros;
            list.select(
                int(std::find(list.items.begin(), list.items.end(), sync) - list.items.begin()));
            const std::string filler = SyncZeroFiller(track, sync);
            const std::string expected = filler.empty() ? once : once + filler + once;
            EXPECT_EQ(EncodePassBookTrack(";1234<", track, format.cardFormat()).hexDigits, expected)
                << track << " " << sync;
            // The frame's sentinels are added to bare digits.
            EXPECT_EQ(EncodePassBookTrack("1234", track, format.cardFormat()).hexDigits, expected);
        }
    }
}

TEST(PassBook, EitherPairOfSentinelsIsKeptAndNeitherEndSentinelMayStandInside) {
    FormatStore format;
    format.passBook[0].syncZeros.select(0); // "0": one copy
    const auto encodedAs = [&](const char* text) {
        return EncodePassBookTrack(text, 1, format.cardFormat());
    };
    const UserTrackFormat equalsQuestion{5, "Odd", '=', '?'};
    EXPECT_EQ(encodedAs("=12?").hexDigits,
              track::EncodeUserTrack("=12?", equalsQuestion).hexDigits);
    EXPECT_EQ(encodedAs("=12").hexDigits,
              track::EncodeUserTrack("=12<", {5, "Odd", '=', '<'}).hexDigits);
    EXPECT_EQ(encodedAs("").hexDigits, "");
    for (const char* bad : {";1?2<", "1<2", "?1"}) {
        const track::EncodedTrack refused = encodedAs(bad);
        EXPECT_FALSE(refused.ok()) << bad;
        EXPECT_NE(refused.problem.find("end sentinel"), std::string::npos) << refused.problem;
    }
}

struct ComposeCase {
    const char* name;
    MsrwMode mode;
    const char* cardType;
    Tracks data;
    std::string command;
};

TEST(ComposeWriteCommand, LayoutsByModeAndCardType) {
    const FormatStore format;
    // clang-format off
    const ComposeCase cases[] = {
        {"RAW, track 2 only", kOrmond, "RAW", {"", "0F", ""},
         "\\1Bn\\1Bs\\1B\\01\\00\\1B\\02\\02\\F0\\00\\1B\\03\\00\\3F\\1C"},
        {"RAW, odd digit count, lower case", kOrmond, "RAW", {"ABC", "", "a6"},
         "\\1Bn\\1Bs\\1B\\01\\03\\50\\3D\\00\\1B\\02\\00\\1B\\03\\02\\65\\00\\3F\\1C"},
        {"ISO, tracks in order", kOrmond, "ISO", {"ABC", "123", "45"},
         "\\1Bw\\1Bs\\1B\\01ABC\\1B\\02123\\1B\\0345?\\1C"},
        {"ISO, a short track is still written", kOrmond, "ISO", {"", "1", ""},
         "\\1Bw\\1Bs\\1B\\021?\\1C"},
        {"ISO, a backslash is one byte", kOrmond, "ISO", {"A\\B", "", ""},
         "\\1Bw\\1Bs\\1B\\01A\\5CB?\\1C"},
        {"AAMVA", kOrmond, "AAMVA", {"", "", "XYZ"}, "\\1Bw\\1Bs\\1B\\03XYZ?\\1C"},
        // The reader/writer adds the sentinels of a decoded write: each track
        // goes without them, whether preparation left them on or not.
        {"ISO, sentinels left on", kOrmond, "ISO", {"%AB?", ";12?", ";34?"},
         "\\1Bw\\1Bs\\1B\\01AB\\1B\\0212\\1B\\0334?\\1C"},
        {"ISO, start sentinel only", kOrmond, "ISO", {"%AB", ";12", ""},
         "\\1Bw\\1Bs\\1B\\01AB\\1B\\0212?\\1C"},
        {"ISO, end sentinel only", kOrmond, "ISO", {"AB?", "12?", ""},
         "\\1Bw\\1Bs\\1B\\01AB\\1B\\0212?\\1C"},
        {"ISO, another track's sentinel is data", kOrmond, "ISO", {";AB", "%12", ""},
         "\\1Bw\\1Bs\\1B\\01;AB\\1B\\02%12?\\1C"},
        {"ISO, a track of sentinels only is left out", kOrmond, "ISO", {"%?", "?", "5"},
         "\\1Bw\\1Bs\\1B\\035?\\1C"},
        {"ISO, a backslash at the end", kOrmond, "ISO", {"%A\\", "", ""},
         "\\1Bw\\1Bs\\1B\\01A\\5C?\\1C"},
        {"AAMVA, track 3 takes the track 2 sentinel", kOrmond, "AAMVA", {"", "", ";XY"},
         "\\1Bw\\1Bs\\1B\\03XY?\\1C"},
        {"AAMVA, track 3 keeps a leading %", kOrmond, "AAMVA", {"%A?", "", "%XY"},
         "\\1Bw\\1Bs\\1B\\01A\\1B\\03%XY?\\1C"},
        {"Velk ISO leaves out tracks of two characters", kVelk, "ISO", {"ABC", "12", ""},
         "WI t1=ABC\\0D"},
        {"Velk AAMVA, spaces and a backslash", kVelk, "AAMVA", {"A B\\", "", "123"},
         "WA t1=A B\\5Ct3=123\\0D"},
        {"Velk CDL", kVelk, "CDL", {"", "12345", ""}, "WC t2=12345\\0D"},
        {"Velk USER", kVelk, "USER", {"HELLO", "", ""}, "WU t1=HELLO\\0D"},
        {"Velk RAW", kVelk, "RAW", {"", "", "A5C3"}, "WR t3=A5C3\\0D"},
        {"no write for CDL in Ormond Mode", kOrmond, "CDL", {"ABC", "", ""}, ""},
        {"no write in Pellam Mode", MsrwMode::Pellam, "ISO", {"ABC", "", ""}, ""},
        {"no write in Quell Mode here", MsrwMode::Quell, "ISO", {"ABC", "", ""}, ""},
    };
    // clang-format on
    for (const ComposeCase& c : cases) {
        const WriteCommandText write =
            ComposeWriteCommand(c.mode, c.cardType, c.data, format.cardFormat());
        EXPECT_EQ(write.command, c.command) << c.name;
        EXPECT_EQ(write.problem, "") << c.name;
    }
}

struct RefusalCase {
    const char* name;
    MsrwMode mode;
    const char* cardType;
    Tracks data;
    const char* saying; // a part of the operator's message
};

TEST(ComposeWriteCommand, RefusesDataThatCannotBeWrittenAndSaysWhy) {
    const FormatStore format;
    const std::string longRaw(180, 'F');
    // clang-format off
    const RefusalCase cases[] = {
        {"USER character outside a 5-bit track", kOrmond, "USER", {"", "1A", ""},
         "track 2 cannot be written: the character \"A\""},
        {"RAW digit", kOrmond, "RAW", {"", "", "0G"}, "track 3 cannot be written: \"G\""},
        {"PASS BOOK end sentinel inside", kOrmond, "PASS BOOK", {"", ";1?2<", ""},
         "track 2 cannot be written"},
        {"PASS BOOK letter", kOrmond, "PASS BOOK", {"", "", "12A"}, "track 3"},
        {"too long for one command", kOrmond, "RAW", {longRaw, longRaw, longRaw}, "255 bytes"},
        {"no data", kOrmond, "ISO", {"", "", ""}, "no track data"},
        {"sentinels only", kOrmond, "AAMVA", {"%", ";?", "?"}, "no track data"},
        {"no USER data", kOrmond, "USER", {"", "", ""}, "no track data"},
        {"Velk: nothing long enough", kVelk, "ISO", {"AB", "1", ""}, "more than 2 characters"},
        {"Velk: a track marker inside data", kVelk, "CDL", {"ABt2=C", "", ""},
         "track 1 cannot be written: it holds \"t2=\""},
    };
    // clang-format on
    for (const RefusalCase& c : cases) {
        const WriteCommandText write =
            ComposeWriteCommand(c.mode, c.cardType, c.data, format.cardFormat());
        EXPECT_EQ(write.command, "") << c.name;
        EXPECT_NE(write.problem.find(c.saying), std::string::npos)
            << c.name << ": " << write.problem;
    }
}

// Preparation, against a session whose card-type list is that of the mode.
class Prepare : public CardsSession {
protected:
    int prepare(MsrwMode mode, const std::string& type, const Tracks& fields) {
        setMode(mode);
        const auto& items = session.view.cardTypes.items;
        session.view.cardTypes.selected =
            int(std::find(items.begin(), items.end(), type) - items.begin());
        session.g.CardType = type;
        for (std::size_t i = 0; i < fields.size(); ++i)
            session.view.tracks[i].text = fields[i];
        return PrepareTrackData(session);
    }
};

TEST_F(Prepare, StripsTheSentinelsOfTheCardType) {
    struct Case {
        MsrwMode mode;
        const char* type;
        Tracks fields;
        Tracks data;
    } cases[] = {
        {kOrmond, "ISO", {"%ABC?", ";123?", ";45?"}, {"ABC", "123", "45"}},
        {kOrmond, "ISO", {"%%A??", "?1;", "%45"}, {"%A?", "?1;", "%45"}}, // one at each end only
        {kOrmond, "ISO", {"%", "?", ";"}, {"", "", ""}},
        {kOrmond, "AAMVA", {"%A?", ";1?", "%B?"}, {"A", "1", "B"}},
        {kOrmond, "AAMVA", {"", "", ";B?"}, {"", "", ";B"}},
        {kOrmond, "USER", {"%A~B?", ";12?", "12"}, {"A B", "12", "12"}},
        {kOrmond, "RAW", {"%AB?", "", ""}, {"%AB?", "", ""}},
        {kOrmond, "PASS BOOK", {";12<", "", ""}, {";12<", "", ""}},
        // The card type decides, not its place in the mode's list (position 2
        // is CDL in "Velk Mode", CUSTOM in "Quell Mode").
        {kVelk, "CDL", {"%AB?", "", ""}, {"%AB?", "", ""}},
        {kVelk, "USER", {"%AB?", ";12?", ""}, {"AB", "12", ""}},
        {kVelk, "RAW", {"%AB?", "", ""}, {"%AB?", "", ""}},
        {MsrwMode::Quell, "CUSTOM", {"%AB?", "", ""}, {"%AB?", "", ""}},
        {MsrwMode::Quell, "AAMVA", {"%A?", "", "%B?"}, {"A", "", "B"}},
    };
    for (const Case& c : cases) {
        const int result = prepare(c.mode, c.type, c.fields);
        EXPECT_EQ(session.g.TrackData, c.data)
            << MsrwModeName(c.mode) << " " << c.type << " " << c.fields[0];
        const bool any = !c.data[0].empty() || !c.data[1].empty() || !c.data[2].empty();
        EXPECT_EQ(result, any ? 1 : 0) << c.type;
    }
}

TEST_F(Prepare, UsesTheSentinelsChosenForUserTracks) {
    session.format.clickBpc(1, 1);       // 6 bits
    session.format.user[0].ss.select(0); // "!"
    session.format.user[0].es.select(0); // "~": a space
    EXPECT_EQ(prepare(kOrmond, "USER", {"!A~B~", "", ""}), 1);
    EXPECT_EQ(session.g.TrackData[0], "A B");
}

TEST_F(Prepare, LeavesTheFieldsAsShownSoThatPreparingAgainGivesTheSameData) {
    const Tracks fields{"%%AB?", ";;1?", ""};
    prepare(kOrmond, "ISO", fields);
    const Tracks first = session.g.TrackData;
    EXPECT_EQ(first, (Tracks{"%AB", ";1", ""}));
    EXPECT_EQ(PrepareTrackData(session), 1);
    EXPECT_EQ(session.g.TrackData, first);
    for (std::size_t i = 0; i < fields.size(); ++i)
        EXPECT_EQ(session.view.tracks[i].text, fields[i]);
}

TEST_F(Prepare, LineBreaksOfTheWrappedFieldAreNotData) {
    const std::string data(90, '7');
    const std::string wrapped = data.substr(0, 82) + "\r\n" + data.substr(82);
    prepare(kOrmond, "USER", {"", ";" + data.substr(0, 81) + "\r\n?", wrapped});
    EXPECT_EQ(session.g.TrackData[1], data.substr(0, 81)); // the end sentinel after the break
    EXPECT_EQ(session.g.TrackData[2], data);
}

TEST_F(Prepare, CustomTracksOfOddLengthPrepareNothing) {
    setMode(MsrwMode::Quell);
    session.g.TrackData = {"OLD", "OLD", "OLD"};
    EXPECT_EQ(prepare(MsrwMode::Quell, "CUSTOM", {"AB", "ABC", ""}), 0);
    EXPECT_EQ(session.g.TrackData, (Tracks{"", "", ""}));
    EXPECT_EQ(prepare(MsrwMode::Quell, "CUSTOM", {"AB", "AB\r\nCD", ""}), 1);
    EXPECT_EQ(session.g.TrackData, (Tracks{"AB", "ABCD", ""}));
}

// The written bits, as the simulated reader/writer lays them on a stripe and
// gives them back in a raw read, decode to the track with its sentinels, for
// every bits-per-character, parity and a random choice of sentinels.
class UserEncodingProperty : public ::testing::Test {
protected:
    std::mt19937 rng{20240611};

    int pick(int size) { return std::uniform_int_distribution<int>(0, size - 1)(rng); }

    std::string randomText(int bitsPerCharacter, char endSentinel) {
        const int first = bitsPerCharacter >= 6 ? 32 : 48;
        const int count = bitsPerCharacter >= 6 ? 64 : 16;
        std::string text;
        const int length = 1 + pick(30);
        while (int(text.size()) < length) {
            const char c = static_cast<char>(first + pick(count));
            if (c != endSentinel)
                text += c;
        }
        return text;
    }

    static constexpr std::size_t kLeadingZeros = 61;

    // The track as the reader/writer lays it down for a raw write command.
    static sim::Stripe Written(const std::string& commandText, std::size_t index) {
        const sim::ParseResult parsed =
            sim::ParseEscapeFamily(ParseCommandText(commandText).bytes, false);
        EXPECT_EQ(parsed.command.kind, sim::CommandKind::RawWrite);
        const sim::WritePlan plan = sim::PlanRawWrite(parsed.command.blocks);
        sim::Stripe stripe;
        if (plan.payloads[index])
            stripe.record(kLeadingZeros, *plan.payloads[index]);
        return stripe;
    }

    // The reader's own decoding of the characters recorded after the leading zeros.
    static std::string DeviceDecode(const sim::Stripe& stripe, const UserTrackFormat& f) {
        const sim::Parity parity = f.parity == "Odd"    ? sim::Parity::Odd
                                   : f.parity == "Even" ? sim::Parity::Even
                                                        : sim::Parity::None;
        return sim::DecodeCharacters(stripe.bits(), kLeadingZeros, {f.bitsPerCharacter, parity},
                                     std::string(1, f.endSentinel))
            .chars;
    }
};

TEST_F(UserEncodingProperty, EncodedTracksDecodeToTheirText) {
    int cases = 0;
    for (int trackNumber = 1; trackNumber <= 3; ++trackNumber) {
        const std::size_t index = std::size_t(trackNumber - 1);
        for (int bpcPosition = 0; bpcPosition < 4; ++bpcPosition) {
            for (const int parityPosition : {1, 2}) { // "Odd", "Even"; 6 and 4 bits force "None"
                for (int round = 0; round < 12; ++round) {
                    FormatStore format;
                    format.clickBpc(trackNumber, bpcPosition);
                    format.clickParity(trackNumber, parityPosition);
                    UserTrackControls& controls = format.user[index];
                    controls.ss.select(pick(int(controls.ss.items.size())));
                    // A start sentinel that is also the end sentinel cannot frame a track.
                    do
                        controls.es.select(pick(int(controls.es.items.size())));
                    while (controls.es.text() == controls.ss.text());
                    const UserTrackFormat f = format.userFormat(trackNumber);

                    Tracks data;
                    data[index] = randomText(f.bitsPerCharacter, f.endSentinel);
                    const WriteCommandText write =
                        ComposeWriteCommand(kOrmond, "USER", data, format.cardFormat());
                    // The start sentinel goes on only when the data lacks it.
                    const bool framed = data[index].front() == f.startSentinel;
                    const std::string expected = (framed ? "" : std::string(1, f.startSentinel)) +
                                                 data[index] + f.endSentinel;
                    ASSERT_EQ(write.problem, "") << expected;
                    const sim::Stripe stripe = Written(write.command, index);
                    const std::string rawRead = sim::HexDigitsOf(stripe.rawBytes());
                    EXPECT_EQ(track::DecodeUserTrack(rawRead, f).text, expected)
                        << "track " << trackNumber << ", " << f.bitsPerCharacter << " bits, "
                        << f.parity;
                    EXPECT_EQ(DeviceDecode(stripe, f), expected);
                    ++cases;
                }
            }
        }
    }
    EXPECT_GE(cases, 250);
}

} // namespace
