#include "console/CommandLine.h"

#include "batch/BatchStore.h"
#include "batch/ConnectionText.h"
#include "platform/FileNames.h"

namespace msrw::console {
namespace {

std::vector<std::string>& KeptArguments() {
    static std::vector<std::string> kept;
    return kept;
}

constexpr std::int64_t kMostCards = 1000000000;
constexpr std::int64_t kMostSequenceNumber = 999999999; // nine digits, as the dialog takes
constexpr std::int64_t kMostBatch = 999999999999;
constexpr std::int64_t kMostLeaseSeconds = 86400;

bool TakesFile(Verb verb) {
    return verb == Verb::ToFile || verb == Verb::FromFile || verb == Verb::Database;
}

// By default a verb of the buttons that work card after card does one card;
// the others run to their own end.
std::int64_t DefaultCards(Verb verb) {
    switch (verb) {
    case Verb::Read:
    case Verb::Compare:
    case Verb::Write:
    case Verb::Erase:
    case Verb::ToFile:
        return 1;
    default:
        return 0;
    }
}

// A text option as a byte string: each character must be one byte.
std::optional<std::string> Bytes(const QString& text, const QString& option, QString& problem) {
    for (const QChar c : text) {
        if (c.unicode() > 0xFF) {
            problem = QStringLiteral("--%1: \"%2\" is not a character a track can hold.")
                          .arg(option, QString(c));
            return std::nullopt;
        }
    }
    return text.toLatin1().toStdString();
}

bool ReadNumber(const QCommandLineParser& p, const QString& option, std::int64_t least,
                std::int64_t most, std::int64_t& value, QString& problem) {
    if (!p.isSet(option))
        return true;
    const auto number = CountNamed(p.value(option).toStdString(), least, most);
    if (!number) {
        problem = QStringLiteral("--%1 needs a whole number from %2 to %3, not \"%4\".")
                      .arg(option)
                      .arg(least)
                      .arg(most)
                      .arg(p.value(option));
        return false;
    }
    value = *number;
    return true;
}

bool ReadChoices(const QCommandLineParser& p, CardRunOptions& o, QString& problem) {
    const QString inUse = p.isSet("in-use")                            ? "in-use"
                          : p.isSet("tracks") && o.verb != Verb::Erase ? "tracks"
                                                                       : QString();
    if (!inUse.isEmpty()) {
        o.trackSelect = TrackSelectNamed(p.value(inUse).toStdString());
        if (!o.trackSelect) {
            problem = QStringLiteral("--%1 is 2, 12 or 123 (the tracks in use), not \"%2\".")
                          .arg(inUse, p.value(inUse));
            return false;
        }
    }
    if (o.verb == Verb::Erase && p.isSet("tracks")) {
        const auto chosen = TrackListNamed(p.value("tracks").toStdString());
        if (!chosen) {
            problem = QStringLiteral("erase --tracks names tracks 1-3 with commas (\"1,2,3\"), "
                                     "not \"%1\".")
                          .arg(p.value("tracks"));
            return false;
        }
        o.eraseTracks = *chosen;
    }
    if (p.isSet("mode")) {
        o.mode = ModeNamed(p.value("mode").toStdString());
        if (!o.mode) {
            problem =
                QStringLiteral("--mode is ormond, velk or quell, not \"%1\".").arg(p.value("mode"));
            return false;
        }
    }
    if (p.isSet("card-type"))
        o.cardType = p.value("card-type").toStdString();
    for (int n = 1; n <= 3; ++n) {
        const QString option = QStringLiteral("track%1").arg(n);
        if (!p.isSet(option))
            continue;
        o.tracks[std::size_t(n - 1)] = Bytes(p.value(option), option, problem);
        if (!o.tracks[std::size_t(n - 1)])
            return false;
    }
    return true;
}

bool ReadVerbArguments(const QCommandLineParser& p, const QStringList& args, CardRunOptions& o,
                       QString& problem) {
    const QString verb = args.value(0);
    if (TakesFile(o.verb) != (args.size() == 2) || args.size() > 2) {
        problem = TakesFile(o.verb) ? QStringLiteral("%1 needs one file name.").arg(verb)
                                    : QStringLiteral("%1 takes no file name.").arg(verb);
        return false;
    }
    if (TakesFile(o.verb))
        o.file = ArgumentBytes(args[1]);
    if (p.isSet("resume") && p.isSet("restart")) {
        problem = QStringLiteral("say --resume or --restart, not both.");
        return false;
    }
    if ((p.isSet("resume") || p.isSet("restart")) && o.verb != Verb::Database) {
        problem = QStringLiteral("--resume and --restart answer the database's question only.");
        return false;
    }
    if (p.isSet("resume") || p.isSet("restart"))
        o.resume = p.isSet("resume");
    if (o.verb == Verb::Sequential && (!p.isSet("start") || !p.isSet("count"))) {
        problem = QStringLiteral("sequential needs --start S and --count N.");
        return false;
    }
    return ReadNumber(p, "start", 0, kMostSequenceNumber, o.sequenceStart, problem) &&
           ReadNumber(p, "count", 1, kMostSequenceNumber, o.sequenceCount, problem);
}

// --db and what goes with it: the database verb's records from a server batch.
bool ReadBatchSource(const QCommandLineParser& p, CardRunOptions& o, QString& problem) {
    if (!p.isSet("db")) {
        for (const char* option : {"batch", "station", "lease"}) {
            if (p.isSet(option)) {
                problem = QStringLiteral("--%1 goes with --db.").arg(option);
                return false;
            }
        }
        return true;
    }
    if (o.verb != Verb::Database) {
        problem = QStringLiteral("--db gives the records of the database verb only.");
        return false;
    }
    if (o.resume) {
        problem = QStringLiteral("--resume and --restart mean nothing with --db: the server "
                                 "keeps which records are written.");
        return false;
    }
    DatabaseSourceChoice choice;
    choice.connection = p.value("db").toStdString();
    const batch::ParsedConnection parsed = batch::ParseConnectionText(choice.connection);
    if (!parsed.settings) {
        problem = QStringLiteral("--db: the connection text is not one: %1")
                      .arg(QString::fromStdString(parsed.problem));
        return false;
    }
    choice.station = p.value("station").toStdString();
    std::int64_t number = 0;
    if (!ReadNumber(p, "batch", 1, kMostBatch, number, problem))
        return false;
    if (p.isSet("batch"))
        choice.batch = number;
    number = 0;
    if (!ReadNumber(p, "lease", 1, kMostLeaseSeconds, number, problem))
        return false;
    choice.leaseSeconds = int(number);
    o.batchSource = std::move(choice);
    return true;
}

// --details and --unmask: only the verbs that read say what a card means.
bool ReadDetailsChoice(const QCommandLineParser& p, CardRunOptions& o, QString& problem) {
    o.details.json = o.json;
    o.details.text = p.isSet("details");
    o.details.unmask = p.isSet("unmask");
    const bool reads = o.verb == Verb::Read || o.verb == Verb::Compare || o.verb == Verb::ToFile;
    if ((o.details.text || o.details.unmask) && !reads) {
        problem =
            QStringLiteral("--details and --unmask go with read, compare, to-file and decode.");
        return false;
    }
    if (o.details.unmask && !o.details.wanted()) {
        problem = QStringLiteral("--unmask shows the card number in --details or --json: say one.");
        return false;
    }
    return true;
}

} // namespace

void KeepArgumentBytes(int argc, const char* const* argv) {
    KeptArguments().assign(argv, argv + argc);
}

std::string ArgumentBytes(const QString& decoded) {
    if (platform::kFileNamesAreUtf8)
        return decoded.toStdString();
    for (const std::string& raw : KeptArguments())
        if (QString::fromLocal8Bit(raw) == decoded)
            return raw;
    return decoded.toStdString();
}

void AddCardRunOptions(QCommandLineParser& parser) {
    parser.addOptions({
        {"cards", "Cards to do before the run ends (0: until interrupted).", "N"},
        {"track1", "The text of track 1 (write, sequential: \"x\" marks the number).", "T"},
        {"track2", "The text of track 2.", "T"},
        {"track3", "The text of track 3.", "T"},
        {"tracks", "The tracks in use: 2, 12 or 123 (erase: the tracks to erase, \"1,2,3\").",
         "LIST"},
        {"in-use", "The tracks in use, for every verb: 2, 12 or 123.", "LIST"},
        {"mode", "ormond, velk or quell, as the configuration dialog sets it.", "MODE"},
        {"card-type", "The card type, as the window's list names it.", "TYPE"},
        {"start", "sequential: the first number.", "S"},
        {"count", "sequential: the number of cards.", "N"},
        {"resume", "database: resume from the record the history file holds."},
        {"restart", "database: start again from record no. 1."},
        {"db",
         "database, batch: the batch server (host=... dbname=... user=..., or "
         "postgresql://user@host/dbname).",
         "CONNECTION"},
        {"batch",
         "database, batch status: the batch number (by default the newest of the "
         "usage file's name; status: every batch).",
         "N"},
        {"station", "database --db: this station's name (by default host name-process id).",
         "NAME"},
        {"lease",
         QStringLiteral("database --db: seconds a claim is held without a renewal (default %1).")
             .arg(batch::kDefaultLeaseSeconds),
         "SECONDS"},
        {"json", "Print one JSON object a card instead of the window's lines (after a read, "
                 "with the card's details)."},
        {"details", "read, compare, to-file: what each card's tracks mean, under its result "
                    "line (the card number masked)."},
        {"unmask", "With --details or --json: the card number whole."},
        {"stats", "Print the software time per card (the pauses excluded) at the end."},
        {"deck", "With --simulate: the cards to swipe, from a card data file.", "FILE"},
        {"auto-swipe", "With --simulate: swipe the next card MS ms after a card command.", "MS"},
    });
}

std::optional<CardRunOptions> CardRunOptionsFrom(const QCommandLineParser& p,
                                                 const QStringList& args, QString& problem) {
    CardRunOptions o;
    const std::optional<Verb> verb = CardVerbNamed(args.value(0).toStdString());
    if (!verb) {
        problem = QStringLiteral("\"%1\" is no card verb.").arg(args.value(0));
        return std::nullopt;
    }
    o.verb = *verb;
    o.cards = DefaultCards(o.verb);
    o.json = p.isSet("json");
    o.stats = p.isSet("stats");
    o.namedDevice = p.isSet("device");
    if (!ReadVerbArguments(p, args, o, problem) || !ReadChoices(p, o, problem) ||
        !ReadBatchSource(p, o, problem) || !ReadDetailsChoice(p, o, problem) ||
        !ReadNumber(p, "cards", 0, kMostCards, o.cards, problem))
        return std::nullopt;
    return o;
}

} // namespace msrw::console
