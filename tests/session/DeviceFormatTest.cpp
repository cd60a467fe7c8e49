#include "session/DeviceFormat.h"

#include "link/Clock.h"
#include "link/MsrwDLL.h"
#include "session/FormatStore.h"
#include "support/FakeTransport.h"

#include <functional>
#include <gtest/gtest.h>

using namespace msrw;
using namespace msrw::test;

namespace {

const std::string kEsc = "\x1B";
const std::string kOk = kEsc + "0";
const std::string kRefused = kEsc + "1";
const std::string kHiCo = kEsc + "x";
const std::string kLowCo = kEsc + "y";
const std::string kLeadz5And22 = kEsc + "z\x05\x16";
const std::string kLeadz61And22 = kEsc + "z\x3D\x16";
const std::string kLeadz255And22 = kEsc + "z\xFF\x16";
const std::string kLeadz111And22 = kEsc + "z\x6F\x16";
const std::string kTk1At210 = kEsc + "f\xD2";
const std::string kTk2At75 = kEsc + "b\x4B";
const std::string kTk2At210 = kEsc + "b\xD2";
const std::string kTk3At210 = kEsc + "g\xD2";

class DeviceFormatTest : public ::testing::Test {
protected:
    DeviceFormatTest() {
        ports.setInProcess(
            1, [d = device] { return std::make_unique<FakeTransport>(d); }, "fake");
        LinkTimings t;
        t.replyTimeoutMs = 50;
        t.idleGapMs = 10;
        link.setTimings(t);
        EXPECT_EQ(link.OpenPort("1", "9600N,8,1"), kLinkOk);
    }

    // The device answers every command of this test with `reply`.
    void answerAll(const std::string& reply) {
        for (const std::string& command :
             {kHiCo, kLowCo, kLeadz5And22, kLeadz61And22, kLeadz255And22, kLeadz111And22, kTk1At210,
              kTk2At75, kTk2At210, kTk3At210})
            device->answers[command] = reply;
    }

    std::shared_ptr<FakeDevice> device = std::make_shared<FakeDevice>();
    PortDirectory ports;
    MsrwDLL link{ports};
    RecordingClock clock;
    FormatStore format;
    DeviceFormat commands{link, format, clock};
};

struct CommandCase {
    const char* name;
    std::function<void(FormatStore&)> change;
    int (DeviceFormat::*send)();
    std::string bytes;
    int failure;
};

const std::vector<CommandCase>& CommandCases() {
    static const std::vector<CommandCase> cases = {
        {"high coercivity", [](FormatStore& f) { f.chkhico = true; }, &DeviceFormat::SendHiCo,
         kHiCo, -11},
        {"low coercivity", [](FormatStore&) {}, &DeviceFormat::SendHiCo, kLowCo, -11},
        {"leading zeros", [](FormatStore&) {}, &DeviceFormat::SendLeadz, kLeadz61And22, -6},
        {"one-digit leading zeros", [](FormatStore& f) { f.txt210Leadz = "5"; },
         &DeviceFormat::SendLeadz, kLeadz5And22, -6},
        {"largest leading zeros", [](FormatStore& f) { f.txt210Leadz = "255"; },
         &DeviceFormat::SendLeadz, kLeadz255And22, -6},
        {"pass-book leading zeros", [](FormatStore&) {}, &DeviceFormat::SendLeadz_Pb,
         kLeadz111And22, -6},
        {"track 1 density", [](FormatStore&) {}, &DeviceFormat::SendTk1Bpi, kTk1At210, -7},
        {"track 2 density", [](FormatStore&) {}, &DeviceFormat::SendTk2Bpi, kTk2At75, -8},
        {"track 2 at 210", [](FormatStore& f) { f.bpi[1].select(0); }, &DeviceFormat::SendTk2Bpi,
         kTk2At210, -8},
        {"track 3 density", [](FormatStore&) {}, &DeviceFormat::SendTk3Bpi, kTk3At210, -9},
    };
    return cases;
}

TEST_F(DeviceFormatTest, EachCommandSucceedsOnlyOnTheOkStatus) {
    for (const std::string& reply : {kOk, kRefused}) {
        answerAll(reply);
        for (const CommandCase& c : CommandCases()) {
            format = FormatStore();
            c.change(format);
            device->received.clear();
            const int status = (commands.*c.send)();
            EXPECT_EQ(status, reply == kOk ? 0 : c.failure) << c.name;
            EXPECT_EQ(device->received, std::vector<std::string>{c.bytes}) << c.name;
        }
    }
}

TEST_F(DeviceFormatTest, SilenceIsAFailure) {
    EXPECT_EQ(commands.SendHiCo(), -11);
    EXPECT_EQ(commands.SendTk3Bpi(), -9);
}

TEST_F(DeviceFormatTest, LeadingZerosThatDoNotFitAByteAreNeverSent) {
    answerAll(kOk);
    struct Case {
        std::string FormatStore::*box;
        std::string text;
        LeadingZerosFor which;
    };
    const std::vector<Case> cases = {
        {&FormatStore::txt210Leadz, "256", LeadingZerosFor::Format},
        {&FormatStore::txt210Leadz, "999", LeadingZerosFor::Format},
        {&FormatStore::txt75Leadz, "-1", LeadingZerosFor::Format},
        {&FormatStore::txt75Leadz, "", LeadingZerosFor::PassBook},
        {&FormatStore::txt210Leadz_Pb, "300", LeadingZerosFor::PassBook},
        {&FormatStore::txt210Leadz_Pb, "1x", LeadingZerosFor::PassBook},
    };
    for (const Case& c : cases) {
        format = FormatStore();
        format.*c.box = c.text;
        device->received.clear();
        const int status =
            c.which == LeadingZerosFor::PassBook ? commands.SendLeadz_Pb() : commands.SendLeadz();
        EXPECT_EQ(status, -6) << c.text;
        EXPECT_TRUE(device->received.empty()) << c.text;
        const std::optional<std::string> problem = LeadingZerosProblem(format, c.which);
        ASSERT_TRUE(problem.has_value()) << c.text;
        EXPECT_NE(problem->find("0 to 255"), std::string::npos) << *problem;
        EXPECT_NE(problem->find('"' + c.text + '"'), std::string::npos) << *problem;
    }
    // The Pass Book box plays no part in the Format frame's command, and the
    // other way round.
    format = FormatStore();
    format.txt210Leadz_Pb = "300";
    EXPECT_FALSE(LeadingZerosProblem(format, LeadingZerosFor::Format));
    format = FormatStore();
    format.txt210Leadz = "300";
    EXPECT_FALSE(LeadingZerosProblem(format, LeadingZerosFor::PassBook));
    format.txt210Leadz = "255";
    EXPECT_FALSE(LeadingZerosProblem(format, LeadingZerosFor::Format));
}

TEST_F(DeviceFormatTest, RestoreSendsTheStoredFormatInOrderWithPauses) {
    answerAll(kOk);
    format.chkhico = true;
    EXPECT_EQ(commands.Restore_Setting("USER"), 0);
    EXPECT_EQ(device->received,
              (std::vector<std::string>{kHiCo, kLeadz61And22, kTk2At75, kTk1At210, kTk3At210}));
    ASSERT_EQ(clock.pauses.size(), 5u);
    for (const RecordingClock::Pause& p : clock.pauses) {
        EXPECT_FALSE(p.isWait);
        EXPECT_EQ(p.ms, 200);
    }
}

TEST_F(DeviceFormatTest, RestoreForPassBookSetsEveryTrackTo210Bpi) {
    answerAll(kOk);
    EXPECT_EQ(commands.Restore_Setting("PASS BOOK"), 0);
    EXPECT_EQ(device->received,
              (std::vector<std::string>{kLowCo, kLeadz111And22, kTk1At210, kTk2At210, kTk3At210}));
    EXPECT_EQ(clock.pauses.size(), 2u);
    EXPECT_EQ(clock.totalMs(), 400);
}

TEST_F(DeviceFormatTest, RestoreGoesOnPastAFailureAndReportsTheFirst) {
    answerAll(kOk);
    device->answers[kLeadz61And22] = kRefused;
    device->answers[kTk1At210] = kRefused;
    EXPECT_EQ(commands.Restore_Setting("ISO"), -6);
    EXPECT_EQ(device->received.size(), 5u);

    device->received.clear();
    format.txt210Leadz_Pb = "400"; // refused before sending
    EXPECT_EQ(commands.Restore_Setting("PASS BOOK"), -6);
    EXPECT_EQ(device->received,
              (std::vector<std::string>{kLowCo, kTk1At210, kTk2At210, kTk3At210}));
}

} // namespace
