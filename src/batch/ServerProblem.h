#pragma once
// What the operator is told when the batch server cannot be used: the
// driver's text (and the server's SQLSTATE) turned into one line that names
// the cause and the server. Pure.

#include "batch/ConnectionText.h"

#include <string>
#include <string_view>

namespace msrw::batch {

// What libpq falls back on when the text leaves a field out.
struct ConnectionDefaults {
    std::string host;   // PGHOST, else "localhost"
    std::string port;   // PGPORT, else "5432"
    std::string user;   // PGUSER, else the login name
    std::string dbname; // PGDATABASE, else the user
};
ConnectionDefaults DefaultsFromEnvironment();

// "HOST:PORT", or "the socket folder DIR (port PORT)".
std::string ServerPlace(const ConnectionSettings& settings, const ConnectionDefaults& defaults);
std::string UserOf(const ConnectionSettings& settings, const ConnectionDefaults& defaults);
std::string DatabaseOf(const ConnectionSettings& settings, const ConnectionDefaults& defaults);

// Why the connection could not be opened, from the driver's message.
std::string DescribeConnectFailure(const ConnectionSettings& settings,
                                   const ConnectionDefaults& defaults, std::string_view driverText);

// True when a failed statement means the connection is gone (SQLSTATE class
// 08, an administrator's shutdown or termination, or the driver's own words).
bool IsConnectionLoss(std::string_view sqlState, std::string_view driverText);

// The first line of a driver's message, without "FATAL:" or "ERROR:".
std::string FirstLine(std::string_view text);

} // namespace msrw::batch
