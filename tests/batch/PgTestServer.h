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

class PgTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A store on the test's database for `station`; fails the test when none.
    std::unique_ptr<batch::BatchStore> open(const std::string& station);
    // The connection text of the test's database, as an operator would give it.
    std::string connectionText() const;
    // One value of a statement run on the test's database on its own connection.
    QVariant query(const std::string& statement);
    // Runs a statement on the test's database; fails the test when it fails.
    void execute(const std::string& statement);

    batch::ConnectionSettings settings; // of the test's database
    std::string adminText;

private:
    void onAdmin(const std::string& statement);
    std::unique_ptr<batch::ServerConnection> direct_;
    std::string dbname_;
};

} // namespace msrw::test
