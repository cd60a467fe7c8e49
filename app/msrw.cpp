// msrw: the desktop utility of the magnetic-stripe card reader/writer.

#include "link/Clock.h"
#include "msrw/Version.h"
#include "operations/Operations.h"
#include "operations/cardtype/CardTypeSetup.h"
#include "operations/startup/Startup.h"
#include "session/Session.h"
#include "sim/ports/SimulatedPorts.h"
#include "ui/DialogSupport.h"
#include "ui/QtOperatorDialogs.h"
#include "ui/SimulatorWindow.h"
#include "ui/frmMain.h"
#include "ui/frmpwd.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QMessageBox>
#include <QScreen>
#include <algorithm>
#include <cstdio>

using namespace msrw;

namespace {

// "--simulate" or "--simulate=N": the port of the simulated reader/writer,
// 0 when there is none. The option is taken out of the arguments.
int TakeSimulateOption(QStringList& args, QString& error) {
    int port = 0;
    for (qsizetype i = args.size() - 1; i >= 1; --i) {
        const QString& a = args[i];
        if (a == "--simulate") {
            port = kFirstPort;
        } else if (a.startsWith("--simulate=")) {
            bool ok = false;
            port = a.mid(11).toInt(&ok);
            if (!ok || port < kFirstPort || port > kLastPort)
                error =
                    QString("--simulate=N needs a port from 1 to 10, not \"%1\".").arg(a.mid(11));
        } else {
            continue;
        }
        args.removeAt(i);
    }
    return port;
}

} // namespace

// The main window and the simulator's window side by side near the top of
// the screen (the simulator on the left), leaving room for the swipe prompt
// beside or below the main window.
void PlaceSideBySide(QWidget& main, QWidget& beside) {
    const QRect screen = main.screen()->availableGeometry();
    const QRect frame = main.frameGeometry();
    const int gap = 12;
    const int together = frame.width() + gap + beside.frameGeometry().width();
    const int left = screen.left() + std::max(0, (screen.width() - together) / 2);
    const int top = screen.top() + std::min(3 * gap, std::max(0, screen.height() - frame.height()));
    beside.move(left, top);
    main.move(left + beside.frameGeometry().width() + gap, top);
    PlaceInsideScreen(&beside);
    PlaceInsideScreen(&main);
}

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("msrw");
    QApplication::setApplicationVersion(kVersion);
    // The menu entry's name: on Wayland the window is matched to its icon by it.
    QGuiApplication::setDesktopFileName("org.msrw.msrw");
    QStringList args = QApplication::arguments();
    QString error;
    const int simulatedPort = TakeSimulateOption(args, error);

    QCommandLineParser options;
    options.setApplicationDescription("Reads, writes and sets up magnetic-stripe cards.");
    options.addHelpOption();
    options.addVersionOption();
    options.addOption({"simulate", "Use the built-in simulated reader/writer (on port 1, or on "
                                   "port N with --simulate=N)."});
    options.addOption({"port", "Port N is the system port or device PATH (repeatable).", "N=PATH"});
    options.addOption({"data-dir", "Keep the program's files in DIR.", "DIR"});
    options.process(args);

    PortDirectory ports;
    if (error.isEmpty())
        ports.applyOverrides(options.values("port"), error);
    if (!error.isEmpty()) {
        std::fprintf(stderr, "msrw: %s\n", qPrintable(error));
        return 2;
    }
    std::unique_ptr<sim::SimulatedPorts> simulator;
    if (simulatedPort)
        simulator = std::make_unique<sim::SimulatedPorts>(ports, simulatedPort);
    ports.assignSystemPorts();

    QtOperatorDialogs dialogs(kProgramTitle);
    EventLoopClock clock;
    Session session(ports, dialogs, clock,
                    options.isSet("data-dir") ? DataFolder(options.value("data-dir"))
                                              : DataFolder());
    InstallOperations(session);
    if (simulator)
        session.msrwModeChanged = [&simulator](MsrwMode mode) {
            simulator->device().setTextDialect(mode == MsrwMode::Velk);
        };
    Startup startup(session, [&session] {
        // The outcome has been shown to the operator.
        (void)cboCardType_Click(session, session.view.cardTypes.selected);
    });
    frmMain main(session, startup);
    QObject::connect(&main, &frmMain::quitRequested, &app, &QApplication::quit,
                     Qt::QueuedConnection);
    std::unique_ptr<SimulatorWindow> simulatorWindow;
    if (simulator) {
        simulatorWindow = std::make_unique<SimulatorWindow>(*simulator);
        simulatorWindow->show();
    }

    frmpwd pwd(startup, [&main] { main.render(); });
    pwd.load();
    if (pwd.exec() != QDialog::Accepted || session.view.quitRequested)
        return 0;
    dialogs.setParent(&main);
    main.show();
    main.render();
    if (simulatorWindow)
        PlaceSideBySide(main, *simulatorWindow);
    else
        PlaceInsideScreen(&main);
    return app.exec();
}
