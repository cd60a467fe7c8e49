// The real serial path: QSerialPort on a pseudo-terminal served by msrw-sim.

#include "link/MsrwDLL.h"
#include "session/LinkNotices.h"

#include "support/RecordingDialogs.h"
#include "support/SimProcess.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
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
