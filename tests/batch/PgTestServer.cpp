#include "batch/PgTestServer.h"

#include <QCoreApplication>
#include <atomic>
#include <cstdlib>

namespace msrw::test {

void PgTest::SetUp() {
    const char* text = std::getenv("MSRW_TEST_PG");
    if (!text || !*text)
        GTEST_SKIP() << "MSRW_TEST_PG names no test server (scripts/test.sh starts one)";
    adminText = text;
    const batch::ParsedConnection parsed = batch::ParseConnectionText(adminText);
    ASSERT_TRUE(parsed.settings) << parsed.problem;
    static std::atomic<int> counter{0};
    dbname_ = "msrw_test_" + std::to_string(QCoreApplication::applicationPid()) + "_" +
              std::to_string(++counter);
    onAdmin("DROP DATABASE IF EXISTS " + dbname_);
    onAdmin("CREATE DATABASE " + dbname_);
    settings = *parsed.settings;
    settings.dbname = dbname_;
}

void PgTest::TearDown() {
    direct_.reset();
    if (!dbname_.empty())
        onAdmin("DROP DATABASE IF EXISTS " + dbname_ + " WITH (FORCE)");
}

void PgTest::onAdmin(const std::string& statement) {
    batch::ServerConnection admin(*batch::ParseConnectionText(adminText).settings);
    std::string error;
    ASSERT_TRUE(admin.open(error)) << error;
    QSqlQuery q(admin.database());
    ASSERT_TRUE(batch::Run(q, QString::fromStdString(statement), error)) << statement << error;
}

std::unique_ptr<batch::BatchStore> PgTest::open(const std::string& station) {
    std::string error;
    auto store = batch::BatchStore::Open(settings, station, error);
    EXPECT_TRUE(store) << error;
    return store;
}

std::string PgTest::connectionText() const {
    return adminText + " dbname=" + dbname_;
}

QVariant PgTest::query(const std::string& statement) {
    std::string error;
    if (!direct_) {
        direct_ = std::make_unique<batch::ServerConnection>(settings);
        if (!direct_->open(error)) {
            ADD_FAILURE() << error;
            return {};
        }
    }
    QSqlQuery q(direct_->database());
    if (!batch::Run(q, QString::fromStdString(statement), error)) {
        ADD_FAILURE() << statement << ": " << error;
        return {};
    }
    return q.next() ? q.value(0) : QVariant();
}

void PgTest::execute(const std::string& statement) {
    (void)query(statement);
}

} // namespace msrw::test
