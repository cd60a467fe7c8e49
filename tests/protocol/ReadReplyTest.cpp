#include "protocol/ReadReply.h"

#include "link/Notation.h"
#include "sim/CardOps.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace msrw::reading {
namespace {

const std::string kEsc = "\x1B";

using namespace std::string_literals;
using reply::MsrwMode;
using sim::TrackRead;

using Form = std::function<std::string(std::string_view)>;
const Form kDisplay = [](std::string_view b) { return DisplayForm(b); };
const Form kHex = [](std::string_view b) { return HexForm(b); };

constexpr int kUserPosition = 2; // no backslash handling in "Ormond Mode"

ReadReplyContext Context(MsrwMode mode, int position = kUserPosition, int active = 2) {
    return {mode, position, active};
}

std::string Ormond(const std::string& f1, const std::string& f2, const std::string& f3,
                   char status = '0') {
    return "\x1B\x01"s + f1 + "\x1B\x02" + f2 + "\x1B\x03" + f3 + "?\x1C\x1B" + status;
}

const std::string kBlank = "\x1B+";
const std::string kFailed = "\x1B*";

TEST(ReadReply, OrmondRepliesInBothForms) {
    const struct {
        const char* what;
        std::string reply;
        TrackTexts tracks;
        bool ok;
    } cases[] = {
        {"three tracks", Ormond("%ABC?", ";123?", ";456?"), {"%ABC?", ";123?", ";456?"}, true},
        {"blank track 2, status 0", Ormond("%A?", kBlank, ";4?"), {"%A?", "", ";4?"}, true},
        {"failed track 2", Ormond("%A?", kFailed, ";4?", '2'), {"%A?", "", ";4?"}, false},
        {"all blank", Ormond(kBlank, kBlank, kBlank), {"", "", ""}, true},
        {"status names a track", Ormond("%A?", ";1?", ";4?", '4'), {"%A?", ";1?", ";4?"}, false},
        {"bytes before the reply", kEsc + "0" + Ormond("%A?", ";1?", ""), {"%A?", ";1?", ""}, true},
        {"no status byte", Ormond("%A?", ";1?", ";4?").substr(0, 18), {"%A?", ";1?", ";4?"}, false},
        {"no track 3 marker",
         "\x1B\x01%A?\x1B\x02;1??\x1C\x1B"
         "0",
         {},
         false},
        {"no end", "\x1B\x01%A?\x1B\x02;1?\x1B\x03;4?", {}, false},
        {"not a read reply", kEsc + "0", {}, false},
    };
    for (const auto& c : cases)
        for (const Form& form : {kDisplay, kHex}) {
            const ParsedRead read = ParseReadReply(form(c.reply), Context(MsrwMode::Ormond));
            EXPECT_EQ(read.ok, c.ok) << c.what;
            for (std::size_t k = 0; k < 3; ++k)
                EXPECT_EQ(read.tracks[k], form(c.tracks[k])) << c.what << " track " << k + 1;
        }
}

// Raw data is arbitrary bytes: marker bytes inside it must not cut the field.
TEST(ReadReply, RawFieldsAreCutByTheirLengthByte) {
    const sim::CardRead read = {TrackRead{TrackRead::State::Data, "\x80\x1B\x02\x1B\x03"s},
                                TrackRead{TrackRead::State::Data, "\x3F\x1C\x1B\x30\xFF"s},
                                TrackRead{TrackRead::State::Blank, ""}};
    ParsedRead parsed =
        ParseReadReply(HexForm(sim::EscapeReadReply(read, true)), Context(MsrwMode::Ormond, 3));
    EXPECT_TRUE(parsed.ok);
    RawTrackToHex(parsed.tracks);
    EXPECT_EQ(parsed.tracks, (TrackTexts{"801B021B03", "3F1C1B30FF", ""}));
}

TEST(ReadReply, VelkReplies) {
    const struct {
        const char* what;
        std::string reply;
        TrackTexts tracks;
        bool ok;
    } cases[] = {
        {"three tracks", "T1:\r%AB?\rT2:\r;12?\rT3:\r;34?\r", {"%AB?", ";12?", ";34?"}, true},
        {"empty tracks", "T1:\r\rT2:\r;1?\rT3:\r\r", {"", ";1?", ""}, true},
        {"error", "Err\r", {}, false},
        {"no track 3", "T1:\rA\rT2:\rB\r", {}, false},
        {"markers out of order", "T2:\rB\rT1:\rA\rT3:\rC\r", {}, false},
    };
    for (const auto& c : cases) {
        const ParsedRead read = ParseReadReply(DisplayForm(c.reply), Context(MsrwMode::Velk));
        EXPECT_EQ(read.ok, c.ok) << c.what;
        EXPECT_EQ(read.tracks, c.tracks) << c.what;
        // The operator's form puts a line break after each "\0D"; it is not data.
        EXPECT_EQ(ParseReadReply(HexStrToCharStr(c.reply), Context(MsrwMode::Velk)).tracks,
                  c.tracks)
            << c.what;
    }
}

TEST(ReadReply, DoubledBackslashShownSingleForTheFirstTwoCardTypes) {
    const std::string reply = DisplayForm(Ormond("%A\\B?", ";1?", ""));
    const struct {
        MsrwMode mode;
        int position;
        std::string track1;
    } cases[] = {
        {MsrwMode::Ormond, 0, "%A\\B?"},
        {MsrwMode::Ormond, 1, "%A\\B?"},
        {MsrwMode::Ormond, 2, "%A\\\\B?"},
        {MsrwMode::Ormond, 4, "%A\\\\B?"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseReadReply(reply, Context(c.mode, c.position)).tracks[0], c.track1)
            << c.position;
    EXPECT_EQ(ParseReadReply("T1:\\0DA\\\\B\\0DT2:\\0D\\0DT3:\\0D\\0D", Context(MsrwMode::Velk, 1))
                  .tracks[0],
              "A\\B");
    // Other escapes stay whole: only a displayed backslash is undone.
    EXPECT_EQ(
        ParseReadReply(HexForm(Ormond("%\\?", "", "")), Context(MsrwMode::Ormond, 0)).tracks[0],
        "\\25\\5C\\3F");
}

TEST(ReadReply, ActiveTracksKeepOnlyTheTracksInUse) {
    const std::string reply = DisplayForm(Ormond("%A?", ";1?", ";4?"));
    const struct {
        int active;
        TrackTexts tracks;
    } cases[] = {
        {0, {"", ";1?", ""}},
        {1, {"%A?", ";1?", ""}},
        {2, {"%A?", ";1?", ";4?"}},
    };
    for (const auto& c : cases) {
        const ParsedRead read = ParseReadReply(reply, Context(MsrwMode::Ormond, 2, c.active));
        EXPECT_EQ(read.tracks, c.tracks) << c.active;
        EXPECT_TRUE(read.ok);
    }
}

TEST(ReadReply, NoReadReplyInOtherModesOrFromMalformedText) {
    const std::string good = DisplayForm(Ormond("%A?", ";1?", ";4?"));
    for (const MsrwMode mode : {MsrwMode::Quell, MsrwMode::Pellam}) {
        const ParsedRead read = ParseReadReply(good, Context(mode));
        EXPECT_FALSE(read.ok);
        EXPECT_EQ(read.tracks, TrackTexts{});
    }
    for (const std::string& bad : {good + "\\", good + "\\1", "\\1b" + good.substr(3)}) {
        const ParsedRead read = ParseReadReply(bad, Context(MsrwMode::Ormond));
        EXPECT_FALSE(read.ok) << bad;
        EXPECT_EQ(read.tracks, TrackTexts{}) << bad;
    }
}

TEST(ReadReply, RawTrackToHex) {
    const struct {
        std::string field, hex;
    } cases[] = {
        {"\\03\\A1\\B2\\C3", "A1B2C3"},
        {"\\01\\A1\\B2", "A1"}, // no more than the length byte counts
        {"\\05\\A1", "A1"},
        {"\\02AB", "4142"}, // display form too
        {"\\00", ""},
        {"", ""},
        {"\\0", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RawTrackToHex(c.field), c.hex) << c.field;
}

} // namespace
} // namespace msrw::reading
