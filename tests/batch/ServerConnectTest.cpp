// Connecting to a real server: what the operator is told when it refuses,
// when a password is wrong or missing, or when the database is not there;
// and the password found where libpq looks for it.

#include "batch/PgTestServer.h"
#include "batch/ServerProblem.h"

#include <QFile>
#include <QTemporaryDir>
#include <arpa/inet.h>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
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

namespace {

// A station whose role may not touch the tables another role made is told
// so, with the role named, not that the tables are someone else's.
TEST_F(ServerConnect, ARoleWithoutRightsOnTheTablesIsToldPermissionDenied) {
    ASSERT_NE(open("maker"), nullptr); // the tables, made by the tests' role
    const std::string role = "msrw_no_rights_" + std::to_string(getpid());
    execute("DROP ROLE IF EXISTS " + role);
    execute("CREATE ROLE " + role + " LOGIN");
    ConnectionSettings s = settings;
    s.user = role;
    std::string error;
    EXPECT_EQ(BatchStore::Open(s, "station", error), nullptr);
    execute("DROP OWNED BY " + role);
    execute("DROP ROLE " + role);
    EXPECT_NE(error.find("permission denied"), std::string::npos) << error;
    EXPECT_NE(error.find("user " + role), std::string::npos) << error;
    EXPECT_EQ(error.find("not this program's"), std::string::npos) << error;
}

// What the driver and the server say on their own (a server's warning as it
// ends a connection, the driver's complaint that a statement of a connection
// already gone cannot be freed) is not printed: the station's own message
// tells what became of the server.
TEST_F(ServerConnect, TheDriversOwnNoticesAreNotPrinted) {
    QTemporaryDir dir;
    const QByteArray captured = QFile::encodeName(dir.filePath("stderr"));
    std::fflush(stderr);
    const int saved = dup(2);
    const int into = ::open(captured.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(into, 0);
    dup2(into, 2);
    {
        ServerConnection c(settings);
        std::string error;
        ASSERT_TRUE(c.open(error)) << error;
        QSqlQuery warn(c.database());
        EXPECT_TRUE(batch::Run(warn,
                               "DO $$ BEGIN RAISE WARNING 'terminating connection because of crash "
                               "of another server process'; END $$",
                               error))
            << error;
        QSqlQuery pid(c.database());
        ASSERT_TRUE(batch::Run(pid, "SELECT pg_backend_pid()", error) && pid.next()) << error;
        auto prepared = std::make_unique<QSqlQuery>(c.database());
        ASSERT_TRUE(prepared->prepare("SELECT 1"));
        execute("SELECT pg_terminate_backend(" + pid.value(0).toString().toStdString() + ")");
        bool lost = false;
        EXPECT_FALSE(batch::Run(*prepared, error, &lost));
        EXPECT_TRUE(lost) << error;
        prepared.reset(); // its statement cannot be freed on a connection gone
    }
    std::fflush(stderr);
    dup2(saved, 2);
    close(saved);
    close(into);
    QFile printed(dir.filePath("stderr"));
    ASSERT_TRUE(printed.open(QIODevice::ReadOnly));
    EXPECT_EQ(printed.readAll().toStdString(), "");
}

} // namespace
