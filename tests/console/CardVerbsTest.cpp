// The card verbs of msrw-cli end to end: msrw-cli and msrw-sim as processes
// over a pseudo-terminal, the lines printed, the JSON, the files written and
// the exit statuses. The simulator's cards at hand come in this order: blank,
// an ISO sample, an AAMVA sample, a card damaged on track 2, and a
// high-coercivity card.

#include "console/CliProcess.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace msrw::test;

namespace {

const char* kIsoSampleTracks = "  Track 1: %B4111111111111111^SAMPLE/CARD^2812101?\n"
                               "  Track 2: ;4111111111111111=2812101?\n"
                               "  Track 3: ;0123456789?\n";

std::vector<QJsonObject> JsonLines(const QString& out) {
    std::vector<QJsonObject> objects;
    for (const QString& line : out.split('\n', Qt::SkipEmptyParts))
        objects.push_back(QJsonDocument::fromJson(line.toLatin1()).object());
    return objects;
}

QString Track(const QJsonObject& o, int n) {
    return o["tracks"].toArray()[n - 1].toString();
}

TEST(CardVerbs, ReadPrintsEachCardAsTheWindowShowsItAndTheStatusTellsAFailure) {
    CliBench b;
    ASSERT_TRUE(b.sim.started());
    CliResult r = b.run({"--tracks", "123", "read", "--cards", "2"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out.toStdString(),
              std::string("Read(1) OK!\n  Track 1: \n  Track 2: \n  Track 3: \n"
                          "Read(2) OK!\n") +
                  kIsoSampleTracks);
    // The AAMVA sample in ISO: track 3 fails, and only the tracks in use are shown.
    r = b.run({"--tracks", "12", "read"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out.toStdString(), "Read(1) Failed on Track 3!\n"
                                   "  Track 1: %CASPRINGFIELD^DOE$JANE$Q^742 EVERGREEN TER^?\n"
                                   "  Track 2: ;6360231234567890=28121990010100?\n");
    r = b.run({"--tracks", "2", "read"}); // the damaged card
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "Read(1) Failed on Track 2!\n  Track 2: \n");
}

TEST(CardVerbs, JsonGivesProgramsTheLineTheVerdictTheNumberAndTheTracks) {
    CliBench b;
    ASSERT_TRUE(b.sim.started());
    const CliResult r = b.run({"--tracks", "123", "read", "--cards", "3", "--json"});
    EXPECT_EQ(r.status, 1); // the AAMVA sample fails on track 3 in ISO
    const auto lines = JsonLines(r.out);
    ASSERT_EQ(lines.size(), 3u) << r.out.toStdString();
    EXPECT_EQ(lines[1]["line"].toString(), "Read(2) OK!");
    EXPECT_EQ(lines[1]["ok"].toBool(false), true);
    EXPECT_EQ(lines[1]["card"].toInt(), 2);
    EXPECT_EQ(Track(lines[1], 2), ";4111111111111111=2812101?");
    EXPECT_EQ(lines[2]["ok"].toBool(true), false);
    EXPECT_EQ(lines[2]["line"].toString(), "Read(3) Failed on Track 3!");
    const CliResult w = b.run({"write", "--track2", ";77?", "--json"});
    ASSERT_EQ(JsonLines(w.out).size(), 1u) << w.out.toStdString();
    EXPECT_FALSE(JsonLines(w.out)[0].contains("tracks")); // a write reads nothing
}

TEST(CardVerbs, WriteEraseAndSequentialLeaveOnTheCardsWhatTheyPrinted) {
    CliBench b;
    ASSERT_TRUE(b.sim.started());
    CliResult r = b.run(
        {"--tracks", "123", "sequential", "--track2", ";12xxx?", "--start", "7", "--count", "3"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "Write(1) OK!\nWrite(2) OK!\nWrite(3) OK!\n");
    // Around the deck once more: the damaged card, the high-coercivity one,
    // then the numbered cards.
    r = b.run({"read", "--cards", "5", "--json"});
    auto lines = JsonLines(r.out);
    ASSERT_EQ(lines.size(), 5u) << r.out.toStdString();
    EXPECT_EQ(Track(lines[2], 2), ";12007?");
    EXPECT_EQ(Track(lines[3], 2), ";12008?");
    EXPECT_EQ(Track(lines[4], 2), ";12009?");

    CliBench other;
    ASSERT_TRUE(other.sim.started());
    ASSERT_EQ(other.run({"--tracks", "123", "read"}).status, 0); // past the blank card
    r = other.run({"erase", "--tracks", "2"});                   // the ISO sample
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "Erase(1) OK!\n");
    r = other.run({"read", "--cards", "5", "--json"});
    lines = JsonLines(r.out);
    ASSERT_EQ(lines.size(), 5u) << r.out.toStdString();
    EXPECT_EQ(Track(lines[4], 2), "");
    EXPECT_EQ(Track(lines[4], 1), "%B4111111111111111^SAMPLE/CARD^2812101?");
}

TEST(CardVerbs, CompareTakesTheFirstCardWithDataAsTheReference) {
    CliBench b;
    ASSERT_TRUE(b.sim.started());
    const CliResult r = b.run({"--tracks", "123", "compare", "--cards", "3"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.out.contains("Compare(1)Error\n")) << r.out.toStdString();
}

TEST(CardVerbs, ReadToFileThenWriteFromFileGiveTheSameCardsBack) {
    CliBench b;
    ASSERT_TRUE(b.sim.started());
    const CliResult first = b.run({"--tracks", "123", "read", "--cards", "1"}); // past the blank
    ASSERT_EQ(first.status, 0);
    CliResult r = b.run({"to-file", b.file("cards.ISO"), "--cards", "1"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    const QByteArray saved = b.read("cards.ISO");
    EXPECT_TRUE(saved.contains("\x01"
                               "B4111111111111111^SAMPLE/CARD^2812101\r\n"))
        << saved.data();
    CliBench other;
    ASSERT_TRUE(other.sim.started());
    other.write("cards.ISO", saved);
    r = other.run({"--tracks", "123", "from-file", other.file("cards.ISO")});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "Write(1) OK!\n");
    EXPECT_TRUE(r.err.contains("End of File"));
    // The blank card now holds the sample: read it back into a file.
    r = other.run({"to-file", other.file("again.ISO"), "--cards", "5"});
    EXPECT_TRUE(r.out.startsWith("Read(1) OK!\n")) << r.out.toStdString();
}

TEST(CardVerbs, FromFileStopsAtARecordItCannotWriteAndSaysSoInItsStatus) {
    CliBench b;
    ASSERT_TRUE(b.sim.started());
    ASSERT_EQ(b.run({"--tracks", "123", "to-file", b.file("cards.ISO"), "--cards", "2"}).status, 0);
    QByteArray file = b.read("cards.ISO");
    file += QByteArray("\x02"
                       "12\0"
                       "3\r\n\r\n",
                       8); // a NUL no card can carry
    b.write("cards.ISO", file);
    const CliResult r = b.run({"--tracks", "123", "from-file", b.file("cards.ISO")});
    EXPECT_EQ(r.status, 1) << r.err.toStdString();
    EXPECT_EQ(r.out, "Write(1) OK!\n");
    EXPECT_TRUE(r.err.contains("cards.ISO, line 24: a track holds characters"))
        << r.err.toStdString();
}

// A file name is the system's bytes, UTF-8 or not: the one written is the one found.
TEST(CardVerbs, AFileNameThatIsNotUtf8IsWrittenAndFoundAsGiven) {
    CliBench b;
    ASSERT_TRUE(b.sim.started());
    ASSERT_EQ(b.run({"--tracks", "123", "read", "--cards", "1"}).status, 0); // past the blank
    const QByteArray name = QFile::encodeName(b.dir.path()) + "/na\xFFme.ISO";
    CliResult r = b.runWithLast({"to-file", "--cards", "1"}, name);
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    struct stat st {};
    EXPECT_EQ(stat(name.constData(), &st), 0) << "no file of that very name";
    const QByteArray replaced = QFile::encodeName(b.dir.path()) + "/na\xEF\xBF\xBDme.ISO";
    EXPECT_NE(stat(replaced.constData(), &st), 0) << "the name was changed";
    r = b.runWithLast({"--tracks", "123", "from-file"}, name);
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "Write(1) OK!\n");
}

class DatabaseVerb : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(b.sim.started());
        b.write("db.txt", "CARDTYPE=ISO\r\nBPI1=210\r\nBPI2=75\r\nBPI3=210\r\nTrk1:fa^fb\r\n"
                          "Trk2:fcfd\r\nTrk3:\r\n");
        QByteArray csv;
        for (int n = 1; n <= 40; ++n)
            csv += "MEMBER" + QByteArray::number(n) + ",X," + QByteArray::number(n) + ",0\n";
        b.write("db.csv", csv);
    }
    QStringList database(QStringList more = {}) {
        return QStringList{"database", b.file("db.txt")} + more;
    }
    CliBench b;
};

TEST_F(DatabaseVerb, AnInterruptActsAsEndAndKeepsTheResumePoint) {
    const CliResult r = b.runWatching(database(), [](QProcess& p, const QString& line) {
        if (line == "Write Record no. 2 OK!")
            ::kill(pid_t(p.processId()), SIGINT);
    });
    EXPECT_EQ(r.status, 1) << r.err.toStdString(); // records are left: not done
    EXPECT_TRUE(r.out.startsWith("Write Record no. 1 OK!\nWrite Record no. 2 OK!\n"));
    const int written = int(r.out.count(" OK!\n"));
    EXPECT_LE(written, 3) << "the run went on after the interrupt: " << r.out.toStdString();
    EXPECT_EQ(b.read("db.his"), QByteArray::number(written + 1) + "\r\n");

    // The next run asks whether to resume: without an answer it ends, writing nothing.
    CliResult next = b.run(database());
    EXPECT_EQ(next.status, 2);
    EXPECT_TRUE(next.out.isEmpty()) << next.out.toStdString();
    EXPECT_TRUE(next.err.contains("--resume or --restart")) << next.err.toStdString();
    next = b.run(database({"--resume", "--cards", "1"}));
    EXPECT_EQ(next.status, 0) << next.err.toStdString();
    EXPECT_EQ(next.out, QString("Write Record no. %1 OK!\n").arg(written + 1));
    next = b.run(database({"--restart", "--cards", "1"}));
    EXPECT_TRUE(next.out.startsWith("Write Record no. 1 ")) << next.out.toStdString();
    EXPECT_EQ(next.out.count('\n'), 1);
}

// The history is kept before a card's result is printed: a reader of the
// results that goes away ends the run as End does, and the card whose line
// could not be printed is not written again on resume.
TEST_F(DatabaseVerb, AClosedOutputEndsTheRunWithTheResumePointKept) {
    // As an operator's "| head -1" does: the reader of the results goes away.
    QProcess shell;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("STATUS", b.file("status"));
    shell.setProcessEnvironment(env);
    shell.start("bash", {"-c", "\"$@\" | head -1; echo ${PIPESTATUS[0]} > \"$STATUS\"", "bash",
                         QString::fromStdString(SimProcess::binDir() + "/msrw-cli"), "--device",
                         QString::fromStdString(b.sim.path()), "--data-dir", b.dir.path(),
                         "database", b.file("db.txt")});
    ASSERT_TRUE(shell.waitForFinished(60000));
    EXPECT_EQ(shell.readAllStandardOutput(), "Write Record no. 1 OK!\n");
    EXPECT_EQ(b.read("status"), "1\n") << shell.readAllStandardError().toStdString();
    EXPECT_EQ(b.read("db.his"), "3\r\n"); // record 2 was written, its line not printed
}

TEST_F(DatabaseVerb, ExitStatusesOfRunsThatStopBeforeTheirEnd) {
    // A refused record after a good card.
    QByteArray csv = b.read("db.csv");
    csv.replace("MEMBER2,X,2,0", "MEMBER2,X,,0");
    b.write("db.csv", csv);
    CliResult r = b.run(database());
    EXPECT_EQ(r.status, 1) << r.err.toStdString();
    EXPECT_EQ(r.out, "Write Record no. 1 OK!\n");
    EXPECT_TRUE(r.err.contains("Wrong data format!")) << r.err.toStdString();

    // A second run while the first holds the records: refused, naming it.
    QLockFile first(b.file("db.his.lock"));
    ASSERT_TRUE(first.tryLock(0));
    r = b.run(database({"--restart"}));
    EXPECT_EQ(r.status, 3);
    EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
    EXPECT_TRUE(r.err.contains(
        QString("another run (process %1 on ").arg(QCoreApplication::applicationPid())))
        << r.err.toStdString();
    first.unlock();

    // SIGTERM before any card is done, the history written and the card armed.
    b.write("db.his", "1\r\n");
    QFile::remove(b.file("db.csv"));
    b.write("db.csv", csv.replace("MEMBER2,X,,0", "MEMBER2,X,2,0"));
    QProcess p;
    CliBench idle({"--auto-swipe", "600000"}); // a reader that never sees a card
    ASSERT_TRUE(idle.sim.started());
    idle.write("db.txt", b.read("db.txt"));
    idle.write("db.csv", csv);
    p.start(QString::fromStdString(SimProcess::binDir() + "/msrw-cli"),
            {"--device", QString::fromStdString(idle.sim.path()), "--data-dir", idle.dir.path(),
             "database", idle.file("db.txt")});
    for (int i = 0; i < 600 && !QFile::exists(idle.file("db.his")); ++i)
        p.waitForFinished(50);
    p.waitForFinished(200); // the card is armed after the history is written
    ::kill(pid_t(p.processId()), SIGTERM);
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 1) << p.readAllStandardError().toStdString();
}

TEST(CardVerbs, AnInterruptEndsABoundedRunShortAndAnUnboundedOneDone) {
    for (const char* cards : {"5", "0"}) {
        CliBench b;
        ASSERT_TRUE(b.sim.started());
        const CliResult r = b.runWatching({"write", "--track2", ";123?", "--cards", cards},
                                          [](QProcess& p, const QString& line) {
                                              if (line == "Write(2) OK!")
                                                  ::kill(pid_t(p.processId()), SIGINT);
                                          });
        EXPECT_EQ(r.status, cards == std::string("0") ? 0 : 1)
            << cards << ": " << r.out.toStdString() << r.err.toStdString();
        EXPECT_TRUE(r.out.startsWith("Write(1) OK!\nWrite(2) OK!\n")) << r.out.toStdString();
    }
}

TEST(CardVerbs, ADeviceThatVanishesEndsTheRunWithStatusFourAndAWholeFile) {
    CliBench clean;
    ASSERT_TRUE(clean.sim.started());
    const CliResult whole =
        clean.run({"--tracks", "123", "to-file", clean.file("a.ISO"), "--cards", "4"});
    ASSERT_EQ(whole.status, 1) << whole.err.toStdString();

    CliBench b({"--vanish-after", "25"});
    ASSERT_TRUE(b.sim.started());
    const CliResult r = b.run({"--tracks", "123", "to-file", b.file("a.ISO"), "--cards", "0"});
    EXPECT_EQ(r.status, 4) << r.out.toStdString() << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("no longer available")) << r.err.toStdString();
    EXPECT_EQ(b.read("a.ISO"), clean.read("a.ISO")); // the records read, each whole
}

TEST(CardVerbs, BadUsageIsRefusedBeforeAnyCardAndNoReaderIsStatusThree) {
    CliBench b;
    ASSERT_TRUE(b.sim.started());
    struct Case {
        QStringList args;
        const char* reason;
    };
    const Case cases[] = {
        {{"read", "--cards", "x"}, "--cards needs a whole number"},
        {{"erase", "--tracks", "1,4"}, "erase --tracks names tracks 1-3"},
        {{"--tracks", "13", "read"}, "--tracks is 2, 12 or 123"},
        {{"--mode", "fast", "read"}, "--mode is ormond, velk or quell"},
        {{"sequential", "--start", "1"}, "sequential needs --start S and --count N"},
        {{"to-file"}, "to-file needs one file name"},
        {{"read", "--resume"}, "--resume and --restart answer the database's question only"},
        {{"read", "--card-type", "PLASTIC"}, "There is no card type \"PLASTIC\""},
        {{"database", b.file("none.txt")}, "cannot be read"},
    };
    for (const Case& c : cases) {
        const CliResult r = b.run(c.args);
        EXPECT_EQ(r.status, 2) << c.reason << ": " << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << c.reason;
        EXPECT_TRUE(r.err.contains(c.reason)) << c.reason << ": " << r.err.toStdString();
    }
    QProcess p;
    p.start(QString::fromStdString(SimProcess::binDir() + "/msrw-cli"),
            {"--device", "/dev/msrw-no-such-port", "--data-dir", b.dir.path(), "read"});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 3) << p.readAllStandardError().toStdString();
}

TEST(CardVerbs, EveryModeOfTheWindowReadsFromTheConsole) {
    struct Case {
        std::vector<std::string> simArgs;
        const char* mode;
        const char* track2;
    };
    for (const Case& c : {Case{{"--tarn"}, "quell", "4111111111111111=2812101"},
                          Case{{"--velk-mode"}, "velk", ";4111111111111111=2812101?"}}) {
        CliBench b(c.simArgs);
        ASSERT_TRUE(b.sim.started());
        const CliResult r = b.run({"--mode", c.mode, "read", "--cards", "2", "--json"});
        EXPECT_EQ(r.status, 0) << c.mode << ": " << r.err.toStdString();
        const auto lines = JsonLines(r.out);
        ASSERT_EQ(lines.size(), 2u) << c.mode << ": " << r.out.toStdString();
        EXPECT_EQ(Track(lines[1], 2), c.track2) << c.mode;
    }
}

TEST(CardVerbs, TheBuiltInSimulatorAnswersInTheModeTheRunMakesCurrent) {
    QTemporaryDir dir;
    for (const char* mode : {"velk", "ormond"}) {
        QProcess p;
        p.start(QString::fromStdString(SimProcess::binDir() + "/msrw-cli"),
                {"--simulate", "--data-dir", dir.path(), "--mode", mode, "--tracks", "123", "read",
                 "--cards", "2", "--json"});
        ASSERT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitCode(), 0) << mode << ": " << p.readAllStandardError().toStdString();
        const auto lines = JsonLines(QString::fromLatin1(p.readAllStandardOutput()));
        ASSERT_EQ(lines.size(), 2u) << mode;
        EXPECT_EQ(Track(lines[1], 2), ";4111111111111111=2812101?") << mode;
    }
}

} // namespace
