#include "batch/PgTestServer.h"

#include <QCoreApplication>
#include <atomic>
#include <cstdlib>

namespace msrw::test {

bool PgTestDatabase::create() {
    const char* text = std::getenv("MSRW_TEST_PG");
    if (!text || !*text)
        return false;
    adminText = text;
    const batch::ParsedConnection parsed = batch::ParseConnectionText(adminText);
    EXPECT_TRUE(parsed.settings) << parsed.problem;
    if (!parsed.settings)
        return false;
    static std::atomic<int> counter{0};
    dbname_ = "msrw_test_" + std::to_string(QCoreApplication::applicationPid()) + "_" +
              std::to_string(++counter);
    onAdmin("DROP DATABASE IF EXISTS " + dbname_);
    onAdmin("CREATE DATABASE " + dbname_);
    settings = *parsed.settings;
    settings.dbname = dbname_;
    return true;
}

PgTestDatabase::~PgTestDatabase() {
    direct_.reset();
    if (!dbname_.empty())
        onAdmin("DROP DATABASE IF EXISTS " + dbname_ + " WITH (FORCE)");
}

void PgTestDatabase::onAdmin(const std::string& statement) {
    batch::ServerConnection admin(*batch::ParseConnectionText(adminText).settings);
    std::string error;
    ASSERT_TRUE(admin.open(error)) << error;
    QSqlQuery q(admin.database());
    ASSERT_TRUE(batch::Run(q, QString::fromStdString(statement), error)) << statement << error;
}

std::unique_ptr<batch::BatchStore> PgTestDatabase::open(const std::string& station) {
    std::string error;
    auto store = batch::BatchStore::Open(settings, station, error);
    EXPECT_TRUE(store) << error;
    return store;
}

std::string PgTestDatabase::connectionText() const {
    return adminText + " dbname=" + dbname_;
}

QVariant PgTestDatabase::query(const std::string& statement) {
    std::string error;
    if (!direct_) {
        direct_ = std::make_unique<batch::ServerConnection>(settings);
        if (!direct_->open(error)) {
            ADD_FAILURE() << error;
            direct_.reset();
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

} // namespace msrw::test
