// A device named with --device that cannot serve (not a serial port, missing,
// held by another program, silent): every verb says why, in the link's own
// words, instead of the window's port question; and an interrupt during the
// start-up is told as an interrupt.

#include "console/CliProcess.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSerialPort>
#include <csignal>
#include <gtest/gtest.h>

using namespace msrw::test;

namespace {

QString Program() {
    return QString::fromStdString(SimProcess::binDir() + "/msrw-cli");
}

CliResult RunCli(const QStringList& args) {
    QProcess p;
    p.start(Program(), args);
    if (!p.waitForFinished(60000))
        p.kill();
    p.waitForFinished(5000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromLatin1(p.readAllStandardOutput()),
            QString::fromLatin1(p.readAllStandardError())};
}

// What the console must not say: the window's question for a port number
// and what follows it.
void ExpectNoWindowTexts(const QString& err, const std::string& what) {
    for (const char* text :
         {"Please input port number", "Invalid Input!", "Could not detect", "Open Port Failed!"})
        EXPECT_FALSE(err.contains(text)) << what << ": " << err.toStdString();
}

TEST(NamedDevice, EveryVerbSaysWhyTheDeviceCannotServe) {
    QTemporaryDir dir;
    SimProcess silent(SimProcess::binDir() + "/msrw-sim", {"--silent", "--no-stdin"});
    SimProcess held(SimProcess::binDir() + "/msrw-sim", {"--no-stdin"});
    ASSERT_TRUE(silent.started() && held.started());
    QSerialPort holder(QString::fromStdString(held.path()));
    ASSERT_TRUE(holder.open(QIODevice::ReadWrite)) << holder.errorString().toStdString();

    struct Case {
        const char* what;
        QString device;
        const char* cause;
        int sendStatus;
    };
    const Case cases[] = {
        {"not a serial port", dir.path(), "Is a directory", 3},
        {"missing", dir.filePath("none"), "does not exist", 3},
        {"held by another program", QString::fromStdString(held.path()),
         "another program is using it", 3},
        {"silent", QString::fromStdString(silent.path()), "The reader/writer did not answer.", 4},
    };
    for (const Case& c : cases) {
        for (const QStringList& verb :
             {QStringList{"read"}, QStringList{"detect"}, QStringList{"send", "\\1Be"}}) {
            const std::string what = std::string(c.what) + ", " + verb[0].toStdString();
            const CliResult r =
                RunCli(QStringList{"--device", c.device, "--data-dir", dir.path()} + verb);
            EXPECT_EQ(r.status, verb[0] == "send" ? c.sendStatus : 3) << what;
            EXPECT_TRUE(r.err.contains(c.cause)) << what << ": " << r.err.toStdString();
            ExpectNoWindowTexts(r.err, what);
        }
    }
}

TEST(NamedDevice, AnInterruptDuringTheStartUpIsToldAsAnInterrupt) {
    QTemporaryDir dir;
    const QString log = dir.filePath("sim.log");
    SimProcess sim(SimProcess::binDir() + "/msrw-sim",
                   {"--silent", "--no-stdin", "--log", log.toStdString()});
    ASSERT_TRUE(sim.started());
    // A remembered Tarn port that stays silent: the start-up pauses for
    // seconds after asking it, before it searches the ports.
    QFile tarn(dir.filePath("tarnbaudsetting.bau"));
    ASSERT_TRUE(tarn.open(QIODevice::WriteOnly));
    tarn.write("1\r\nn , 8, 1\r\n9600,\r\n");
    tarn.close();

    QProcess p;
    p.start(Program(),
            {"--device", QString::fromStdString(sim.path()), "--data-dir", dir.path(), "read"});
    QElapsedTimer waited;
    waited.start();
    // Until the start-up has asked the device (or msrw-cli ended early).
    while (QFile(log).size() == 0 && waited.elapsed() < 20000 && !p.waitForFinished(20)) {
    }
    ASSERT_GT(QFile(log).size(), 0) << "msrw-cli never asked the device";
    ::kill(pid_t(p.processId()), SIGINT);
    ASSERT_TRUE(p.waitForFinished(30000));
    const QString err = QString::fromLatin1(p.readAllStandardError());
    EXPECT_EQ(p.exitCode(), 1) << err.toStdString();
    EXPECT_TRUE(err.contains("interrupted during start-up")) << err.toStdString();
    ExpectNoWindowTexts(err, "interrupted");
}

} // namespace
