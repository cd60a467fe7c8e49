#include "console/DecodeVerb.h"

#include "console/DetailsOutput.h"
#include "console/ExitStatus.h"
#include "files/CardRecords.h"

#include <QFile>
#include <cstdio>

namespace msrw::console {
namespace {

// A line longer than this is no track (a track field holds 180).
constexpr qint64 kMaxLineBytes = 4096;

int Refuse(const QString& message) {
    std::fprintf(stderr, "msrw-cli: decode: %s\n", qPrintable(message));
    return kExitUsage;
}

class Decoder {
public:
    explicit Decoder(const DetailsChoice& choice) : choice_(choice) {}

    void card(const std::array<std::string, 3>& tracks) {
        const details::CardDetails d = details::DecodeCardDetails(tracks, DecodeOptionsOf(choice_));
        ++cards_;
        for (const details::Check& check : d.checks)
            anyFailed_ = anyFailed_ || !check.passed;
        std::string text;
        if (choice_.json) {
            text = "{\"card\":" + std::to_string(cards_) + ",\"details\":" + DetailsJson(d) + "}\n";
        } else {
            text = "Card " + std::to_string(cards_) + ":\n" + details::DetailsText(d, "  ");
        }
        std::fwrite(text.data(), 1, text.size(), stdout);
        std::fflush(stdout);
    }

    std::int64_t cards() const { return cards_; }
    int status() const { return anyFailed_ ? kExitCardFailed : kExitOk; }

private:
    DetailsChoice choice_;
    std::int64_t cards_ = 0;
    bool anyFailed_ = false;
};

// Each record of the file, decoded as it is read.
int DecodeFile(const QString& path, Decoder& decoder) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Refuse(QStringLiteral("%1 cannot be read: %2").arg(path, file.errorString()));
    cardfile::RecordReader records;
    for (int number = 1; !file.atEnd(); ++number) {
        const QByteArray line = file.readLine(kMaxLineBytes);
        if (!line.endsWith('\n') && !file.atEnd()) // cut at the most a line may hold
            return Refuse(
                QStringLiteral("%1: line %2 is longer than any track.").arg(path).arg(number));
        if (const auto tracks =
                records.take(std::string_view(line.constData(), std::size_t(line.size()))))
            decoder.card(*tracks);
    }
    if (const auto tracks = records.finish())
        decoder.card(*tracks);
    if (records.inHeader())
        return Refuse(QStringLiteral("%1: the header has no \"[DATA]\" line.").arg(path));
    if (decoder.cards() == 0)
        return Refuse(QStringLiteral("%1 holds no card.").arg(path));
    return decoder.status();
}

} // namespace

int RunDecodeVerb(const QCommandLineParser& options, const QStringList& args) {
    DetailsChoice choice{options.isSet("json"), !options.isSet("json"), options.isSet("unmask")};
    Decoder decoder(choice);
    const bool givenTracks =
        options.isSet("track1") || options.isSet("track2") || options.isSet("track3");
    if (args.size() > 2 || (args.size() == 2) == givenTracks)
        return Refuse("give the tracks (--track1/2/3 T) or one card data file.");
    if (args.size() == 2)
        return DecodeFile(args[1], decoder);
    std::array<std::string, 3> tracks;
    for (int n = 1; n <= 3; ++n) {
        const QString text = options.value(QStringLiteral("track%1").arg(n));
        for (const QChar c : text) {
            if (c.unicode() > 0xFF)
                return Refuse(
                    QStringLiteral("--track%1: \"%2\" is not a character a track can hold.")
                        .arg(n)
                        .arg(QString(c)));
        }
        tracks[std::size_t(n - 1)] = text.toLatin1().toStdString();
    }
    decoder.card(tracks);
    return decoder.status();
}

} // namespace msrw::console
