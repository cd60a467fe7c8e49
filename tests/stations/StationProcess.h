#pragma once
// A station end to end, as an operator runs one: its own simulated
// reader/writer (msrw-sim on a pseudo-terminal, swiping at once), its own
// data folder, and `msrw-cli database ... --db` as a process of its own,
// whose results (one JSON line a card) and messages are kept in files.

#include "support/SimProcess.h"

#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace msrw::test {

// A blank card, the deck each station's simulator swipes again and again.
// Cards from a card data file are of high coercivity, so the stations'
// settings ask for high coercivity.
QString WriteBlankDeck(const QTemporaryDir& dir);

class StationProcess {
public:
    // `swipeAfterMs`: how long the card takes to come after each card command
    // (0: at once; an operator takes a second or so).
    StationProcess(std::string name, const QString& deckPath, int swipeAfterMs = 0);
    ~StationProcess();
    StationProcess(const StationProcess&) = delete;
    StationProcess& operator=(const StationProcess&) = delete;

    const std::string& name() const { return name_; }
    // The simulator answers and the data folder is set up.
    bool ready() const { return ready_; }
    // Starts `msrw-cli database USAGE --db CONNECTION --station NAME --json`
    // with `more` options after them.
    void start(const QString& usagePath, const std::string& connection,
               const QStringList& more = {});
    // Waits up to `timeoutMs`; false when it is still running.
    bool wait(int timeoutMs);
    bool running() const;
    // The exit status; -1 when it ended by a signal.
    int exitCode() const;
    // SIGSTOP, SIGCONT, SIGKILL.
    void pause();
    void resume();
    void killNow();

    // The records the device said OK for (the "card" of each "ok" line), in order.
    std::vector<std::int64_t> okRecords() const;
    // The results that were not OK.
    int failedCards() const;
    QString errors() const;

private:
    void signal(int number);
    std::vector<QJsonObject> results() const;
    QString resultsPath() const { return dir_.filePath("results.jsonl"); }
    QString errorsPath() const { return dir_.filePath("errors.txt"); }

    std::string name_;
    QTemporaryDir dir_;
    std::unique_ptr<SimProcess> sim_;
    QProcess cli_;
    bool ready_ = false;
};

// msrw-cli run to its end.
struct CliRun {
    int status = -1;
    QString out;
    QString err;
};
CliRun RunCli(const QStringList& args, int timeoutMs = 60000);

} // namespace msrw::test
