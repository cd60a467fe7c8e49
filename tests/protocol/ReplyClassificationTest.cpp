#include "protocol/ReplyClassification.h"
#include "link/Notation.h"

#include <gtest/gtest.h>

#include <vector>

namespace msrw::reply {
namespace {

using cmd::Track;
using cmd::TrackModel;

// The two forms the link delivers for the same bytes.
std::vector<std::string> BothForms(const std::string& bytes) {
    return {DisplayForm(bytes), HexForm(bytes)};
}

constexpr MsrwMode kAllModes[] = {MsrwMode::Velk, MsrwMode::Ormond, MsrwMode::Quell,
                                  MsrwMode::Pellam};

TEST(ReplyClassification, ModeNames) {
    const char* names[] = {"Velk Mode", "Ormond Mode", "Quell Mode", "Pellam Mode"};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(MsrwModeName(kAllModes[i]), names[i]);
        EXPECT_EQ(MsrwModeFromName(names[i]), kAllModes[i]);
    }
    EXPECT_FALSE(MsrwModeFromName("Velk"));
    EXPECT_FALSE(MsrwModeFromName("ormond mode"));
}

TEST(ReplyClassification, ReplyBytesUndoesBothFormsAndRefusesOthers) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    for (const std::string& text : BothForms(all))
        EXPECT_EQ(ReplyBytes(text), all);
    EXPECT_EQ(ReplyBytes("\\\\1B0"), "\\1B0"); // a shown backslash, then text
    for (const char* bad : {"\\", "\\1", "\\1b", "\\G0", "ab\\"})
        EXPECT_FALSE(ReplyBytes(bad)) << bad;
}

TEST(ReplyClassification, CardCommandSuccessByMode) {
    struct Case {
        const char* what;
        std::string bytes;
        bool velk, ormond, quell;
    };
    using namespace std::string_literals;
    const std::vector<Case> cases = {
        {"OK CR", "OK\r", true, false, false},
        {"status 0", "\x1B"s + "0", false, true, false},
        {"status 5", "\x1B"s + "5", false, true, false},
        {"status 1", "\x1B"s + "1", false, false, false},
        {"status 0 and more", "\x1B"s + "00", false, false, false},
        {"OK without CR", "OK", false, false, false},
        {"bare caret", "^", false, false, true},
        {"framed caret", "\x02^\x03_", false, false, true},
        {"framed caret twice", "\x02^\x03_\x02^\x03_", false, false, true},
        {"framed caret, wrong check", "\x02^\x03^", false, false, false},
        {"Tarn no data", "*", false, false, false},
        {"two carets", "^^", false, false, false},
        {"nothing", "", false, false, false},
    };
    for (const Case& c : cases) {
        for (const std::string& text : BothForms(c.bytes)) {
            SCOPED_TRACE(std::string(c.what) + " as " + text);
            EXPECT_EQ(IsCardCommandSuccess(MsrwMode::Velk, text), c.velk);
            EXPECT_EQ(IsCardCommandSuccess(MsrwMode::Ormond, text), c.ormond);
            EXPECT_EQ(IsCardCommandSuccess(MsrwMode::Quell, text), c.quell);
            EXPECT_FALSE(IsCardCommandSuccess(MsrwMode::Pellam, text));
        }
    }
    for (const MsrwMode mode : kAllModes)
        EXPECT_FALSE(IsCardCommandSuccess(mode, "OK\\0")) << MsrwModeName(mode);
}

TEST(ReplyClassification, PassBookAndDatabaseWrites) {
    struct Case {
        const char* reply;
        WriteStatus passBook;
        WriteStatus databasePassBook;
        WriteStatus databaseOther;
    };
    const std::vector<Case> cases = {
        {"\\1B0", WriteStatus::Written, WriteStatus::Written, WriteStatus::Written},
        {"\\1B5", WriteStatus::VerifyPending, WriteStatus::VerifyPending, WriteStatus::Error},
        {"\\1B1", WriteStatus::Error, WriteStatus::Error, WriteStatus::Error},
        {"OK\\0D", WriteStatus::Error, WriteStatus::Error, WriteStatus::Error},
        {"", WriteStatus::Error, WriteStatus::Error, WriteStatus::Error},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reply);
        EXPECT_EQ(ClassifyPassBookWrite(c.reply), c.passBook);
        EXPECT_EQ(ClassifyDatabaseWrite(MsrwMode::Ormond, c.reply, true), c.databasePassBook);
        EXPECT_EQ(ClassifyDatabaseWrite(MsrwMode::Ormond, c.reply, false), c.databaseOther);
    }
    // The database follows the mode's success rule for everything but "\1B5".
    EXPECT_EQ(ClassifyDatabaseWrite(MsrwMode::Velk, "OK\\0D", false), WriteStatus::Written);
    EXPECT_EQ(ClassifyDatabaseWrite(MsrwMode::Velk, "\\1B0", false), WriteStatus::Error);
    EXPECT_EQ(ClassifyDatabaseWrite(MsrwMode::Quell, "^", false), WriteStatus::Written);
    EXPECT_EQ(ClassifyDatabaseWrite(MsrwMode::Pellam, "\\1B0", true), WriteStatus::Error);
}

TEST(ReplyClassification, SetUpReplies) {
    EXPECT_TRUE(IsStatusOk("\\1B0"));
    EXPECT_TRUE(IsStatusOk("\\1B\\30"));
    for (const char* other : {"\\1B5", "\\1B", "0", "\\1B0\\1B0", ""})
        EXPECT_FALSE(IsStatusOk(other)) << other;

    EXPECT_TRUE(IsCommunicationTestAnswer("\\1By"));
    for (const char* other : {"\\1Bx", "\\1BY", "y", "\\1By\\0D"})
        EXPECT_FALSE(IsCommunicationTestAnswer(other)) << other;

    EXPECT_EQ(ParseCoercivity("\\1BH"), Coercivity::High);
    EXPECT_EQ(ParseCoercivity("\\1BL"), Coercivity::Low);
    for (const char* other : {"\\1Bh", "H", "\\1BHL", "\\1B0"})
        EXPECT_FALSE(ParseCoercivity(other)) << other;
}

TEST(ReplyClassification, BitsPerCharacterEchoRepeatsTheSentBytes) {
    const cmd::BitsPerCharacter iso{7, 5, 5};
    EXPECT_TRUE(IsBitsPerCharacterEcho("\\1B0\\07\\05\\05", iso));
    EXPECT_TRUE(IsBitsPerCharacterEcho("\\1B\\30\\07\\05\\05", iso));
    EXPECT_FALSE(IsBitsPerCharacterEcho("\\1B0\\07\\05\\07", iso));
    EXPECT_FALSE(IsBitsPerCharacterEcho("\\1B0\\05\\05\\07", iso)); // order matters
    EXPECT_FALSE(IsBitsPerCharacterEcho("\\1B0\\07\\05", iso));
    EXPECT_FALSE(IsBitsPerCharacterEcho("\\1B0", iso));
    EXPECT_FALSE(IsBitsPerCharacterEcho("\\1B5\\07\\05\\05", iso));
    EXPECT_TRUE(IsBitsPerCharacterEcho("\\1B0\\08\\08\\08", {8, 8, 8}));
    // A value that was never sendable cannot have been echoed.
    EXPECT_FALSE(IsBitsPerCharacterEcho("\\1B0\\07\\05\\05", {7 + 256, 5, 5}));
}

TEST(ReplyClassification, TrackModelReply) {
    struct Case {
        const char* reply;
        std::optional<TrackModel> model;
    };
    const std::vector<Case> cases = {
        {"\\1B1", TrackModel::Track2},
        {"\\1B2", TrackModel::Tracks2And3},
        {"\\1B3", TrackModel::Tracks1To3},
        {"\\1B5", TrackModel::Tracks1And2},
        {"\\1B4", {}},
        {"\\1B0", {}},
        {"1", {}},
        {"\\1B33", {}},
        {"xyz1", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseTrackModel(c.reply), c.model) << c.reply;
}

TEST(ReplyClassification, LeadZeroBiasReply) {
    struct Case {
        const char* reply;
        std::optional<std::uint8_t> bias;
        const char* shown;
    };
    const std::vector<Case> cases = {
        {"\\1B?", 0x3F, "3F"},    {"\\1B\\05", 0x05, "05"}, {"\\1B\\FF", 0xFF, "FF"},
        {"\\1B\\\\", 0x5C, "5C"}, {"\\1B ", 0x20, "20"},    {"\\1B", {}, "\\1B"},
        {"\\1B??", {}, "\\1B??"}, {"?", {}, "?"},           {"", {}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reply);
        EXPECT_EQ(ParseLeadZeroBias(c.reply), c.bias);
        EXPECT_EQ(LeadZeroBiasDisplay(c.reply), c.shown);
    }
}

TEST(ReplyClassification, ProbeReply) {
    EXPECT_EQ(ClassifyProbeReply("Velk Reader/Writer Version 2.1\\0D"), ProbeAnswer::Banner);
    EXPECT_EQ(ClassifyProbeReply("\\1B4"), ProbeAnswer::EscapeStatus4);
    for (const char* other : {"\\1B40", "Velk Reader/Writer LZ Fixture V1.0 060201", "", "\\1B"})
        EXPECT_EQ(ClassifyProbeReply(other), ProbeAnswer::Other) << other;
}

std::string OrmondReply(const std::string& t1, const std::string& t2, const std::string& t3,
                        char status) {
    return "\x1B\x01" + t1 + "\x1B\x02" + t2 + "\x1B\x03" + t3 + "?\x1C\x1B" + status;
}

TEST(ReplyClassification, OrmondReadOutcome) {
    struct Case {
        const char* what;
        std::string bytes;
        ReadOutcome expected;
    };
    using V = ReadVerdict;
    const std::vector<Case> cases = {
        {"all good", OrmondReply("%B123?", ";456?", ";789?", '0'), {V::Success, {}}},
        {"no data markers", OrmondReply("\x1B+", "\x1B*", "\x1B+", '0'), {V::Success, {}}},
        {"noise first", "\r\n" + OrmondReply("A", "B", "C", '0'), {V::Success, {}}},
        {"data with a backslash", OrmondReply("%A\\B?", "", "", '0'), {V::Success, {}}},
        {"track 1", OrmondReply("", "1", "2", '1'), {V::TracksFailed, {1}}},
        {"tracks 1 and 2", OrmondReply("", "", "3", '3'), {V::TracksFailed, {3}}},
        {"track 3", OrmondReply("1", "2", "", '4'), {V::TracksFailed, {4}}},
        {"all tracks", OrmondReply("", "", "", '7'), {V::TracksFailed, {7}}},
        {"bare status 6", "\x1B\x36", {V::TracksFailed, {6}}},
        {"status 8", OrmondReply("", "", "", '8'), {}},
        {"bare status 0", "\x1B\x30", {}},
        {"track 3 marker missing",
         "\x1B\x01"
         "A\x1B\x02"
         "B?\x1C\x1B\x30",
         {}},
        {"markers out of order",
         "\x1B\x02"
         "B\x1B\x01"
         "A\x1B\x03"
         "C?\x1C\x1B\x30",
         {}},
        {"status not at the end", OrmondReply("A", "B", "C", '0') + "x", {}},
        {"status 0 away from the end marker", OrmondReply("A", "B", "C", '0') + "x\x1B\x30", {}},
        {"status 0 look-alike inside the data",
         OrmondReply("A", "B", "?\x1C\x1B\x30", '3'),
         {V::TracksFailed, {3}}},
        {"empty", "", {}},
    };
    for (const Case& c : cases) {
        for (const std::string& text : BothForms(c.bytes)) {
            SCOPED_TRACE(std::string(c.what) + " as " + text);
            EXPECT_EQ(ClassifyOrmondRead(text), c.expected);
        }
    }
    EXPECT_EQ(ClassifyOrmondRead("\\1B\\01A\\1B\\02B\\1B\\03C?\\1C\\1B0\\"), ReadOutcome{});
}

TEST(ReplyClassification, VelkReadOutcome) {
    struct Case {
        const char* what;
        std::string bytes;
        ReadVerdict verdict;
    };
    const std::vector<Case> cases = {
        {"all tracks", "T1:\r%B1?\rT2:\r;2?\rT3:\r;3?\r", ReadVerdict::Success},
        {"empty tracks", "T1:\r\rT2:\r\rT3:\r\r", ReadVerdict::Success},
        {"error", "Err\r", ReadVerdict::Failed},
        {"error after tracks", "T1:\r\rT2:\r\rT3:\r\rErr\r", ReadVerdict::Failed},
        {"Err as track data", "T1:\rErr\rT2:\r\rT3:\r\r", ReadVerdict::Failed},
        {"Err not followed by CR", "T1:\rErrx\rT2:\r\rT3:\r\r", ReadVerdict::Success},
        {"missing track 3", "T1:\r\rT2:\r\r", ReadVerdict::Unrecognised},
        {"out of order", "T2:\r\rT1:\r\rT3:\r\r", ReadVerdict::Unrecognised},
        {"OK", "OK\r", ReadVerdict::Unrecognised},
    };
    for (const Case& c : cases) {
        for (const std::string& text : BothForms(c.bytes)) {
            SCOPED_TRACE(std::string(c.what) + " as " + text);
            const ReadOutcome outcome = ClassifyVelkRead(text);
            EXPECT_EQ(outcome.verdict, c.verdict);
            EXPECT_TRUE(outcome.failedTracks.empty());
        }
    }
}

TEST(ReplyClassification, ReadResultLines) {
    const char* expected[] = {
        nullptr,
        "Read(4) Failed on Track 1!",
        "Read(4) Failed on Track 2!",
        "Read(4) Failed on Track 1 and 2!",
        "Read(4) Failed on Track 3!",
        "Read(4) Failed on Track 1 and 3!",
        "Read(4) Failed on Track 2 and 3!",
        "Read(4) Failed on All Track!",
    };
    for (std::uint8_t bits = 0; bits < 8; ++bits) {
        const std::optional<std::string> line = ReadFailedOnTracksLine(4, TrackSet{bits});
        if (expected[bits]) {
            EXPECT_EQ(line, expected[bits]);
        } else {
            EXPECT_FALSE(line);
        }
    }
    EXPECT_FALSE(ReadFailedOnTracksLine(1, TrackSet{8}));
    EXPECT_EQ(ReadOkLine(12), "Read(12) OK!");
    EXPECT_EQ(ReadFailedOnTracksLine(1, TrackSet{2}), "Read(1) Failed on Track 2!");
}

} // namespace
} // namespace msrw::reply
