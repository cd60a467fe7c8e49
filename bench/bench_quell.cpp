// Figures of the "Quell Mode" card operations against the simulated reader
// speaking the single-byte family: the software time per card from the card's
// start reply to the command that arms the next card (the track requests and
// the re-arm's exchanges with the in-process reader included; the mandated
// pauses are recorded, not spent).

#include "BenchRig.h"
#include "cards/CardTypeList.h"
#include "operations/reading/ReadOperation.h"
#include "operations/writing/WriteOperation.h"
#include "session/Dispatcher.h"
#include "session/OpStates.h"
#include "session/TarnLink.h"
#include "sim/Deck.h"

#include <QCoreApplication>
#include <cstdio>

using namespace msrw;
using namespace msrw::bench;

namespace {

constexpr int kCards = 1000;
constexpr char kReadArm = '\x50';
constexpr char kWriteStart = '\x40';

bool StartQuell(Rig& rig, bool framed) {
    rig.startup->frmpwd_Form_Load();
    rig.startup->pwd.optTarnpro = true;
    rig.startup->pwd.optVelkpro = false;
    if (!rig.startup->cmdpwdok_Click() || !rig.session->quell())
        return false;
    Session& s = *rig.session;
    if (framed) {
        // The set-up file's "p" chooses the framed protocol for card operations.
        auto key = [&s](const char* k) { return TarnReadSetting(s, k); };
        if (!TarnWriteSetting(s, key("L1"), key("L2"), key("L3"), key("t1xbit"), key("t2xbit"),
                              key("t3xbit"), key("t1bpi"), key("t2bpi"), key("t3bpi"), "0"))
            return false;
    }
    s.view.cardTypes.selected = 0; // ISO
    return cboCardType_Click(s, 0) == CardTypeOutcome::Done;
}

// The last command out is the given card command, bare or framed.
bool Sent(const TimingTransport& t, char command) {
    const std::string& w = t.lastWritten;
    return (w.size() == 1 && w[0] == command) ||
           (w.size() == 4 && w[0] == '\x02' && w[1] == command);
}

// Swipes `card` kCards times; after each swipe runs until `next` has gone out
// with the reader armed again.
std::vector<double> Run(Rig& rig, sim::VirtualCard& card, char next) {
    std::vector<double> us;
    for (int i = 0; i < kCards; ++i) {
        const int writesBefore = rig.timing->writes;
        rig.timing->mark();
        rig.device->swipe(card);
        while (!(rig.timing->writes > writesBefore && Sent(*rig.timing, next) &&
                 rig.device->isArmed()))
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        us.push_back(Microseconds(rig.timing->firstReceived, rig.timing->lastWrite));
    }
    return us;
}

void Report(const char* what, bool framed, const std::vector<double>& us, const Session& s) {
    std::printf("Quell %s run, ISO card, %s, %d cards: start reply to next arming command "
                "sent: median %.1f us, worst %.1f us (result line: %s)\n",
                what, framed ? "framed" : "bare", kCards, Median(us),
                *std::max_element(us.begin(), us.end()), s.view.message.text.c_str());
}

void ReadRun(bool framed) {
    Rig rig;
    if (!StartQuell(rig, framed)) {
        std::printf("Quell read run: the simulated reader did not start\n");
        return;
    }
    Session& s = *rig.session;
    cmdRead_Click(s);
    sim::Deck deck = sim::Deck::Samples();
    Report("read", framed, Run(rig, deck[1].card, kReadArm), s);
}

void WriteRun(bool framed) {
    Rig rig;
    if (!StartQuell(rig, framed)) {
        std::printf("Quell write run: the simulated reader did not start\n");
        return;
    }
    Session& s = *rig.session;
    s.view.track(1).text = "%B4111111111111111^SAMPLE/CARD^2912101?";
    s.view.track(2).text = ";4111111111111111=29121010000000000000?";
    s.view.track(3).text = ";011234567890123456789012345678901234?";
    cmdWrite_Click(s);
    if (s.g.OpState != kOpQuellWrite) {
        std::printf("Quell write run: not written: %s\n",
                    rig.dialogs.messages.empty() ? "?" : rig.dialogs.messages.back().c_str());
        return;
    }
    sim::VirtualCard card;
    card.coercivity = sim::Coercivity::Low; // the reader's coercivity at power on
    Report("write", framed, Run(rig, card, kWriteStart), s);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    for (const bool framed : {false, true}) {
        ReadRun(framed);
        WriteRun(framed);
    }
    return 0;
}
