#include "console/CliProcess.h"

#include <QElapsedTimer>
#include <QFile>

namespace msrw::test {
namespace {

std::vector<std::string> SimArgs(std::vector<std::string> args) {
    args.insert(args.begin(), {"--auto-swipe", "0", "--no-stdin"});
    return args;
}

QString Program() {
    return QString::fromStdString(SimProcess::binDir() + "/msrw-cli");
}

} // namespace

CliBench::CliBench(std::vector<std::string> simArgs)
    : sim(SimProcess::binDir() + "/msrw-sim", SimArgs(std::move(simArgs))) {}

QStringList CliBench::withDevice(const QStringList& args) const {
    return QStringList{"--device", QString::fromStdString(sim.path()), "--data-dir", dir.path()} +
           args;
}

CliResult CliBench::run(const QStringList& args, int timeoutMs) {
    return runWatching(args, {}, timeoutMs);
}

CliResult CliBench::runWithLast(const QStringList& args, const QByteArray& last, int timeoutMs) {
    // printf's %b turns the octal escapes back into the bytes.
    QString escaped;
    for (const char c : last)
        escaped += QStringLiteral("\\0%1").arg(uint(uchar(c)), 3, 8, QLatin1Char('0'));
    const QStringList script = {"-c", "last=$(printf '%b' \"$1\"); shift; exec \"$@\" \"$last\"",
                                "sh", escaped, Program()};
    return runProgram("/bin/sh", script + withDevice(args), {}, timeoutMs);
}

CliResult CliBench::runWatching(const QStringList& args,
                                const std::function<void(QProcess&, const QString&)>& onLine,
                                int timeoutMs) {
    return runProgram(Program(), withDevice(args), onLine, timeoutMs);
}

CliResult CliBench::runProgram(const QString& program, const QStringList& args,
                               const std::function<void(QProcess&, const QString&)>& onLine,
                               int timeoutMs) {
    QProcess p;
    p.start(program, args);
    CliResult result;
    QElapsedTimer t;
    t.start();
    QByteArray pending;
    while (p.state() != QProcess::NotRunning && t.elapsed() < timeoutMs) {
        p.waitForReadyRead(50);
        pending += p.readAllStandardOutput();
        for (qsizetype end; (end = pending.indexOf('\n')) >= 0;) {
            const QString line = QString::fromLatin1(pending.left(end));
            result.out += line + "\n";
            pending.remove(0, end + 1);
            if (onLine)
                onLine(p, line);
        }
    }
    if (p.state() != QProcess::NotRunning) {
        p.kill();
        p.waitForFinished(2000);
        result.err = "msrw-cli did not end in time\n";
    }
    result.out += QString::fromLatin1(pending + p.readAllStandardOutput());
    result.err += QString::fromLatin1(p.readAllStandardError());
    result.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return result;
}

void CliBench::write(const QString& name, const QByteArray& bytes) const {
    QFile f(file(name));
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
}

QByteArray CliBench::read(const QString& name) const {
    QFile f(file(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
}

} // namespace msrw::test
