// Cards written from the track fields through the simulated reader/writer
// read back as the text that was on screen.

#include "cards/CardTypeList.h"
#include "cards/UserTrackCodec.h"
#include "cards/WriteComposition.h"
#include "link/MsrwDLL.h"
#include "link/Notation.h"
#include "operations/cardtype/CardTypeSetup.h"
#include "operations/reading/ReadOperation.h"
#include "operations/writing/SendWrite.h"
#include "session/OpStates.h"
#include "support/SimSession.h"

#include <gtest/gtest.h>

using namespace msrw;
using namespace msrw::test;
using Tracks = track::TrackTexts;

namespace {

const char* const kCard = "Blank card";

class WriteRoundTrip : public ::testing::Test {
protected:
    // The replies go to the test, not to the dispatcher (its table is
    // emptied), so that each step of the round trip is this test's own.
    WriteRoundTrip() {
        t.session->dispatch = DispatchTable{};
        QObject::connect(&s().link(), &MsrwDLL::MsrwInEvent,
                         [this](std::string& display, std::string& hex) {
                             replies.push_back({display, hex});
                         });
    }

    void SetUp() override { ASSERT_TRUE(t.start()); }

    Session& s() { return *t.session; }

    void useMode(MsrwMode mode) {
        s().port.MsrwMode = mode;
        s().view.cardTypes.items = CardTypesForMode(mode);
        if (mode == MsrwMode::Velk)
            t.device->setTextDialect(true);
    }

    void chooseType(const std::string& type) {
        const auto& items = s().view.cardTypes.items;
        const int position = int(std::find(items.begin(), items.end(), type) - items.begin());
        ASSERT_LT(position, int(items.size())) << type;
        s().view.cardTypes.selected = position;
        ASSERT_EQ(cboCardType_Click(s(), position), CardTypeOutcome::Done) << type;
    }

    void show(const Tracks& fields) {
        for (std::size_t i = 0; i < fields.size(); ++i)
            s().view.tracks[i].text = fields[i];
    }

    // Writes the fields onto the card; the reply of the swipe, in display form.
    std::string write(const Tracks& fields) {
        show(fields);
        t.takeSent();
        replies.clear();
        EXPECT_EQ(PrepareTrackData(s()), 1); // as the write button does before sending
        EXPECT_TRUE(SendWriteStr(s(), kOpWrite));
        EXPECT_EQ(s().g.OpState, kOpWrite);
        sent = t.takeSent();
        // The log spells printable bytes as themselves.
        EXPECT_EQ(sent, std::vector<std::string>{
                            ToCommandText(ParseCommandText(s().g.WriteCommand).bytes)});
        // A new blank card, of the coercivity the reader is set to (a write
        // leaves the tracks it has no data for as they were).
        t.card(kCard) = sim::VirtualCard{};
        t.card(kCard).coercivity = t.device->settings().coercivity;
        EXPECT_TRUE(t.swipe(kCard)) << "the write did not arm the reader";
        return replies.empty() ? "(no reply)" : replies.back().display;
    }

    // Reads the card as the Read button does and shows it in the fields.
    CardRead readBack() {
        replies.clear();
        SendReadCmd(s(), kOpRead);
        EXPECT_TRUE(t.swipe(kCard)) << "the read did not arm the reader";
        if (replies.empty())
            return {};
        const Reply& r = replies.back();
        // The text reply of "Velk Mode" carries raw tracks as hexadecimal
        // characters, so it is read in display form whatever the card type
        // (ReplyTextFor gives the hex form for every USER or RAW read).
        const std::string& text = s().velk() ? r.display : ReplyTextFor(s(), r.display, r.hex);
        CardRead card = ReadCard(s(), text);
        ShowTracks(s(), card.tracks);
        return card;
    }

    Tracks shown() const {
        Tracks out;
        for (std::size_t i = 0; i < out.size(); ++i)
            out[i] = t.session->view.tracks[i].text;
        return out;
    }

    // Writes the fields and reads the card back into them: `readAs` shown.
    void expectWrittenAs(const Tracks& fields, const Tracks& readAs,
                         const std::string& okReply = "\\1B0") {
        ASSERT_EQ(write(fields), okReply) << s().g.WriteCommand;
        const CardRead card = readBack();
        EXPECT_TRUE(card.ok);
        EXPECT_EQ(shown(), readAs) << s().g.WriteCommand;
    }
    void expectRoundTrip(const Tracks& fields, const std::string& okReply = "\\1B0") {
        expectWrittenAs(fields, fields, okReply);
    }

    struct Reply {
        std::string display, hex;
    };
    SimSession t;
    std::vector<Reply> replies;
    std::vector<std::string> sent;
};

TEST_F(WriteRoundTrip, IsoAndAamvaInOrmondMode) {
    chooseType("ISO");
    expectRoundTrip({"%B4111^DOE/JANE~Q^2812?", ";4111=2812?", ";0123456789?"});
    expectRoundTrip({"%A\\B?", ";12?", ""}); // a backslash is one character
    // Preparation takes one sentinel off and the composition sends the track
    // without a second one: a doubled sentinel is recorded once.
    expectWrittenAs({"%%A\\B?", ";;12?", ""}, {"%A\\B?", ";12?", ""});
    chooseType("AAMVA");
    expectRoundTrip({"%CASPRINGFIELD^DOE$JANE?", ";6360=2812?", "%!!12345~~F510?"});
}

TEST_F(WriteRoundTrip, IsoWithTheSentinelsTypedSendsTheLettersOnly) {
    chooseType("ISO");
    write({"%ABC?", "", ""});
    EXPECT_EQ(sent, std::vector<std::string>{"\\1Bw\\1Bs\\1B\\01ABC?\\1C"});
}

TEST_F(WriteRoundTrip, UserTracksWithTheDefaultFormat) {
    chooseType("USER");
    expectRoundTrip({"%HELLO~WORLD?", ";0123456789?", ";12=34?"});
    // The start sentinel is added only where it is missing, so a track that
    // holds the start sentinel as data is recorded with one.
    expectWrittenAs({"%%A?", "", ";;1?"}, {"%A?", "", ";1?"});
}

TEST_F(WriteRoundTrip, UserTracksWithOtherFormats) {
    FormatStore& f = s().format;
    f.clickBpc(1, 1);        // 6 bits, no parity
    f.user[0].ss.select(0);  // "!"
    f.user[0].es.select(0);  // "~", a space
    f.clickBpc(2, 2);        // 5 bits
    f.clickParity(2, 2);     // even
    f.user[1].ss.select(6);  // "<", which a raw read finds only after its zero bits
    f.user[1].es.select(13); // "="
    f.clickBpc(3, 3);        // 4 bits
    f.user[2].ss.select(0);  // "1"
    f.user[2].es.select(0);  // "0"
    ASSERT_EQ(f.user[1].ss.text(), "<");
    chooseType("USER");
    expectRoundTrip({"!ABC_[]?~", "<12:34=", "12345670"});
}

TEST_F(WriteRoundTrip, RawTracksThatBeginWithAOneBit) {
    chooseType("RAW");
    expectRoundTrip({"A5C3", "8F", "F0E1D2C3B4A5"});
    expectRoundTrip({"", "FF", ""});
}

TEST_F(WriteRoundTrip, PassBookWithEverySyncZeroSetting) {
    chooseType("PASS BOOK");
    for (const int sync : {0, 1, 2}) { // "0", "25", "60"
        for (PassBookTrackControls& track : s().format.passBook)
            track.syncZeros.select(sync);
        // The reader answers ESC "5": written, waiting for the verifying swipe.
        expectRoundTrip({";123<", ";4567890<", "=89?"}, "\\1B5");
    }
}

TEST_F(WriteRoundTrip, VelkModeIso) {
    useMode(MsrwMode::Velk);
    chooseType("ISO");
    ASSERT_EQ(write({"%ABC?", ";12?", ""}), "OK\\0D");
    EXPECT_EQ(sent, std::vector<std::string>{"WI t1=ABC\\0D"}); // track 2 is too short
    expectRoundTrip({"%JOHN~DOE?", ";123456?", ";789?"}, "OK\\0D");
}

TEST_F(WriteRoundTrip, VelkModeUserIsWrittenAsCharactersInTheReadersFormat) {
    useMode(MsrwMode::Velk);
    chooseType("USER");
    // In this mode the reader records USER text in its own bits per
    // character; here the reader is set to the USER format of the fields.
    t.device->settings().bitsPerChar = {6, 5, 7};
    FormatStore& f = s().format;
    f.clickBpc(1, 1);
    f.clickBpc(2, 2);
    f.clickBpc(3, 0);
    ASSERT_EQ(write({"HELLO~THERE", "12345", "ABC"}), "OK\\0D");
    EXPECT_EQ(sent, std::vector<std::string>{"WU t1=HELLO THEREt2=12345t3=ABC\\0D"});
    // The reader's USER read gives the raw tracks; the read path decodes them
    // to the text with the reader's sentinels around it.
    const CardRead card = readBack();
    EXPECT_TRUE(card.ok);
    EXPECT_EQ(card.tracks, (Tracks{"%HELLO THERE?", ";12345?", "%ABC?"}));
}

TEST_F(WriteRoundTrip, DataThatCannotBeWrittenIsReportedAndNothingIsSent) {
    chooseType("USER");
    show({"", ";12A?", ""});
    t.takeSent();
    t.dialogs.messages.clear();
    s().g.OpState = kOpWrite;
    const auto ends = s().g.operationEnds;
    EXPECT_FALSE(SendWriteStr(s(), kOpWrite));
    ASSERT_EQ(t.dialogs.messages.size(), 1u);
    EXPECT_EQ(t.dialogs.messages[0],
              "Data Error: track 2 cannot be written: the character \"A\" cannot be recorded at "
              "5 bits per character. Nothing was written.");
    EXPECT_EQ(s().g.OpState, 0);
    EXPECT_GT(s().g.operationEnds, ends) << "the operation is ended, not left waiting";
    for (const std::string& command : t.takeSent())
        EXPECT_EQ(command.find("\\1Bn"), std::string::npos) << command;
    EXPECT_FALSE(t.swipe(kCard)) << "nothing may be armed";
}

} // namespace
