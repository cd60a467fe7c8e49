#include "link/ReplyFramer.h"

#include <gtest/gtest.h>
#include <string>

using namespace msrw;
using namespace std::string_literals;

namespace {

const std::string kEsc = "\x1B";

struct FrameCase {
    const char* name;
    ReplyShape shape;
    std::string buffer;
    std::size_t skip;
    std::size_t length; // 0: not complete yet
};

class FramerCases : public ::testing::TestWithParam<FrameCase> {};

TEST_P(FramerCases, FindsTheEndOfTheReply) {
    const FrameCase& c = GetParam();
    const FrameResult r = FindReply(c.buffer, c.shape);
    EXPECT_EQ(r.length, c.length) << c.name;
    if (c.length) {
        EXPECT_EQ(r.skip, c.skip) << c.name;
    }
}

const std::string kDecodedRead = "\x1B\x01%ABC?\x1B\x02;123?\x1B\x03\x1B+?\x1C\x1B"
                                 "0"s;
// Raw fields: the track 1 data holds '?' FS ESC, which must not end the reply.
const std::string kRawRead = "\x1B\x01\x03?\x1C\x1B\x1B\x02\x01\xF0\x1B\x03\x1B+?\x1C\x1B"
                             "0"s;

INSTANTIATE_TEST_SUITE_P(
    Shapes, FramerCases,
    ::testing::Values(
        FrameCase{"status", ReplyShape::Status, kEsc + "0", 0, 2},
        FrameCase{"status half", ReplyShape::Status, "\x1B", 0, 0},
        FrameCase{"status after noise", ReplyShape::Status, "\x00\xFF\x80\x1By"s, 3, 2},
        FrameCase{"status then more", ReplyShape::Status,
                  kEsc + "0\x1B"
                         "5",
                  0, 2},
        FrameCase{"echo of bits per char", ReplyShape::StatusEcho3, kEsc + "0\x07\x05\x05", 0, 5},
        FrameCase{"echo incomplete", ReplyShape::StatusEcho3, kEsc + "0\x07\x05", 0, 0},
        FrameCase{"echo refused", ReplyShape::StatusEcho3, kEsc + "1", 0, 2},
        FrameCase{"banner", ReplyShape::Line, "Velk Reader/Writer Version 4\r", 0, 29},
        FrameCase{"banner partial", ReplyShape::Line, "Velk Reader", 0, 0},
        FrameCase{"probe status", ReplyShape::Line, kEsc + "4", 0, 2},
        FrameCase{"banner after noise", ReplyShape::Line, "\xFF\x00OK\r"s, 2, 3},
        FrameCase{"decoded read", ReplyShape::DecodedRead, kDecodedRead, 0, kDecodedRead.size()},
        FrameCase{"decoded read less status", ReplyShape::DecodedRead,
                  kDecodedRead.substr(0, kDecodedRead.size() - 1), 0, 0},
        FrameCase{"decoded read bare status", ReplyShape::DecodedRead, kEsc + "7", 0, 2},
        FrameCase{"text read", ReplyShape::DecodedRead, "T1:\rAB\rT2:\r12\rT3:\r\r", 0, 19},
        FrameCase{"text read partial", ReplyShape::DecodedRead, "T1:\rAB\rT2:\r12\r", 0, 0},
        FrameCase{"text read just begun", ReplyShape::DecodedRead, "T1", 0, 0},
        FrameCase{"text read failed", ReplyShape::DecodedRead, "Err\r", 0, 4},
        FrameCase{"raw read with end marker in data", ReplyShape::RawRead, kRawRead, 0,
                  kRawRead.size()},
        FrameCase{"raw read cut in data", ReplyShape::RawRead, kRawRead.substr(0, 5), 0, 0},
        FrameCase{"raw read length 27 is not a marker", ReplyShape::RawRead,
                  "\x1B\x01\x00\x1B\x02\x00\x1B\x03\x1B+"s + std::string(25, 'x') + "?\x1C", 0, 0},
        FrameCase{"tarn frame", ReplyShape::Tarn, "\x02^\x03_", 0, 4},
        FrameCase{"tarn frame open", ReplyShape::Tarn, "\x02^\x03", 0, 0},
        FrameCase{"tarn bare ends by silence only", ReplyShape::Tarn, "^", 0, 0},
        FrameCase{"tarn status is one byte", ReplyShape::TarnStatus, "^^", 0, 1},
        FrameCase{"tarn status frame", ReplyShape::TarnStatus, "\x02^\x03_\x02^\x03_", 0, 4},
        FrameCase{"tarn memory byte", ReplyShape::TarnMemory, "5A", 0, 2},
        FrameCase{"tarn memory half", ReplyShape::TarnMemory, "5", 0, 0},
        FrameCase{"tarn memory refused", ReplyShape::TarnMemory, "*", 0, 1},
        FrameCase{"tarn track blank", ReplyShape::TarnTrack, "+", 0, 1},
        FrameCase{"tarn track data open", ReplyShape::TarnTrack, "B41^", 0, 0},
        FrameCase{"tarn track data", ReplyShape::TarnTrack,
                  std::string("\x00\x10\x44"
                              "A\x04^",
                              6),
                  0, 5},
        FrameCase{"tarn track frame", ReplyShape::TarnTrack,
                  "\x02"
                  "AB\x04\x03\x44",
                  0, 6},
        FrameCase{"mode 2 track ends at its end sentinel", ReplyShape::TarnTrackText,
                  "%B41^A/T^25?;", 0, 12},
        FrameCase{"mode 2 track without sentinels ends quiet", ReplyShape::TarnTrackText,
                  "B41^A/T^25?", 0, 0},
        FrameCase{"mode 2 track blank", ReplyShape::TarnTrackText, "+", 0, 1},
        FrameCase{"mode 2 track frame", ReplyShape::TarnTrackText, "\x02;41?\x03\x0F", 0, 7},
        FrameCase{"mode 2 custom track ends quiet", ReplyShape::TarnTrackOpen, "%A?", 0, 0},
        FrameCase{"mode 2 custom track refused", ReplyShape::TarnTrackOpen, "*", 0, 1},
        FrameCase{"any: ok line", ReplyShape::Any, "OK\r", 0, 3},
        FrameCase{"any: status", ReplyShape::Any, kEsc + "0", 0, 2}),
    [](const auto& testInfo) {
        std::string n = testInfo.param.name;
        for (char& c : n)
            if (!isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return n;
    });

TEST(ReplyFramer, RawReadWithLength27FieldCompletesWhenItsDataHasCome) {
    std::string r = "\x1B\x01\x00\x1B\x02\x00\x1B\x03\x1B+"s + std::string(26, 'x') +
                    "?\x1C\x1B"
                    "0";
    EXPECT_EQ(FindReply(r, ReplyShape::RawRead).length, r.size());
}

TEST(ReplyFramer, ShapeFollowsTheCommand) {
    struct {
        std::string command;
        ReplyShape shape;
    } cases[] = {
        {kEsc + "a", ReplyShape::None},
        {kEsc + "e", ReplyShape::Status},
        {kEsc + "r", ReplyShape::DecodedRead},
        {kEsc + "m", ReplyShape::RawRead},
        {kEsc + "R0", ReplyShape::DecodedRead},
        {"\x1Bo\x07\x05\x05", ReplyShape::StatusEcho3},
        {kEsc + "v", ReplyShape::Line},
        {"9", ReplyShape::Line},
        {"RR\r", ReplyShape::DecodedRead},
        {"RU 0\r", ReplyShape::DecodedRead},
        {"ER 7\r", ReplyShape::Line},
        {"\x1Bs1", ReplyShape::None},
        {"\x1BToTARN", ReplyShape::None},
        {"ToVELK", ReplyShape::None},
        {"\x7F", ReplyShape::Tarn},
        {"\x02P\x03Q", ReplyShape::Tarn},
        {"\x1Bz\x3D\x16", ReplyShape::Status},
        {"\x1Bw\x1Bs\x1B\x01"
         "A?\x1C",
         ReplyShape::Status},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ShapeForCommand(c.command), c.shape) << c.command;
}

TEST(ReplyFramer, TarnRepliesAreKnownByTheirCommand) {
    const struct {
        std::string command;
        ReplyShape shape;
    } cases[] = {
        {"\x7F", ReplyShape::TarnStatus},
        {"P", ReplyShape::TarnStatus},
        {"\x02P\x03Q", ReplyShape::TarnStatus},
        {"q1", ReplyShape::TarnTrack},
        {"s3", ReplyShape::TarnTrack},
        {"\x02s1\x03\x41", ReplyShape::TarnTrack},
        {"U_7", ReplyShape::TarnTrack},
        {"W_5", ReplyShape::TarnTrack},
        {"U=7", ReplyShape::TarnStatus},
        {"Q1C", ReplyShape::TarnMemory},
        {"\x02Q03\x03\x51", ReplyShape::TarnMemory},
        {"A1C34", ReplyShape::TarnStatus},
        // Data loads that look like requests: they end with 04.
        {"Q1\x04", ReplyShape::TarnStatus},
        {"s\x04", ReplyShape::TarnStatus},
        {"\x02"
         "U_7\x04\x03\x55",
         ReplyShape::TarnStatus},
        {"9", ReplyShape::Line},
        {"ToVELK", ReplyShape::None},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ShapeForCommand(c.command, true), c.shape) << c.command;
    // Mode 2: track data has no 04; ISO tracks may end at their end sentinel.
    EXPECT_EQ(ShapeForCommand("q1", true, true), ReplyShape::TarnTrackText);
    EXPECT_EQ(ShapeForCommand("\x02s1\x03\x41", true, true), ReplyShape::TarnTrackText);
    EXPECT_EQ(ShapeForCommand("V_5", true, true), ReplyShape::TarnTrackOpen);
    EXPECT_EQ(ShapeForCommand("Q1C", true, true), ReplyShape::TarnMemory);
}

} // namespace
