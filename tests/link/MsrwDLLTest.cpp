#include "link/MsrwDLL.h"
#include "session/LinkNotices.h"

#include "support/FakeTransport.h"
#include "support/RecordingDialogs.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <gtest/gtest.h>

using namespace msrw;
using namespace msrw::test;
using namespace std::string_literals;

namespace {

const std::string kEsc = "\x1B";

class LinkTest : public ::testing::Test {
protected:
    LinkTest() {
        ShowLinkNotices(link, dialogs); // as the session shows them
        device->answers[kEsc + "e"] = "\x1By";
        device->answers[kEsc + "v"] = "Velk Reader/Writer Version 4.0\r";
        ports.setInProcess(
            3, [d = device] { return std::make_unique<FakeTransport>(d); }, "fake");
        LinkTimings t;
        t.replyTimeoutMs = 150;
        t.probeTimeoutMs = 100;
        t.idleGapMs = 30;
        link.setTimings(t);
    }

    void open() { ASSERT_EQ(link.OpenPort("3", "9600N,8,1"), kLinkOk); }

    // Collects MsrwInEvent until `count` came or the time is up.
    std::vector<std::pair<std::string, std::string>> events(std::size_t count, int ms = 500) {
        QElapsedTimer clock;
        clock.start();
        while (received.size() < count && clock.elapsed() < ms)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
        return received;
    }

    std::shared_ptr<FakeDevice> device = std::make_shared<FakeDevice>();
    PortDirectory ports;
    RecordingDialogs dialogs;
    MsrwDLL link{ports};
    std::vector<std::pair<std::string, std::string>> received;
};

TEST_F(LinkTest, OpenPortExplainsWhatWentWrong) {
    EXPECT_EQ(link.OpenPort("x", "9600N,8,1"), kLinkBadPortText);
    EXPECT_EQ(link.OpenPort("11", "9600N,8,1"), kLinkBadPortText);
    EXPECT_EQ(link.OpenPort("3", "fast please"), kLinkBadSettings);
    EXPECT_EQ(link.OpenPort("4", "9600N,8,1"), kLinkNoSuchPort);
    device->present = false;
    EXPECT_EQ(link.OpenPort("3", "9600N,8,1"), kLinkOpenFailed);
    EXPECT_FALSE(link.lastError().isEmpty());
    EXPECT_FALSE(link.IsPortOpen());
    device->present = true;
    EXPECT_EQ(link.OpenPort("3", "9600,o , 7, 1"), kLinkOk);
    EXPECT_TRUE(link.IsPortOpen());
    EXPECT_EQ(link.ClosePort(), kLinkOk);
    EXPECT_FALSE(link.IsPortOpen());
}

TEST_F(LinkTest, QueryAssemblesRepliesFromAnyPiecesAndDropsLineNoise) {
    open();
    for (std::size_t piece : {0u, 1u, 2u}) {
        device->pieceSize = piece;
        EXPECT_EQ(link.Query("\\1Be"), "\\1By") << piece;
    }
    device->answers[kEsc + "e"] = "\x00\xFF\x80\x1By"s;
    EXPECT_EQ(link.Query("\\1Be"), "\\1By");
    std::string banner;
    EXPECT_EQ(link.ReadVersion(banner), kLinkOk);
    EXPECT_EQ(banner, "Velk Reader/Writer Version 4.0");
}

TEST_F(LinkTest, QueryReturnsAsSoonAsTheReplyIsComplete) {
    open();
    LinkTimings slow = link.timings();
    slow.idleGapMs = 2000;
    slow.replyTimeoutMs = 2000;
    link.setTimings(slow);
    device->pieceSize = 1;
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(link.Query("\\1Be"), "\\1By");
    EXPECT_EQ(link.Query("\\1Ba"), ""); // nothing is expected back
    EXPECT_LT(clock.elapsed(), 500);
}

TEST_F(LinkTest, SilenceEndsAQueryAfterTheTimeout) {
    open();
    device->answers.clear();
    EXPECT_EQ(link.Query("\\1Be"), "");
    EXPECT_FALSE(link.lastError().isEmpty());
    std::string banner = "old";
    EXPECT_EQ(link.ReadVersion(banner), kLinkNoReply);
    EXPECT_EQ(banner, "");
}

TEST_F(LinkTest, CommandTextsAreCheckedBeforeAnythingIsSent) {
    open();
    device->answers["\x10"] = kEsc + "0";
    EXPECT_EQ(link.Query("\\1b"), "\\1B0"); // a bad digit counts 0, and says so
    EXPECT_EQ(dialogs.messages, std::vector<std::string>{"Command Hex Format Error"});
    const std::size_t sent = device->received.size();
    link.SendCommand("\\1Bw\\1");
    link.SendCommand(std::string(256, 'A'));
    EXPECT_EQ(device->received.size(), sent);
    EXPECT_EQ(dialogs.messages.size(), 3u);
    link.SendCommand(std::string(255, 'A'));
    EXPECT_EQ(device->received.size(), sent + 1);
}

TEST_F(LinkTest, CardRepliesArriveAsEventsInBothForms) {
    open();
    QObject::connect(&link, &MsrwDLL::MsrwInEvent,
                     [this](std::string& d, std::string& h) { received.emplace_back(d, h); });
    device->pieceSize = 1;
    const std::string read = "\x80\x1B\x01%A\\?\x1B\x02\x1B+\x1B\x03\x1B*?\x1C\x1B"
                             "4"s;
    device->answers["\x1Br"] = read + kEsc + "0";
    link.SendCommand("\\1Br");
    const auto got = events(2);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].first, "\\1B\\01%A\\\\?\\1B\\02\\1B+\\1B\\03\\1B*?\\1C\\1B4");
    EXPECT_EQ(got[0].second.substr(0, 12), "\\1B\\01\\25\\41");
    EXPECT_EQ(got[1].first, "\\1B0");
}

TEST_F(LinkTest, AReplyArrivingWhileAHandlerRunsWaitsForIt) {
    open();
    int depth = 0;
    int deepest = 0;
    QObject::connect(&link, &MsrwDLL::MsrwInEvent, [&](std::string& d, std::string& h) {
        ++depth;
        deepest = std::max(deepest, depth);
        if (received.empty()) {
            device->open->push(kEsc + "1"); // the next card's reply, during the pause
            QEventLoop pause;
            QTimer::singleShot(50, &pause, &QEventLoop::quit);
            pause.exec();
        }
        received.emplace_back(d, h);
        --depth;
    });
    device->answers[kEsc + "c7"] = kEsc + "0";
    link.SendCommand("\\1Bc7");
    const auto got = events(2);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].first, "\\1B0");
    EXPECT_EQ(got[1].first, "\\1B1");
    EXPECT_EQ(deepest, 1);
}

TEST_F(LinkTest, BytesWithNoRecognisableEndAreDeliveredAfterSilence) {
    open();
    QObject::connect(&link, &MsrwDLL::MsrwInEvent,
                     [this](std::string& d, std::string& h) { received.emplace_back(d, h); });
    device->open->push("^");
    const auto got = events(1);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].first, "^");
}

TEST_F(LinkTest, APortThatDisappearsIsReportedOnceAndNeverHangs) {
    open();
    int lost = 0;
    QObject::connect(&link, &MsrwDLL::PortLost, [&] { ++lost; });
    device->answers.clear();
    QTimer::singleShot(20, [this] { device->open->vanish(); });
    QElapsedTimer clock;
    clock.start();
    LinkTimings t = link.timings();
    t.replyTimeoutMs = 5000;
    link.setTimings(t);
    EXPECT_EQ(link.Query("\\1Be"), "");
    EXPECT_LT(clock.elapsed(), 1000);
    EXPECT_FALSE(link.IsPortOpen());
    EXPECT_EQ(lost, 1);
    EXPECT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(link.Query("\\1Be"), ""); // no port: at once, nothing shown again
    EXPECT_EQ(dialogs.messages.size(), 1u);
    open();
    device->answers[kEsc + "e"] = "\x1By";
    EXPECT_EQ(link.Query("\\1Be"), "\\1By");
}

} // namespace

// A line that keeps sending bytes that never make a reply: the exchange ends
// at its deadline, says why, and keeps no more than a bounded tail.
TEST_F(LinkTest, AChatteringLineCannotHoldAnExchange) {
    open();
    LinkTimings t = link.timings();
    t.replySpanMs = 300;
    link.setTimings(t);
    const auto answers = device->answers;
    device->answers.clear(); // a foreign device: it only chatters
    QTimer chatter;
    QObject::connect(&chatter, &QTimer::timeout, [this] {
        if (device->open)
            device->open->push(std::string(600, 'z')); // no CR, no ESC: never a reply
    });
    chatter.start(5);
    QElapsedTimer clock;
    clock.start();
    std::string banner = "old";
    EXPECT_EQ(link.ReadVersion(banner), kLinkNoReply);
    EXPECT_EQ(link.Query("\\1Be"), "");
    EXPECT_LT(clock.elapsed(), 2 * (t.replyTimeoutMs + t.replySpanMs) + 500);
    EXPECT_NE(link.lastError().indexOf("kept sending"), -1) << link.lastError().toStdString();
    chatter.stop();
    device->open->discardInput(); // what is still queued
    device->answers = answers;
    EXPECT_EQ(link.Query("\\1Be"), "\\1By"); // the line is usable again
}

// An answer to a command whose reply nobody waits for must not become the
// reply of the next command.
TEST_F(LinkTest, AStrayAnswerIsNotTheNextReply) {
    open();
    device->answers[kEsc + "a"] = kEsc + "1";
    device->answers[kEsc + "x"] = kEsc + "0";
    EXPECT_EQ(link.Query("\\1Ba"), ""); // no reply is awaited for it
    EXPECT_EQ(link.Query("\\1Bx"), "\\1B0");
}
