#include "batch/ServerConnection.h"

#include "batch/ServerProblem.h"
#include "batch/StatementWatch.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <atomic>
#include <libpq-fe.h>
#include <mutex>
#include <optional>

namespace msrw::batch {
namespace {

// libpq waits for ever on a server that does not answer; a station does not.
constexpr const char* kDefaultConnectTimeoutSeconds = "10";

// What each statement needs to know of its connection, kept on the driver
// that runs it: its time limit, the server's place and the user, for messages.
constexpr const char* kLimitProperty = "msrwStatementLimitMs";
constexpr const char* kPlaceProperty = "msrwPlace";
constexpr const char* kUserProperty = "msrwUser";
constexpr const char* kUnansweredProperty = "msrwUnanswered";

// SQLSTATE insufficient_privilege.
constexpr const char* kPermissionDenied = "42501";

PGconn* HandleOf(const QSqlDriver* driver) {
    const QVariant handle = driver ? driver->handle() : QVariant();
    // The type's name as declared, or as the compiler spells the typedef.
    if (!handle.isValid() ||
        (qstrcmp(handle.typeName(), "PGconn*") != 0 && qstrcmp(handle.typeName(), "pg_conn*") != 0))
        return nullptr;
    return *static_cast<PGconn* const*>(handle.constData());
}

// The station's own message says what became of the server: the server's
// warnings as it goes ("terminating connection ...") are no news before it.
void DropNotice(void*, const char*) {}

// The driver's complaint that a statement of a connection already gone
// cannot be freed is no news either; every other message passes on.
QtMessageHandler gPassOn = nullptr;
void QuietDriver(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (text.startsWith(QLatin1String("Unable to free statement")))
        return;
    if (gPassOn)
        gPassOn(type, context, text);
}

void QuietenDriverOnce() {
    static std::once_flag once;
    std::call_once(once, [] { gPassOn = qInstallMessageHandler(QuietDriver); });
}

std::string Seconds(int ms) {
    return std::to_string((ms + 999) / 1000);
}

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
    // A network that drops everything is found out by TCP itself.
    for (const auto& [key, value] : {std::pair<std::string, std::string>{"keepalives", "1"},
                                     {"keepalives_idle", "5"},
                                     {"keepalives_interval", "2"},
                                     {"keepalives_count", "3"}})
        if (!HasOption(settings_, key))
            settings_.options.emplace_back(key, value);
    QuietenDriverOnce();
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
        QSqlDriver* driver = db.driver();
        driver->setProperty(kLimitProperty, statementLimitMs_);
        driver->setProperty(kPlaceProperty, QString::fromStdString(place()));
        driver->setProperty(kUserProperty,
                            QString::fromStdString(UserOf(settings_, DefaultsFromEnvironment())));
        driver->setProperty(kUnansweredProperty, false);
        if (PGconn* handle = HandleOf(driver))
            PQsetNoticeProcessor(handle, DropNotice, nullptr);
        // The server's notices ("already exists, skipping") are no news here;
        // a statement it cannot finish in the limit is cancelled there too.
        QSqlQuery quiet(db);
        return Run(quiet, "SET client_min_messages TO warning", error) &&
               Run(quiet, QString("SET statement_timeout = %1").arg(statementLimitMs_), error);
    }
    const QSqlError e = db.lastError();
    error = DescribeConnectFailure(settings_, DefaultsFromEnvironment(),
                                   (e.databaseText() + "\n" + e.driverText()).toStdString());
    db.close();
    return false;
}

void ServerConnection::setStatementLimit(std::chrono::milliseconds limit) {
    statementLimitMs_ = int(limit.count());
    if (QSqlDriver* driver = database().driver())
        driver->setProperty(kLimitProperty, statementLimitMs_);
}

bool ServerConnection::unanswered() const {
    const QSqlDriver* driver = database().driver();
    return driver && driver->property(kUnansweredProperty).toBool();
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

bool IsPermissionDenied(const QSqlError& failure) {
    return failure.nativeErrorCode() == QLatin1String(kPermissionDenied);
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

namespace {

// Runs one statement under its connection's time limit; a failure is told
// as the operator needs it (a server that did not answer, a role without
// rights, each named).
template <typename Statement>
bool Guarded(QSqlQuery& query, Statement statement, std::string& error, bool* lost) {
    QSqlDriver* driver = const_cast<QSqlDriver*>(query.driver());
    const int limitMs = driver ? driver->property(kLimitProperty).toInt() : 0;
    PGconn* handle = limitMs > 0 ? HandleOf(driver) : nullptr;
    std::optional<StatementWatch> watch;
    if (handle && PQsocket(handle) >= 0)
        watch.emplace(PQsocket(handle), std::chrono::milliseconds(limitMs));
    if (statement())
        return true;
    const QString place = driver ? driver->property(kPlaceProperty).toString() : QString();
    if (watch && watch->fired()) {
        driver->setProperty(kUnansweredProperty, true);
        if (lost)
            *lost = true;
        error = "The batch server at " + place.toStdString() + " did not answer within " +
                Seconds(limitMs) + " s.";
        return false;
    }
    const QSqlError e = query.lastError();
    if (IsPermissionDenied(e)) {
        error = "The user " + driver->property(kUserProperty).toString().toStdString() +
                " may not use the batch tables on the server at " + place.toStdString() + ": " +
                FirstLine(e.databaseText().toStdString()) + ".";
        if (lost)
            *lost = false;
        return false;
    }
    return Failed(e, error, lost);
}

} // namespace

bool Run(QSqlQuery& query, std::string& error, bool* lost) {
    return Guarded(
        query, [&] { return query.exec(); }, error, lost);
}

bool Run(QSqlQuery& query, const QString& text, std::string& error, bool* lost) {
    return Guarded(
        query, [&] { return query.exec(text); }, error, lost);
}

bool Prepare(QSqlQuery& query, const QString& text, std::string& error, bool* lost) {
    return Guarded(
        query, [&] { return query.prepare(text); }, error, lost);
}

} // namespace msrw::batch
