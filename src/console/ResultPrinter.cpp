#include "console/ResultPrinter.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <optional>

namespace msrw::console {
namespace {

QString Latin1(const std::string& text) {
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

bool TrackInUse(int track, int activeTracks) {
    return track == 2 || (track == 1 && activeTracks != 0) || (track == 3 && activeTracks == 2);
}

} // namespace

std::string ResultJson(const CardResult& result, const details::CardDetails* cardDetails) {
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
    std::string line = QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString();
    if (cardDetails) // the last member, before the object's closing brace
        line.insert(line.size() - 1, ",\"details\":" + DetailsJson(*cardDetails));
    return line;
}

std::string ResultText(const CardResult& result, int activeTracks,
                       const details::CardDetails* cardDetails) {
    std::string text = result.line.text + "\n";
    if (!result.tracks)
        return text;
    for (int n = 1; n <= 3; ++n) {
        if (TrackInUse(n, activeTracks))
            text +=
                "  Track " + std::to_string(n) + ": " + (*result.tracks)[std::size_t(n - 1)] + "\n";
    }
    if (cardDetails)
        text += details::DetailsText(*cardDetails, "  ");
    return text;
}

bool ResultPrinter::print(const CardResult& result, int activeTracks) {
    // Decoded only when asked for, and only what a read gave.
    std::optional<details::CardDetails> decoded;
    if (result.tracks && (json_ ? details_.json : details_.text))
        decoded = details::DecodeCardDetails(*result.tracks, DecodeOptionsOf(details_));
    const details::CardDetails* d = decoded ? &*decoded : nullptr;
    const std::string text =
        json_ ? ResultJson(result, d) + "\n" : ResultText(result, activeTracks, d);
    const bool written = std::fwrite(text.data(), 1, text.size(), out_) == text.size();
    return std::fflush(out_) == 0 && written;
}

} // namespace msrw::console
