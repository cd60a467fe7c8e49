#pragma once
// msrw-cli run as a process against msrw-sim on a pseudo-terminal, as an
// operator's script would run it.

#include "support/SimProcess.h"

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <ostream>

namespace msrw::test {

struct CliResult {
    int status = -1;
    QString out;
    QString err;
};

// A reader/writer on a pty that swipes its cards by itself, and a data
// folder of the test's own.
class CliBench {
public:
    explicit CliBench(std::vector<std::string> simArgs = {});

    // msrw-cli --device <pty> --data-dir <dir> ARGS, run to its end.
    CliResult run(const QStringList& args, int timeoutMs = 60000);
    // The same, started: `onLine` sees each line of its output as it comes
    // and may signal the process; ends when the process does.
    CliResult runWatching(const QStringList& args,
                          const std::function<void(QProcess&, const QString&)>& onLine,
                          int timeoutMs = 60000);

    // The same, with a last argument of any bytes (a file name that is not
    // UTF-8), passed on by a shell as the system's own programs get it.
    CliResult runWithLast(const QStringList& args, const QByteArray& last, int timeoutMs = 60000);

    QString file(const QString& name) const { return dir.filePath(name); }
    void write(const QString& name, const QByteArray& bytes) const;
    QByteArray read(const QString& name) const;

    QTemporaryDir dir;
    SimProcess sim;

private:
    QStringList withDevice(const QStringList& args) const;
    CliResult runProgram(const QString& program, const QStringList& args,
                         const std::function<void(QProcess&, const QString&)>& onLine,
                         int timeoutMs);
};

} // namespace msrw::test

// Readable failures: a QString shown as its text.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
