// Figures of the card operations: the software time per card of a read run,
// from the reply's completion to the re-arm command leaving (the mandated
// pauses are recorded, not spent), and the start-up to the idle main window.

#include "BenchRig.h"
#include "operations/reading/ReadOperation.h"
#include "operations/writing/WriteOperation.h"
#include "session/Dispatcher.h"
#include "session/OpStates.h"
#include "sim/Deck.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>

using namespace msrw;
using namespace msrw::bench;

namespace {

void StartUp() {
    Rig rig;
    QElapsedTimer wall;
    wall.start();
    rig.startup->frmpwd_Form_Load();
    const bool started = rig.startup->cmdpwdok_Click();
    const double softwareMs = double(wall.nsecsElapsed()) / 1e6;
    std::printf("Start-up to the idle main window (simulated reader on port 1, %s): mandated "
                "pauses %d ms (recorded, not spent) + %.1f ms of work\n",
                started ? "started" : "FAILED", rig.clock.totalMs(), softwareMs);
}

void ReadRun(const char* cardType, int position) {
    Rig rig;
    rig.startup->frmpwd_Form_Load();
    Session& s = *rig.session;
    s.view.cardTypes.selected = position;
    if (!rig.startup->cmdpwdok_Click() || cboCardType_Click(s, position) != CardTypeOutcome::Done) {
        std::printf("%s: the simulated reader did not start\n", cardType);
        return;
    }
    cmdRead_Click(s);
    sim::Deck deck = sim::Deck::Samples();
    sim::VirtualCard& card = deck[1].card; // the ISO sample
    std::vector<double> us;
    for (int i = 0; i < 1000; ++i) {
        const int writesBefore = rig.timing->writes;
        rig.device->swipe(card);
        // Run until the read command for the next card has left.
        while (!(rig.timing->writes >= writesBefore + 2 && rig.device->isArmed()))
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        us.push_back(double(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                rig.timing->lastWrite - rig.timing->lastReceived)
                                .count()) /
                     1e3);
    }
    std::printf("Read run, %s card, 1000 cards: reply complete to re-arm command sent: median "
                "%.1f us, worst %.1f us (result line: %s)\n",
                cardType, Median(us), *std::max_element(us.begin(), us.end()),
                s.view.message.text.c_str());
}

// A write run of USER cards: each reply completes, the result is shown, and
// the write command for the next card is composed and sent.
void WriteRun(int charactersPerTrack) {
    Rig rig;
    rig.startup->frmpwd_Form_Load();
    Session& s = *rig.session;
    s.view.cardTypes.selected = 2; // USER
    if (!rig.startup->cmdpwdok_Click() || cboCardType_Click(s, 2) != CardTypeOutcome::Done) {
        std::printf("the simulated reader did not start\n");
        return;
    }
    rig.device->settings().coercivity = sim::Coercivity::High;
    const std::string text(std::size_t(charactersPerTrack), 'A');
    for (int n = 1; n <= 3; ++n)
        s.view.track(n).text = n == 1 ? text : std::string(std::size_t(charactersPerTrack), '5');
    cmdWrite_Click(s);
    if (s.g.OpState != kOpWrite) {
        std::printf("Write run, USER card, 3 x %d characters: not written: %s\n",
                    charactersPerTrack,
                    rig.dialogs.messages.empty() ? "?" : rig.dialogs.messages.back().c_str());
        if (s.view.prompt.visible)
            cmdCancel_Click(s);
        return;
    }
    sim::VirtualCard card;
    std::vector<double> us;
    for (int i = 0; i < 1000; ++i) {
        const int writesBefore = rig.timing->writes;
        rig.device->swipe(card);
        while (!(rig.timing->writes > writesBefore && rig.device->isArmed()))
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        us.push_back(double(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                rig.timing->lastWrite - rig.timing->lastReceived)
                                .count()) /
                     1e3);
    }
    std::printf("Write run, USER card, 3 x %d characters (%zu-byte command), 1000 cards: reply "
                "complete to next write command sent: median %.1f us, worst %.1f us (%s)\n",
                charactersPerTrack, rig.timing->lastWritten.size(), Median(us),
                *std::max_element(us.begin(), us.end()), s.view.message.text.c_str());
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    StartUp();
    ReadRun("ISO", 0);
    ReadRun("USER", 2);
    WriteRun(40);
    WriteRun(180);
    return 0;
}
