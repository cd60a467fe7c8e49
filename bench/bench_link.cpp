// Figures of the link: the round trip of one query through a pseudo-terminal,
// the scan for the reader behind six silent ports, and the peak memory of the
// two console programs.

#include "link/Clock.h"
#include "link/ConsoleDialogs.h"
#include "link/DataFolder.h"
#include "link/MsrwDLL.h"
#include "protocol/ReplyClassification.h"
#include "session/PortManager.h"
#include "support/SimProcess.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace msrw;
using msrw::test::SimProcess;

namespace {

std::string Program(const char* name) {
    return QCoreApplication::applicationDirPath().toStdString() + "/../" + name;
}

double Percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    return v[std::size_t(p * double(v.size() - 1))];
}

void QueryRoundTrip() {
    SimProcess sim(Program("msrw-sim"), {});
    if (!sim.started()) {
        std::printf("msrw-sim did not start\n");
        return;
    }
    PortDirectory ports;
    ports.setPath(1, QString::fromStdString(sim.path()));
    MsrwDLL link(ports);
    if (link.OpenPort("1", kScanSettings) != kLinkOk) {
        std::printf("cannot open %s\n", sim.path().c_str());
        return;
    }
    std::vector<double> ms;
    for (int i = 0; i < 2000; ++i) {
        QElapsedTimer t;
        t.start();
        if (link.Query("\\1Be") != "\\1By") {
            std::printf("unexpected reply\n");
            return;
        }
        ms.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::printf("Query(\"\\1Be\") through a pseudo-terminal, 2000 round trips: median %.3f ms, "
                "90th percentile %.3f ms, worst %.3f ms\n",
                Percentile(ms, 0.5), Percentile(ms, 0.9), Percentile(ms, 1.0));
    long simPeak = 0;
    sim.stop(&simPeak);
    std::printf("msrw-sim peak memory after the run: %.1f MB\n", double(simPeak) / 1024.0);
}

void ScanBehindSilentPorts() {
    std::vector<std::unique_ptr<SimProcess>> sims;
    PortDirectory ports;
    for (int port = 1; port <= 7; ++port) {
        auto args = port < 7 ? std::vector<std::string>{"--silent"} : std::vector<std::string>{};
        sims.push_back(std::make_unique<SimProcess>(Program("msrw-sim"), args));
        ports.setPath(port, QString::fromStdString(sims.back()->path()));
    }
    QTemporaryDir dir;
    ConsoleDialogs dialogs;
    EventLoopClock clock;
    DataFolder data(dir.path());
    for (int run = 0; run < 3; ++run) {
        PortState state;
        SettingsRecord settings;
        MainView view;
        const std::function<void()> noWindow;
        PortManager manager({ports, dialogs, clock, data, state, settings, view, noWindow});
        QElapsedTimer t;
        t.start();
        const int status = manager.OpenReader();
        std::printf("OpenReader, reader on port 7 behind six silent ports: %lld ms (status %d, "
                    "port %d; 400 ms of it are the two mandated 200 ms pauses)\n",
                    t.elapsed(), status, int(state.CurrentPort));
    }
}

void CliMemory() {
    SimProcess sim(Program("msrw-sim"), {});
    long peak = 0;
    const int status = SimProcess::run(Program("msrw-cli"),
                                       {"--device", sim.path(), "send", "\\1Be", "\\1Bd"}, &peak);
    std::printf("msrw-cli send (exit status %d) peak memory: %.1f MB\n", status,
                double(peak) / 1024.0);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QueryRoundTrip();
    ScanBehindSilentPorts();
    CliMemory();
    return 0;
}
