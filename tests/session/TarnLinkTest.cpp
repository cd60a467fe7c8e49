// The program's side of the single-byte family against a scripted device:
// the bytes each step puts on the wire and what it makes of the replies.

#include "session/TarnLink.h"

#include "files/TarnSetupFile.h"
#include "session/Dispatcher.h"
#include "session/OpStates.h"
#include "support/CardsSession.h"

#include <QTimer>
#include <functional>
#include <map>
#include <optional>

using namespace msrw;
using namespace msrw::test;

namespace {

const std::string kFramedTaken = "\x02^\x03_";

// Answers each command with what `answer` says (nothing for nullopt), from
// the event loop as a port would.
struct ScriptedTarnDevice {
    Commands received;
    std::function<std::optional<std::string>(const std::string&)> answer;
};

class ScriptedTarnTransport : public Transport {
public:
    explicit ScriptedTarnTransport(std::shared_ptr<ScriptedTarnDevice> device)
        : device_(std::move(device)) {}
    bool open(const SerialSettings&, QString&) override { return open_ = true; }
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    QString describe() const override { return "scripted"; }
    bool write(const std::string& bytes) override {
        device_->received.push_back(bytes);
        if (const std::optional<std::string> reply = device_->answer(bytes))
            QTimer::singleShot(0, this, [this, r = *reply] {
                if (open_)
                    emit bytesReceived(r);
            });
        return true;
    }

private:
    std::shared_ptr<ScriptedTarnDevice> device_;
    bool open_ = false;
};

class TarnLinkTest : public CardsSession {
protected:
    TarnLinkTest() {
        device->answer = [this](const std::string& bytes) { return answerLikeAReader(bytes); };
        auto d = device;
        ports.setInProcess(
            1, [d] { return std::make_unique<ScriptedTarnTransport>(d); }, "scripted");
        EXPECT_EQ(session.link().OpenPort("1", "9600,o , 7, 1"), kLinkOk);
        setMode(MsrwMode::Quell, true);
        session.g.TarnUnframed = true;
    }

    // "^" for every command, framed when it came framed; set-up memory bytes
    // from `memory`, stored by writes; `overrides` first.
    std::optional<std::string> answerLikeAReader(const std::string& bytes) {
        if (auto it = overrides.find(bytes); it != overrides.end())
            return it->second;
        if (bytes.size() == 3 && bytes[0] == 'Q')
            return memory[bytes.substr(1)];
        if (bytes.size() == 5 && bytes[0] == 'A')
            memory[bytes.substr(1, 2)] = bytes.substr(3);
        return bytes[0] == '\x02' ? kFramedTaken : "^";
    }

    void writeSetup(TarnSetupLines values) {
        ASSERT_TRUE(TarnWriteSetting(session, values[0], values[1], values[2], values[3], values[4],
                                     values[5], values[6], values[7], values[8], values[9]));
    }

    Commands take() { return std::exchange(device->received, {}); }

    std::shared_ptr<ScriptedTarnDevice> device = std::make_shared<ScriptedTarnDevice>();
    std::map<std::string, std::optional<std::string>> overrides;
    std::map<std::string, std::string> memory;
};

TEST_F(TarnLinkTest, BareCommandsGoAsTheyAreAndEveryReplyIsTaken) {
    for (const bool useQuery : {true, false}) {
        std::string reply;
        EXPECT_TRUE(SendTarnStr(session, "\\4B", reply, useQuery));
        EXPECT_EQ(reply, "^");
        EXPECT_EQ(take(), Commands{"\x4B"});
    }
    EXPECT_TRUE(session.link().tarnFamily());
    overrides["\x4D"] = std::nullopt; // silence is accepted too
    std::string reply = "stale";
    EXPECT_TRUE(SendTarnStr(session, "\\4D", reply, true));
    EXPECT_EQ(reply, "");
}

TEST_F(TarnLinkTest, FramedCommandsCarryTheirCheckAndRepliesAreChecked) {
    session.g.TarnUnframed = false;
    std::string reply;
    EXPECT_TRUE(SendTarnStr(session, "\\4B", reply, true));
    EXPECT_EQ(reply, "^"); // the frame taken off
    EXPECT_TRUE(SendTarnStr(session, "\\50", reply, false));
    EXPECT_EQ(take(), (Commands{"\x02\x4B\x03\x4A", "\x02\x50\x03\x51"}));

    const std::string framed4B = "\x02\x4B\x03\x4A";
    const std::pair<std::optional<std::string>, const char*> refused[] = {
        {std::string("\x02^\x03`"), "wrong check byte"},
        {std::string("^"), "no frame"},
        {std::nullopt, "no reply"},
    };
    for (const auto& [answer, why] : refused) {
        overrides[framed4B] = answer;
        EXPECT_FALSE(SendTarnStr(session, "\\4B", reply, true)) << why;
    }
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(TarnLinkTest, TheResetReplyIsTakenWithoutACheck) {
    session.g.TarnUnframed = false;
    overrides["\x02\x7F\x03\x7E"] = std::string("\x02^\x03X");
    std::string reply;
    EXPECT_TRUE(SendTarnStr(session, "\\7F", reply, true));
    EXPECT_EQ(reply, "\\02^\\03X"); // as received
}

TEST_F(TarnLinkTest, ACommandTheFrameCannotHoldIsRefusedAndNotSent) {
    session.g.TarnUnframed = false;
    std::string longCommand;
    for (int i = 0; i < 199; ++i)
        longCommand += "\\41";
    std::string reply = "stale";
    EXPECT_FALSE(SendTarnStr(session, longCommand, reply, true));
    EXPECT_FALSE(SendTarnStr(session, "P", reply, false)); // not "\XX" pairs
    EXPECT_EQ(reply, "");
    EXPECT_TRUE(take().empty());
    EXPECT_EQ(dialogs.messages.size(), 2u);
}

TEST_F(TarnLinkTest, TrackRequestsGiveTheTrackOrSayNothingCame) {
    overrides["U_7"] = std::string("%B1\x10\x43?\x04");
    const TarnTrackResult data = RequestTarnTrack(session, "\\55\\5F\\37");
    EXPECT_TRUE(data.answered);
    EXPECT_EQ(data.reply.state, tarn::TrackState::Data);
    EXPECT_EQ(data.reply.text, "%B1\\03?");
    // An ISO track is its decoded characters: 03 is none of them.
    overrides["q1"] = std::string("%B1\x10\x43?\x04");
    EXPECT_EQ(RequestTarnTrack(session, "\\71\\31").reply.state, tarn::TrackState::Failed);
    overrides["r2"] = std::string("+");
    EXPECT_EQ(RequestTarnTrack(session, "\\72\\32").reply.state, tarn::TrackState::Blank);
    overrides["s3"] = std::nullopt;
    EXPECT_FALSE(RequestTarnTrack(session, "\\73\\33").answered);

    session.g.TarnUnframed = false;
    const std::string body = "AB\x04";
    overrides["\x02s1\x03\x43"] = "\x02" + body + "\x03" + "\x06"; // 41^42^04^01 = 06
    const TarnTrackResult framed = RequestTarnTrack(session, "\\73\\31");
    EXPECT_TRUE(framed.answered);
    EXPECT_EQ(framed.reply.text, "AB");
    overrides["\x02s1\x03\x43"] = "\x02" + body + "\x03" + "\x05";
    EXPECT_FALSE(RequestTarnTrack(session, "\\73\\31").answered);
}

TEST_F(TarnLinkTest, SetUpFileDefaultsAndRewrite) {
    EXPECT_EQ(TarnReadSetting(session, "L1"), ""); // no file yet
    CreateTarnSetupFile(session);
    EXPECT_EQ(TarnReadSetting(session, "L1"), "9");

    writeSetup({"4", "5", "6", "1", "1", "0", "1", "1", "1", "0"});
    EXPECT_FALSE(session.g.TarnUnframed); // "p" is "0": framed
    CreateTarnSetupFile(session);         // an existing file is kept
    EXPECT_EQ(TarnReadSetting(session, "L2"), "5");
    EXPECT_EQ(TarnReadSetting(session, "p"), "0");
    session.g.TarnUnframed = true;
    LoadTarnFraming(session);
    EXPECT_FALSE(session.g.TarnUnframed);
}

TEST_F(TarnLinkTest, DensitiesFollowTheSetUpFile) {
    writeSetup({"9", "9", "9", "0", "2", "2", "1", "0", "2", "1"});
    take();
    SetTarnBpi(session);
    EXPECT_EQ(take(), (Commands{"\x3B\x31\x4C", "\x3B\x32\x48", "\x3B\x33\x4C"}));
}

TEST_F(TarnLinkTest, WithoutASetUpFileTheDefaultsHold) {
    session.g.TarnUnframed = false;
    LoadTarnFraming(session);
    EXPECT_TRUE(session.g.TarnUnframed);
    SetTarnBpi(session);
    EXPECT_EQ(take(), (Commands{"\x3B\x31\x48", "\x3B\x32\x4C", "\x3B\x33\x48"}));
}

TEST_F(TarnLinkTest, ReadEEpromRewritesErasedBytesAndKeepsWhatItRead) {
    CreateTarnSetupFile(session);
    memory = {{"00", "FF"}, {"01", "16"}, {"02", "3D"}, {"03", "FF"}, {"1C", "34"}, {"04", "FF"}};
    EXPECT_TRUE(ReadEEprom(session));
    const Commands expected{
        "\x7F",  "\x3B\x31\x48", "\x3B\x32\x4C", "\x3B\x33\x48", "\x09\x09\x09", "Q00",
        "A001A", "Q00",          "Q01",          "Q02",          "Q03",          "A0319",
        "Q03",   "Q1C",          "Q04",          "A0401",        "Q04",          "@"};
    EXPECT_EQ(take(), expected);
    const GlobalVar::TarnMemoryValues& m = session.g.tarnMemory;
    EXPECT_EQ(m.address00, "1A");
    EXPECT_EQ(m.leadingZero75, "16");
    EXPECT_EQ(m.leadingZero210, "3D");
    EXPECT_EQ(m.serialFormat, "19");
    EXPECT_EQ(m.coercivity, "34");
    EXPECT_EQ(m.protocolAndMode, 1);
    EXPECT_FALSE(m.modeOne);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(TarnLinkTest, ReadEEpromTakesTheProtocolAndModeFromItsLowBits) {
    CreateTarnSetupFile(session);
    const std::pair<const char*, int> cases[] = {{"00", 0}, {"03", 3}, {"06", 2}, {"0D", 1}};
    for (const auto& [value, protocolAndMode] : cases) {
        memory = {{"00", "1A"}, {"01", "16"}, {"02", "3D"},
                  {"03", "19"}, {"1C", "FF"}, {"04", value}};
        ASSERT_TRUE(ReadEEprom(session));
        EXPECT_EQ(session.g.tarnMemory.protocolAndMode, protocolAndMode) << value;
        EXPECT_EQ(session.g.tarnMemory.modeOne, protocolAndMode % 2 == 0) << value;
        EXPECT_EQ(session.g.tarnMemory.coercivity, "FF"); // not rewritten
    }
    EXPECT_EQ(std::count(device->received.begin(), device->received.end(), "A1CFF"), 0);
}

TEST_F(TarnLinkTest, ReadEEpromStopsWhenTheResetIsNotAnswered) {
    overrides["\x7F"] = std::nullopt;
    session.g.tarnMemory.serialFormat = "19";
    EXPECT_FALSE(ReadEEprom(session));
    EXPECT_EQ(dialogs.messages,
              std::vector<std::string>{"Failed to reset! Please Check the reader."});
    EXPECT_EQ(take(), Commands{"\x7F"});
    EXPECT_EQ(session.g.tarnMemory.serialFormat, "19"); // untouched
}

TEST_F(TarnLinkTest, ArmingAReadAndStartingAWrite) {
    writeSetup({"9", "9", "9", "0", "2", "2", "0", "1", "0", "0"}); // framed
    session.g.TarnUnframed = true;                                  // until "p" is read
    take();
    ArmTarnRead(session, kOpQuellRead);
    EXPECT_EQ(take(), (Commands{"\x7F", "\x02\x4B\x03\x4A", "\x02\x3B\x31\x48\x03\x43",
                                "\x02\x3B\x32\x4C\x03\x44", "\x02\x3B\x33\x48\x03\x41",
                                "\x02\x50\x03\x51"}));
    EXPECT_EQ(session.g.OpState, kOpQuellRead);
    EXPECT_TRUE(session.g.TarnAwaitStart);

    session.g.TarnAwaitStart = false;
    StartTarnWrite(session);
    EXPECT_EQ(take(), Commands{"\x02\x40\x03\x41"});
    EXPECT_TRUE(session.g.TarnAwaitStart);
    session.g.TarnUnframed = true;
    StartTarnWrite(session);
    EXPECT_EQ(take(), Commands{"\x40"});
}

TEST_F(TarnLinkTest, TheStartReplyIsIgnoredUnlessItIsTheDoubleStart) {
    bool ok = false;
    session.g.TarnAwaitStart = true;
    EXPECT_FALSE(TakeTarnStartReply(session, "^", ok));
    EXPECT_FALSE(session.g.TarnAwaitStart);
    EXPECT_TRUE(TakeTarnStartReply(session, "*", ok)); // no longer awaited: judged
    EXPECT_FALSE(ok);

    session.g.TarnAwaitStart = true;
    EXPECT_TRUE(TakeTarnStartReply(session, "^^", ok));
    EXPECT_TRUE(ok); // the double start is the success it is
    EXPECT_FALSE(session.g.TarnAwaitStart);

    session.g.TarnUnframed = false;
    session.g.TarnAwaitStart = true;
    ok = false;
    EXPECT_FALSE(TakeTarnStartReply(session, "^^", ok)); // bare form while framed
    session.g.TarnAwaitStart = true;
    EXPECT_TRUE(TakeTarnStartReply(session, "\\02^\\03_\\02^\\03_", ok));
    EXPECT_TRUE(ok);
}

TEST_F(TarnLinkTest, RecoveryPausesAndStopsWhenTheOperationEnds) {
    EXPECT_TRUE(TarnRecovery(session));
    EXPECT_EQ(take(), (Commands{"\x6B", "\x4D", "\x4B"}));
    ASSERT_EQ(clock.pauses.size(), 1u);
    EXPECT_TRUE(clock.pauses[0].isWait);
    EXPECT_EQ(clock.pauses[0].ms, 1000);

    clock.duringPause = [this](int) { session.markOperationEnded(); };
    EXPECT_FALSE(TarnRecovery(session));
    EXPECT_EQ(take(), (Commands{"\x6B", "\x4D"}));
}

TEST_F(TarnLinkTest, TheEndSequenceReadsTheFramingBeforeTheDensities) {
    writeSetup({"9", "9", "9", "0", "2", "2", "1", "1", "0", "0"}); // framed
    session.g.TarnUnframed = true;
    take();
    TarnEndSequence(session);
    EXPECT_EQ(take(),
              (Commands{"\x28", "\x7F", "\x02\x3B\x31\x4C\x03\x47", "\x02\x3B\x32\x4C\x03\x44",
                        "\x02\x3B\x33\x48\x03\x41", "\x02\x4C\x03\x4D"}));
}

TEST_F(TarnLinkTest, EndingAQuellOperationRunsTheEndSequence) {
    CreateTarnSetupFile(session);
    session.g.OpState = kOpQuellRead;
    cmdCancel_Click(session);
    EXPECT_EQ(take(),
              (Commands{"\x28", "\x7F", "\x3B\x31\x48", "\x3B\x32\x4C", "\x3B\x33\x48", "\x4C"}));
    EXPECT_EQ(session.g.OpState, kOpIdle);
    EXPECT_TRUE(session.link().IsPortOpen()); // only "Ormond Mode" closes it
}

} // namespace
