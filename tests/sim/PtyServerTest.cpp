#include "sim/PtyServer.h"
#include "SimTestSupport.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace msrw::sim::test {
namespace {

// A client end of the terminal that reads while the server's event loop runs.
class Client {
public:
    explicit Client(const QString& path)
        : fd_(::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK)) {}
    ~Client() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    bool isOpen() const { return fd_ >= 0; }
    void send(const std::string& bytes) {
        ASSERT_EQ(::write(fd_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    // Reads until `count` bytes came or the line hung up.
    std::string receive(std::size_t count) {
        std::string got;
        WaitUntil([&] {
            char buffer[64];
            const ssize_t n = ::read(fd_, buffer, sizeof buffer);
            if (n > 0)
                got.append(buffer, static_cast<std::size_t>(n));
            hungUp_ = hungUp_ || n == 0 || (n < 0 && errno == EIO);
            return got.size() >= count || hungUp_;
        });
        return got;
    }
    bool hungUp() const { return hungUp_; }

private:
    int fd_;
    bool hungUp_ = false;
};

TEST(PtyServer, PassesBytesUnchangedBothWaysAndSurvivesClientsComingAndGoing) {
    auto device = std::make_shared<Device>();
    PtyServer server(device);
    QString error;
    ASSERT_TRUE(server.start(error)) << error.toStdString();
    for (int round = 0; round < 2; ++round) {
        Client client(server.slavePath());
        ASSERT_TRUE(client.isOpen());
        // CR and a byte with the high bit set would be mangled by a cooked terminal.
        client.send(Bytes("\\1Bh\\8D\\1Bi\\1Bv"));
        EXPECT_EQ(client.receive(39), Bytes("\\1B0\\1B\\8DVelk Reader/Writer Version 4.0 Sim\\0D"));
    }
}

TEST(PtyServer, TheTerminalGoesAwayWhenTheDeviceVanishes) {
    auto device = std::make_shared<Device>();
    device->faults().vanishAfter = 2;
    PtyServer server(device);
    QString error;
    ASSERT_TRUE(server.start(error));
    Client client(server.slavePath());
    client.send(Bytes("\\1Be"));
    EXPECT_EQ(client.receive(2), "\x1By");
    client.send(Bytes("\\1Be"));
    EXPECT_EQ(client.receive(2), "");
    EXPECT_TRUE(client.hungUp());
    EXPECT_FALSE(server.isServing());
}

} // namespace
} // namespace msrw::sim::test
