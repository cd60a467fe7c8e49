#include "stations/BatchOnServer.h"

#include <csignal>

#include "batch/ServerConnection.h"
#include "stations/StationProcess.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QThread>
#include <QVariant>
#include <cstdlib>
#include <gtest/gtest.h>

namespace msrw::test {

std::int64_t ImportWithCli(const QString& usagePath, const std::string& connection,
                           std::int64_t records) {
    const CliRun run =
        RunCli({"batch", "import", usagePath, "--db", QString::fromStdString(connection)});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(run.err.toStdString(), ""); // no progress where no terminal shows it
    const QRegularExpressionMatch said =
        QRegularExpression(R"(^batch (\d+): (\d+) records imported from )").match(run.out);
    EXPECT_TRUE(said.hasMatch()) << run.out.toStdString();
    EXPECT_EQ(said.captured(2).toLongLong(), records) << run.out.toStdString();
    return said.hasMatch() && said.captured(2).toLongLong() == records
               ? said.captured(1).toLongLong()
               : 0;
}

std::map<std::int64_t, RecordRow> RecordRows(const batch::ConnectionSettings& settings,
                                             std::int64_t batch) {
    std::map<std::int64_t, RecordRow> rows;
    batch::ServerConnection connection(settings);
    std::string error;
    if (!connection.open(error)) {
        ADD_FAILURE() << error;
        return rows;
    }
    QSqlQuery q(connection.database());
    const QString statement =
        "SELECT record_no, CASE WHEN state = 'claimed' AND lease_until < now() THEN 'uncertain' "
        "ELSE state END, coalesce(station, '') FROM msrw_records WHERE batch = " +
        QString::number(batch);
    if (!batch::Run(q, statement, error)) {
        ADD_FAILURE() << error;
        return rows;
    }
    while (q.next())
        rows[q.value(0).toLongLong()] = {q.value(1).toString().toStdString(),
                                         q.value(2).toString().toStdString()};
    return rows;
}

bool WaitForWritten(batch::BatchStore& store, std::int64_t batch, std::int64_t written,
                    int timeoutMs) {
    for (int waited = 0; waited < timeoutMs; waited += 100) {
        std::string error;
        const std::optional<batch::BatchStatus> status = store.status(batch, error);
        if (status && status->total.written >= written)
            return true;
        QThread::msleep(100);
    }
    return false;
}

bool WaitForUncertain(batch::BatchStore& store, std::int64_t batch, std::int64_t record,
                      int timeoutMs) {
    for (int waited = 0; waited < timeoutMs; waited += 200) {
        std::string error;
        const auto state = store.recordState(batch, record, error);
        if (state && state->state == "uncertain")
            return true;
        QThread::msleep(200);
    }
    return false;
}

std::vector<std::int64_t> RecordsIn(const std::map<std::int64_t, RecordRow>& rows,
                                    const std::string& state, const std::string& station) {
    std::vector<std::int64_t> numbers;
    for (const auto& [number, row] : rows) {
        if (row.state == state && (station.empty() || row.station == station))
            numbers.push_back(number);
    }
    return numbers;
}

std::int64_t PauseWhileHolding(StationProcess& station, const batch::ConnectionSettings& settings,
                               std::int64_t batch) {
    for (int attempt = 0; attempt < 100 && station.running(); ++attempt) {
        station.pause();
        QThread::msleep(40); // a statement on its way ends on the server
        const std::vector<std::int64_t> held =
            RecordsIn(RecordRows(settings, batch), "claimed", station.name());
        if (held.size() == 1)
            return held[0];
        station.resume();
        QThread::msleep(static_cast<unsigned long>(attempt % 9 * 11));
    }
    return 0;
}

OwnCluster::OwnCluster() {
    dir_ = QDir::tempPath() + "/msrw-own-cluster-" +
           QString::number(QCoreApplication::applicationPid());
    QDir().mkpath(dir_);
    // The server runs as its own user when the tests run as root.
    QFile::setPermissions(dir_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                    QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                                    QFile::ExeOther);
}

OwnCluster::~OwnCluster() {
    thaw();
    stop();
    QDir(dir_).removeRecursively();
}

QString OwnCluster::script(const QString& action, QString& out) {
    const char* source = std::getenv("MSRW_SOURCE_DIR");
    QProcess p;
    p.start(QString(source ? source : ".") + "/scripts/pg-test-cluster.sh",
            {action, dir_ + "/cluster"});
    p.waitForFinished(120000);
    out = QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return QString::fromUtf8(p.readAllStandardError()) + " (exit " +
               QString::number(p.exitCode()) + ")";
    return {};
}

std::string OwnCluster::start() {
    QString out;
    const QString problem = script("start", out);
    EXPECT_TRUE(problem.isEmpty()) << problem.toStdString();
    return problem.isEmpty() ? out.toStdString() : std::string();
}

bool OwnCluster::stop() {
    QString out;
    const QString problem = script("stop", out);
    EXPECT_TRUE(problem.isEmpty()) << problem.toStdString();
    return problem.isEmpty();
}

namespace {

// The server's postmaster and the processes it started.
std::vector<int> ServerProcesses(const QString& dataDir) {
    QFile pidFile(dataDir + "/postmaster.pid");
    if (!pidFile.open(QIODevice::ReadOnly))
        return {};
    const int postmaster = pidFile.readLine().trimmed().toInt();
    std::vector<int> pids{postmaster};
    for (const QString& entry : QDir("/proc").entryList(QDir::Dirs)) {
        QFile stat("/proc/" + entry + "/stat");
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // "pid (name) state ppid ...": the name may hold blanks, the ")" ends it.
        const QByteArray text = stat.readAll();
        const QList<QByteArray> after = text.mid(text.lastIndexOf(')') + 2).split(' ');
        if (after.size() > 1 && after[1].toInt() == postmaster)
            pids.push_back(entry.toInt());
    }
    return postmaster > 0 ? pids : std::vector<int>{};
}

} // namespace

bool OwnCluster::freeze() {
    frozen_ = ServerProcesses(dir_ + "/cluster/data");
    for (const int pid : frozen_)
        ::kill(pid, SIGSTOP);
    return !frozen_.empty();
}

void OwnCluster::thaw() {
    for (const int pid : frozen_)
        ::kill(pid, SIGCONT);
    frozen_.clear();
}

} // namespace msrw::test
