// The console program end to end: what it refuses before sending anything,
// and how it shows what it sends.

#include "support/SimProcess.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace msrw::test;

namespace {

struct CliRun {
    int status = -1;
    QString out;
    QString err;
};

CliRun Cli(const QStringList& args) {
    QProcess p;
    p.start(QString::fromStdString(SimProcess::binDir() + "/msrw-cli"), args);
    p.waitForFinished(20000);
    return {p.exitCode(), QString::fromLatin1(p.readAllStandardOutput()),
            QString::fromLatin1(p.readAllStandardError())};
}

TEST(Console, ATextTheLinkWouldRefuseIsRefusedBeforeAnythingIsSent) {
    struct Case {
        QString text;
        const char* reason;
    };
    const Case cases[] = {
        {"\\1Be\\", "ends inside an escape"},
        {QString(256, 'A'), "more than 255 bytes"},
        {QString::fromUtf8("\\1B\xE2\x82\xAC"), "not one byte"}, // a euro sign
    };
    SimProcess sim(SimProcess::binDir() + "/msrw-sim", {});
    ASSERT_TRUE(sim.started());
    for (const Case& c : cases) {
        const CliRun run =
            Cli({"--device", QString::fromStdString(sim.path()), "send", "\\1Be", c.text});
        EXPECT_EQ(run.status, 2) << c.reason;
        EXPECT_TRUE(run.out.isEmpty()) << c.reason << ": " << run.out.toStdString();
        EXPECT_TRUE(run.err.contains(c.reason)) << run.err.toStdString();
    }
}

TEST(Console, ARawControlByteInAScriptLineIsShownNotCutShort) {
    QTemporaryDir dir;
    const QString path = dir.filePath("nul.script");
    QFile script(path);
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write(QByteArray("\\1B\x00"
                            "e\r\n",
                            7));
    script.close();
    SimProcess sim(SimProcess::binDir() + "/msrw-sim", {});
    ASSERT_TRUE(sim.started());
    const CliRun run = Cli({"--device", QString::fromStdString(sim.path()), "script", path});
    EXPECT_TRUE(run.out.startsWith("PC:    \\1B\\00e\n")) << run.out.toStdString();
}

} // namespace
