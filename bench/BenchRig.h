#pragma once
// What the operation benchmarks share: a session with every operation
// installed and the simulated reader/writer on port 1, behind a transport that
// notes when replies came in and when commands went out.

#include "link/Clock.h"
#include "operations/Operations.h"
#include "operations/cardtype/CardTypeSetup.h"
#include "operations/startup/Startup.h"
#include "session/Session.h"
#include "sim/Device.h"
#include "sim/ports/SimTransport.h"
#include "support/RecordingDialogs.h"

#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

namespace msrw::bench {

using Steady = std::chrono::steady_clock;

// Notes when a reply came in and when each command went out.
class TimingTransport : public Transport {
public:
    explicit TimingTransport(std::unique_ptr<Transport> inner) : inner_(std::move(inner)) {
        connect(inner_.get(), &Transport::bytesReceived, this, [this](const std::string& b) {
            lastReceived = Steady::now();
            if (!receivedSinceMark) {
                firstReceived = lastReceived;
                receivedSinceMark = true;
            }
            emit bytesReceived(b);
        });
    }
    bool open(const SerialSettings& s, QString& e) override { return inner_->open(s, e); }
    void close() override { inner_->close(); }
    bool isOpen() const override { return inner_->isOpen(); }
    QString describe() const override { return inner_->describe(); }
    bool write(const std::string& bytes) override {
        lastWritten = bytes;
        lastWrite = Steady::now();
        ++writes;
        return inner_->write(bytes);
    }

    // From now on, firstReceived notes the first bytes that come.
    void mark() { receivedSinceMark = false; }

    Steady::time_point lastReceived, lastWrite, firstReceived;
    bool receivedSinceMark = false;
    std::string lastWritten;
    int writes = 0;

private:
    std::unique_ptr<Transport> inner_;
};

struct Rig {
    Rig() : device(std::make_shared<sim::Device>()) {
        auto factory = sim::SimTransport::Factory(device);
        ports.setInProcess(
            1,
            [this, factory] {
                auto t = std::make_unique<TimingTransport>(factory());
                timing = t.get();
                return t;
            },
            "simulated");
        session = std::make_unique<Session>(ports, dialogs, clock, DataFolder(dir.path()));
        Session* s = session.get();
        startup = std::make_unique<Startup>(
            *s, [s] { (void)cboCardType_Click(*s, s->view.cardTypes.selected); });
        InstallOperations(*s);
    }
    QTemporaryDir dir;
    PortDirectory ports;
    test::RecordingDialogs dialogs;
    RecordingClock clock;
    std::shared_ptr<sim::Device> device;
    TimingTransport* timing = nullptr;
    std::unique_ptr<Session> session;
    std::unique_ptr<Startup> startup;
};

inline double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

inline double Microseconds(Steady::time_point from, Steady::time_point to) {
    return double(std::chrono::duration_cast<std::chrono::nanoseconds>(to - from).count()) / 1e3;
}

} // namespace msrw::bench
