#pragma once
// One connection to the batch server through Qt's PostgreSQL driver. The
// password is never kept by the program: libpq finds it (~/.pgpass, the file
// PGPASSFILE names, PGPASSWORD) unless the connection text holds one. A
// connection is used by the thread that made it, as Qt's drivers require.

#include "batch/ConnectionText.h"

#include <QSqlDatabase>
#include <QString>
#include <chrono>
#include <string>

class QSqlQuery;
class QSqlError;

namespace msrw::batch {

class ServerConnection {
public:
    explicit ServerConnection(ConnectionSettings settings);
    ~ServerConnection();
    ServerConnection(const ServerConnection&) = delete;
    ServerConnection& operator=(const ServerConnection&) = delete;

    // Opens the connection when it is not open; false with the operator's
    // message (naming the server and the cause) in `error`.
    [[nodiscard]] bool open(std::string& error);
    bool isOpen() const;
    // Drops a connection found broken, so that the next open makes a new one.
    void drop();
    // How long a statement may take before the connection counts as lost
    // (and the server cancels it itself); by default a minute.
    void setStatementLimit(std::chrono::milliseconds limit);
    // A statement found the server not answering within the limit: asking
    // again would only wait as long again.
    bool unanswered() const;
    QSqlDatabase database() const;
    const ConnectionSettings& settings() const { return settings_; }
    // "HOST:PORT" of the server, for messages.
    std::string place() const;

private:
    ConnectionSettings settings_;
    QString name_;
    int statementLimitMs_ = 60000;
};

// Runs a prepared statement, or the plain statement `text` (or prepares
// one), each within the connection's statement limit; false with a message
// naming the failure in `error`, `lost` set when the connection is gone.
[[nodiscard]] bool Run(QSqlQuery& query, std::string& error, bool* lost = nullptr);
[[nodiscard]] bool Run(QSqlQuery& query, const QString& text, std::string& error,
                       bool* lost = nullptr);
[[nodiscard]] bool Prepare(QSqlQuery& query, const QString& text, std::string& error,
                           bool* lost = nullptr);
// A text as a literal of the server's SQL, quoted by the driver.
QString SqlText(QSqlDatabase db, const std::string& value);

// Whether the server refused a statement for the role's want of rights.
bool IsPermissionDenied(const QSqlError& failure);

// The same for a failure the driver reported: always false.
bool Failed(const QSqlError& failure, std::string& error, bool* lost = nullptr);

} // namespace msrw::batch
