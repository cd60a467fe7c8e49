#include "console/ResultPrinter.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace msrw::console {
namespace {

QString Latin1(const std::string& text) {
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

bool TrackInUse(int track, int activeTracks) {
    return track == 2 || (track == 1 && activeTracks != 0) || (track == 3 && activeTracks == 2);
}

} // namespace

std::string ResultJson(const CardResult& result) {
    QJsonObject object{
        {"line", Latin1(result.line.text)},
        {"ok", result.ok},
        {"card", qint64(result.number)},
    };
    if (result.tracks) {
        QJsonArray tracks;
        for (const std::string& track : *result.tracks)
            tracks.append(Latin1(track));
        object.insert("tracks", tracks);
    }
    return QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString();
}

std::string ResultText(const CardResult& result, int activeTracks) {
    std::string text = result.line.text + "\n";
    if (!result.tracks)
        return text;
    for (int n = 1; n <= 3; ++n) {
        if (TrackInUse(n, activeTracks))
            text +=
                "  Track " + std::to_string(n) + ": " + (*result.tracks)[std::size_t(n - 1)] + "\n";
    }
    return text;
}

bool ResultPrinter::print(const CardResult& result, int activeTracks) {
    const std::string text = json_ ? ResultJson(result) + "\n" : ResultText(result, activeTracks);
    const bool written = std::fwrite(text.data(), 1, text.size(), out_) == text.size();
    return std::fflush(out_) == 0 && written;
}

} // namespace msrw::console
