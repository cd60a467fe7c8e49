#include "batch/ServerProblem.h"

#include <cstdlib>

namespace msrw::batch {
namespace {

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

bool Contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

std::string Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return std::string(text);
}

} // namespace

ConnectionDefaults DefaultsFromEnvironment() {
    ConnectionDefaults d;
    d.host = Env("PGHOST").empty() ? "localhost" : Env("PGHOST");
    d.port = Env("PGPORT").empty() ? "5432" : Env("PGPORT");
    d.user = Env("PGUSER").empty() ? Env("USER") : Env("PGUSER");
    d.dbname = Env("PGDATABASE").empty() ? d.user : Env("PGDATABASE");
    return d;
}

std::string ServerPlace(const ConnectionSettings& s, const ConnectionDefaults& d) {
    const std::string host = s.host.empty() ? d.host : s.host;
    const std::string port = s.port ? std::to_string(*s.port) : d.port;
    if (!host.empty() && host.front() == '/')
        return "the socket folder " + host + " (port " + port + ")";
    return host + ":" + port;
}

std::string UserOf(const ConnectionSettings& s, const ConnectionDefaults& d) {
    return s.user.empty() ? d.user : s.user;
}

std::string DatabaseOf(const ConnectionSettings& s, const ConnectionDefaults& d) {
    if (!s.dbname.empty())
        return s.dbname;
    return s.user.empty() ? d.dbname : s.user;
}

std::string FirstLine(std::string_view text) {
    std::string line = Trimmed(text.substr(0, text.find('\n')));
    for (std::string_view prefix : {"FATAL:", "ERROR:"})
        if (std::string_view(line).substr(0, prefix.size()) == prefix)
            return Trimmed(std::string_view(line).substr(prefix.size()));
    return line;
}

std::string DescribeConnectFailure(const ConnectionSettings& s, const ConnectionDefaults& d,
                                   std::string_view text) {
    const std::string place = ServerPlace(s, d);
    const std::string user = UserOf(s, d);
    if (Contains(text, "password authentication failed"))
        return "The password for user " + user + " was not accepted by the server at " + place +
               ".";
    if (Contains(text, "no password supplied"))
        return "The server at " + place + " asks for the password of user " + user +
               ", and none was found (~/.pgpass, the file PGPASSFILE names, or PGPASSWORD).";
    if (Contains(text, "does not exist") && Contains(text, "database"))
        return "The database " + DatabaseOf(s, d) + " does not exist on the server at " + place +
               ".";
    if (Contains(text, "does not exist") && Contains(text, "role"))
        return "The user " + user + " is not known to the server at " + place + ".";
    if (Contains(text, "Connection refused"))
        return "The server at " + place +
               " refused the connection: is PostgreSQL running there and listening on that port?";
    if (Contains(text, "No such file or directory"))
        return "No server listens at " + place + ".";
    if (Contains(text, "could not translate host name"))
        return "The server name in " + place + " is not known: " + FirstLine(text);
    if (Contains(text, "timeout expired"))
        return "The server at " + place + " did not answer in time.";
    if (Contains(text, "no pg_hba.conf entry"))
        return "The server at " + place + " does not let user " + user +
               " in from here (pg_hba.conf).";
    if (Contains(text, "Driver not loaded"))
        return "The PostgreSQL driver of Qt is not installed (Debian: libqt6sql6-psql).";
    return "The server at " + place + " cannot be used: " + FirstLine(text);
}

bool IsConnectionLoss(std::string_view sqlState, std::string_view text) {
    if (sqlState.substr(0, 2) == "08" || sqlState == "57P01" || sqlState == "57P02" ||
        sqlState == "57P03")
        return true;
    return Contains(text, "server closed the connection") || Contains(text, "no connection") ||
           Contains(text, "terminating connection") || Contains(text, "connection not open") ||
           Contains(text, "could not receive data") || Contains(text, "could not send data") ||
           Contains(text, "Broken pipe") || Contains(text, "Connection reset");
}

} // namespace msrw::batch
