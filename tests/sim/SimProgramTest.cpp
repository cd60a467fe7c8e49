// Runs the built msrw-sim and talks to it over its pseudo-terminal with plain
// POSIX calls, as any serial client would.

#include <QProcess>
#include <QTemporaryDir>
#include <cstdlib>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

const std::string kEsc = "\x1B";

QString SimProgramPath() {
    const char* dir = std::getenv("MSRW_BIN_DIR");
    return dir == nullptr ? QString() : QString::fromLocal8Bit(dir) + "/msrw-sim";
}

class PtyClient {
public:
    ~PtyClient() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    bool open(const QByteArray& path) {
        fd_ = ::open(path.constData(), O_RDWR | O_NOCTTY);
        termios settings{};
        if (fd_ < 0 || tcgetattr(fd_, &settings) != 0)
            return false;
        cfmakeraw(&settings);
        return tcsetattr(fd_, TCSANOW, &settings) == 0;
    }
    bool send(const std::string& bytes) {
        return ::write(fd_, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    }
    // Whatever arrives until `count` bytes are in or `timeoutMs` passes.
    std::string receive(std::size_t count, int timeoutMs = 3000) {
        std::string got;
        pollfd readable{fd_, POLLIN, 0};
        while (got.size() < count && ::poll(&readable, 1, timeoutMs) > 0) {
            char buffer[256];
            const ssize_t n = ::read(fd_, buffer, sizeof buffer);
            if (n <= 0)
                break;
            got.append(buffer, static_cast<std::size_t>(n));
        }
        return got;
    }

private:
    int fd_ = -1;
};

class SimProgram : public ::testing::Test {
protected:
    // Starts the program; returns the first line of its output (the path).
    QByteArray start(const QStringList& arguments = {}) {
        const QString program = SimProgramPath();
        EXPECT_FALSE(program.isEmpty()) << "MSRW_BIN_DIR is not set";
        process.start(program, arguments);
        if (!process.waitForStarted(5000))
            return {};
        while (!process.canReadLine() && process.waitForReadyRead(5000)) {
        }
        return process.readLine().trimmed();
    }
    void TearDown() override {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(5000);
        }
    }
    QProcess process;
};

TEST_F(SimProgram, AnswersOnItsTerminalAndEndsWhenStandardInputCloses) {
    const QByteArray path = start();
    ASSERT_TRUE(path.startsWith("/dev/")) << path.constData();
    PtyClient client;
    ASSERT_TRUE(client.open(path));
    ASSERT_TRUE(client.send(kEsc + "e"));
    EXPECT_EQ(client.receive(2), kEsc + "y");

    // A line on standard input swipes the (blank) card for the armed read.
    client.send(kEsc + "r" + kEsc + "e"); // the echo shows the read was taken
    ASSERT_EQ(client.receive(2), kEsc + "y");
    process.write("\n");
    process.waitForBytesWritten(5000);
    EXPECT_EQ(client.receive(16), "\x1B\x01\x1B+\x1B\x02\x1B+\x1B\x03\x1B+?\x1C\x1B"
                                  "0");

    process.closeWriteChannel();
    ASSERT_TRUE(process.waitForFinished(5000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0);
}

TEST_F(SimProgram, EndsCleanlyOnSigterm) {
    const QByteArray path = start({"--fixture", "--fragment"});
    PtyClient client;
    ASSERT_TRUE(client.open(path));
    client.send(kEsc + "v");
    EXPECT_EQ(client.receive(42), "Velk Reader/Writer LZ Fixture V1.0 060201\r");
    process.terminate();
    ASSERT_TRUE(process.waitForFinished(5000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0);
}

TEST_F(SimProgram, RefusesABadDeckOrOptionWithAMessage) {
    QTemporaryDir dir;
    const QString deck = dir.filePath("cards.ISO");
    QFile file(deck);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a card file\r\n");
    file.close();
    for (const QStringList& arguments :
         {QStringList{"--deck", deck}, QStringList{"--garbage", "lots"}}) {
        process.start(SimProgramPath(), arguments);
        ASSERT_TRUE(process.waitForFinished(5000));
        EXPECT_EQ(process.exitCode(), 2);
        EXPECT_TRUE(process.readAllStandardOutput().isEmpty());
        EXPECT_TRUE(process.readAllStandardError().startsWith("msrw-sim: "));
    }
}

TEST_F(SimProgram, ServesTheTarnFamilyWithTarn) {
    const QByteArray path = start({"--tarn"});
    PtyClient client;
    ASSERT_TRUE(client.open(path));
    ASSERT_TRUE(client.send("\x02\x4B\x03\x4A"));
    EXPECT_EQ(client.receive(4), "\x02^\x03_");
    ASSERT_TRUE(client.send("\x51"
                            "1C"));
    EXPECT_EQ(client.receive(2), "34");
}

} // namespace
