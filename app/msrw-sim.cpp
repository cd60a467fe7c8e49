// msrw-sim: the simulated reader/writer on a pseudo-terminal. The first line
// of standard output is the terminal's path. Lines typed on standard input
// swipe cards: an empty line the next card of the deck, a number that card.
// The program ends on SIGTERM, SIGINT or when standard input closes.

#include "link/Notation.h"
#include "msrw/Version.h"
#include "platform/ConsoleInterrupts.h"
#include "sim/AutoSwiper.h"
#include "sim/DeckFile.h"
#include "sim/Device.h"
#include "sim/PtyServer.h"
#include "sim/StandardInput.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <cstdio>
#include <memory>

using namespace msrw::sim;

namespace {

void Complain(const QString& message) {
    std::fprintf(stderr, "msrw-sim: %s\n", message.toLocal8Bit().constData());
}

void SwipeByLine(const QString& line, Device& device, Deck& deck) {
    bool isNumber = false;
    const int number = line.trimmed().toInt(&isNumber);
    if (isNumber && (number < 1 || number > static_cast<int>(deck.size()))) {
        Complain(QStringLiteral("no card %1 in the deck (1-%2)").arg(number).arg(deck.size()));
        return;
    }
    NamedCard& card = isNumber ? deck[static_cast<std::size_t>(number - 1)] : deck.next();
    const bool acted = device.swipe(card.card);
    std::fprintf(stderr, "msrw-sim: swiped %s%s\n", card.name.c_str(),
                 acted ? "" : " (nothing was armed)");
}

// Standard input: its end quits, each line swipes.
void SwipeByStandardInput(QCoreApplication& app, Device& device, Deck& deck) {
    WatchStandardInput(
        app,
        [&device, &deck](const QByteArray& line) {
            SwipeByLine(QString::fromLocal8Bit(line), device, deck);
        },
        [&app] { app.quit(); });
}

// A whole number option within [low, high]; false with a message otherwise.
bool NumberOption(const QCommandLineParser& parser, const QString& name, int low, int high,
                  int& value) {
    if (!parser.isSet(name))
        return true;
    bool ok = false;
    value = parser.value(name).toInt(&ok);
    if (ok && value >= low && value <= high)
        return true;
    Complain(QStringLiteral("--%1 takes a whole number from %2 to %3, not \"%4\"")
                 .arg(name)
                 .arg(low)
                 .arg(high)
                 .arg(parser.value(name)));
    return false;
}

// "  1 Blank card (low coercivity)" and so on, a line a card.
QString DeckListing(const Deck& deck) {
    QString out;
    for (std::size_t i = 0; i < deck.size(); ++i) {
        const NamedCard& named = deck.cards()[i];
        out += QStringLiteral("  %1 %2 (%3 coercivity)\n")
                   .arg(i + 1)
                   .arg(QString::fromStdString(named.name))
                   .arg(named.card.coercivity == Coercivity::High ? "high" : "low");
    }
    return out;
}

void AddOptions(QCommandLineParser& parser) {
    parser.setApplicationDescription(
        QStringLiteral(
            "Simulated magnetic-stripe card reader/writer on a pseudo-terminal.\n"
            "Prints the terminal's path first. Each line on standard input swipes a card:\n"
            "an empty line the next card of the deck, a number that card.\n"
            "Without --deck the cards at hand are, in this order:\n"
            "%1"
            "All are of low coercivity, as the utility starts out, but the last.")
            .arg(DeckListing(Deck::AtHand())));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOptions({
        {"deck", "Cards to swipe, from a card data file.", "FILE"},
        {"auto-swipe", "Swipe the next card MS milliseconds after a card command.", "MS"},
        {"fixture", "Identify as the lead-zero-bias fixture."},
        {"low-co-only", "Be locked to low coercivity (set-up memory flag 5A)."},
        {"velk-mode", "Answer decoded reads with the text read reply."},
        {"tarn", "Start in the Tarn protocol family."},
        {"tarn-mode",
         "The Tarn set-up memory's mode: 2 (track data without 04, the default) or 1 (ended "
         "by 04).",
         "N"},
        {"tarn-sentinels", "Give Tarn track data with its start and end sentinels."},
        {"fragment", "Send replies one byte at a time."},
        {"garbage", "Send N noise bytes before each reply.", "N"},
        {"silent", "Answer nothing."},
        {"answer-reset",
         "Acknowledge the reset command (ESC a), which the utility does not wait for."},
        {"vanish-after", "Close the terminal after K commands.", "K"},
        {"chatter", "Be a foreign device: answer nothing, send noise every MS milliseconds.", "MS"},
        {"log", "Append what the client sends to FILE, in command-text notation.", "FILE"},
        {"no-stdin", "Take no swipes from standard input (run in the background); end on "
                     "SIGTERM or SIGINT only."},
        {"port", "Accepted for uniformity; ignored.", "N=PATH"},
        {"data-dir", "Accepted for uniformity; ignored.", "DIR"},
    });
}

// The track replies' shape: the memory's mode (address 04, bit 0 set for
// Mode 2) and the sentinels.
bool ConfigureTarnReplies(const QCommandLineParser& parser, TarnResponder& tarn) {
    constexpr std::uint8_t kProtocolAndMode = 0x04;
    int mode = 2;
    if (!NumberOption(parser, "tarn-mode", 1, 2, mode))
        return false;
    const std::uint8_t byte = tarn.memory(kProtocolAndMode);
    tarn.setMemory(kProtocolAndMode, std::uint8_t(mode == 2 ? byte | 1u : byte & ~1u));
    tarn.setTrackSentinels(parser.isSet("tarn-sentinels"));
    return true;
}

bool Configure(const QCommandLineParser& parser, Device& device, Deck& deck, int& autoSwipeMs) {
    Faults& faults = device.faults();
    int chatterMs = 0;
    if (!NumberOption(parser, "chatter", 1, 60000, chatterMs))
        return false;
    device.chatter(chatterMs);
    if (!NumberOption(parser, "auto-swipe", 0, 3600000, autoSwipeMs) ||
        !NumberOption(parser, "garbage", 0, 4096, faults.garbageBytes) ||
        !NumberOption(parser, "vanish-after", 1, 1000000, faults.vanishAfter))
        return false;
    faults.fragment = parser.isSet("fragment");
    faults.silent = parser.isSet("silent");
    faults.answerReset = parser.isSet("answer-reset");
    if (parser.isSet("fixture"))
        device.setBanner(kFixtureBanner);
    if (parser.isSet("low-co-only"))
        device.setLowCoercivityOnly(true);
    device.setTextDialect(parser.isSet("velk-mode"));
    if (parser.isSet("tarn"))
        device.setFamily(Family::Tarn);
    if (!ConfigureTarnReplies(parser, device.tarn()))
        return false;
    if (parser.isSet("deck")) {
        QString error;
        auto loaded = LoadDeckFile(parser.value("deck"), error);
        if (!loaded) {
            Complain(error);
            return false;
        }
        deck = std::move(*loaded);
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("msrw-sim"));
    QCoreApplication::setApplicationVersion(msrw::kVersion);
    QCommandLineParser parser;
    AddOptions(parser);
    parser.process(app);

    auto device = std::make_shared<Device>();
    Deck deck = Deck::AtHand();
    int autoSwipeMs = -1;
    if (!Configure(parser, *device, deck, autoSwipeMs))
        return 2;

    PtyServer server(device);
    QString error;
    if (!server.start(error)) {
        Complain(error);
        return 1;
    }
    // SIGTERM or SIGINT quits the event loop.
    const msrw::platform::ConsoleInterrupts interrupts(
        [&app] { QMetaObject::invokeMethod(&app, &QCoreApplication::quit, Qt::QueuedConnection); });
    if (!interrupts.watching()) {
        Complain(QStringLiteral("cannot watch for signals"));
        return 1;
    }
    std::unique_ptr<QFile> log;
    if (parser.isSet("log")) {
        log = std::make_unique<QFile>(parser.value("log"));
        if (!log->open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
            Complain(QStringLiteral("cannot write the log %1: %2")
                         .arg(parser.value("log"), log->errorString()));
            return 1;
        }
        QObject::connect(&server, &PtyServer::received, [&log](const std::string& bytes) {
            const std::string text = msrw::ToCommandText(bytes);
            log->write(text.data(), qint64(text.size()));
        });
    }
    QObject::connect(&server, &PtyServer::stopped,
                     [] { Complain(QStringLiteral("the port has gone away (vanish fault)")); });
    std::printf("%s\n", server.slavePath().toLocal8Bit().constData());
    std::fflush(stdout);

    std::unique_ptr<AutoSwiper> swiper;
    if (autoSwipeMs >= 0)
        swiper = std::make_unique<AutoSwiper>(*device, deck, autoSwipeMs);
    if (!parser.isSet("no-stdin"))
        SwipeByStandardInput(app, *device, deck);
    return app.exec();
}
