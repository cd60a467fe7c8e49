// A read run over the real serial path (a pseudo-terminal served by
// msrw-sim), with real pauses: what the reader sends while it is re-armed
// must not be taken as the next card.

#include "link/Clock.h"
#include "operations/Operations.h"
#include "operations/cardtype/CardTypeSetup.h"
#include "operations/reading/ReadOperation.h"
#include "operations/startup/Startup.h"
#include "session/Dispatcher.h"
#include "session/Session.h"
#include "support/RecordingDialogs.h"
#include "support/SimProcess.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace msrw;
using namespace msrw::test;

namespace {

bool WaitFor(const std::function<bool()>& done, int ms) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

TEST(ReadOverSerial, AnAnswerWhileTheReaderIsReArmedIsNoCard) {
    // This reader acknowledges every reset ("\1Ba"): the acknowledgement of
    // a re-arm comes while a card's branch pauses, with OpState 0.
    SimProcess sim(SimProcess::binDir() + "/msrw-sim", {"--answer-reset", "--auto-swipe", "300"});
    ASSERT_TRUE(sim.started());
    QTemporaryDir dir;
    PortDirectory ports;
    ports.setPath(1, QString::fromStdString(sim.path()));
    RecordingDialogs dialogs;
    EventLoopClock clock;
    Session s(ports, dialogs, clock, DataFolder(dir.path()));
    InstallOperations(s);
    std::vector<std::string> lines; // every result line shown
    s.render = [&] {
        if (lines.empty() || lines.back() != s.view.message.text)
            lines.push_back(s.view.message.text);
    };
    Startup startup(s, [&s] { (void)cboCardType_Click(s, s.view.cardTypes.selected); });
    startup.frmpwd_Form_Load();
    ASSERT_TRUE(startup.cmdpwdok_Click());
    ASSERT_FALSE(s.view.quitRequested) << (dialogs.messages.empty() ? "" : dialogs.messages[0]);

    cmdRead_Click(s);
    // Blank card, then the ISO sample, each swiped by the reader itself.
    ASSERT_TRUE(WaitFor([&] { return s.view.message.text == "Read(2) OK!"; }, 5000))
        << s.view.message.text;
    EXPECT_EQ(s.view.track(2).text, ";4111111111111111=2812101?");
    for (const std::string& line : lines)
        EXPECT_EQ(line.find("Failed"), std::string::npos) << line << " among " << lines.size();
    cmdCancel_Click(s);
}

} // namespace
