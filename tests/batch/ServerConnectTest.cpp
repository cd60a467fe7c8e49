// Connecting to a real server: what the operator is told when it refuses,
// when a password is wrong or missing, or when the database is not there;
// and the password found where libpq looks for it.

#include "batch/PgTestServer.h"
#include "batch/ServerProblem.h"

#include <QTemporaryDir>
#include <arpa/inet.h>
#include <cstdlib>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace msrw;
using namespace msrw::batch;
using namespace msrw::test;

namespace {

// The role scripts/pg-test-cluster.sh makes for these tests.
const char* kLockedUser = "msrw_locked";
const char* kLockedPassword = "msrw-locked-pw";

// A local port that was free a moment ago: nothing listens there now.
int FreePort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    const bool bound = bind(fd, reinterpret_cast<sockaddr*>(&address), length) == 0 &&
                       getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0;
    close(fd);
    return bound ? ntohs(address.sin_port) : 0;
}

class ServerConnect : public PgTest {
protected:
    std::string failure(const ConnectionSettings& s) {
        ServerConnection c(s);
        std::string error;
        EXPECT_FALSE(c.open(error));
        return error;
    }
    ConnectionSettings locked() const {
        ConnectionSettings s = settings;
        s.user = kLockedUser;
        s.dbname = "postgres";
        return s;
    }
    void TearDown() override {
        unsetenv("PGPASSWORD");
        unsetenv("PGPASSFILE");
        PgTest::TearDown();
    }
};

TEST_F(ServerConnect, ARefusingServerIsNamedWithItsPort) {
    ConnectionSettings s = settings;
    s.port = FreePort();
    ASSERT_NE(*s.port, 0);
    EXPECT_EQ(failure(s).find("The server at 127.0.0.1:" + std::to_string(*s.port) +
                              " refused the connection"),
              0u);
}

TEST_F(ServerConnect, AWrongOrMissingPasswordIsToldAsSuch) {
    setenv("PGPASSFILE", "/nonexistent", 1);
    ConnectionSettings s = locked();
    EXPECT_NE(failure(s).find("asks for the password of user msrw_locked"), std::string::npos);
    s.password = "not it";
    EXPECT_EQ(failure(s), "The password for user msrw_locked was not accepted by the server at " +
                              ServerPlace(s, DefaultsFromEnvironment()) + ".");
    setenv("PGPASSWORD", "also not it", 1);
    s.password.clear();
    EXPECT_NE(failure(s).find("was not accepted"), std::string::npos);
}

TEST_F(ServerConnect, ThePasswordComesFromThePasswordFileOrTheEnvironment) {
    QTemporaryDir dir;
    const QString passFile = dir.filePath("pgpass");
    {
        QFile f(passFile);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray("*:*:*:") + kLockedUser + ":" + kLockedPassword + "\n");
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    }
    setenv("PGPASSFILE", passFile.toLocal8Bit().constData(), 1);
    std::string error;
    ServerConnection fromFile(locked());
    EXPECT_TRUE(fromFile.open(error)) << error;
    setenv("PGPASSFILE", "/nonexistent", 1);
    setenv("PGPASSWORD", kLockedPassword, 1);
    ServerConnection fromEnvironment(locked());
    EXPECT_TRUE(fromEnvironment.open(error)) << error;
}

TEST_F(ServerConnect, AMissingDatabaseOrUserIsNamed) {
    ConnectionSettings s = settings;
    s.dbname = "msrw_no_such_database";
    EXPECT_EQ(failure(s), "The database msrw_no_such_database does not exist on the server at " +
                              ServerPlace(s, DefaultsFromEnvironment()) + ".");
    s = settings;
    s.user = "msrw_no_such_user";
    EXPECT_NE(failure(s).find("The user msrw_no_such_user is not known to the server"),
              std::string::npos);
}

TEST_F(ServerConnect, AnUnknownOptionIsToldByTheServer) {
    ConnectionSettings s = settings;
    s.options.emplace_back("options", "-c no_such_setting=1");
    EXPECT_NE(failure(s).find("cannot be used: "), std::string::npos);
}

} // namespace
