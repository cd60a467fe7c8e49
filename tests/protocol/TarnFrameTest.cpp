// The single-byte family's frames and the texts made of its replies.

#include "protocol/TarnFrame.h"

#include "link/Notation.h"

#include <gtest/gtest.h>

namespace msrw::tarn {
namespace {

// A command text of `n` bytes, each "\41".
std::string CommandOfBytes(std::size_t n) {
    std::string text;
    for (std::size_t i = 0; i < n; ++i)
        text += "\\41";
    return text;
}

TEST(TarnFrame, FramesCarryTheExclusiveOrFromStxToEtx) {
    EXPECT_EQ(FrameCommand("\\4B"), "\\02\\4B\\03\\4A");
    EXPECT_EQ(FrameCommand("\\50"), "\\02\\50\\03\\51");
    EXPECT_EQ(FrameCommand("\\3B\\31\\48"), "\\02\\3B\\31\\48\\03\\43"); // 01^3B^31^48
    EXPECT_EQ(FrameCommand("\\01"), "\\02\\01\\03\\00");                 // check padded to two
    // What the frame stands for on the wire.
    EXPECT_EQ(ParseCommandText(*FrameCommand("\\7F")).bytes, "\x02\x7F\x03\x7E");
}

TEST(TarnFrame, RefusesWhatIsNotBytePairsOrDoesNotFitAFrame) {
    for (const char* bad : {"P", "\\5", "\\50\\4", "\\4b", "\\G0", "\\50P"}) {
        std::string why;
        EXPECT_FALSE(FrameCommand(bad, &why)) << bad;
        EXPECT_FALSE(why.empty()) << bad;
    }
    // STX, command, ETX and check make at most 201 bytes; longer is refused
    // whole, never cut.
    const auto longest = FrameCommand(CommandOfBytes(kMaxFrameBytes - 3));
    ASSERT_TRUE(longest);
    EXPECT_EQ(ParseCommandText(*longest).bytes.size(), kMaxFrameBytes);
    std::string why;
    EXPECT_FALSE(FrameCommand(CommandOfBytes(kMaxFrameBytes - 2), &why));
    EXPECT_NE(why.find("201"), std::string::npos);
    EXPECT_FALSE(FrameCommand(CommandOfBytes(250)));
}

TEST(TarnFrame, AcceptsAFramedReplyOnlyWhenItsCheckMatches) {
    const FramedReply taken = CheckFramedReply("\\02^\\03_");
    EXPECT_TRUE(taken.ok);
    EXPECT_EQ(taken.body, "^");
    // Body 5D: its check is 5D ^ 01 = 5C, shown as a doubled backslash.
    const FramedReply backslashCheck = CheckFramedReply("\\02]\\03\\\\");
    EXPECT_TRUE(backslashCheck.ok);
    EXPECT_EQ(backslashCheck.body, "]");
    EXPECT_TRUE(CheckFramedReply("\\02\\5D\\03\\5C").ok); // the hex form of the same
    // A backslash in the body is one byte 5C, not the start of "\02".
    const FramedReply backslashBody = CheckFramedReply("\\02\\\\02\\03\\5F");
    EXPECT_TRUE(backslashBody.ok); // 5C ^ 30 ^ 32 ^ 01 = 5F
    EXPECT_EQ(backslashBody.body, "\\\\02");
    EXPECT_TRUE(CheckFramedReply("x\\02^\\03_").ok);  // line noise before the frame
    EXPECT_TRUE(CheckFramedReply("\\02\\03\\01").ok); // an empty body
}

TEST(TarnFrame, RefusesFramedRepliesWithAWrongOrMissingPart) {
    for (const char* bad :
         {"\\02^\\03`", "^\\03_", "\\02^_", "\\02^\\03", "", "^", "\\02^\\03\\", "\\03^\\02_"}) {
        EXPECT_FALSE(CheckFramedReply(bad).ok) << bad;
    }
    EXPECT_EQ(CheckFramedReply("\\02AB\\03x").body, "AB"); // kept, though refused
}

TEST(TarnFrame, FirstCommandByte) {
    EXPECT_EQ(FirstCommandByte("\\7F"), 0x7F);
    EXPECT_EQ(FirstCommandByte("\\7F\\41"), 0x7F);
    EXPECT_EQ(FirstCommandByte("P"), 0x50);
    EXPECT_EQ(FirstCommandByte("\\[x"), 0x5B);
    EXPECT_EQ(FirstCommandByte(""), -1);
    EXPECT_EQ(FirstCommandByte("\\7"), -1);
}

TEST(TarnFrame, TakenAndDoubleStartReplies) {
    EXPECT_TRUE(IsTaken("^"));
    EXPECT_TRUE(IsTaken("\\02^\\03_"));
    EXPECT_TRUE(IsTaken("\\02\\5E\\03\\5F"));
    for (const char* no : {"", "*", "^^", "\\02*\\03+", "\\02^\\03`"})
        EXPECT_FALSE(IsTaken(no)) << no;

    EXPECT_TRUE(IsDoubleStart("^^", true));
    EXPECT_FALSE(IsDoubleStart("^^", false));
    EXPECT_TRUE(IsDoubleStart("\\02^\\03_\\02^\\03_", false));
    EXPECT_FALSE(IsDoubleStart("\\02^\\03_\\02^\\03_", true));
    for (const char* no : {"^", "^*", "^^^", "\\02^\\03_"}) {
        EXPECT_FALSE(IsDoubleStart(no, true)) << no;
        EXPECT_FALSE(IsDoubleStart(no, false)) << no;
    }
}

TEST(TarnFrame, TrackRepliesBlankFailedOrData) {
    EXPECT_EQ(ParseTrackReply("+").state, TrackState::Blank);
    EXPECT_EQ(ParseTrackReply("*").state, TrackState::Failed);
    EXPECT_EQ(ParseTrackReply("").state, TrackState::Failed);

    const TrackReply plain = ParseTrackReply("%B123?\\04");
    EXPECT_EQ(plain.state, TrackState::Data);
    EXPECT_EQ(plain.text, "%B123?");
    // Stuffed bytes come back: 10 43 is 03, 10 50 is 10, 10 44 is 04.
    const TrackReply stuffed = ParseTrackReply("A\\10\\43B\\10\\50\\10\\44\\\\\\04");
    EXPECT_EQ(stuffed.state, TrackState::Data);
    EXPECT_EQ(stuffed.text, "A\\03B\\10\\04\\\\");
    EXPECT_EQ(ParseTrackReply("+\\04").text, "+"); // a "+" that is data
    EXPECT_EQ(ParseTrackReply("\\04").state, TrackState::Data);
    EXPECT_EQ(ParseTrackReply("\\04").text, "");
}

TEST(TarnFrame, TrackDataInEitherModeWithOrWithoutSentinels) {
    struct Case {
        const char* reply;
        TrackDataEnd end;
        TrackState state;
        const char* text;
    };
    const Case cases[] = {
        {"%B4111^AUDIT/TEST^2512?", TrackDataEnd::WithReply, TrackState::Data,
         "%B4111^AUDIT/TEST^2512?"},
        {"B4111^AUDIT/TEST^2512", TrackDataEnd::WithReply, TrackState::Data,
         "B4111^AUDIT/TEST^2512"},
        {";4111=2512?\\04", TrackDataEnd::WithReply, TrackState::Data, ";4111=2512?"},
        {"A\\10\\43", TrackDataEnd::WithReply, TrackState::Data, "A\\03"},
        {"+", TrackDataEnd::WithReply, TrackState::Blank, ""},
        {"*", TrackDataEnd::WithReply, TrackState::Failed, ""},
        {"A\\10", TrackDataEnd::WithReply, TrackState::Failed, ""},
        {"A\\04B", TrackDataEnd::WithReply, TrackState::Failed, ""},
        {"%B4111^AUDIT/TEST^2512?", TrackDataEnd::Eot, TrackState::Failed, ""},
        {"%B4111^AUDIT/TEST^2512?\\04", TrackDataEnd::Eot, TrackState::Data,
         "%B4111^AUDIT/TEST^2512?"},
    };
    for (const Case& c : cases) {
        const TrackReply r = ParseTrackReply(c.reply, c.end);
        EXPECT_EQ(r.state, c.state) << c.reply;
        EXPECT_EQ(r.text, c.text) << c.reply;
    }
}

TEST(TarnFrame, DecodedCharactersArePrintableAndNoiseIsNot) {
    for (const char* text : {"%B41^A/T^25?", "", "\\\\", "~ }"})
        EXPECT_TRUE(IsCharacterText(text)) << text;
    for (const char* text : {"\\00\\FF\\80+", "AB\\1F", "\\7F", "A\\04"})
        EXPECT_FALSE(IsCharacterText(text)) << text;
}

TEST(TarnFrame, CutShortOrBrokenTrackDataIsAFailedTrack) {
    // Data the device did not close, a stuffing byte with nothing after it,
    // a 04 inside the data, and a text no reply can be.
    for (const char* bad : {"%B123?", "AB\\10\\04", "A\\04B\\04", "\\4"})
        EXPECT_EQ(ParseTrackReply(bad).state, TrackState::Failed) << bad;
}

TEST(TarnFrame, EveryByteOfALoadComesBackFromATrackReply) {
    EXPECT_EQ(TrackDataLoad("\x02\x10Z"), "\\10\\42\\10\\50\\5A\\04");
    // Every byte value, in two loads (one command holds at most 255 bytes).
    for (const int from : {0, 128}) {
        std::string data;
        for (int b = from; b < from + 128; ++b)
            data += static_cast<char>(b);
        const std::string wire = ParseCommandText(TrackDataLoad(data)).bytes;
        ASSERT_FALSE(wire.empty());
        // No reserved byte travels bare: only the closing 04 ends the data.
        EXPECT_EQ(wire.find('\x04'), wire.size() - 1);
        EXPECT_EQ(wire.find('\x03'), std::string::npos);
        const TrackReply back = ParseTrackReply(DisplayForm(wire));
        ASSERT_EQ(back.state, TrackState::Data);
        EXPECT_EQ(back.text, DisplayForm(data));
    }
}

TEST(TarnFrame, ReadCustomGivesBareHexDigits) {
    EXPECT_EQ(ReadCustom("ABCD"), "41424344");
    EXPECT_EQ(ReadCustom("\\D2\\C0\\80"), "D2C080");
    EXPECT_EQ(ReadCustom("\\1F\\\\A"), "1F5C41"); // a shown backslash is 5C
    EXPECT_EQ(ReadCustom("AB\\\\"), "41425C");
    EXPECT_EQ(ReadCustom("ABC\\"), "4142435C"); // a lone backslash stands for itself
    for (const char* shortText : {"", "+", "*", "AB", "\\7F"})
        EXPECT_EQ(ReadCustom(shortText), shortText);
}

TEST(TarnFrame, DisplayTextAndDensityNames) {
    EXPECT_EQ(TarnDisplayText("A\\\\B"), "A\\B");
    EXPECT_EQ(TarnDisplayText("\\\\\\\\"), "\\\\");
    EXPECT_EQ(TarnDisplayText("\\03x"), "\\03x");
    EXPECT_EQ(ReadTarnBpi("0"), "210");
    EXPECT_EQ(ReadTarnBpi("1"), "75");
    for (const char* other : {"2", "", "00", "-1"})
        EXPECT_EQ(ReadTarnBpi(other), "") << other;
}

TEST(TarnFrame, SerialFormatByteBothWays) {
    struct Case {
        int baud;
        TarnParity parity;
        int byte;
        const char* baudText;
        const char* parityText;
    };
    const Case cases[] = {
        {19200, TarnParity::Odd, 0x00, "19200,", "o , 7, 1"},
        {9600, TarnParity::Odd, 0x01, "9600,", "o , 7, 1"},
        {4800, TarnParity::Even, 0x0A, "4800,", "e , 7, 1"},
        {2400, TarnParity::Mark, 0x13, "2400,", "m , 7, 1"},
        {1200, TarnParity::Space, 0x1C, "1200,", "s , 7, 1"},
        {9600, TarnParity::Space, 0x19, "9600,", "s , 7, 1"},
    };
    for (const Case& c : cases) {
        const SerialFormat format{c.baud, c.parity};
        EXPECT_EQ(SerialFormatByte(format), c.byte) << c.baud;
        const std::optional<SerialFormat> back = SerialFormatOf(c.byte);
        ASSERT_TRUE(back) << c.byte;
        EXPECT_EQ(back->baud, c.baud);
        EXPECT_EQ(back->parity, c.parity);
        EXPECT_EQ(BaudText(format), c.baudText);
        EXPECT_EQ(ParityText(format), c.parityText);
    }
    EXPECT_FALSE(SerialFormatByte({300, TarnParity::Odd}));
    for (int bad : {0x05, 0x07, 0x1D, 0x20, 0x99, 0xFF, -1, 256})
        EXPECT_FALSE(SerialFormatOf(bad)) << bad;
}

TEST(TarnFrame, ProtocolAndModeByte) {
    EXPECT_EQ(ProtocolAndModeByte(false, false), 0x00);
    EXPECT_EQ(ProtocolAndModeByte(false, true), 0x01);
    EXPECT_EQ(ProtocolAndModeByte(true, false), 0x02);
    EXPECT_EQ(ProtocolAndModeByte(true, true), 0x03);
}

} // namespace
} // namespace msrw::tarn
