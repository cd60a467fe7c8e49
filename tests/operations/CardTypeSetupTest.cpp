#include "operations/cardtype/CardTypeSetup.h"

#include "cards/CardTypeList.h"
#include "session/DeviceFormat.h"
#include "support/CardsSession.h"

#include <algorithm>

using namespace msrw;
using namespace msrw::test;

namespace {

const std::string kBpc755 = kEsc + "o\x07\x05\x05";
const std::string kBpc757 = kEsc + "o\x07\x05\x07";
const std::string kBpc888 = kEsc + "o\x08\x08\x08";
// The format the tests store: 50 and 20 leading zeros, tracks at 75/210/210
// BPI, so that every value differs from the reader's defaults.
const std::string kLeadz = kEsc + "z\x32\x14";
const std::string kLeadzPb = kEsc + "z\x6F\x14";
const std::string kTk1At75 = kEsc + "f\x4B";
const std::string kTk1At210 = kEsc + "f\xD2";
const std::string kTk2At210 = kEsc + "b\xD2";
const std::string kTk3At210 = kEsc + "g\xD2";
const Commands kStored{kLeadz, kTk1At75, kTk2At210, kTk3At210};

Commands Then(Commands first, const Commands& rest) {
    first.insert(first.end(), rest.begin(), rest.end());
    return first;
}

// "D300 W200": the pauses, Delay or Wait, in order.
std::string PausesOf(const RecordingClock& clock) {
    std::string out;
    for (const RecordingClock::Pause& p : clock.pauses)
        out += (out.empty() ? "" : " ") + std::string(p.isWait ? "W" : "D") + std::to_string(p.ms);
    return out;
}

void StoreTestFormat(FormatStore& format) {
    format.txt210Leadz = "50";
    format.txt75Leadz = "20";
    format.bpi[0].select(1); // 75
    format.bpi[1].select(0); // 210
    format.bpi[2].select(0); // 210
}

int PositionOf(const Session& s, const std::string& type) {
    const auto& items = s.view.cardTypes.items;
    return int(std::find(items.begin(), items.end(), type) - items.begin());
}

struct CommandCase {
    MsrwMode mode;
    std::string type;
    Commands commands;
    std::string pauses;
    std::array<int, 3> bitsAfter;    // the simulated reader's bits per character afterwards
    std::array<int, 3> densityAfter; // and its densities
    int leadingZeros210After;
};

void PrintTo(const CommandCase& c, std::ostream* os) {
    *os << MsrwModeName(c.mode) << " " << c.type;
}

class CardTypeCommands : public CardsSession, public ::testing::WithParamInterface<CommandCase> {};

TEST_P(CardTypeCommands, SendsTheTypesSettingsInOrderWithTheirPauses) {
    const CommandCase& c = GetParam();
    useSim();
    setMode(c.mode);
    StoreTestFormat(session.format);
    session.format.chkhico = true; // no reminder in the way
    session.view.track(2).text = ";123?";
    session.view.frame(1).red = session.view.frame(2).red = session.view.frame(3).red = true;

    EXPECT_EQ(cboCardType_Click(session, PositionOf(session, c.type)), CardTypeOutcome::Done);

    EXPECT_EQ(sent(), c.commands);
    EXPECT_EQ(PausesOf(clock), c.pauses);
    EXPECT_EQ(session.g.CardType, c.type);
    EXPECT_EQ(session.view.cardTypes.text(), c.type);
    EXPECT_TRUE(dialogs.messages.empty());
    for (int t = 1; t <= 3; ++t) {
        EXPECT_EQ(session.view.track(t).text, "");
        EXPECT_FALSE(session.view.frame(t).red);
    }
    EXPECT_TRUE(session.view.isEnabled("cmdRead"));
    EXPECT_EQ(session.view.isEnabled("cboCardType"), c.mode == MsrwMode::Ormond);
    const sim::DeviceSettings& reader = device->settings();
    EXPECT_EQ(reader.bitsPerChar, c.bitsAfter);
    EXPECT_EQ(reader.density, c.densityAfter);
    EXPECT_EQ(reader.leadingZeros210, c.leadingZeros210After);
    EXPECT_EQ(reader.leadingZeros75, 20);
}

const std::string kDelays4 = "W200 W200 W200 W200";

INSTANTIATE_TEST_SUITE_P(
    ByTypeAndMode, CardTypeCommands,
    ::testing::Values(
        CommandCase{MsrwMode::Ormond,
                    "ISO",
                    Then({kBpc755}, kStored),
                    "D300 " + kDelays4,
                    {7, 5, 5},
                    {75, 210, 210},
                    50},
        // Outside "Ormond Mode" ISO's bits are not sent; the reader keeps its own.
        CommandCase{
            MsrwMode::Velk, "ISO", kStored, "D300 " + kDelays4, {7, 5, 5}, {75, 210, 210}, 50},
        CommandCase{MsrwMode::Ormond,
                    "AAMVA",
                    Then({kBpc757}, kStored),
                    "D300 " + kDelays4,
                    {7, 5, 7},
                    {75, 210, 210},
                    50},
        CommandCase{MsrwMode::Velk,
                    "AAMVA",
                    Then({kBpc757}, kStored),
                    "D300 " + kDelays4,
                    {7, 5, 7},
                    {75, 210, 210},
                    50},
        CommandCase{MsrwMode::Velk, "CDL", kStored, kDelays4, {7, 5, 5}, {75, 210, 210}, 50},
        CommandCase{MsrwMode::Ormond,
                    "USER",
                    Then({kBpc888}, kStored),
                    "D200 D200 " + kDelays4,
                    {8, 8, 8},
                    {75, 210, 210},
                    50},
        CommandCase{MsrwMode::Velk,
                    "RAW",
                    Then({kBpc888}, kStored),
                    "W200 W200 " + kDelays4,
                    {8, 8, 8},
                    {75, 210, 210},
                    50},
        CommandCase{MsrwMode::Ormond,
                    "PASS BOOK",
                    {kLeadzPb, kTk1At210, kTk2At210, kTk3At210, kBpc888},
                    kDelays4,
                    {8, 8, 8},
                    {210, 210, 210},
                    111}),
    [](const auto& param) {
        std::string name =
            std::string(MsrwModeName(param.param.mode)).substr(0, 5) + param.param.type;
        name.erase(std::remove(name.begin(), name.end(), ' '), name.end());
        return name;
    });

// A reader that takes every setting of the ISO and PASS BOOK types.
std::map<std::string, std::string> WillingReader() {
    std::map<std::string, std::string> answers;
    for (const std::string& c : {kLeadz, kLeadzPb, kTk1At75, kTk1At210, kTk2At210, kTk3At210})
        answers[c] = kStatusOk;
    answers[kBpc755] = kStatusOk + "\x07\x05\x05";
    answers[kBpc888] = kStatusOk + "\x08\x08\x08";
    return answers;
}

struct FailureCase {
    const char* name;
    std::string type;
    std::map<std::string, std::string> changedAnswers; // "" : no answer at all
    bool fails;
};

void PrintTo(const FailureCase& c, std::ostream* os) {
    *os << c.name;
}

class CardTypeFailures : public CardsSession, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(CardTypeFailures, AWrongOrMissingAnswerIsReportedOnceAndTheTypeStays) {
    const FailureCase& c = GetParam();
    std::map<std::string, std::string> answers = WillingReader();
    for (const auto& [command, answer] : c.changedAnswers) {
        if (answer.empty())
            answers.erase(command);
        else
            answers[command] = answer;
    }
    useFake(answers);
    setMode(MsrwMode::Ormond);
    StoreTestFormat(session.format);
    session.format.chkhico = true;

    const CardTypeOutcome outcome = cboCardType_Click(session, PositionOf(session, c.type));

    EXPECT_EQ(outcome, c.fails ? CardTypeOutcome::SettingFailed : CardTypeOutcome::Done);
    EXPECT_EQ(dialogs.messages, c.fails ? Commands{kSettingFailedMessage} : Commands{});
    EXPECT_EQ(session.g.CardType, c.type);
    EXPECT_TRUE(session.view.isEnabled("cboCardType"));
    EXPECT_EQ(sent().size(), 5u); // every setting still went out
}

INSTANTIATE_TEST_SUITE_P(
    Replies, CardTypeFailures,
    ::testing::Values(
        FailureCase{"AllTaken", "ISO", {}, false},
        FailureCase{"WrongBitsEcho", "ISO", {{kBpc755, kStatusOk + "\x07\x05\x07"}}, true},
        FailureCase{"BareStatusForBits", "ISO", {{kBpc755, kStatusOk}}, true},
        FailureCase{"DensityRefused", "ISO", {{kTk2At210, kEsc + "1"}}, true},
        FailureCase{"LeadingZerosUnanswered", "ISO", {{kLeadz, ""}}, true},
        FailureCase{"SilentReader",
                    "ISO",
                    {{kBpc755, ""}, {kLeadz, ""}, {kTk1At75, ""}, {kTk2At210, ""}, {kTk3At210, ""}},
                    true},
        FailureCase{"PassBookAllTaken", "PASS BOOK", {}, false},
        FailureCase{"PassBookBitsNotEchoed", "PASS BOOK", {{kBpc888, kEsc + "1"}}, true},
        FailureCase{"PassBookDensityRefused", "PASS BOOK", {{kTk3At210, kEsc + "1"}}, true}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(CardTypeFailures, LeadingZerosThatCannotBeSentAreNamedAndTheRestStillGoes) {
    useFake(WillingReader());
    setMode(MsrwMode::Ormond);
    StoreTestFormat(session.format);
    session.format.chkhico = true;
    session.format.txt210Leadz = "300";

    EXPECT_EQ(cboCardType_Click(session, 0), CardTypeOutcome::SettingFailed);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0], *LeadingZerosProblem(session.format, LeadingZerosFor::Format));
    EXPECT_EQ(sent(), (Commands{kBpc755, kTk1At75, kTk2At210, kTk3At210}));
}

TEST_F(CardTypeFailures, NoReaderSetsUpTheWindowOnly) {
    setMode(MsrwMode::Ormond);
    EXPECT_EQ(cboCardType_Click(session, 3), CardTypeOutcome::PortFailed);
    EXPECT_EQ(dialogs.messages, Commands{"Open Port Failed!"});
    EXPECT_TRUE(clock.pauses.empty());
    EXPECT_EQ(session.g.CardType, "RAW");
    EXPECT_EQ(session.view.frame(1).caption, "Track1   8-BPC   210-BPI");
    EXPECT_EQ(session.view.track(3).maxLength, 180);
    EXPECT_TRUE(session.view.isEnabled("cboCardType"));
}

struct ReminderCase {
    bool databaseRun;
    bool highCoercivity;
    bool reminded;
};

void PrintTo(const ReminderCase& c, std::ostream* os) {
    *os << "database " << c.databaseRun << " hi-co " << c.highCoercivity;
}

class HiCoReminder : public CardsSession, public ::testing::WithParamInterface<ReminderCase> {};

TEST_P(HiCoReminder, AamvaRemindsOfHighCoercivityOutsideTheDatabase) {
    useSim();
    setMode(MsrwMode::Ormond);
    session.g.DatabaseRun = GetParam().databaseRun;
    session.format.chkhico = GetParam().highCoercivity;
    EXPECT_EQ(cboCardType_Click(session, 1), CardTypeOutcome::Done);
    EXPECT_EQ(dialogs.messages, GetParam().reminded ? Commands{kHiCoReminder} : Commands{});
}

INSTANTIATE_TEST_SUITE_P(Flags, HiCoReminder,
                         ::testing::Values(ReminderCase{false, false, true},
                                           ReminderCase{false, true, false},
                                           ReminderCase{true, false, false}));

TEST_F(HiCoReminder, OtherTypesNeverRemind) {
    useSim();
    setMode(MsrwMode::Ormond);
    for (int position : {0, 2, 3, 4})
        EXPECT_EQ(cboCardType_Click(session, position), CardTypeOutcome::Done) << position;
    EXPECT_TRUE(dialogs.messages.empty());
}

class CardTypeChoice : public CardsSession {};

TEST_F(CardTypeChoice, TheTarnFamilyClearsTheWindowAndSendsNoEscapeSettings) {
    useFake({});
    setMode(MsrwMode::Quell, true);
    session.format.chkhico = true; // the escape-sequence set-up has no say here
    for (TrackFrame& frame : session.view.frames) {
        frame.caption = "Track1   7-BPC   210-BPI";
        frame.red = true;
    }
    session.view.track(1).text = "%B1?";

    EXPECT_EQ(cboCardType_Click(session, 2), CardTypeOutcome::Done);
    EXPECT_EQ(session.g.CardType, "CUSTOM");
    // No Tarn set-up file: its defaults.
    EXPECT_EQ(session.view.frame(1).caption, "Track1   7-BPC    210-BPI");
    EXPECT_EQ(session.view.frame(2).caption, "Track2   5-BPC    75-BPI");
    for (int t = 1; t <= 3; ++t) {
        EXPECT_FALSE(session.view.frame(t).red);
        EXPECT_EQ(session.view.track(t).maxLength, 220);
        EXPECT_EQ(session.view.track(t).text, "");
    }
    EXPECT_TRUE(sent().empty());
    EXPECT_TRUE(session.view.isEnabled("cboCardType"));

    // The coercivity of a reader whose set-up memory was never read is no
    // high coercivity.
    EXPECT_EQ(cboCardType_Click(session, 1), CardTypeOutcome::Done);
    EXPECT_EQ(dialogs.messages, std::vector<std::string>{kHiCoReminder});
    EXPECT_EQ(session.view.track(1).maxLength, 220); // AAMVA leaves the limits to the key filter
}

TEST_F(CardTypeChoice, AnEndedRunStopsAtThePauseWithNothingMoreSent) {
    // ISO: pause, bits, leading zeros, pause, track 1 density, pause, track 2 density, pause...
    const Commands all{kBpc755, kEsc + "z\x3D\x16", kTk1At210, kEsc + "b\x4B"};
    for (const auto& [endAtPause, sentBefore] : {std::pair{1, 0}, {2, 2}, {4, 4}}) {
        SCOPED_TRACE(endAtPause);
        useSim();
        simLog->clear();
        setMode(MsrwMode::Ormond);
        int pauses = 0;
        clock.duringPause = [&, end = endAtPause](int) {
            if (++pauses == end)
                session.markOperationEnded();
        };
        EXPECT_EQ(cboCardType_Click(session, 0), CardTypeOutcome::Ended);
        EXPECT_EQ(sent(), Commands(all.begin(), all.begin() + sentBefore));
        EXPECT_FALSE(session.view.isEnabled("cmdRead"));
        EXPECT_TRUE(dialogs.messages.empty());
    }
}

TEST_F(CardTypeChoice, APositionOutsideTheListChangesNothing) {
    setMode(MsrwMode::Ormond);
    session.g.CardType = "USER";
    for (int position : {-1, 5}) {
        EXPECT_EQ(cboCardType_Click(session, position), CardTypeOutcome::NoSuchEntry);
        EXPECT_EQ(session.g.CardType, "USER");
    }
    setMode(MsrwMode::Pellam); // offers no types at all
    EXPECT_EQ(cboCardType_Click(session, 0), CardTypeOutcome::NoSuchEntry);
    EXPECT_EQ(session.view.enabled, AllControls(true)); // no control touched
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST(CardTypeListEdits, DeleteIsSwallowedAndAnEditSelectsTheFirstEntry) {
    EXPECT_EQ(cboCardType_KeyDown(kDeleteKeyCode), 0);
    EXPECT_EQ(cboCardType_KeyDown(45), 45);
    EXPECT_EQ(cboCardType_KeyDown(8), 8);

    CardTypeList list{CardTypesForMode(MsrwMode::Ormond), 3};
    EXPECT_EQ(cboCardType_Change(list), 0);
    EXPECT_EQ(list.text(), "ISO");
    CardTypeList none;
    EXPECT_EQ(cboCardType_Change(none), -1);
}

} // namespace
