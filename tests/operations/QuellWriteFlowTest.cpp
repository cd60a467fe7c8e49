// Writing in "Quell Mode" against the simulated reader/writer: the bytes of
// the track loads, bare and framed, cards read back through the device's
// track requests, a load the device refuses, a failed card and its
// recovery, and a sequential run.

#include "cards/CustomTrack.h"
#include "operations/writing/SequentialWrite.h"
#include "operations/writing/TarnWrite.h"
#include "operations/writing/WriteOperation.h"
#include "protocol/TarnFrame.h"
#include "session/MainControls.h"
#include "support/QuellRun.h"

#include <gtest/gtest.h>

using namespace msrw;
using namespace msrw::test;

namespace {

using Texts = std::vector<std::string>;

// The reset, "\4B" and the densities of the default set-up (210, 75, 210):
// what every Quell write begins with.
const Texts kWriteOpening{"\\7F", "\\4B", "\\3B\\31\\48", "\\3B\\32\\4C", "\\3B\\33\\48"};

template <typename T> std::vector<T> Then(std::vector<T> head, const std::vector<T>& tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

struct WireCase {
    const char* name;
    const char* cardType;
    std::array<const char*, 3> fields;
    Texts loads; // after the opening, before the write start "\40"
    std::vector<std::pair<std::string, std::string>> readBack; // request, track text
    std::vector<int> pauses;
};

const WireCase kWireCases[] = {
    {"Iso",
     card::ISO,
     {"%ABC?", ";123?", ";456?"},
     {"\\41", "\\41\\42\\43\\04", "\\42", "\\31\\32\\33\\04", "\\43", "\\34\\35\\36\\04"},
     {{"\\71\\31", "ABC"}, {"\\72\\32", "123"}, {"\\73\\33", "456"}},
     {}},
    // AAMVA's track 3 is loaded in its 7-bit layout; an empty track is not
    // loaded at all.
    {"Aamva",
     card::AAMVA,
     {"%ABC?", "", "%XYZ?"},
     {"\\41", "\\41\\42\\43\\04", "\\63\\31", "\\58\\59\\5A\\04"},
     {{"\\71\\31", "ABC"}, {"\\73\\31", "XYZ"}},
     {}},
    // CUSTOM: track 1 in 7-bit characters after 2 zero bytes (the set-up
    // below), track 2 in 5-bit ones after 9; each load is followed by 100 ms.
    {"Custom",
     card::CUSTOM,
     {"A5C3", "0F1E", ""},
     {"\\55\\3D\\37", "\\00\\00\\D2\\F0\\E0\\04", "\\56\\3D\\35",
      "\\00\\00\\00\\00\\00\\00\\00\\00\\00\\81\\9C\\8F\\80\\04"},
     {{"\\55\\5F\\37", "A5C3"}, {"\\56\\5F\\35", "0F1E"}},
     {100, 100}},
};

class QuellWireFlow : public QuellRun,
                      public ::testing::WithParamInterface<std::tuple<WireCase, bool>> {};

TEST_P(QuellWireFlow, LoadsEachTrackThenStartsTheWriteAndTheCardReadsBack) {
    const auto& [c, framed] = GetParam();
    tarnSetup(framed ? "0" : "1", "2");
    chooseType(c.cardType);
    setTracks(c.fields[0], c.fields[1], c.fields[2]);
    cmdWrite_Click(s());
    EXPECT_EQ(t.dialogs.messages, Texts{});
    EXPECT_EQ(s().g.OpState, kOpQuellWrite);
    EXPECT_TRUE(s().g.TarnAwaitStart);
    EXPECT_TRUE(s().view.prompt.visible);
    EXPECT_EQ(t.takeSent(), WireAll(Then(Then(kWriteOpening, c.loads), Texts{"\\40"}), framed));
    EXPECT_EQ(t.takePauses(), c.pauses);

    sim::VirtualCard blank = Blank();
    swipe(blank);
    EXPECT_EQ(s().view.message.text, "Write(1) OK!");
    EXPECT_EQ(s().view.message.colour, kBlack);
    EXPECT_EQ(s().g.OpCount, 2);
    EXPECT_TRUE(s().view.prompt.visible);
    EXPECT_EQ(t.takeSent(), WireAll(Then(Then(kWriteOpening, c.loads), Texts{"\\40"}), framed))
        << "the next card is loaded with the same data";
    EXPECT_EQ(t.takePauses(), Then(std::vector<int>{300}, c.pauses));

    cmdCancel_Click(s());
    for (const auto& [request, text] : c.readBack) {
        const std::string got = readBack(blank, request);
        EXPECT_EQ(c.cardType == std::string(card::CUSTOM) ? tarn::ReadCustom(got) : got, text)
            << request;
    }
}

std::string WireCaseName(const ::testing::TestParamInfo<std::tuple<WireCase, bool>>& info) {
    return std::string(std::get<0>(info.param).name) +
           (std::get<1>(info.param) ? "Framed" : "Bare");
}

INSTANTIATE_TEST_SUITE_P(All, QuellWireFlow,
                         ::testing::Combine(::testing::ValuesIn(kWireCases), ::testing::Bool()),
                         WireCaseName);

TEST_F(QuellRun, ABackslashAndAReservedByteAreLoadedSoThatTheyCannotEndTheLoad) {
    chooseType(card::ISO);
    setTracks("%A\\B?", "", "");
    cmdWrite_Click(s());
    const Texts sent = t.takeSent();
    EXPECT_NE(std::find(sent.begin(), sent.end(), Wire("\\41\\5C\\42\\04")), sent.end());
    EXPECT_EQ(tarn::TrackDataLoad("\x02\x10Z"), "\\10\\42\\10\\50\\5A\\04");
}

TEST_F(QuellRun, ATrackTheDeviceRefusesEndsTheWriteWithoutShowingThePrompt) {
    // Track 2 is 5-bit: a letter cannot be recorded there.
    setTracks("%ABC?", ";12A?", ";456?");
    cmdWrite_Click(s());
    EXPECT_EQ(lastMessage(), "Failed to load Track 2 data!");
    EXPECT_EQ(s().g.OpState, kOpIdle);
    EXPECT_FALSE(s().view.prompt.visible);
    EXPECT_FALSE(s().g.PromptClosed) << "the caller clears it";
    EXPECT_TRUE(s().view.isEnabled("cmdWrite"));
    EXPECT_TRUE(s().view.track(2).enabled);
    const Texts sent = t.takeSent();
    for (const char* never : {"\\43", "\\40"})
        EXPECT_EQ(std::find(sent.begin(), sent.end(), Wire(never)), sent.end()) << never;
    sim::VirtualCard blank = Blank();
    EXPECT_FALSE(t.device->swipe(blank)) << "no write may be armed";
}

TEST_F(QuellRun, ATrackHoldingTheResetByteIsNeverSent) {
    setTracks("%A\x7F?", "", "");
    cmdWrite_Click(s());
    EXPECT_EQ(lastMessage(), "Failed to load Track 1 data!");
    EXPECT_EQ(s().g.OpState, kOpIdle);
    const Texts sent = t.takeSent();
    EXPECT_EQ(std::find(sent.begin(), sent.end(), Wire("\\41")), sent.end());
    EXPECT_EQ(std::find(sent.begin(), sent.end(), Wire("\\40")), sent.end());
}

TEST_F(QuellRun, ATrackTooLongForAFrameIsRefusedAndEndsTheWrite) {
    tarnSetup("0", "200"); // 200 zero bytes before track 1 cannot go in one frame
    chooseType(card::CUSTOM);
    setTracks("A5C3", "", "");
    cmdWrite_Click(s());
    ASSERT_GE(t.dialogs.messages.size(), 2u) << "the frame's own reason comes first";
    EXPECT_EQ(lastMessage(), "Failed to load Track 1 data!");
    EXPECT_EQ(s().g.OpState, kOpIdle);
    EXPECT_FALSE(s().view.prompt.visible);
    const Texts sent = t.takeSent();
    EXPECT_EQ(std::find(sent.begin(), sent.end(), FramedWire("\\40")), sent.end());
}

TEST_F(QuellRun, AFailedCardIsRecoveredAndTheSameDataWrittenOnTheNext) {
    setTracks("%ABC?", "", "");
    cmdWrite_Click(s());
    t.takeSent();
    const Texts load = Then(kWriteOpening, Texts{"\\41", "\\41\\42\\43\\04", "\\40"});
    sim::VirtualCard wrongCoercivity = Blank();
    wrongCoercivity.coercivity = sim::Coercivity::High;
    for (sim::VirtualCard* card : {&wrongCoercivity, &t.card("Damaged card (track 2)")}) {
        swipe(*card);
        EXPECT_EQ(s().view.message.text, "Write(1) Error!!");
        EXPECT_EQ(s().view.message.colour, kRed);
        EXPECT_EQ(t.takeSent(), WireAll(Then(Texts{"\\6B", "\\4D", "\\4B"}, load), false));
        EXPECT_EQ(t.takePauses(), std::vector<int>{1000});
        EXPECT_TRUE(s().view.prompt.visible);
    }
    sim::VirtualCard blank = Blank();
    swipe(blank);
    EXPECT_EQ(s().view.message.text, "Write(1) OK!");
    cmdCancel_Click(s());
    EXPECT_EQ(readBack(blank, "\\71\\31"), "ABC");
}

TEST_F(QuellRun, BothStartRepliesAtOnceCountAsTheCardWritten) {
    setTracks("%ABC?", "", "");
    cmdWrite_Click(s());
    std::string display = "^^", hex = "\\5E\\5E";
    oMsrwComm_MsrwInEvent(s(), display, hex);
    EXPECT_EQ(s().view.message.text, "Write(1) OK!");
    EXPECT_EQ(s().g.OpCount, 2);
}

TEST_F(QuellRun, EndDuringTheRecoveryPauseStopsTheOperation) {
    setTracks("%ABC?", "", "");
    cmdWrite_Click(s());
    t.takeSent();
    t.endOperationAtPause(1000);
    swipeWrongCoercivity();
    EXPECT_EQ(s().g.OpState, kOpIdle);
    EXPECT_FALSE(s().view.prompt.visible);
    const Texts sent = t.takeSent();
    EXPECT_EQ(std::find(sent.begin(), sent.end(), Wire("\\40")), sent.end());
}

class QuellSequential : public QuellRun {
protected:
    // Track 2 holds `data` with its marks; the range is entered.
    void run(const std::string& data, const std::string& first, const std::string& count) {
        SequentialWrite& seq = s().operationState<SequentialWrite>();
        s().view.track(2).text = data;
        cmdSeqWrite_Click(s(), seq);
        ASSERT_TRUE(seq.SeqWriteActive) << lastMessage();
        cmdCancel_Click(s()); // "OK" confirms the marks
        seq.dialog.txtStartNo = first;
        seq.dialog.txtEndNo = count;
        frmSeqWrite::CmdOk_Click(s(), seq);
    }
};

TEST_F(QuellSequential, WritesTheNumberedCardsAndEndsWithTheHousekeepingCommand) {
    run(";12xx?", "7", "2");
    ASSERT_EQ(s().g.OpState, kOpSequentialWrite) << lastMessage();
    EXPECT_TRUE(s().view.prompt.visible);
    sim::VirtualCard first = Blank(), second = Blank();
    swipe(first);
    EXPECT_EQ(s().view.message.text, "Write(1) OK!");
    t.takeSent();
    t.takePauses();
    swipeWrongCoercivity();
    EXPECT_EQ(s().view.message.text, "Write(2) Error!!");
    const Texts recovery = t.takeSent();
    ASSERT_GE(recovery.size(), 3u);
    EXPECT_EQ(Texts(recovery.begin(), recovery.begin() + 3),
              WireAll({"\\6B", "\\4D", "\\4B"}, false));
    EXPECT_EQ(t.takePauses(), (std::vector<int>{500, 1000}));
    swipe(second);
    EXPECT_EQ(s().view.message.text, "Write(2) OK!");
    EXPECT_EQ(lastMessage(), "Sequential Write Completed");
    EXPECT_EQ(t.takeSent(), Texts{Wire("\\4C")});
    EXPECT_FALSE(s().view.prompt.visible);
    EXPECT_TRUE(s().view.isEnabled("cmdSeqWrite"));
    EXPECT_EQ(readBack(first, "\\72\\32"), "1207");
    EXPECT_EQ(readBack(second, "\\72\\32"), "1208");
}

TEST_F(QuellSequential, IsRefusedForCustomCards) {
    chooseType(card::CUSTOM);
    SequentialWrite& seq = s().operationState<SequentialWrite>();
    cmdSeqWrite_Click(s(), seq);
    EXPECT_EQ(t.dialogs.messages, Texts{"Sequential Write is not for CUSTOM mode!"});
    EXPECT_FALSE(seq.SeqWriteActive);
    EXPECT_TRUE(t.takeSent().empty());
}

} // namespace
