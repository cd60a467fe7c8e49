#pragma once
// A session for card-type tests: a reader on port 1, either the simulated
// reader/writer or a scripted device, with every command that reaches it
// recorded, the pauses recorded, and the operator's messages recorded.

#include "cards/CardTypeList.h"
#include "link/Clock.h"
#include "link/DataFolder.h"
#include "link/MsrwDLL.h"
#include "operations/cardtype/CardTypeSetup.h"
#include "protocol/ReplyClassification.h"
#include "session/Session.h"
#include "sim/Device.h"
#include "sim/ports/SimTransport.h"
#include "support/FakeTransport.h"
#include "support/RecordingDialogs.h"
#include "support/RecordingTransport.h"
#include "support/SimSession.h"

#include <QTemporaryDir>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace msrw::test {

using Commands = std::vector<std::string>;

inline const std::string kEsc = "\x1B";
inline const std::string kStatusOk = kEsc + "0";

class CardsSession : public ::testing::Test {
protected:
    CardsSession() {
        LinkTimings t;
        t.replyTimeoutMs = 50;
        t.probeTimeoutMs = 50;
        t.idleGapMs = 10;
        session.link().setTimings(t);
    }

    void useSim() {
        device = std::make_shared<sim::Device>();
        auto d = device;
        auto log = simLog;
        ports.setInProcess(
            1,
            [d, log] {
                return std::make_unique<RecordingTransport>(std::make_unique<sim::SimTransport>(d),
                                                            *log);
            },
            "sim");
    }

    // A device that identifies itself and answers the commands of `answers`.
    std::shared_ptr<FakeDevice> useFake(std::map<std::string, std::string> answers) {
        fake = std::make_shared<FakeDevice>();
        fake->answers = std::move(answers);
        fake->answers[kEsc + "v"] = std::string(kReaderBanner) + " 4.0\r";
        auto d = fake;
        ports.setInProcess(
            1, [d] { return std::make_unique<FakeTransport>(d); }, "fake");
        return fake;
    }

    void setMode(MsrwMode mode, bool tarn = false) {
        session.port.MsrwMode = mode;
        session.g.ProtocolIsTarn = tarn;
        session.view.cardTypes.items = CardTypesForMode(mode);
    }

    // The commands the device received, without the identification probes.
    Commands sent() const {
        const Commands& all = fake ? fake->received : *simLog;
        Commands out;
        for (const std::string& c : all)
            if (c != kEsc + "v")
                out.push_back(c);
        return out;
    }

    QTemporaryDir dir;
    PortDirectory ports;
    RecordingDialogs dialogs;
    RecordingClock clock;
    Session session{ports, dialogs, clock, DataFolder{dir.path()}};
    std::shared_ptr<sim::Device> device;
    std::shared_ptr<Commands> simLog = std::make_shared<Commands>();
    std::shared_ptr<FakeDevice> fake;
};

// A started run with the simulated reader/writer, its replies going to the
// receive dispatcher as the program routes them.
class SimFlow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(t.start());
        t.takeSent();
        t.takePauses();
    }
    Session& s() { return *t.session; }
    // Chooses the card type as the operator would, its set-up sent.
    void chooseCardType(const std::string& type) {
        const auto& items = s().view.cardTypes.items;
        const int position = int(std::find(items.begin(), items.end(), type) - items.begin());
        s().view.cardTypes.selected = position;
        ASSERT_EQ(cboCardType_Click(s(), position), CardTypeOutcome::Done) << type;
        t.takeSent();
        t.takePauses();
    }

    SimSession t;
};

// The same, writing onto the deck's cards.
class SimCardsFlow : public SimFlow {
protected:
    void SetUp() override {
        SimFlow::SetUp();
        // The deck's cards are high-coercivity; start-up chose low.
        t.device->settings().coercivity = sim::Coercivity::High;
    }
};

} // namespace msrw::test
