#pragma once
// The text that names a batch server, as PostgreSQL users write it: either
// keyword/value pairs ("host=db1 port=5432 dbname=cards user=station") with
// libpq's quoting (single quotes, backslash escapes), or a URI
// ("postgresql://station@db1:5432/cards?sslmode=require", also "postgres://").
// Pure: the text in, the connection's fields out.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace msrw::batch {

struct ConnectionSettings {
    std::string host; // a name, an address, or a socket folder ("/run/...")
    std::optional<int> port;
    std::string dbname;
    std::string user;
    std::string password; // only when the text itself holds one
    // Every other libpq keyword, in the order given.
    std::vector<std::pair<std::string, std::string>> options;
};

struct ParsedConnection {
    std::optional<ConnectionSettings> settings;
    std::string problem; // why the text names no server; empty when it does
};

ParsedConnection ParseConnectionText(std::string_view text);

// The options as the Qt driver takes them: "key='value';key='value'", each
// value quoted as libpq reads it.
std::string ConnectOptionsText(const ConnectionSettings& settings);

// The keywords libpq knows.
bool IsConnectionKeyword(std::string_view keyword);

} // namespace msrw::batch
