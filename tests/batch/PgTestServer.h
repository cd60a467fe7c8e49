#pragma once
// The tests against a real batch server: MSRW_TEST_PG names one (the
// connection text that scripts/pg-test-cluster.sh prints, for a role that
// may create databases). Each test gets a database of its own, dropped after
// it; without MSRW_TEST_PG the tests are skipped.

#include "batch/BatchStore.h"
#include "batch/ConnectionText.h"
#include "batch/ServerConnection.h"

#include <QSqlQuery>
#include <QVariant>
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace msrw::test {

// A database of its own on the test server, for one test.
class PgTestDatabase {
public:
    // Makes the database; false (and the test should skip) without a server.
    bool create();
    ~PgTestDatabase();

    // A store on the database for `station`; fails the test when none.
    std::unique_ptr<batch::BatchStore> open(const std::string& station);
    // The connection text of the database, as an operator would give it.
    std::string connectionText() const;
    // The first value of a statement run on the database on a connection of its own.
    QVariant query(const std::string& statement);
    void execute(const std::string& statement) { (void)query(statement); }
    // Every claim's lease made to have run out a second ago.
    void expireLeases() {
        execute("UPDATE msrw_records SET lease_until = now() - interval '1 second' "
                "WHERE state = 'claimed'");
    }

    batch::ConnectionSettings settings; // of the test's database
    std::string adminText;

private:
    void onAdmin(const std::string& statement);
    std::unique_ptr<batch::ServerConnection> direct_;
    std::string dbname_;
};

class PgTest : public ::testing::Test, public PgTestDatabase {
protected:
    void SetUp() override {
        if (!create())
            GTEST_SKIP() << "MSRW_TEST_PG names no test server (scripts/test.sh starts one)";
    }
};

} // namespace msrw::test
