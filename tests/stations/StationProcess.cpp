#include "stations/StationProcess.h"

#include "files/SettingsFile.h"
#include "link/DataFolder.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <csignal>

namespace msrw::test {
namespace {

// The card data file header of ISO cards, as Read To File writes it.
const char* const kBlankDeck = "[SETUP]\r\nCARDTYPE =0\r\n"
                               "PARITY1 =1\r\nPARITY2 =1\r\nPARITY3 =1\r\n"
                               "BPC1 =7\r\nBPC2 =5\r\nBPC3 =5\r\n"
                               "SS1 =5\r\nSS2 =11\r\nSS3 =11\r\nES1 =31\r\nES2 =15\r\nES3 =15\r\n"
                               "BPI1 =210\r\nBPI2 =75\r\nBPI3 =210\r\n"
                               "\r\n[DATA]\r\n\r\n";

// The settings file with the defaults but high coercivity.
bool WriteHighCoercivitySettings(const QString& root) {
    const DataFolder folder(root);
    SettingsRecord record;
    if (!LoadSetting(folder, record).error.isEmpty())
        return false; // the defaults could not be written
    std::optional<std::vector<std::string>> lines = folder.readLines(kSettingsFile);
    if (!lines || lines->size() <= kEntryHiCo)
        return false;
    (*lines)[kEntryHiCo] = ListPositionText(kHiCoHigh);
    QString error;
    return folder.writeLines(kSettingsFile, *lines, error);
}

QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

QString WriteBlankDeck(const QTemporaryDir& dir) {
    const QString path = dir.filePath("blank.deck");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(kBlankDeck) < 0)
        return {};
    return path;
}

StationProcess::StationProcess(std::string name, const QString& deckPath, int swipeAfterMs)
    : name_(std::move(name)) {
    sim_ = std::make_unique<SimProcess>(
        SimProcess::binDir() + "/msrw-sim",
        std::vector<std::string>{"--auto-swipe", std::to_string(swipeAfterMs), "--no-stdin",
                                 "--deck", deckPath.toStdString()});
    ready_ =
        sim_->started() && dir_.isValid() && WriteHighCoercivitySettings(dir_.filePath("data"));
}

StationProcess::~StationProcess() {
    if (running()) {
        cli_.kill();
        cli_.waitForFinished(5000);
    }
}

void StationProcess::start(const QString& usagePath, const std::string& connection,
                           const QStringList& more) {
    cli_.setStandardOutputFile(resultsPath());
    cli_.setStandardErrorFile(errorsPath());
    QStringList args{"--device",   QString::fromStdString(sim_->path()),
                     "--data-dir", dir_.filePath("data"),
                     "database",   usagePath,
                     "--db",       QString::fromStdString(connection),
                     "--station",  QString::fromStdString(name_),
                     "--json"};
    cli_.start(QString::fromStdString(SimProcess::binDir() + "/msrw-cli"), args + more);
    cli_.waitForStarted(5000);
}

bool StationProcess::wait(int timeoutMs) {
    return !running() || cli_.waitForFinished(timeoutMs);
}

bool StationProcess::running() const {
    return cli_.state() != QProcess::NotRunning;
}

int StationProcess::exitCode() const {
    return cli_.exitStatus() == QProcess::NormalExit ? cli_.exitCode() : -1;
}

void StationProcess::signal(int number) {
    if (running())
        ::kill(pid_t(cli_.processId()), number);
}

void StationProcess::pause() {
    signal(SIGSTOP);
}

void StationProcess::resume() {
    signal(SIGCONT);
}

void StationProcess::killNow() {
    signal(SIGKILL);
    cli_.waitForFinished(5000);
}

std::vector<QJsonObject> StationProcess::results() const {
    std::vector<QJsonObject> results;
    for (const QByteArray& line : FileBytes(resultsPath()).split('\n')) {
        if (!line.isEmpty())
            results.push_back(QJsonDocument::fromJson(line).object());
    }
    return results;
}

std::vector<std::int64_t> StationProcess::okRecords() const {
    std::vector<std::int64_t> records;
    for (const QJsonObject& result : results()) {
        if (result.value("ok").toBool())
            records.push_back(result.value("card").toInteger());
    }
    return records;
}

int StationProcess::failedCards() const {
    int failed = 0;
    for (const QJsonObject& result : results())
        failed += !result.value("ok").toBool();
    return failed;
}

QString StationProcess::errors() const {
    return QString::fromUtf8(FileBytes(errorsPath()));
}

CliRun RunCli(const QStringList& args, int timeoutMs) {
    QProcess p;
    p.start(QString::fromStdString(SimProcess::binDir() + "/msrw-cli"), args);
    if (!p.waitForFinished(timeoutMs))
        p.kill();
    p.waitForFinished(5000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

} // namespace msrw::test
