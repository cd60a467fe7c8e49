// msrw-cli: the console face. Sends command texts or script files to the
// reader/writer and prints each command and its reply; finds the reader; and
// runs the window's card operations card by card (read, write, erase, ...).

#include "console/BatchVerbs.h"
#include "console/CardRun.h"
#include "console/CommandLine.h"
#include "console/DecodeVerb.h"
#include "console/InterruptWatch.h"
#include "files/ScriptLoad.h"
#include "files/SettingsRecord.h"
#include "link/Clock.h"
#include "link/ConsoleDialogs.h"
#include "link/DataFolder.h"
#include "link/MsrwDLL.h"
#include "msrw/Version.h"
#include "session/PortState.h"
#include "session/ReaderScan.h"
#include "sim/DeckFile.h"
#include "sim/ports/SimulatedPorts.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <algorithm>
#include <cstdio>

using namespace msrw;

namespace {

using console::kExitNoAnswer;
using console::kExitNoPort;
using console::kExitOk;
using console::kExitUsage;

// The command as given, with any raw control byte in notation, so that a NUL
// or an escape inside a script line shows instead of cutting the line short.
std::string VisibleCommand(const std::string& command) {
    std::string out;
    for (const char c : command) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F)
            out += ToCommandText(std::string(1, c));
        else
            out += c;
    }
    return out;
}

void PrintExchange(const std::string& command, std::string reply) {
    // Multi-line replies come with CR LF; the console wants plain line ends.
    for (std::size_t at; (at = reply.find("\r\n")) != std::string::npos;)
        reply.replace(at, 2, "\n");
    while (!reply.empty() && reply.back() == '\n')
        reply.pop_back();
    std::printf("PC:    %s\nR/W:  %s\n", VisibleCommand(command).c_str(), reply.c_str());
    std::fflush(stdout);
}

int Fail(int code, const QString& message) {
    std::fprintf(stderr, "msrw-cli: %s\n", qPrintable(message));
    return code;
}

// What a console run holds: the link and the port it found; no window.
struct Console {
    // A refused text's notices are shown; a lost port is told once, by the
    // verb that met it.
    Console() {
        QObject::connect(&link, &MsrwDLL::Notice, [this](const OperatorNotice& notice) {
            dialogs.showMessage(notice.text, notice.icon, {});
        });
    }

    PortDirectory ports;
    ConsoleDialogs dialogs;
    EventLoopClock clock;
    DataFolder data;
    PortState state;
    SettingsRecord settings;
    MsrwDLL link{ports};
    std::unique_ptr<sim::SimulatedPorts> simulator;
};

// Finds the reader on ports 1-10 as the window does.
bool FindReader(Console& s, std::string* banner = nullptr) {
    ReaderScan scan(s.link, s.clock, s.state, s.settings);
    if (!scan.DetectReader())
        return false;
    if (banner)
        *banner = scan.banner();
    return true;
}

// Why no reader was found: what the one named device did, or the window's
// message for the ports searched.
int NoReader(Console& s, bool namedDevice) {
    if (namedDevice)
        return Fail(kExitNoPort, NoReaderCause(s.link, kFirstPort));
    s.dialogs.showMessage(kNoReaderMessage, MessageIcon::None, {});
    return Fail(kExitNoPort, "no reader/writer answered on ports 1-10.");
}

// Opens the device the options name, or finds the reader on ports 1-10.
int OpenDevice(Console& s, const QCommandLineParser& options) {
    MsrwDLL& link = s.link;
    if (options.isSet("device") || options.isSet("simulate")) {
        if (link.OpenPort(std::to_string(kFirstPort), "9600N,8,1") != kLinkOk)
            return Fail(kExitNoPort, link.lastError());
        return kExitOk;
    }
    return FindReader(s) ? kExitOk : NoReader(s, false);
}

// Sends each command and prints the exchange; stops at the first command the
// device leaves unanswered.
int RunCommands(Console& s, const std::vector<std::string>& commands, bool script) {
    MsrwDLL& link = s.link;
    for (const std::string& command : commands) {
        const std::string reply = script ? link.QueryScript(command) : link.Query(command);
        PrintExchange(command, reply);
        if (!link.IsPortOpen())
            return Fail(kExitNoAnswer, link.lastError());
        if (reply.empty() && !link.lastError().isEmpty())
            return Fail(kExitNoAnswer, link.lastError());
    }
    return kExitOk;
}

// Why the link would refuse `text` (nothing of it would be sent); empty when
// it is usable.
QString CommandTextProblem(const std::string& text) {
    const std::string reason = CommandTextFaultMessage(ParseCommandText(text));
    if (reason.empty())
        return {};
    return QStringLiteral("\"%1\": %2")
        .arg(QString::fromStdString(VisibleCommand(text)), QString::fromStdString(reason));
}

// The command texts of the arguments: each character must be one byte.
std::optional<std::vector<std::string>> ArgumentCommands(const QStringList& texts,
                                                         QString& problem) {
    std::vector<std::string> commands;
    for (const QString& text : texts) {
        for (const QChar c : text) {
            if (c.unicode() > 0xFF) {
                problem = QStringLiteral("\"%1\": \"%2\" is not one byte; write it as \\XX.")
                              .arg(text, QString(c));
                return std::nullopt;
            }
        }
        commands.push_back(text.toLatin1().toStdString());
    }
    return commands;
}

// The commands to send: every one checked before the port is opened, so a
// refused text sends nothing at all.
std::optional<std::vector<std::string>> CommandsToSend(const QString& verb,
                                                       const QStringList& texts, QString& problem) {
    std::vector<std::string> commands;
    if (verb == "script") {
        const ScriptLoad script = LoadScriptFile(texts.value(0));
        if (!script.error.empty()) {
            problem = QString::fromStdString(script.error);
            return std::nullopt;
        }
        for (const ScriptStep& step : script.steps)
            commands.push_back(step.command);
    } else if (auto given = ArgumentCommands(texts, problem)) {
        commands = std::move(*given);
    } else {
        return std::nullopt;
    }
    for (const std::string& command : commands) {
        problem = CommandTextProblem(command);
        if (!problem.isEmpty())
            return std::nullopt;
    }
    return commands;
}

int Detect(Console& s, bool namedDevice) {
    std::string banner;
    if (!FindReader(s, &banner))
        return NoReader(s, namedDevice);
    std::printf("%d\n%s\n", int(s.state.CurrentPort), banner.c_str());
    return kExitOk;
}

// The simulated reader/writer of --simulate, with the cards and the swiping
// the options ask for (a card goes through at once by default).
bool StartSimulator(Console& s, const QCommandLineParser& options, QString& error) {
    std::optional<sim::Deck> deck;
    if (options.isSet("deck")) {
        deck = sim::LoadDeckFile(options.value("deck"), error);
        if (!deck)
            return false;
    }
    int autoSwipeMs = 1;
    if (options.isSet("auto-swipe")) {
        bool ok = false;
        autoSwipeMs = options.value("auto-swipe").toInt(&ok);
        if (!ok || autoSwipeMs < 0 || autoSwipeMs > 3600000) {
            error = QStringLiteral("--auto-swipe needs milliseconds from 0 to 3600000, not \"%1\".")
                        .arg(options.value("auto-swipe"));
            return false;
        }
    }
    s.simulator =
        std::make_unique<sim::SimulatedPorts>(s.ports, kFirstPort, autoSwipeMs, std::move(deck));
    return true;
}

// The software time per card, the pauses taken out, for --stats.
void PrintCardTimes(std::vector<std::int64_t> ns) {
    if (ns.empty()) {
        std::fprintf(stderr, "msrw-cli: stats: no card was done.\n");
        return;
    }
    std::sort(ns.begin(), ns.end());
    const auto ms = [&](double share) {
        return double(ns[std::min(ns.size() - 1, std::size_t(share * double(ns.size())))]) / 1e6;
    };
    std::fprintf(stderr,
                 "msrw-cli: stats: %zu cards; software time per card (pauses excluded): "
                 "median %.3f ms, 90th percentile %.3f ms, most %.3f ms\n",
                 ns.size(), ms(0.5), ms(0.9), double(ns.back()) / 1e6);
}

int RunCardVerb(Console& s, const QCommandLineParser& options, const QStringList& args) {
    QString problem;
    const auto request = console::CardRunOptionsFrom(options, args, problem);
    if (!request)
        return Fail(kExitUsage, problem);
    const bool stats = request->stats;
    console::CardRun run(s.ports, s.data, *request);
    if (s.simulator)
        run.followModes(
            [&s](MsrwMode mode) { s.simulator->device().setTextDialect(mode == MsrwMode::Velk); });
    // Also a closed output (a reader of the results that went away) is then
    // met as a failed write, which ends the run as End does, the resume point
    // kept.
    console::InterruptWatch interrupts([&run] { run.interrupt(); });
    const int status = run.run();
    if (stats)
        PrintCardTimes(run.cardWorkNs());
    return status;
}

} // namespace

int main(int argc, char** argv) {
    console::KeepArgumentBytes(argc, argv);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationVersion(kVersion);
    QCommandLineParser options;
    options.setApplicationDescription(
        "Talks to the magnetic-stripe reader/writer from the console.\n"
        "  send TEXT...        send command texts (\"\\1Be\") and print the replies\n"
        "  script FILE         run a script file the same way\n"
        "  detect              find the reader on ports 1-10\n"
        "  read, compare       read or compare cards [--cards N]\n"
        "  write               write --track1/2/3 T onto cards [--cards N]\n"
        "  erase               erase --tracks 1,2,3 of cards [--cards N]\n"
        "  sequential          write numbered cards: --start S --count N, \"x\" marks\n"
        "  to-file FILE        read cards into a card data file [--cards N]\n"
        "  from-file FILE      write the cards of a card data file\n"
        "  database USAGE.txt  write a card a record [--resume | --restart],\n"
        "                      or those of a server batch: --db C [--batch N] [--station S]\n"
        "  batch import USAGE.txt --db C    a new batch of the usage file's records\n"
        "  batch status --db C [--batch N]  written, claimed, uncertain, still to write\n"
        "  batch retry BATCH RECORD --db C  offer an uncertain record again\n"
        "  decode [FILE]       what the tracks mean (--track1/2/3 T, or the records of a\n"
        "                      card data file), with no device [--json] [--unmask]\n"
        "Exit status: 0 done, 1 some card failed, 2 bad usage, 3 no port or no "
        "reader, or no batch server, 4 the device stopped answering.");
    options.addHelpOption();
    options.addVersionOption();
    options.addOption({"device", "Use the serial device at PATH.", "PATH"});
    options.addOption({"simulate", "Use the built-in simulated reader/writer."});
    options.addOption({"port", "Port N is the system port or device PATH (repeatable).", "N=PATH"});
    options.addOption({"data-dir", "Keep the program's files in DIR.", "DIR"});
    console::AddCardRunOptions(options);
    options.addPositionalArgument("verb", "send, script, detect, or a card verb");
    options.process(app);
    // Named only now, so that --version names this program (the name Qt takes
    // from its file); its files are the utility's own, in the msrw data folder.
    QCoreApplication::setApplicationName("msrw");

    Console s;
    if (options.isSet("data-dir"))
        s.data = DataFolder(options.value("data-dir"));
    const QStringList args = options.positionalArguments();
    const QString verb = args.value(0);
    if (verb == console::kBatchVerb)
        return console::RunBatchVerb(options, args);
    if (verb == console::kDecodeVerb)
        return console::RunDecodeVerb(options, args);
    const bool cardVerb = console::CardVerbNamed(verb.toStdString()).has_value();
    // A named device is the only port: the search does not try the others.
    if (options.isSet("device"))
        s.ports.setPath(kFirstPort, options.value("device"));
    else
        s.ports.assignSystemPorts();
    QString error;
    if (!s.ports.applyOverrides(options.values("port"), error))
        return Fail(kExitUsage, error);
    if (options.isSet("simulate") && !StartSimulator(s, options, error))
        return Fail(kExitUsage, error);

    if (cardVerb)
        return RunCardVerb(s, options, args);
    if (verb == "detect")
        return Detect(s, options.isSet("device"));
    if (verb != "send" && verb != "script")
        return Fail(kExitUsage, "say send, script, detect or a card verb (see --help).");
    if (args.size() < 2)
        return Fail(kExitUsage, verb == "send" ? "send needs at least one command text."
                                               : "script needs a file name.");
    QString problem;
    const auto commands = CommandsToSend(verb, args.mid(1), problem);
    if (!commands)
        return Fail(kExitUsage, problem);
    if (const int rc = OpenDevice(s, options); rc != kExitOk)
        return rc;
    return RunCommands(s, *commands, verb == "script");
}
