#include "console/DetailsOutput.h"

#include <QDate>
#include <chrono>

namespace msrw::console {
namespace {

// A JSON string of UTF-8 text.
void AddString(std::string& out, std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    out += '"';
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20 || byte == 0x7F) {
            out += "\\u00";
            out += kHex[byte >> 4];
            out += kHex[byte & 0xF];
        } else {
            out += c;
        }
    }
    out += '"';
}

void AddMember(std::string& out, const char* key, std::string_view value) {
    out += '"';
    out += key;
    out += "\":";
    AddString(out, value);
}

} // namespace

details::Date Today() {
    // The date changes once a day: asking the calendar (a time-zone lookup)
    // once a second keeps it off each card's time.
    using Steady = std::chrono::steady_clock;
    static Steady::time_point askedAt;
    static details::Date date;
    const Steady::time_point now = Steady::now();
    if (date.year == 0 || now - askedAt >= std::chrono::seconds(1)) {
        const QDate today = QDate::currentDate();
        date = {today.year(), today.month(), today.day()};
        askedAt = now;
    }
    return date;
}

details::DecodeOptions DecodeOptionsOf(const DetailsChoice& choice) {
    return {Today(), choice.unmask};
}

std::string DetailsJson(const details::CardDetails& d) {
    std::string out = "{";
    AddMember(out, "layout", details::LayoutKey(d.layout));
    out += ',';
    AddMember(out, "name", details::LayoutName(d.layout));
    out += ",\"fields\":[";
    for (const details::Field& f : d.fields) {
        out += (&f == d.fields.data() ? "" : ",");
        out += "{\"track\":" + std::to_string(f.track) + ",";
        AddMember(out, "field", f.key);
        out += ',';
        AddMember(out, "label", f.label);
        out += ',';
        AddMember(out, "value", f.value);
        out += ',';
        AddMember(out, "state", details::FieldStateName(f.state));
        out += '}';
    }
    out += "],\"checks\":[";
    for (const details::Check& c : d.checks) {
        out += (&c == d.checks.data() ? "{" : ",{");
        AddMember(out, "check", c.key);
        out += ",\"pass\":";
        out += c.passed ? "true," : "false,";
        AddMember(out, "label", c.label);
        out += ',';
        AddMember(out, "text", c.sentence);
        out += '}';
    }
    out += "]}";
    return out;
}

} // namespace msrw::console
