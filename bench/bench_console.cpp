// Figures of msrw-cli's card verbs against msrw-sim on a pseudo-terminal:
// the software time per card of `read --cards N` (the pauses the operation
// must make taken out, as msrw-cli --stats measures them), and the peak
// memory of `database` over a 1,000,000-record CSV file.
//
//   bench_console [CARDS]        (default 1000; each card takes ~0.4 s of pauses)

#include "DatabaseFiles.h"
#include "support/SimProcess.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

using namespace msrw;
using namespace msrw::test;

namespace {

std::string Bin(const char* program) {
    return SimProcess::binDir() + "/" + program;
}

void ReadCards(const QString& cards) {
    QTemporaryDir dir;
    SimProcess sim(Bin("msrw-sim"), {"--auto-swipe", "0", "--no-stdin"});
    if (!sim.started()) {
        std::printf("msrw-sim did not start\n");
        return;
    }
    QProcess cli;
    cli.start(QString::fromStdString(Bin("msrw-cli")),
              {"--device", QString::fromStdString(sim.path()), "--data-dir", dir.path(), "read",
               "--cards", cards, "--json", "--stats"});
    cli.waitForFinished(-1);
    const QByteArray err = cli.readAllStandardError();
    const qsizetype at = err.indexOf("stats:");
    std::printf("read --cards %s: exit %d; %s", qPrintable(cards), cli.exitCode(),
                at >= 0 ? err.mid(at).constData() : err.constData());
}

void DatabasePeak(long long records) {
    QTemporaryDir dir;
    if (!bench::WriteDatabaseFiles(dir.filePath("db"), records))
        return;
    SimProcess sim(Bin("msrw-sim"), {"--auto-swipe", "0", "--no-stdin"});
    long peakKiB = 0;
    const int status =
        SimProcess::run(Bin("msrw-cli"),
                        {"--device", sim.path(), "--data-dir", dir.path().toStdString(), "database",
                         dir.filePath("db.txt").toStdString(), "--cards", "20"},
                        &peakKiB);
    std::printf("database over %lld records (20 written): wait status %d, peak memory %.1f MB\n",
                records, status, double(peakKiB) / 1024.0);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ReadCards(argc > 1 ? QString(argv[1]) : QStringLiteral("1000"));
    DatabasePeak(1000000);
    return 0;
}
