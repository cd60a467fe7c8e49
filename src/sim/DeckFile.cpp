#include "sim/DeckFile.h"

#include <QFile>
#include <array>
#include <charconv>
#include <vector>

namespace msrw::sim {

namespace {

constexpr qint64 kMaxDeckFileBytes = 16 * 1024 * 1024;

enum class Kind { Iso = 0, Aamva = 1, User = 3, Raw = 4, PassBook = 5 };

struct Header {
    int cardType = -1;
    std::array<int, 3> parity{1, 1, 1};
    std::array<int, 3> bitsPerChar{7, 5, 5};
    std::array<int, 3> sync{0, 0, 0};
    std::array<int, 3> startSentinel{5, 11, 11}; // codes in the track's character set
    std::array<int, 3> endSentinel{31, 15, 15};
    std::array<int, 3> bpi{210, 75, 210};
    int passBookBpiLines = 0;
};

// A fault of the file; `line` is 1-based, 0 when no line is to blame.
struct Fault {
    int line = 0;
    QString message;
};

std::vector<std::string_view> SplitLines(std::string_view content) {
    std::vector<std::string_view> lines;
    while (!content.empty()) {
        const std::size_t end = content.find('\n');
        std::string_view line = content.substr(0, end);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        content.remove_prefix(end == std::string_view::npos ? content.size() : end + 1);
    }
    return lines;
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

std::optional<int> Number(std::string_view text) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

// Stores KEY =value; false when the key is not one of the header's.
bool StoreSetting(Header& header, std::string_view key, int value) {
    if (key == "CARDTYPE") {
        header.cardType = value;
        return true;
    }
    if (key == "BPI") {
        if (header.passBookBpiLines < 3)
            header.bpi[static_cast<std::size_t>(header.passBookBpiLines++)] = value;
        return true;
    }
    const char digit = key.empty() ? '\0' : key.back();
    if (digit < '1' || digit > '3')
        return false;
    const auto track = static_cast<std::size_t>(digit - '1');
    key.remove_suffix(1);
    std::array<int, 3>* field = key == "PARITY" ? &header.parity
                                : key == "BPC"  ? &header.bitsPerChar
                                : key == "SYNC" ? &header.sync
                                : key == "SS"   ? &header.startSentinel
                                : key == "ES"   ? &header.endSentinel
                                : key == "BPI"  ? &header.bpi
                                                : nullptr;
    if (field == nullptr)
        return false;
    (*field)[track] = value;
    return true;
}

// Reads the header; returns the index of the line after [DATA].
std::optional<std::size_t> ReadHeader(const std::vector<std::string_view>& lines, Header& header,
                                      Fault& fault) {
    if (lines.empty() || lines[0] != "[SETUP]") {
        fault = {1, QStringLiteral("a card data file begins with the line [SETUP]")};
        return std::nullopt;
    }
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        if (line == "[DATA]")
            return i + 1;
        if (Trimmed(line).empty())
            continue;
        const std::size_t equals = line.find('=');
        const std::string_view key = Trimmed(line.substr(0, equals));
        const auto value = equals == std::string_view::npos
                               ? std::nullopt
                               : Number(Trimmed(line.substr(equals + 1)));
        if (!value || !StoreSetting(header, key, *value)) {
            fault = {static_cast<int>(i + 1),
                     QStringLiteral("expected a setting such as \"BPC1 =7\"")};
            return std::nullopt;
        }
    }
    fault = {0, QStringLiteral("the [DATA] line is missing")};
    return std::nullopt;
}

std::optional<Bits> EncodeWithSentinels(std::string_view text, const CharFormat& format,
                                        int startCode, int endCode) {
    const int limit = 1 << DataBits(format);
    if (startCode < 0 || startCode >= limit || endCode < 0 || endCode >= limit)
        return std::nullopt;
    const auto start = static_cast<char>(AlphabetBase(format) + startCode);
    const auto end = static_cast<char>(AlphabetBase(format) + endCode);
    return EncodeCharacters(start + std::string(text) + end, format);
}

CharFormat UserFormat(const Header& header, std::size_t track) {
    const int bits = header.bitsPerChar[track];
    if (bits == 6 || bits == 4)
        return {bits, Parity::None};
    return {bits, header.parity[track] == 2 ? Parity::Even : Parity::Odd};
}

// Pass-book tracks may be recorded twice with sync zeros between the copies.
std::size_t SyncZeros(int sync, std::size_t track) {
    if (sync == 25)
        return track == 0 ? 28 : 32;
    return sync == 60 ? 64 : 0;
}

std::optional<Bits> TrackBits(const Header& header, std::size_t track, std::string_view text) {
    switch (static_cast<Kind>(header.cardType)) {
    case Kind::Iso:
    case Kind::Aamva: {
        const bool sevenBit = track == 0 || (track == 2 && header.cardType == 1);
        const CharFormat format = *DeviceCharFormat(sevenBit ? 7 : 5);
        return EncodeCharacters(StartSentinel(format) + std::string(text) + kEndSentinel, format);
    }
    case Kind::User:
        if (header.bitsPerChar[track] < 4 || header.bitsPerChar[track] > 7)
            return std::nullopt;
        return EncodeWithSentinels(text, UserFormat(header, track), header.startSentinel[track],
                                   header.endSentinel[track]);
    case Kind::Raw:
        return BitsOfHexDigits(text);
    case Kind::PassBook: {
        const CharFormat format{5, header.parity[track] == 2 ? Parity::Even : Parity::Odd};
        auto bits = EncodeWithSentinels(text, format, header.startSentinel[track],
                                        header.endSentinel[track]);
        const std::size_t zeros = SyncZeros(header.sync[track], track);
        if (bits && zeros > 0) {
            const Bits once = *bits;
            bits->insert(bits->end(), zeros, false);
            bits->insert(bits->end(), once.begin(), once.end());
        }
        return bits;
    }
    }
    return std::nullopt;
}

bool AddTrack(const Header& header, VirtualCard& card, std::string_view line, Fault& fault,
              int lineNumber) {
    const int marker = static_cast<unsigned char>(line[0]);
    if (marker < 1 || marker > 3) {
        fault = {lineNumber, QStringLiteral("a track line begins with the byte 01, 02 or 03")};
        return false;
    }
    const auto track = static_cast<std::size_t>(marker - 1);
    const std::string_view text = line.substr(1);
    if (text.empty())
        return true;
    const auto bits = TrackBits(header, track, text);
    if (!bits || bits->size() > kMaxPayloadBits) {
        fault = {lineNumber,
                 QStringLiteral("track %1 does not fit the file's format for it").arg(track + 1)};
        return false;
    }
    card.tracks[track].record(header.bpi[track] == 75 ? 22 : 61, *bits);
    return true;
}

std::optional<std::vector<NamedCard>> ReadRecords(const std::vector<std::string_view>& lines,
                                                  std::size_t first, const Header& header,
                                                  Fault& fault) {
    std::vector<NamedCard> cards;
    VirtualCard card;
    bool open = false;
    for (std::size_t i = first; i <= lines.size(); ++i) {
        const bool ends = i == lines.size() || lines[i].empty();
        if (ends && (open || i < lines.size())) {
            cards.push_back({"Card " + std::to_string(cards.size() + 1), card});
            card = VirtualCard{};
            open = false;
        } else if (!ends) {
            if (!AddTrack(header, card, lines[i], fault, static_cast<int>(i + 1)))
                return std::nullopt;
            open = true;
        }
    }
    return cards;
}

bool KnownCardType(int cardType) {
    return cardType == 0 || cardType == 1 || cardType == 3 || cardType == 4 || cardType == 5;
}

} // namespace

std::optional<Deck> ParseDeck(std::string_view content, QString& error) {
    const std::vector<std::string_view> lines = SplitLines(content);
    Header header;
    Fault fault;
    std::optional<std::vector<NamedCard>> cards;
    if (const auto first = ReadHeader(lines, header, fault)) {
        if (!KnownCardType(header.cardType))
            fault = {0, QStringLiteral("CARDTYPE must be 0, 1, 3, 4 or 5")};
        else
            cards = ReadRecords(lines, *first, header, fault);
    }
    if (cards && cards->empty())
        fault = {0, QStringLiteral("the file holds no card records")};
    if (!cards || cards->empty()) {
        error = fault.line > 0 ? QStringLiteral("line %1: %2").arg(fault.line).arg(fault.message)
                               : fault.message;
        return std::nullopt;
    }
    return Deck(std::move(*cards));
}

std::optional<Deck> LoadDeckFile(const QString& path, QString& error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    // Read with a bound, not by the size the file reports: a device file
    // reports 0 and never ends.
    const QByteArray content = file.read(kMaxDeckFileBytes + 1);
    if (content.size() > qsizetype(kMaxDeckFileBytes)) {
        error = QStringLiteral("%1: too large for a card data file").arg(path);
        return std::nullopt;
    }
    auto deck = ParseDeck(
        std::string_view(content.constData(), static_cast<std::size_t>(content.size())), error);
    if (!deck)
        error = QStringLiteral("%1: %2").arg(path, error);
    return deck;
}

} // namespace msrw::sim
