// The real serial path: QSerialPort on a pseudo-terminal served by msrw-sim.

#include "link/MsrwDLL.h"
#include "session/LinkNotices.h"

#include "support/RecordingDialogs.h"
#include "support/SimProcess.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTimer>
#include <gtest/gtest.h>

using namespace msrw;
using namespace msrw::test;

namespace {

class SerialEndToEnd : public ::testing::Test {
protected:
    SerialEndToEnd() { ShowLinkNotices(link, dialogs); } // as the session shows them

    void start(const std::vector<std::string>& args) {
        sim = std::make_unique<SimProcess>(SimProcess::binDir() + "/msrw-sim", args);
        ASSERT_TRUE(sim->started()) << "msrw-sim did not print its terminal";
        ports.setPath(1, QString::fromStdString(sim->path()));
        ASSERT_EQ(link.OpenPort("1", "9600n , 8, 1"), kLinkOk) << link.lastError().toStdString();
    }

    std::unique_ptr<SimProcess> sim;
    PortDirectory ports;
    RecordingDialogs dialogs;
    MsrwDLL link{ports};
};

TEST_F(SerialEndToEnd, IdentifiesAndTestsTheReaderThroughAPseudoTerminal) {
    start({});
    std::string banner;
    EXPECT_EQ(link.ReadVersion(banner), kLinkOk);
    EXPECT_EQ(banner.rfind("Velk Reader/Writer Version", 0), 0u) << banner;
    EXPECT_EQ(link.Query("\\1Be"), "\\1By");
    EXPECT_EQ(link.Query("\\1B\\6F\\07\\05\\05"), "\\1B0\\07\\05\\05");
}

TEST_F(SerialEndToEnd, AssemblesFragmentedRepliesBehindLineNoise) {
    start({"--fragment", "--garbage", "3"});
    EXPECT_EQ(link.Query("\\1Be"), "\\1By");
    EXPECT_EQ(link.Query("\\1By"), "\\1B0");
    EXPECT_EQ(link.Query("\\1Bd"), "\\1BL");
}

TEST_F(SerialEndToEnd, ACardReadArrivesAsOneEvent) {
    start({"--auto-swipe", "20"});
    std::vector<std::string> replies;
    QObject::connect(&link, &MsrwDLL::MsrwInEvent,
                     [&](std::string& display, std::string&) { replies.push_back(display); });
    link.SendCommand("\\1Br");
    QElapsedTimer clock;
    clock.start();
    while (replies.empty() && clock.elapsed() < 3000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].substr(0, 6), "\\1B\\01");
    EXPECT_NE(replies[0].find("?\\1C\\1B"), std::string::npos);
}

TEST_F(SerialEndToEnd, ADisappearingPortIsReportedAndNeverHangs) {
    start({});
    EXPECT_EQ(link.Query("\\1Be"), "\\1By");
    sim->stop();
    QElapsedTimer clock;
    clock.start();
    link.Query("\\1Be");
    for (int i = 0; i < 20 && link.IsPortOpen(); ++i)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    EXPECT_FALSE(link.IsPortOpen());
    EXPECT_LT(clock.elapsed(), 2500);
    EXPECT_EQ(dialogs.messages.size(), 1u);
}

} // namespace

// The other end of the terminal closes while a reply is awaited: the wait
// ends at once with the reason, and a later open works again.
TEST_F(SerialEndToEnd, APortThatGoesAwayEndsTheWaitAtOnce) {
    start({});
    int lost = 0;
    QObject::connect(&link, &MsrwDLL::PortLost, [&] { ++lost; });
    QTimer::singleShot(300, [this] { sim->stop(); });
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(link.QueryScript("\\1Br"), ""); // waits up to 10 s for a swipe
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_FALSE(link.IsPortOpen());
    EXPECT_EQ(lost, 1);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].find("no longer available"), std::string::npos);
    start({});
    EXPECT_EQ(link.Query("\\1Be"), "\\1By");
}

// A command that expects no reply still reaches the wire when the port is
// closed right after it (the last command of a console run).
TEST_F(SerialEndToEnd, TheLastCommandBeforeClosingReachesTheDevice) {
    const QString logPath = QDir::temp().filePath(
        QStringLiteral("msrw-sim-log-%1.txt").arg(QCoreApplication::applicationPid()));
    QFile::remove(logPath);
    start({"--log", logPath.toStdString()});
    EXPECT_EQ(link.Query("\\1Be"), "\\1By");
    EXPECT_EQ(link.Query("\\1Ba"), ""); // no reply awaited
    link.ClosePort();
    sim->stop(); // the log is unbuffered: what came is in it
    QFile log(logPath);
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_EQ(log.readAll().toStdString(), "\\1Be\\1Ba");
    log.close();
    QFile::remove(logPath);
}

// The console scan with a device that chatters on port 1 and the reader on
// port 2: the chatter cannot hold the scan.
TEST(SerialScan, AChatteringPortIsPassedOver) {
    SimProcess chattering(SimProcess::binDir() + "/msrw-sim", {"--chatter", "5"});
    SimProcess reader(SimProcess::binDir() + "/msrw-sim", {});
    ASSERT_TRUE(chattering.started() && reader.started());
    QElapsedTimer clock;
    clock.start();
    const int status =
        SimProcess::run(SimProcess::binDir() + "/msrw-cli",
                        {"--port", "1=" + chattering.path(), "--port", "2=" + reader.path(),
                         "--port", "3=/nonexistent",         "--port", "4=/nonexistent",
                         "--port", "5=/nonexistent",         "--port", "6=/nonexistent",
                         "--port", "7=/nonexistent",         "--port", "8=/nonexistent",
                         "--port", "9=/nonexistent",         "--port", "10=/nonexistent",
                         "detect"});
    EXPECT_EQ(status, 0);
    EXPECT_LT(clock.elapsed(), 8000);
}
