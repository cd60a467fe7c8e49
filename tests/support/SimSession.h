#pragma once
// A whole program run without windows: a session with the simulated
// reader/writer on port 1, scripted operator dialogs, a recording clock, a
// fresh data folder, and a log of the bytes the reader received.

#include "link/Clock.h"
#include "operations/startup/Startup.h"
#include "session/Session.h"
#include "sim/Deck.h"
#include "sim/Device.h"
#include "support/RecordingDialogs.h"

#include <QTemporaryDir>
#include <memory>

namespace msrw::test {

class SimSession {
public:
    // Every operation installed, as the program installs them.
    SimSession();
    ~SimSession();

    // Start-up dialog and main start-up with the given dialog choices.
    bool start(int trackSelect = 2);
    // The same with "Tarn Protocol" chosen: the session ends in "Quell Mode"
    // with the port left open. The device starts in whichever family it was
    // set to (the escape-sequence family unless the test changed it), so the
    // start-up switches it when needed.
    bool startQuell(int trackSelect = 2);

    // Swipes the deck's card of that name; false when the device was not armed.
    bool swipe(const std::string& cardName);
    // Swipes it with the reader set to low coercivity for this one swipe: a
    // high-coercivity card (every sample but "Low-coercivity card") then
    // takes no write.
    bool swipeAtLowCoercivity(const std::string& cardName);
    sim::VirtualCard& card(const std::string& cardName);
    // Presses the prompt's "End" during the next pause of `ms` milliseconds,
    // as an operator might while a branch waits.
    void endOperationAtPause(int ms);
    // Lets queued replies arrive.
    void settle();
    // The commands the reader received since the last call, in command-text
    // notation ("\1Ba").
    std::vector<std::string> takeSent();
    // Every pause since the last call, in ms; Wait and Delay alike.
    std::vector<int> takePauses();

    QTemporaryDir dir;
    PortDirectory ports;
    RecordingDialogs dialogs;
    RecordingClock clock;
    std::shared_ptr<sim::Device> device;
    sim::Deck deck = sim::Deck::Samples();
    std::vector<std::string> sent;
    std::unique_ptr<Session> session;
    std::unique_ptr<Startup> startup;
};

} // namespace msrw::test
