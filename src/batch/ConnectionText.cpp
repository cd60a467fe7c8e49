#include "batch/ConnectionText.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace msrw::batch {
namespace {

constexpr std::array<std::string_view, 38> kKeywords{"host",
                                                     "hostaddr",
                                                     "port",
                                                     "dbname",
                                                     "user",
                                                     "password",
                                                     "passfile",
                                                     "channel_binding",
                                                     "connect_timeout",
                                                     "client_encoding",
                                                     "options",
                                                     "application_name",
                                                     "fallback_application_name",
                                                     "keepalives",
                                                     "keepalives_idle",
                                                     "keepalives_interval",
                                                     "keepalives_count",
                                                     "tcp_user_timeout",
                                                     "replication",
                                                     "gssencmode",
                                                     "sslmode",
                                                     "requiressl",
                                                     "sslcompression",
                                                     "sslcert",
                                                     "sslkey",
                                                     "sslpassword",
                                                     "sslrootcert",
                                                     "sslcrl",
                                                     "sslcrldir",
                                                     "sslsni",
                                                     "requirepeer",
                                                     "ssl_min_protocol_version",
                                                     "ssl_max_protocol_version",
                                                     "krbsrvname",
                                                     "gsslib",
                                                     "service",
                                                     "target_session_attrs",
                                                     "load_balance_hosts"};

bool IsSpace(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

std::optional<int> PortNumber(std::string_view text) {
    if (text.empty() || text.size() > 5 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    int value = 0;
    for (char c : text)
        value = value * 10 + (c - '0');
    if (value < 1 || value > 65535)
        return std::nullopt;
    return value;
}

// Puts one keyword's value in its place; a problem text when it cannot be.
std::string Assign(ConnectionSettings& s, const std::string& key, std::string value) {
    if (!IsConnectionKeyword(key))
        return "\"" + key + "\" is not a connection keyword";
    if (value.find('\0') != std::string::npos)
        return "the value of " + key + " holds a NUL byte";
    if (key == "port") {
        const std::optional<int> port = PortNumber(value);
        if (!port)
            return "the port \"" + value + "\" is not a number from 1 to 65535";
        s.port = port;
    } else if ((key == "host" || key == "hostaddr") && value.find(',') != std::string::npos) {
        return "a list of several hosts is not supported; name one server";
    } else if (key == "host") {
        s.host = std::move(value);
    } else if (key == "dbname") {
        s.dbname = std::move(value);
    } else if (key == "user") {
        s.user = std::move(value);
    } else if (key == "password") {
        s.password = std::move(value);
    } else {
        // The Qt driver splits its options at ";".
        if (value.find(';') != std::string::npos)
            return "the value of " + key + " may not hold \";\"";
        s.options.emplace_back(key, std::move(value));
    }
    return {};
}

// One value of a keyword/value text from `i`, quoted or not; nullopt when a
// quote is left open.
std::optional<std::string> ReadValue(std::string_view text, std::size_t& i) {
    std::string value;
    const bool quoted = i < text.size() && text[i] == '\'';
    if (quoted)
        ++i;
    while (i < text.size()) {
        const char c = text[i];
        if (quoted && c == '\'') {
            ++i;
            return value;
        }
        if (!quoted && IsSpace(c))
            return value;
        if (c == '\\' && i + 1 < text.size())
            ++i;
        value += text[i++];
    }
    if (quoted)
        return std::nullopt;
    return value;
}

ParsedConnection ParseKeywords(std::string_view text) {
    ConnectionSettings s;
    std::size_t i = 0;
    for (;;) {
        while (i < text.size() && IsSpace(text[i]))
            ++i;
        if (i == text.size())
            break;
        const std::size_t keyStart = i;
        while (i < text.size() && text[i] != '=' && !IsSpace(text[i]))
            ++i;
        const std::string key(text.substr(keyStart, i - keyStart));
        while (i < text.size() && IsSpace(text[i]))
            ++i;
        if (i == text.size() || text[i] != '=')
            return {std::nullopt, "missing \"=\" after \"" + key + "\""};
        ++i;
        while (i < text.size() && IsSpace(text[i]))
            ++i;
        std::optional<std::string> value = ReadValue(text, i);
        if (!value)
            return {std::nullopt, "the quoted value of " + key + " has no closing quote"};
        if (std::string problem = Assign(s, key, std::move(*value)); !problem.empty())
            return {std::nullopt, problem};
    }
    return {s, {}};
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The %XX escapes of a URI part decoded; nullopt for a broken one or %00.
std::optional<std::string> PercentDecoded(std::string_view part) {
    std::string out;
    for (std::size_t i = 0; i < part.size(); ++i) {
        if (part[i] != '%') {
            out += part[i];
            continue;
        }
        const int high = i + 2 < part.size() ? HexDigit(part[i + 1]) : -1;
        const int low = i + 2 < part.size() ? HexDigit(part[i + 2]) : -1;
        if (high < 0 || low < 0 || (high == 0 && low == 0))
            return std::nullopt;
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return out;
}

// Decodes `part` and assigns it to `key`; a problem text when either fails.
std::string AssignDecoded(ConnectionSettings& s, const std::string& key, std::string_view part) {
    std::optional<std::string> value = PercentDecoded(part);
    if (!value)
        return "the URI's " + key + " holds a broken %-escape";
    return Assign(s, key, std::move(*value));
}

// "host", "[v6]", each with ":port"; the text from "@" up to "/" or "?".
std::string AssignHostAndPort(ConnectionSettings& s, std::string_view hostPort) {
    std::string_view host = hostPort;
    std::string_view port;
    if (!hostPort.empty() && hostPort.front() == '[') {
        const std::size_t close = hostPort.find(']');
        if (close == std::string_view::npos)
            return "the URI's IPv6 address has no closing \"]\"";
        host = hostPort.substr(1, close - 1);
        const std::string_view rest = hostPort.substr(close + 1);
        if (!rest.empty() && rest.front() != ':')
            return "the URI has \"" + std::string(rest) + "\" after its IPv6 address";
        port = rest.empty() ? rest : rest.substr(1);
    } else if (const std::size_t colon = hostPort.find(':'); colon != std::string_view::npos) {
        host = hostPort.substr(0, colon);
        port = hostPort.substr(colon + 1);
    }
    if (!host.empty())
        if (std::string problem = AssignDecoded(s, "host", host); !problem.empty())
            return problem;
    if (!port.empty())
        return AssignDecoded(s, "port", port);
    return {};
}

std::string AssignQuery(ConnectionSettings& s, std::string_view query) {
    while (!query.empty()) {
        const std::size_t amp = query.find('&');
        const std::string_view pair = query.substr(0, amp);
        query = amp == std::string_view::npos ? std::string_view() : query.substr(amp + 1);
        if (pair.empty())
            continue;
        const std::size_t eq = pair.find('=');
        if (eq == std::string_view::npos)
            return "the URI parameter \"" + std::string(pair) + "\" has no \"=\"";
        const std::optional<std::string> key = PercentDecoded(pair.substr(0, eq));
        if (!key)
            return "a URI parameter's name holds a broken %-escape";
        if (std::string problem = AssignDecoded(s, *key, pair.substr(eq + 1)); !problem.empty())
            return problem;
    }
    return {};
}

ParsedConnection ParseUri(std::string_view rest) {
    ConnectionSettings s;
    const std::size_t queryAt = rest.find('?');
    const std::string_view query =
        queryAt == std::string_view::npos ? std::string_view() : rest.substr(queryAt + 1);
    std::string_view authority = rest.substr(0, queryAt);
    const std::size_t slash = authority.find('/');
    const std::string_view path =
        slash == std::string_view::npos ? std::string_view() : authority.substr(slash + 1);
    authority = authority.substr(0, slash);
    std::string problem;
    if (const std::size_t at = authority.rfind('@'); at != std::string_view::npos) {
        const std::string_view userInfo = authority.substr(0, at);
        const std::size_t colon = userInfo.find(':');
        problem = AssignDecoded(s, "user", userInfo.substr(0, colon));
        if (problem.empty() && colon != std::string_view::npos)
            problem = AssignDecoded(s, "password", userInfo.substr(colon + 1));
        authority = authority.substr(at + 1);
    }
    if (problem.empty())
        problem = AssignHostAndPort(s, authority);
    if (problem.empty() && !path.empty())
        problem = AssignDecoded(s, "dbname", path);
    if (problem.empty())
        problem = AssignQuery(s, query);
    if (!problem.empty())
        return {std::nullopt, problem};
    return {s, {}};
}

std::string Quoted(const std::string& value) {
    std::string out = "'";
    for (char c : value) {
        if (c == '\'' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + "'";
}

} // namespace

bool IsConnectionKeyword(std::string_view keyword) {
    return std::find(kKeywords.begin(), kKeywords.end(), keyword) != kKeywords.end();
}

ParsedConnection ParseConnectionText(std::string_view text) {
    while (!text.empty() && IsSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsSpace(text.back()))
        text.remove_suffix(1);
    if (text.empty())
        return {std::nullopt, "the connection text is empty"};
    for (std::string_view scheme : {"postgresql://", "postgres://"})
        if (text.substr(0, scheme.size()) == scheme)
            return ParseUri(text.substr(scheme.size()));
    const std::size_t scheme = text.find("://");
    if (scheme != std::string_view::npos && scheme > 0 &&
        std::all_of(text.begin(), text.begin() + long(scheme),
                    [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; }))
        return {std::nullopt, "a URI begins with postgresql:// or postgres://"};
    return ParseKeywords(text);
}

std::string ConnectOptionsText(const ConnectionSettings& settings) {
    std::string out;
    for (const auto& [key, value] : settings.options) {
        if (!out.empty())
            out += ';';
        out += key + "=" + Quoted(value);
    }
    return out;
}

} // namespace msrw::batch
