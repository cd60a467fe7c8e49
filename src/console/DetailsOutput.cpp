#include "console/DetailsOutput.h"

#include <QDate>
#include <QJsonArray>

namespace msrw::console {
namespace {

QString Text(const std::string& utf8) {
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

} // namespace

details::Date Today() {
    const QDate today = QDate::currentDate();
    return {today.year(), today.month(), today.day()};
}

details::DecodeOptions DecodeOptionsOf(const DetailsChoice& choice) {
    return {Today(), choice.unmask};
}

QJsonObject DetailsJson(const details::CardDetails& d) {
    QJsonArray fields;
    for (const details::Field& f : d.fields) {
        fields.append(QJsonObject{
            {"track", f.track},
            {"field", Text(f.key)},
            {"label", Text(f.label)},
            {"value", Text(f.value)},
            {"state", details::FieldStateName(f.state)},
        });
    }
    QJsonArray checks;
    for (const details::Check& c : d.checks) {
        checks.append(QJsonObject{
            {"check", Text(c.key)},
            {"label", Text(c.label)},
            {"pass", c.passed},
            {"text", Text(c.sentence)},
        });
    }
    return QJsonObject{
        {"layout", details::LayoutKey(d.layout)},
        {"name", details::LayoutName(d.layout)},
        {"fields", fields},
        {"checks", checks},
    };
}

} // namespace msrw::console
