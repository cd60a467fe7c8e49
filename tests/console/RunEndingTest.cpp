// Every console run ends: after the cards asked for even when the last one
// fails, and within a second of SIGINT or SIGTERM whatever the run is doing,
// a failed card's recovery included; a verb its mode does not offer, and a
// track load the device refuses, end it with their own statuses.

#include "console/CliProcess.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <csignal>
#include <gtest/gtest.h>

using namespace msrw::test;

namespace {

// The simulator's cards at hand come in this order: blank, an ISO sample,
// an AAMVA sample, a card damaged on track 2, a high-coercivity card.
struct Family {
    const char* name;
    std::vector<std::string> simArgs;
    QStringList mode;
};
const Family kFamilies[] = {
    {"escape", {}, {}},
    {"tarn", {"--tarn"}, {"--mode", "quell"}},
    {"tarn with sentinels in mode 1",
     {"--tarn", "--tarn-sentinels", "--tarn-mode", "1"},
     {"--mode", "quell"}},
};

TEST(RunEnding, ARunWhoseLastCardFailsEndsAfterIt) {
    for (const Family& f : kFamilies) {
        CliBench b(f.simArgs);
        ASSERT_TRUE(b.sim.started()) << f.name;
        const CliResult r =
            b.run(f.mode + QStringList{"--tracks", "2", "read", "--cards", "4"}, 20000);
        EXPECT_EQ(r.status, 1) << f.name << ": " << r.err.toStdString();
        // The fourth card, damaged on track 2, is the last: its line is the last one.
        const QStringList results = r.out.split('\n').filter("Read(");
        EXPECT_EQ(results.size(), 4) << f.name << ": " << r.out.toStdString();
        EXPECT_TRUE(results.value(3).contains("Failed")) << f.name << ": " << r.out.toStdString();
    }
}

TEST(RunEnding, ReadsInLineNoiseFailAndTheRunEndsAfterItsCards) {
    CliBench b({"--tarn", "--garbage", "64"});
    ASSERT_TRUE(b.sim.started());
    const CliResult r = b.run({"--mode", "quell", "read", "--cards", "2"}, 20000);
    EXPECT_EQ(r.status, 1) << r.err.toStdString();
    // Noise before each reply is no track: no card reads as if it held it.
    EXPECT_EQ(r.out.split('\n').filter("Read(").size(), 2) << r.out.toStdString();
    EXPECT_FALSE(r.out.contains("OK!")) << r.out.toStdString();
}

TEST(RunEnding, AnInterruptDuringAFailedCardsRecoveryEndsTheRunWithinASecond) {
    struct Case {
        const Family& family;
        QStringList verb;
        const char* failedEnd; // how a failed card's line ends: its pause or recovery follows
        int signal;
    };
    const Case cases[] = {
        // A failed write pauses 1500 ms before the next card.
        {kFamilies[0], {"write", "--track2", ";1234?", "--cards", "0"}, "Error!!", SIGINT},
        // A failed Tarn card is recovered: "\6B", "\4D", a second's pause, "\4B".
        {kFamilies[1], {"--tracks", "2", "read", "--cards", "0"}, "Failed!", SIGTERM},
        {kFamilies[2], {"--tracks", "2", "read", "--cards", "0"}, "Failed!", SIGINT},
    };
    for (const Case& c : cases) {
        CliBench b(c.family.simArgs);
        ASSERT_TRUE(b.sim.started()) << c.family.name;
        QElapsedTimer sinceSignal;
        QString failedLine;
        const CliResult r = b.runWatching(
            c.family.mode + c.verb,
            [&](QProcess& p, const QString& line) {
                if (!line.endsWith(c.failedEnd) || sinceSignal.isValid())
                    return;
                ::kill(pid_t(p.processId()), c.signal);
                sinceSignal.start();
                failedLine = line;
            },
            20000);
        ASSERT_TRUE(sinceSignal.isValid()) << c.family.name << ": " << r.out.toStdString();
        EXPECT_LT(sinceSignal.elapsed(), 1000) << c.family.name;
        EXPECT_GE(r.status, 0) << c.family.name << ": " << r.err.toStdString();
        // Result lines begin at the start of a line; the tracks follow indented.
        const QStringList results = r.out.split('\n').filter(QRegularExpression("^\\S"));
        EXPECT_EQ(results.value(results.size() - 1), failedLine)
            << c.family.name << ": no card after the interrupt: " << r.out.toStdString();
    }
}

TEST(RunEnding, AVerbTheModeDoesNotOfferIsRefusedBeforeAnythingIsSent) {
    CliBench b({"--tarn"});
    ASSERT_TRUE(b.sim.started());
    const CliResult r =
        b.run({"--mode", "quell", "erase", "--tracks", "1,2", "--cards", "1"}, 20000);
    EXPECT_EQ(r.status, 2) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
    EXPECT_TRUE(r.err.contains("erase is not offered in Quell Mode; it is offered in Ormond Mode."))
        << r.err.toStdString();
}

TEST(RunEnding, ATrackLoadTheDeviceRefusesIsAFailedCard) {
    CliBench b({"--tarn"});
    ASSERT_TRUE(b.sim.started());
    // Track 2 is recorded in 5-bit characters: the device cannot take a letter.
    const CliResult r = b.run({"--mode", "quell", "write", "--track2", ";12A?"}, 20000);
    EXPECT_EQ(r.status, 1) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("Failed to load Track 2 data!")) << r.err.toStdString();
}

} // namespace
