#include "support/SimSession.h"

#include "link/Notation.h"
#include "operations/Operations.h"
#include "operations/cardtype/CardTypeSetup.h"
#include "session/Dispatcher.h"
#include "sim/ports/SimTransport.h"
#include "support/RecordingTransport.h"

#include <QCoreApplication>
#include <QElapsedTimer>

namespace msrw::test {

SimSession::SimSession() : device(std::make_shared<sim::Device>()) {
    auto factory = sim::SimTransport::Factory(device);
    ports.setInProcess(
        1, [this, factory] { return std::make_unique<RecordingTransport>(factory(), sent); },
        "simulated");
    session = std::make_unique<Session>(ports, dialogs, clock, DataFolder(dir.path()));
    LinkTimings fast;
    fast.probeTimeoutMs = 20;
    fast.replyTimeoutMs = 200;
    fast.idleGapMs = 20;
    session->link().setTimings(fast);
    Session* s = session.get();
    startup = std::make_unique<Startup>(
        *s, [s] { (void)cboCardType_Click(*s, s->view.cardTypes.selected); });
    InstallOperations(*s);
}

SimSession::~SimSession() = default;

bool SimSession::start(int trackSelect) {
    startup->frmpwd_Form_Load();
    startup->pwd.trackSelect = trackSelect;
    return startup->cmdpwdok_Click();
}

bool SimSession::startQuell(int trackSelect) {
    startup->frmpwd_Form_Load();
    startup->pwd.trackSelect = trackSelect;
    startup->pwd.optTarnpro = true;
    startup->pwd.optVelkpro = false;
    return startup->cmdpwdok_Click();
}

sim::VirtualCard& SimSession::card(const std::string& cardName) {
    for (std::size_t i = 0; i < deck.size(); ++i) {
        if (deck[i].name == cardName)
            return deck[i].card;
    }
    throw std::runtime_error("no card named " + cardName);
}

void SimSession::endOperationAtPause(int ms) {
    clock.duringPause = [this, ms](int paused) {
        if (paused != ms)
            return;
        clock.duringPause = nullptr;
        cmdCancel_Click(*session);
    };
}

void SimSession::settle() {
    // Replies come from the event loop; give them a moment to arrive whole.
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 30)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

bool SimSession::swipe(const std::string& cardName) {
    const bool armed = device->swipe(card(cardName));
    settle();
    return armed;
}

bool SimSession::swipeAtLowCoercivity(const std::string& cardName) {
    sim::DeviceSettings& settings = device->settings();
    const sim::Coercivity was = settings.coercivity;
    settings.coercivity = sim::Coercivity::Low;
    const bool armed = swipe(cardName);
    settings.coercivity = was;
    return armed;
}

std::vector<std::string> SimSession::takeSent() {
    std::vector<std::string> out;
    for (const std::string& bytes : sent)
        out.push_back(ToCommandText(bytes));
    sent.clear();
    return out;
}

std::vector<int> SimSession::takePauses() {
    std::vector<int> out;
    for (const auto& p : clock.pauses)
        out.push_back(p.ms);
    clock.pauses.clear();
    return out;
}

} // namespace msrw::test
