// msrw-cli batch import seen on a terminal: how far it got, on one line that
// is cleared at the end, and an interrupt that stops it with nothing kept.

#include "batch/PgTestServer.h"
#include "stations/BatchOnServer.h"
#include "stations/StationKit.h"
#include "support/SimProcess.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

using namespace msrw;
using namespace msrw::test;

namespace {

// A pseudo-terminal for a process's standard error, as an operator's
// terminal would be; what the process wrote is read from its other side.
class ErrorTerminal {
public:
    ErrorTerminal() {
        master_ = posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0)
            return;
        name_ = QString::fromLocal8Bit(ptsname(master_));
        fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
        // Held open here too, so that the terminal outlives the process.
        held_ = ::open(ptsname(master_), O_RDWR | O_NOCTTY);
    }
    ~ErrorTerminal() {
        if (held_ >= 0)
            ::close(held_);
        if (master_ >= 0)
            ::close(master_);
    }
    ErrorTerminal(const ErrorTerminal&) = delete;
    ErrorTerminal& operator=(const ErrorTerminal&) = delete;

    bool ready() const { return held_ >= 0; }
    const QString& name() const { return name_; }
    // Everything shown so far.
    const std::string& shown() {
        char block[4096];
        ssize_t n = 0;
        while ((n = ::read(master_, block, sizeof block)) > 0)
            text_.append(block, std::size_t(n));
        return text_;
    }

private:
    int master_ = -1;
    int held_ = -1;
    QString name_;
    std::string text_;
};

class ImportOnATerminal : public PgTest {
protected:
    void start(QProcess& p) {
        ASSERT_TRUE(terminal.ready());
        p.setStandardErrorFile(terminal.name());
        p.start(QString::fromStdString(SimProcess::binDir() + "/msrw-cli"),
                {"batch", "import", kit.files.usagePath(), "--db",
                 QString::fromStdString(connectionText())});
        ASSERT_TRUE(p.waitForStarted());
    }
    bool shownSoon(const std::string& text) {
        QElapsedTimer clock;
        clock.start();
        while (terminal.shown().find(text) == std::string::npos) {
            if (clock.elapsed() > 60000)
                return false;
            QThread::msleep(10);
        }
        return true;
    }

    ErrorTerminal terminal;
    StationKit kit;
};

TEST_F(ImportOnATerminal, ShowsHowFarItGotAndClearsTheLineAtTheEnd) {
    kit.files.writeRecords(2500);
    QProcess p;
    start(p);
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0);
    EXPECT_EQ(p.readAllStandardOutput().toStdString(),
              "batch 1: 2500 records imported from db.txt\n");
    const std::string shown = terminal.shown();
    EXPECT_EQ(shown.rfind("\r1000 records sent...", 0), 0u) << shown;
    EXPECT_EQ(shown.substr(shown.size() - 4), "\r\033[K") << shown;
}

TEST_F(ImportOnATerminal, AnInterruptStopsItAndNothingIsKept) {
    kit.files.writeRecords(400000);
    QProcess p;
    start(p);
    ASSERT_TRUE(shownSoon(" records sent..."));
    ::kill(pid_t(p.processId()), SIGINT);
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_TRUE(shownSoon("msrw-cli: The import was stopped: no batch was made."))
        << terminal.shown();
    EXPECT_EQ(p.readAllStandardOutput().toStdString(), "");
    EXPECT_EQ(query("SELECT count(*) FROM msrw_batches").toLongLong(), 0);
    EXPECT_EQ(query("SELECT count(*) FROM msrw_records").toLongLong(), 0);
}

} // namespace
