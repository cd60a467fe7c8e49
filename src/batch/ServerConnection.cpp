#include "batch/ServerConnection.h"

#include "batch/ServerProblem.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <atomic>

namespace msrw::batch {
namespace {

// libpq waits for ever on a server that does not answer; a station does not.
constexpr const char* kDefaultConnectTimeoutSeconds = "10";

QString UniqueConnectionName() {
    static std::atomic<int> counter{0};
    return QString("msrw-batch-%1").arg(++counter);
}

bool HasOption(const ConnectionSettings& s, const std::string& key) {
    for (const auto& option : s.options)
        if (option.first == key)
            return true;
    return false;
}

} // namespace

ServerConnection::ServerConnection(ConnectionSettings settings)
    : settings_(std::move(settings)), name_(UniqueConnectionName()) {
    if (!HasOption(settings_, "connect_timeout"))
        settings_.options.emplace_back("connect_timeout", kDefaultConnectTimeoutSeconds);
    QSqlDatabase db = QSqlDatabase::addDatabase("QPSQL", name_);
    db.setHostName(QString::fromStdString(settings_.host));
    if (settings_.port)
        db.setPort(*settings_.port);
    db.setDatabaseName(QString::fromStdString(settings_.dbname));
    db.setUserName(QString::fromStdString(settings_.user));
    db.setPassword(QString::fromStdString(settings_.password));
    db.setConnectOptions(QString::fromStdString(ConnectOptionsText(settings_)));
}

ServerConnection::~ServerConnection() {
    {
        QSqlDatabase db = QSqlDatabase::database(name_, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(name_);
}

bool ServerConnection::open(std::string& error) {
    QSqlDatabase db = database();
    if (!db.isValid()) {
        error = "The PostgreSQL driver of Qt is not installed (Debian: libqt6sql6-psql).";
        return false;
    }
    if (db.isOpen())
        return true;
    if (db.open()) {
        // The server's notices ("already exists, skipping") are no news here.
        QSqlQuery quiet(db);
        return Run(quiet, "SET client_min_messages TO warning", error);
    }
    const QSqlError e = db.lastError();
    error = DescribeConnectFailure(settings_, DefaultsFromEnvironment(),
                                   (e.databaseText() + "\n" + e.driverText()).toStdString());
    db.close();
    return false;
}

bool ServerConnection::isOpen() const {
    return database().isOpen();
}

void ServerConnection::drop() {
    database().close();
}

QSqlDatabase ServerConnection::database() const {
    return QSqlDatabase::database(name_, false);
}

std::string ServerConnection::place() const {
    return ServerPlace(settings_, DefaultsFromEnvironment());
}

QString SqlText(QSqlDatabase db, const std::string& value) {
    QSqlField field("value", QMetaType(QMetaType::QString));
    field.setValue(QString::fromStdString(value));
    return db.driver()->formatValue(field);
}

bool Failed(const QSqlError& e, std::string& error, bool* lost) {
    const std::string text = (e.databaseText() + "\n" + e.driverText()).toStdString();
    const bool gone = IsConnectionLoss(e.nativeErrorCode().toStdString(), text);
    if (lost)
        *lost = gone;
    error = gone ? "The connection to the batch server was lost: " + FirstLine(text)
                 : "The batch server refused a statement: " + FirstLine(text);
    return false;
}

bool Run(QSqlQuery& query, std::string& error, bool* lost) {
    return query.exec() || Failed(query.lastError(), error, lost);
}

bool Run(QSqlQuery& query, const QString& text, std::string& error, bool* lost) {
    return query.exec(text) || Failed(query.lastError(), error, lost);
}

} // namespace msrw::batch
